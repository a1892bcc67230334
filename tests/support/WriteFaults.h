#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/db/WriteFault.h"
#include "tests/support/TableDump.h"
#include "tests/support/TestHost.h"

namespace kiv::test {

// Runs a multi-row action once with its commit failing, then once with each of its writes
// failing in turn, until a run makes all its writes. After every failed run the user was told
// (one message box, answered OK) and each file's tables are as they were before, so no failure
// leaves the books half written; `afterFailure` checks more and puts the forms back for the next
// run. The last run succeeds and keeps its writes; the number of writes is returned.
inline int ExpectEachWriteFailureLeavesTheBooks(TestHost& host, const std::vector<Database*>& files,
                                                const std::function<void()>& action,
                                                const std::function<void()>& afterFailure = {}) {
    auto dump = [&] {
        std::string all;
        for (Database* db : files)
            all += db->path() + "\n" + dumpTables(*db);
        return all;
    };
    const std::string before = dump();
    auto failedRun = [&](const std::string& what) {
        SCOPED_TRACE(what);
        EXPECT_EQ(dump(), before);
        if (afterFailure) afterFailure();
    };
    auto run = [&] {
        const size_t shown = host.messages().size();
        host.answerMessage(AnswerOk);
        action();
        return host.messages().size() > shown;
    };
    writefault::clear();
    writefault::failCommit();
    EXPECT_TRUE(run()) << "a failed commit was not told";
    writefault::clear();
    failedRun("the commit failed");
    for (int failing = 1; failing < 10000; ++failing) {
        writefault::failWrite(failing);
        const bool told = run();
        const bool failed = writefault::writesCounted() >= failing;
        writefault::clear();
        if (!failed) {
            host.forgetAnswers();
            return failing - 1;
        }
        EXPECT_TRUE(told) << "the failure of write " << failing << " was not told";
        failedRun("write " + std::to_string(failing) + " failed");
    }
    ADD_FAILURE() << "the action never finished its writes";
    return -1;
}

}  // namespace kiv::test
