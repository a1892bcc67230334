#include <gtest/gtest.h>

#include "cheques/frmArm.h"
#include "tests/cheques/ChequeBook.h"

using namespace kiv;
using namespace kiv::test;

namespace {

// Today is 2026-03-15.
class ChequeReminderTest : public ChequeBook {
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

// A double-click opens the cheque of its row in show-one-record mode, also a combined one; the
// header row and the list stay as they were.
TEST_F(ChequeReminderTest, TheDueChequesOfBothDirectionsAreListedAndOpenedByADoubleClick) {
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
        ASSERT_EQ(form.hfgI.Rows(), 2);
        EXPECT_EQ(GridRow(form.hfgI, 1, 1, 9),
                  (Texts{"CK-R1", "台灣銀行", "001-123", "2,000", "林先生", "中華民國 115/03/18",
                         "3 天", "2,000", "R1"}));
        ASSERT_EQ(form.hfgO.Rows(), 3);
        EXPECT_EQ(GridColumn(form.hfgO, 9), (Texts{"V1S", "I1"}));
        EXPECT_EQ(GridRow(form.hfgO, 2, 6, 8), (Texts{"中華民國 115/03/20", "5 天", "11,500"}));
        EXPECT_EQ(GridRow(form.hfgIs, 1, 1, 2), (Texts{"台灣銀行 001-123", "2,000"}));
        EXPECT_EQ(GridRow(form.hfgOs, 1, 1, 2), (Texts{"土地銀行 002-456", "11,500"}));
        host.dblClickCell(form.hfgO, 0, 1);
        host.dblClickCell(form.hfgO, 1, 4);
        host.dblClickCell(form.hfgI, 1, 1);
        EXPECT_EQ(form.hfgO.Rows(), 3);
        EXPECT_TRUE(form.Visible());
    });
    EXPECT_EQ(opened, (Texts{"V1S one", "R1 one"}));
    EXPECT_FALSE(ShowOneRecord);
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
        EXPECT_EQ(GridColumn(form.hfgI, 9), (Texts{"B", "A", "C", "D"}));
        EXPECT_EQ(GridColumn(form.hfgI, 7), (Texts{"-3 天", "-2 天", "2 天", "4 天"}));
        // Summed in 64 bits: the last total lies past the 32-bit range.
        EXPECT_EQ(GridColumn(form.hfgI, 8), (Texts{"2,000", "3,000", "6,000", "2,147,489,000"}));
        EXPECT_EQ(GridColumn(form.hfgIs, 2), (Texts{"2,147,487,000", "2,000"}));
        EXPECT_EQ(GridColumn(form.hfgIs, 1), (Texts{"台灣銀行 001-123", "華南銀行 900-2"}));
        EXPECT_EQ(form.hfgO.Rows() + form.hfgOs.Rows(), 2);
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

}  // namespace
