#pragma once

namespace kiv {

// Registers the project form, the work-type editor, the open-project picker and the project
// report form by name.
void registerProjectForms();

}  // namespace kiv
