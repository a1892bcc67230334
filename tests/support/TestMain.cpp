#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

// The test program runs with a home folder of its own in the temporary folder, so that nothing a
// test does lands in the user's home (a workbook in Documents, a setting in .config). A test that
// needs a home sets one of its own (TempHome); whatever still lands in this one was written where
// the user's home would have been, and fails the program. The libraries' caches go beside it.
class StandInHome {
  public:
    StandInHome() {
        fs::create_directories(home());
        fs::create_directories(root_.file("cache"));
        ::setenv("HOME", home().c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home() / ".config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (home() / ".local/share").c_str(), 1);
        ::setenv("XDG_CACHE_HOME", root_.file("cache").c_str(), 1);
    }

    // Every file and folder written into the home, as paths from it.
    std::vector<std::string> written() const {
        std::vector<std::string> paths;
        std::error_code error;
        for (auto it = fs::recursive_directory_iterator(home(), error);
             !error && it != fs::recursive_directory_iterator(); it.increment(error))
            paths.push_back(fs::relative(it->path(), home()).string());
        return paths;
    }

  private:
    fs::path home() const { return root_.file("home"); }
    kiv::test::TempFolder root_;
};

}  // namespace

int main(int argc, char** argv) {
    StandInHome home;
    ::testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    std::vector<std::string> written = home.written();
    if (written.empty()) return result;
    std::cerr << "A test wrote into the home folder (a real run writes these into the user's):\n";
    for (const std::string& path : written)
        std::cerr << "  ~/" << path << "\n";
    return 1;
}
