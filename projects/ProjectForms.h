#pragma once

namespace kiv {

// Registers the project form, the work-type editor and the open-project picker by name.
void registerProjectForms();

}  // namespace kiv
