#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/forms/Forms.h"
#include "platform/forms/ProgramFolder.h"
#include "shell/ShellForms.h"
#include "shell/mdM.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestHost.h"

namespace kiv::test {

// A test of the program's forms: a fresh program folder with new databases, the headless host,
// the shared values at their start and the shell's forms registered.
class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setProgramFolder(folder.file(""));
        ResetSharedState();
        registerShellForms();
        OpenDatabases();
    }
    void TearDown() override {
        Forms::discardAll();
        Forms::forgetRegistrations();
        CloseDatabases();
        ResetSharedState();
        setProgramFolder("");
    }

    // Logs in as the super user without going through the dialog.
    void loggedInWith(int32_t rights) {
        LoggedIn = true;
        UserRights = rights;
    }

    TempFolder folder;
    TestHost host;
};

}  // namespace kiv::test
