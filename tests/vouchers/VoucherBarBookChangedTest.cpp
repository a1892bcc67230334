#include <algorithm>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "tests/support/StatementLog.h"
#include "tests/support/WriteAtStatement.h"
#include "tests/vouchers/VoucherBook.h"

using namespace kiv;

namespace {

// The voucher form's bar while the book changes under it.
class VoucherBarBookChangedTest : public test::TenVouchersBook {
  protected:
    // 修改 with something typed, then 取消.
    void modifyAndCancel(
        frmIo& form, const std::function<void()>& meanwhile = [] {}) {
        host.click(form.cmdEdit);
        host.type(form.txtBno, "改");
        meanwhile();
        host.click(form.cmdCencel);
    }
};

// An entry's end that counted nothing leaves the list to be placed at the bar's next step: a
// voucher another copy deletes meanwhile, the one held or one before it, is then counted, and the
// step goes on from the voucher held (or from where it stood).
TEST_F(VoucherBarBookChangedTest, AStepAfterAQuietEntryEndGoesOnFromTheVoucherHeld) {
    struct Case {
        const char* name;
        int from, deleted, key;
        std::string expected;
    };
    for (const Case& c : {Case{"one before, Right", 4, 6, Key::Right, numberAt(18) + " 4/8"},
                          Case{"the one held, Right", 5, 18, Key::Right, numberAt(21) + " 5/8"},
                          Case{"the one held, Left", 5, 18, Key::Left, numberAt(15) + " 4/8"}}) {
        SCOPED_TRACE(c.name);
        frmIo& form = openForm();
        host.scroll(form.FSB, c.from);
        modifyAndCancel(form);
        deleteByB(c.deleted);
        press(form, c.key);
        EXPECT_EQ(shown(form), c.expected);
        host.closeByFrame(form);
        addVoucher({.number = numberAt(c.deleted)});
    }
}

// Another copy saves a voucher of an earlier day as each statement of this copy's save of a new
// voucher begins: the form shows its own new voucher, with the bar on its place and end in one
// state of the book, the one before that voucher came or the one after.
TEST_F(VoucherBarBookChangedTest, ANewVouchersSaveShowsItWhateverAnotherCopySavesMeanwhile) {
    frmIo& form = openForm();
    sqlite3_busy_timeout(RawAccess::handle(*copyB), 20);
    int landed = 0;
    for (int at = 0;; ++at) {
        SCOPED_TRACE("statement " + std::to_string(at));
        host.click(form.cmdAdd);
        host.type(form.cbUse, "工地材料");
        host.pick(form.cbAcc, 1);
        host.type(form.txtCash, "777");
        const std::string earlier = "1151205" + std::to_string(100 + at);
        test::WriteAtStatement meanwhile(AccDb(), at, [&] {
            copyB->Execute("INSERT INTO iof (單號, 方式, 金額, pay) VALUES (?, -1, 1, 1)", earlier);
        });
        host.click(form.cmdSv);
        if (!meanwhile.reached()) break;
        EXPECT_EQ(meanwhile.fault, "");
        const std::string own = rows(AccDb(), "SELECT Max(單號) FROM iof").at(0);
        EXPECT_EQ(form.lbNo.Caption(), own) << meanwhile.statement;
        EXPECT_EQ(form.txtCash.Text(), "777") << meanwhile.statement;
        const int count = std::stoi(rows(AccDb(), "SELECT Count(*) FROM iof").at(0));
        const std::string now =
            own + " " + std::to_string(count - 1) + "/" + std::to_string(count - 1);
        const std::string before =
            own + " " + std::to_string(count - 2) + "/" + std::to_string(count - 2);
        if (meanwhile.landed) {
            ++landed;
            EXPECT_TRUE(shown(form) == now || shown(form) == before)
                << shown(form) << " at " << meanwhile.statement;
        } else {
            EXPECT_EQ(shown(form), now) << meanwhile.statement;
        }
    }
    EXPECT_GT(landed, 1);
}

// The step after 修改 and 取消 on the first voucher of a long book reads about the voucher it
// reaches, not the book: SQLite's own count of the steps its programs made stays small.
TEST_F(VoucherBarBookChangedTest, TheStepAfterAQuietEntryEndReadsAroundTheVoucherHeld) {
    AccDb().Execute(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000) "
        "INSERT INTO iof (單號, 方式, 金額, pay) SELECT '1151121' || printf('%03d', i), -1, 1, 1 "
        "FROM n");
    frmIo& form = openForm();
    host.scroll(form.FSB, 0);
    modifyAndCancel(form);
    test::StatementLog log(AccDb());
    press(form, Key::Right);
    EXPECT_EQ(shown(form), numberAt(6) + " 1/5009");
    EXPECT_LT(log.programSteps, 2000);
    log.clear();
    press(form, Key::Left);
    EXPECT_EQ(shown(form), numberAt(3) + " 0/5009");
    EXPECT_LT(log.programSteps, 2000);
}

}  // namespace

namespace {

// Random books: another copy of the program and this copy's own connection add and delete
// vouchers between the user's moves on the bar and entries ended by 取消 or a save. After each of
// the user's actions the form shows a stored voucher with the bar on its place and end, counted
// here apart from the form; a step from a voucher (or from where it stood) meets the voucher next
// to it in the book as it then was.
TEST_F(VoucherBarBookChangedTest, OnRandomBooksEveryMoveShowsTheRightVoucherOnItsPlace) {
    std::mt19937 random(20261207);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const auto stored = [] { return rows(AccDb(), "SELECT 單號 FROM iof ORDER BY 單號"); };
    frmIo& form = openForm();
    int nextSerial = 100;
    for (int step = 0; step < 400; ++step) {
        const Texts before = stored();
        const std::string from = form.lbNo.Caption();
        // What changes the book first: nothing, another copy, or this copy's own connection.
        switch (pick(4)) {
            case 1: {
                Database& writer = pick(2) ? *copyB : AccDb();
                writer.Execute("INSERT INTO iof (單號, 方式, 金額, pay) VALUES (?, -1, 500, 1)",
                               numberAt(nextSerial++ % 1000));
                break;
            }
            case 2:
                if (before.size() > 1)
                    (pick(2) ? *copyB : AccDb())
                        .Execute("DELETE FROM iof WHERE 單號 = ?", before[pick(before.size())]);
                break;
            default:
                break;
        }
        const Texts now = stored();
        SCOPED_TRACE("step " + std::to_string(step) + " from " + from);
        // The voucher a step of `n` from `from` meets in the book as it now stands.
        const auto stepFrom = [&](int n) {
            const auto at = std::lower_bound(now.begin(), now.end(), from) - now.begin();
            const bool there = at < static_cast<long>(now.size()) && now[at] == from;
            long place = at + n - (n > 0 && !there ? 1 : 0);
            place = std::clamp<long>(place, 0, static_cast<long>(now.size()) - 1);
            return now[place];
        };
        std::optional<std::string> expected;
        switch (pick(7)) {
            case 0:
                press(form, Key::Right);
                if (form.FSB.Value() < form.FSB.Max() || now != before) expected = stepFrom(1);
                break;
            case 1:
                press(form, Key::Left);
                expected = stepFrom(-1);
                break;
            case 2:
                press(form, pick(2) ? Key::Home : Key::End);
                break;
            case 3:
                // A drag that leaves the bar where it was is no move.
                if (form.FSB.Max() > 0)
                    host.scroll(form.FSB, (form.FSB.Value() + 1 + pick(form.FSB.Max())) %
                                              (form.FSB.Max() + 1));
                else
                    press(form, Key::End);
                break;
            case 4:
                host.click(form.cmdAdd);
                host.click(form.cmdCencel);
                break;
            case 5:
                if (!form.cmdEdit.Enabled()) break;
                if (std::find(now.begin(), now.end(), from) == now.end()) {
                    host.expectMessage("這一筆已被刪除");
                    host.click(form.cmdEdit);
                } else {
                    modifyAndCancel(form);
                }
                break;
            default:
                enterVoucher(form, "500");
                break;
        }
        const Texts after = stored();
        ASSERT_FALSE(after.empty());
        const auto place = std::find(after.begin(), after.end(), form.lbNo.Caption());
        ASSERT_NE(place, after.end()) << form.lbNo.Caption();
        EXPECT_EQ(form.FSB.Value(), place - after.begin());
        EXPECT_EQ(form.FSB.Max(), static_cast<int>(after.size()) - 1);
        if (expected && from != "" && form.lbStat.Caption() == "〔瀏覽〕")
            EXPECT_EQ(form.lbNo.Caption(), *expected);
    }
}

}  // namespace
