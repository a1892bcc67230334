#include <gtest/gtest.h>

#include "cheques/frmArm.h"
#include "tests/cheques/ChequeBook.h"

using namespace kiv;

namespace {

// Today is 2026-03-15.
class ChequeReminderTest : public test::ChequeBook {
  protected:
    void SetUp() override {
        ChequeBook::SetUp();
        setToday(day(2026, 3, 15));
    }
    static void received(const std::string& key, int64_t amount, Date due, Date usable,
                         const std::string& bank = "台灣銀行",
                         const std::string& account = "001-123") {
        Cheque c = cheque(key, amount, true, due);
        c.usableDate = usable;
        c.payeeBank = bank;
        c.payeeAccount = account;
        c.drawer = "林先生";
        addCheque(c);
    }
    static void issued(const std::string& key, int64_t amount, Date due, Date reminder,
                       const std::string& bank = "土地銀行",
                       const std::string& account = "002-456") {
        Cheque c = cheque(key, amount, false, due);
        c.reminderDate = reminder;
        c.drawerBank = bank;
        c.drawerAccount = account;
        c.payee = "陳小姐";
        addCheque(c);
    }
    // The four cheques of a usual morning: one of each direction due, one of each not yet.
    static void usualMorning() {
        received("R1", 2000, day(2026, 3, 14), day(2026, 3, 18));
        received("R2", 3000, day(2026, 3, 16), day(2026, 3, 16));
        issued("I1", 10000, day(2026, 3, 20), day(2026, 3, 15));
        issued("I2", 4000, day(2026, 3, 20), day(2026, 3, 16));
    }
    // Opens the reminder as the login does and runs `script` while it is open.
    void showReminder(std::function<void(frmArm&)> script) {
        host.onModal<frmArm>([script](frmArm& form) {
            script(form);
            form.Unload();
        });
        Forms::showByName("frmArm", Modal);
    }
};

TEST_F(ChequeReminderTest, TheDueChequesOfBothDirectionsAreListedWithTheirTotals) {
    usualMorning();
    bool shown = false;
    showReminder([&](frmArm& form) {
        shown = true;
        ASSERT_EQ(form.hfgI.Rows(), 2);
        EXPECT_EQ(row(form.hfgI, 1), (Texts{"CK-R1", "台灣銀行", "001-123", "2,000", "林先生",
                                            "中華民國 115/03/18", "3 天", "2,000", "R1"}));
        ASSERT_EQ(form.hfgO.Rows(), 2);
        EXPECT_EQ(row(form.hfgO, 1), (Texts{"CK-I1", "土地銀行", "002-456", "10,000", "陳小姐",
                                            "中華民國 115/03/20", "5 天", "10,000", "I1"}));
        EXPECT_EQ(row(form.hfgIs, 1, 1, 2), (Texts{"台灣銀行 001-123", "2,000"}));
        EXPECT_EQ(row(form.hfgOs, 1, 1, 2), (Texts{"土地銀行 002-456", "10,000"}));
    });
    EXPECT_TRUE(shown);
}

// Running totals, per-account totals over two accounts, negative day counts once the date is
// past, processed cheques left out, and the order by usable date then bank.
TEST_F(ChequeReminderTest, RunningAndPerAccountTotalsAddUpAndPastDatesCountNegative) {
    received("A", 1000, day(2026, 3, 1), day(2026, 3, 13));
    received("B", 2000, day(2026, 3, 10), day(2026, 3, 12), "華南銀行", "900-2");
    received("C", 3000, day(2026, 3, 15), day(2026, 3, 17));
    received("D", 2147483000, day(2026, 3, 15), day(2026, 3, 19));
    received("E", 5000, day(2026, 3, 15), day(2026, 3, 15));
    SetChequeState(AccDb(), "E", ChequeUnprocessed, ChequeCashed);
    showReminder([&](frmArm& form) {
        ASSERT_EQ(form.hfgI.Rows(), 5);
        Texts keys, days, totals;
        for (int r = 1; r < 5; ++r) {
            keys.push_back(form.hfgI.TextMatrix(r, 9));
            days.push_back(form.hfgI.TextMatrix(r, 7));
            totals.push_back(form.hfgI.TextMatrix(r, 8));
        }
        EXPECT_EQ(keys, (Texts{"B", "A", "C", "D"}));
        EXPECT_EQ(days, (Texts{"-3 天", "-2 天", "2 天", "4 天"}));
        // Summed in 64 bits: the last total lies past the 32-bit range.
        EXPECT_EQ(totals, (Texts{"2,000", "3,000", "6,000", "2,147,489,000"}));
        ASSERT_EQ(form.hfgIs.Rows(), 3);
        EXPECT_EQ(row(form.hfgIs, 1, 1, 2), (Texts{"台灣銀行 001-123", "2,147,487,000"}));
        EXPECT_EQ(row(form.hfgIs, 2, 1, 2), (Texts{"華南銀行 900-2", "2,000"}));
        EXPECT_EQ(form.hfgO.Rows(), 1);
        EXPECT_EQ(form.hfgOs.Rows(), 1);
    });
}

TEST_F(ChequeReminderTest, TheReminderClosesAtOnceWhenEmptyOrWithoutItsRight) {
    struct Case {
        const char* name;
        bool receivedDue;
        bool issuedDue;
        bool withRight;
        bool stays;
    } cases[] = {
        {"nothing due", false, false, true, false},
        {"no right", true, true, false, false},
        {"received only", true, false, true, true},
        {"issued only", false, true, true, true},
    };
    int n = 0;
    for (const Case& c : cases) {
        AccDb().Execute("DELETE FROM bill");
        const std::string key = std::to_string(++n);
        received("R" + key, 100, day(2026, 3, c.receivedDue ? 15 : 16), day(2026, 3, 16));
        issued("I" + key, 100, day(2026, 3, 20), day(2026, 3, c.issuedDue ? 15 : 16));
        UserRights = c.withRight ? AllRights : AllRights & ~(1 << (RightBillReminder - 1));
        bool shown = false;
        if (c.stays) {
            showReminder([&](frmArm& form) {
                shown = true;
                EXPECT_EQ(form.hfgI.Rows(), c.receivedDue ? 2 : 1) << c.name;
                EXPECT_EQ(form.hfgO.Rows(), c.issuedDue ? 2 : 1) << c.name;
            });
        } else {
            Forms::showByName("frmArm", Modal);
        }
        EXPECT_EQ(shown, c.stays) << c.name;
        EXPECT_FALSE(Forms::find("frmArm")) << c.name;
    }
}

// A double-click opens the cheque of its row in show-one-record mode, also a combined one; the
// header row and the list stay as they were.
TEST_F(ChequeReminderTest, ADoubleClickOpensTheChequeOfItsRow) {
    usualMorning();
    addVoucher("V1", 700);
    addVoucher("V2", 800);
    group("V1S", {"V1", "V2"});
    issued("V1S", 1500, day(2026, 3, 18), day(2026, 3, 14));
    Texts opened;
    host.onEveryModal("frmBill", [&](Form& bill) {
        opened.push_back(ChequeVoucherNo + (ShowOneRecord ? " one" : " all"));
        bill.Unload();
    });
    showReminder([&](frmArm& form) {
        ASSERT_EQ(form.hfgO.Rows(), 3);
        EXPECT_EQ(form.hfgO.TextMatrix(1, 9), "V1S");
        host.dblClickCell(form.hfgO, 0, 1);
        host.dblClickCell(form.hfgO, 1, 4);
        host.dblClickCell(form.hfgI, 1, 1);
        EXPECT_EQ(form.hfgO.Rows(), 3);
        EXPECT_TRUE(form.Visible());
    });
    EXPECT_EQ(opened, (Texts{"V1S one", "R1 one"}));
    EXPECT_FALSE(ShowOneRecord);
}

}  // namespace
