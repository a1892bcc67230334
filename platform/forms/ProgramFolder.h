#pragma once

#include <string>

namespace kiv {

// The folder the program was started from: every file of the program (the three databases, the
// report templates, the column-width files) is looked up there.
std::string programFolder();
// The file `name` in the program's folder.
std::string programFile(const std::string& name);
// Tests run the program in a temporary folder of their own.
void setProgramFolder(const std::string& folder);

}  // namespace kiv
