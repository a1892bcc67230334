#pragma once

namespace kiv {

// Makes the forms of the shell known to the form registry by name.
void registerShellForms();

}  // namespace kiv
