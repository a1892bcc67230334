#include "platform/forms/ProgramFolder.h"

#include <filesystem>

namespace kiv {

namespace {

std::string& overrideFolder() {
    static std::string folder;
    return folder;
}

}  // namespace

std::string programFolder() {
    if (!overrideFolder().empty()) return overrideFolder();
    std::error_code error;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return std::filesystem::current_path().string();
    return exe.parent_path().string();
}

std::string programFile(const std::string& name) {
    return (std::filesystem::path(programFolder()) / name).string();
}

void setProgramFolder(const std::string& folder) {
    overrideFolder() = folder;
}

}  // namespace kiv
