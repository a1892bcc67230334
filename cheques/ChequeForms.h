#pragma once

namespace kiv {

// Makes the cheque forms known to the form registry by name.
void registerChequeForms();

}  // namespace kiv
