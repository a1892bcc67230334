#pragma once

#include <functional>

namespace kiv {

// Runs a form's save of rows it showed. When another copy of the program changed them meanwhile
// (UpdateConflict), nothing was written: the user is told in Chinese and false is returned, so
// that the form shows what is stored. Any other error goes on to the caller.
bool SaveUnlessChanged(const std::function<void()>& save);

}  // namespace kiv
