#pragma once

#include "platform/report/ReportOutput.h"
#include "shell/mdM.h"
#include "statistics/StatisticsForms.h"
#include "tests/support/Books.h"
#include "tests/support/ProgramTest.h"

namespace kiv::test {

// Fresh books with the statistics forms, the company named and today 2026-03-15; workbooks go
// to the test's own documents folder and reports to its PDFs.
class VoucherBook : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        registerStatisticsForms();
        loggedInWith(AllRights);
        setToday(day(2026, 3, 15));
        setReportOutput(&printer);
        PeopleDb().Execute("UPDATE company SET co_name = '永建營造'");
    }
    void TearDown() override {
        setReportOutput(nullptr);
        ProgramTest::TearDown();
    }

    PdfReportOutput printer{folder.file("")};
};

}  // namespace kiv::test
