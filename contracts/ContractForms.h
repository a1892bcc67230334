#pragma once

namespace kiv {

// Makes the contract forms known to the form registry by name.
void registerContractForms();

}  // namespace kiv
