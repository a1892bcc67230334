#pragma once

namespace kiv {

// Registers the project form, the work-type editor, the open-project picker and the project
// report form by name.
void registerProjectForms();

// The contract form opens from here modally only when it is not loaded: a modal show would
// otherwise close the open one and drop what is typed in it. True (after telling the user) when
// it is loaded.
bool RefuseWhileContractFormOpen();

}  // namespace kiv
