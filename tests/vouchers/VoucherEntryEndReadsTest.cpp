#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/StatementLog.h"
#include "tests/vouchers/VoucherBook.h"

using namespace kiv;

namespace {

// The end of an entry (a save, a sign-off, 取消) on a book of many vouchers.
class VoucherEntryEndReadsTest : public test::VoucherBook {
  protected:
    void addVouchers(int count) {
        for (int i = 1; i <= count; ++i)
            addVoucher({.number = numberAt(100 * i)});
    }
    void modify(frmIo& form) {
        host.click(form.cmdEdit);
        host.type(form.cbPs1, "改");
    }
    static std::string numberAt(int serial) {
        char number[16];
        std::snprintf(number, sizeof number, "11511%05d", serial);
        return number;
    }
};

// Where no other copy committed, the voucher held stands where it stood: the end counts nothing,
// and the next move near the list's start reads a page of it, not every voucher.
TEST_F(VoucherEntryEndReadsTest, AnEntryEndCountsNothingWhereNothingChanged) {
    addVouchers(300);
    frmIo& form = openForm();
    host.scroll(form.FSB, 1);
    test::StatementLog log(AccDb());
    struct End {
        const char* name;
        std::function<void()> enter;
        CommandButton* button;
    };
    for (const End& end : {End{"取消", [&] { modify(form); }, &form.cmdCencel},
                           End{"存檔", [&] { modify(form); }, &form.cmdSv},
                           End{"簽核", [&] { host.click(form.ck); }, &form.cmdSv}}) {
        end.enter();
        log.clear();
        host.click(*end.button);
        EXPECT_FALSE(log.ran("Count(")) << end.name;
        EXPECT_EQ(form.lbNo.Caption(), numberAt(200)) << end.name;
        EXPECT_EQ(form.FSB.Value(), 1) << end.name;
        EXPECT_EQ(form.FSB.Max(), 299) << end.name;
        log.clear();
        host.scroll(form.FSB, 2);
        EXPECT_EQ(form.lbNo.Caption(), numberAt(300)) << end.name;
        EXPECT_LT(log.rows, 200) << end.name;
        host.scroll(form.FSB, 1);
    }
    EXPECT_EQ(rows(AccDb(), "SELECT 附註一, 方式 FROM iof WHERE 單號 = ?", numberAt(200)),
              Texts{"附一改|0"});
}

}  // namespace
