#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/forms/Forms.h"
#include "platform/forms/ProgramFolder.h"
#include "shell/ShellForms.h"
#include "shell/mdM.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestHost.h"

namespace kiv::test {

// The program started in a folder of its own: new databases, the shared values at their start
// and the shell's forms registered; put away again at the end, forms included.
class ProgramInFolder {
  public:
    explicit ProgramInFolder(const TempFolder& folder) {
        setProgramFolder(folder.file(""));
        ResetSharedState();
        registerShellForms();
        OpenDatabases();
    }
    ~ProgramInFolder() {
        Forms::discardAll();
        Forms::forgetRegistrations();
        CloseDatabases();
        ResetSharedState();
        setProgramFolder("");
    }
    ProgramInFolder(const ProgramInFolder&) = delete;
    ProgramInFolder& operator=(const ProgramInFolder&) = delete;
};

// A test of the program's forms on the headless host.
class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override { program.emplace(folder); }
    void TearDown() override { program.reset(); }

    using Texts = std::vector<std::string>;

    // The rows of a query, each as its fields joined by "|".
    template <class... Args>
    static Texts rows(Database& db, const Sql& sql, const Args&... args) {
        Texts result;
        for (Recordset rs = db.OpenRecordset(sql, args...); !rs.Eof(); rs.MoveNext()) {
            std::string row;
            for (int i = 0; i < rs.FieldCount(); ++i)
                row += (i ? "|" : "") + rs.Fields(i).text();
            result.push_back(row);
        }
        return result;
    }

    // Logs in as the super user without going through the dialog.
    void loggedInWith(int32_t rights) {
        LoggedIn = true;
        UserRights = rights;
    }

    TempFolder folder;
    // What the forms write into the user's documents (workbooks) goes into the test's own home,
    // a folder beside the program's files.
    TempHome home{folder.file("home")};
    TestHost host;
    std::optional<ProgramInFolder> program;
};

}  // namespace kiv::test
