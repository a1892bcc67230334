#include <gtest/gtest.h>

#include "platform/forms/Clock.h"
#include "platform/forms/ProgramFolder.h"
#include "tests/vouchers/VoucherBook.h"

using namespace kiv;

namespace {

class VoucherPrintTest : public test::VoucherBook {
  protected:
    bool printedText(const std::string& text) {
        for (const auto& page : output.printed().back().job.pages.pages)
            for (const auto& item : page.texts)
                if (item.text == text) return true;
        return false;
    }
};

TEST_F(VoucherPrintTest, ThePrintTableHoldsTheVoucherAsShown) {
    addVoucher({.number = "A0", .amount = 0});
    addVoucher({.number = "A1", .amount = 3800, .suggestion = -2});
    frmIo& form = openForm();
    const std::string day = "中華民國 115 年 11 月 20 日";
    std::string shown =
        "|A1|票據|用途A1|P01|大樓|水電|5102|(支出)|材料費|3,800|附一|附二|王小明|李大華|";
    shown = day + shown + day;
    EXPECT_EQ(printRow(), shown + "||||參仟捌佰  元整");
    // The receipt's fields print only while 有單據 is ticked, whatever the boxes hold.
    host.click(form.cmdEdit);
    host.click(form.Check1);
    host.click(form.O1(1));
    host.click(form.cmdSv);
    EXPECT_EQ(printRow(), shown + "|AB123|181|進銷項|參仟捌佰  元整");
    host.scroll(form.FSB, 0);
    EXPECT_EQ(printField(19), "  元整");
}

TEST_F(VoucherPrintTest, TheLeftButtonStoresTheTitleWaitsAndPrintsTheVoucher) {
    frmIo& form = openForm();
    enterVoucher(form, "12000");
    EXPECT_EQ(form.txtIo.Text(), "收支單");
    form.txtIo.SetText("支出傳票");
    double start = Clock::steadySeconds();
    host.click(form.cmdPt);
    EXPECT_GT(Clock::steadySeconds() - start, 1.0);
    ASSERT_EQ(output.printed().size(), 1u);
    EXPECT_EQ(output.printed()[0].job.templateFile, programFile("ios.rpt"));
    for (const char* expected : {"支出傳票", "1151206001", "12,000", "壹萬貳仟  元整"})
        EXPECT_TRUE(printedText(expected)) << expected;

    form.Unload();
    EXPECT_EQ(openForm().txtIo.Text(), "支出傳票");
}

TEST_F(VoucherPrintTest, TheRightButtonPrintsTheSecondLayoutAtOnceEvenWithoutACompanyRow) {
    PrintDb().Execute("DELETE FROM company");
    addVoucher({.number = "A1"});
    frmIo& form = openForm();
    double start = Clock::steadySeconds();
    host.rightClick(form.cmdPt);
    EXPECT_EQ(Clock::steadySeconds(), start);
    ASSERT_EQ(output.printed().size(), 1u);
    EXPECT_EQ(output.printed()[0].job.templateFile, programFile("jios.rpt"));
    EXPECT_EQ(rows(PrintDb(), "SELECT ion FROM company"), Texts{"收支單"});
}

}  // namespace
