#pragma once

namespace kiv {

// Makes the forms of the cash and bank books known to the form registry by name.
void registerBookForms();

}  // namespace kiv
