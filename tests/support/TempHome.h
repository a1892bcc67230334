#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace kiv::test {

// Points HOME at a folder of the test while it lives, with a Documents folder in it, so that the
// workbooks a form writes land there and not in the user's home; HOME is put back at the end.
class TempHome {
  public:
    explicit TempHome(const std::string& home) {
        if (const char* current = std::getenv("HOME")) saved_ = current;
        std::filesystem::create_directories(home + "/Documents");
        ::setenv("HOME", home.c_str(), 1);
    }
    ~TempHome() {
        if (saved_)
            ::setenv("HOME", saved_->c_str(), 1);
        else
            ::unsetenv("HOME");
    }
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

  private:
    std::optional<std::string> saved_;
};

}  // namespace kiv::test
