#include <gtest/gtest.h>

#include <functional>

#include "ledger/BankBook.h"
#include "ledger/CashBook.h"
#include "ledger/ChequeGroups.h"
#include "ledger/SignOff.h"
#include "ledger/Vouchers.h"
#include "platform/db/WriteFault.h"
#include "platform/forms/Clock.h"
#include "shell/Schema.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/TableDump.h"

using namespace kiv;

namespace {

// Books of a program started on 2026-12-06, the numbers of that day beginning "1151206".
class LedgerTest : public test::ProgramTest {
  protected:
    void TearDown() override {
        writefault::clear();
        ProgramTest::TearDown();
    }

    // A voucher whose every field holds a value of its own, so that two fields swapped show.
    static Voucher sample() {
        Voucher v;
        v.entryDate = Date::fromYmd(2026, 12, 1);
        v.use = "工地材料";
        v.state = ChequeSuggested;
        v.amount = 12000;
        v.account = "5102";
        v.expense = true;
        v.accountName = "材料費";
        v.note1 = "附一";
        v.note2 = "附二";
        v.project = "P01";
        v.projectName = "大樓";
        v.workType = "水電";
        v.day = Date::fromYmd(2026, 11, 20);
        v.applicant = "王小明";
        v.receiver = "李大華";
        v.receipt = true;
        v.receiptNo = "AB123";
        v.tax = 571;
        v.sales = true;
        v.suggestion = ChequeSuggested;
        return v;
    }
    Voucher added(Voucher v = sample()) {
        v.number = AddVoucher(AccDb(), v).value();
        return v;
    }
    std::unique_ptr<Database> secondCopy() { return Database::open(AccDb().path(), accSchema()); }
    std::string books() { return test::dumpTables(AccDb()); }

    // The action's commit fails, then each of its `writes` in turn: every run throws and leaves
    // the books as they were; then it runs whole.
    void expectAllOrNothing(int writes, const std::function<void()>& action) {
        const std::string before = books();
        for (int n = 0; n <= writes; ++n) {
            SCOPED_TRACE(n);
            n == 0 ? writefault::failCommit() : writefault::failWrite(n);
            EXPECT_THROW(action(), DbError);
            writefault::clear();
            EXPECT_EQ(books(), before);
        }
        action();
    }
};

TEST_F(LedgerTest, EveryFieldIsStoredUnderItsOwnNameAndNullsReadAsEmpty) {
    Voucher v = added();
    EXPECT_EQ(v.number, "1151206001");
    EXPECT_EQ(rows(AccDb(),
                   "SELECT 輸入日期, 單號, 用途說明, 方式, 金額, 科目代號, pay, 科目名稱, 附註一, "
                   "附註二, 專案號碼, 專案名稱, 工程種類, 發生日期, 申請人, 簽收, 單據, 單據號碼, "
                   "稅額, 進銷, 建議方式 FROM iof"),
              Texts{"2026/12/01|1151206001|工地材料|-2|12000|5102|True|材料費|附一|附二|P01|大樓|"
                    "水電|2026/11/20|王小明|李大華|True|AB123|571|True|-2"});
    EXPECT_EQ(ReadVoucher(AccDb(), v.number), v);
    EXPECT_EQ(ReadVoucher(AccDb(), "nothing"), std::nullopt);

    AccDb().Execute("INSERT INTO iof (單號, 方式) VALUES ('A1', -1)");
    Voucher bare = *ReadVoucher(AccDb(), "A1");
    EXPECT_EQ(bare.entryDate, std::nullopt);
    EXPECT_EQ(bare.amount, std::nullopt);
    EXPECT_EQ(bare.use, "");
    Voucher changed = sample();
    changed.number = "A1";
    changed.tax.reset();
    WriteVoucher(AccDb(), bare, changed);
    EXPECT_EQ(
        rows(AccDb(), "SELECT 輸入日期 IS NULL, 稅額 IS NULL, 附註二 FROM iof WHERE 單號 = 'A1'"),
        Texts{"1|1|附二"});
}

TEST_F(LedgerTest, NumbersCountOnFromTheDaysLargestOnlyUntilTheDayIsFull) {
    const std::pair<const char*, std::optional<std::string>> steps[] = {
        {nullptr, "1151206001"},      {"1151205998", "1151206001"}, {"1151207001", "1151206001"},
        {"1151206009", "1151206010"}, {"1151206041", "1151206042"}, {"1151206999", std::nullopt},
    };
    for (const auto& [stored, next] : steps) {
        if (stored) AccDb().Execute("INSERT INTO iof (單號, 方式) VALUES (?, -1)", stored);
        EXPECT_EQ(NextVoucherNumber(AccDb()), next) << (stored ? stored : "");
    }
    std::string before = books();
    EXPECT_EQ(AddVoucher(AccDb(), sample()), std::nullopt);
    EXPECT_EQ(books(), before);

    // The prefix is the program's today with the ROC year, however many digits it has.
    Clock::useFixedTime(Date::fromYmd(2024, 5, 15));
    EXPECT_EQ(NextVoucherNumber(AccDb()), "1130515001");
    Clock::useFixedTime(Date::fromYmd(2006, 12, 27));
    EXPECT_EQ(NextVoucherNumber(AccDb()), "951227001");
}

// A date a ROC label cannot show would be stored as another date, or as Null.
TEST_F(LedgerTest, DatesOutsideTheRocYearsOneTo999AreRefusedWithNothingWritten) {
    EXPECT_TRUE(IsBookDate(Date::fromYmd(1912, 1, 1)) && IsBookDate(Date::fromYmd(2910, 12, 31)));
    std::string before = books();
    for (auto day : {std::optional<Date>(), std::optional(Date::fromYmd(1911, 12, 31)),
                     std::optional(Date::fromYmd(2911, 1, 1))}) {
        Voucher v = sample();
        v.day = day;
        EXPECT_THROW(AddVoucher(AccDb(), v), std::invalid_argument);
        v.day = sample().day;
        v.entryDate = day;
        EXPECT_THROW(AddVoucher(AccDb(), v), std::invalid_argument);
    }
    Clock::useFixedTime(Date::fromYmd(1911, 6, 1));
    EXPECT_THROW(AddVoucher(AccDb(), sample()), std::invalid_argument);
    EXPECT_EQ(books(), before);
}

TEST_F(LedgerTest, ARewriteKeepsTheEntryDateAndNumberAndRefusesAStaleOrSignedVoucher) {
    Voucher read = added();
    Voucher changed = read;
    changed.entryDate = Date::fromYmd(2020, 1, 1);
    changed.note1 = "改一";
    changed.amount = 500;
    WriteVoucher(AccDb(), read, changed);
    Voucher stored = *ReadVoucher(AccDb(), read.number);
    changed.entryDate = read.entryDate;
    EXPECT_EQ(stored, changed);

    // Another copy of the program changes the amount: the stale view must not write it back.
    auto other = secondCopy();
    other->Execute("UPDATE iof SET 金額 = 777 WHERE 單號 = ?", read.number);
    std::string before = books();
    changed.use = "用途改";
    EXPECT_THROW(WriteVoucher(AccDb(), stored, changed), UpdateConflict);
    EXPECT_EQ(books(), before);

    // Signed off by the other copy, it was changed as well; read signed, it is refused as such.
    stored = *ReadVoucher(AccDb(), read.number);
    other->Execute("UPDATE iof SET 方式 = 0 WHERE 單號 = ?", read.number);
    EXPECT_THROW(WriteVoucher(AccDb(), stored, changed), UpdateConflict);
    stored = *ReadVoucher(AccDb(), read.number);
    EXPECT_THROW(WriteVoucher(AccDb(), stored, changed), VoucherSigned);
    other->Execute("DELETE FROM iof");
    EXPECT_THROW(WriteVoucher(AccDb(), stored, changed), UpdateConflict);
}

// Copy A read the voucher, copy B changed its state, then A changes the state from the one it
// read: nothing of A's is written, and the books stay as B left them.
TEST_F(LedgerTest, AStateIsChangedOnlyFromTheStateItWasReadIn) {
    auto copyB = secondCopy();
    using Change = std::function<void(Database&, const Voucher& read, const Voucher& other)>;
    const Change byCash = [](Database& db, const Voucher& v, const Voucher&) {
        SignOffByCash(db, v, v, Clock::today());
    };
    const Change byCheque = [](Database& db, const Voucher& v, const Voucher&) {
        SetVoucherState(db, v.number, v.state, SignedByCheque);
    };
    const Change cashed = [](Database& db, const Voucher& v, const Voucher&) {
        SetVoucherState(db, v.number, SignedByCheque, SignedByCashedCheque);
    };
    const Change alone = [](Database& db, const Voucher& v, const Voucher&) {
        RecordChequeGroup(db, v.number + "S", {{v.number, *v.amount}});
    };
    const Change grouped = [](Database& db, const Voucher& v, const Voucher& other) {
        RecordChequeGroup(db, other.number + "S",
                          {{other.number, *other.amount}, {v.number, *v.amount}});
    };
    const Change amountChanged = [](Database& db, const Voucher& v, const Voucher&) {
        db.Execute("UPDATE iof SET 金額 = 金額 + 1 WHERE 單號 = ?", v.number);
    };
    const Change deleted = [](Database& db, const Voucher& v, const Voucher&) {
        db.Execute("DELETE FROM iof WHERE 單號 = ?", v.number);
    };
    const struct {
        const char* what;
        int state;
        Change copyB, copyA;
    } cases[] = {
        {"signed off by cash twice", ChequeSuggested, byCash, byCash},
        {"signed off by cheque after cash", ChequeSuggested, byCash, byCheque},
        {"its cheque cashed twice", SignedByCheque, cashed, cashed},
        {"paid by a combined cheque after cash", ChequeSuggested, byCash, grouped},
        {"paid by two combined cheques", ChequeSuggested, alone, grouped},
        {"paid by a combined cheque of the amount it had", ChequeSuggested, amountChanged, grouped},
        {"deleted", ChequeSuggested, deleted, byCheque},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Voucher v = sample();
        v.state = c.state;
        v = added(v);
        Voucher other = added();
        c.copyB(*copyB, v, other);
        const std::string leftByB = books();
        EXPECT_THROW(c.copyA(AccDb(), v, other), UpdateConflict);
        EXPECT_EQ(books(), leftByB);
    }
}

// The writes of a sign-off are learnt on a clean one, then each is failed in turn. The cash book
// runs on from its last row whatever the day, income adding and expense taking away.
TEST_F(LedgerTest, ASignOffByCashWritesTheVoucherAndThePostingOrNeither) {
    Voucher first = added(), second = added();
    writefault::clear();
    SignOffByCash(AccDb(), second, second, Clock::today());
    expectAllOrNothing(writefault::writesCounted(),
                       [&] { SignOffByCash(AccDb(), first, first, Clock::today()); });
    EXPECT_EQ(ReadVoucher(AccDb(), first.number)->state, SignedByCash);
    Voucher income = sample();
    income.number = "A2";
    income.expense = false;
    income.amount = 500;
    EXPECT_EQ(PostCashBookRow(AccDb(), CashEntryFor(income, Date::fromYmd(2026, 1, 2))), 3);
    EXPECT_EQ(rows(AccDb(), "SELECT id, incom, day, cash, memo, lno, bala FROM cash ORDER BY id"),
              (Texts{"1|False|2026/12/06|12000|工地材料|1151206002|-12000",
                     "2|False|2026/12/06|12000|工地材料|1151206001|-24000",
                     "3|True|2026/01/02|500|工地材料|A2|-23500"}));
    EXPECT_EQ(CashBalance(AccDb()), -23500);
}

// The balance is the stored running balance of the highest id; nothing sums the book afresh.
TEST_F(LedgerTest, TheCashBalanceIsTheLastRowsAsStoredAndAnEmptyBookHoldsNothing) {
    auto post = [](int64_t amount, bool income) {
        return PostCashBookRow(AccDb(), {income, Date::fromYmd(2026, 3, 15), amount, "轉帳", "X"});
    };
    EXPECT_EQ(CashBalance(AccDb()), 0);
    EXPECT_EQ(post(700, false), 1);
    EXPECT_EQ(CashBalance(AccDb()), -700);
    AccDb().Execute("DELETE FROM cash");
    AccDb().Execute(
        "INSERT INTO cash VALUES (1, 1, '2026-03-01', 5000, 'a', 'x', 5000), "
        "(3, 0, '2026-03-02', 100, 'b', 'y', 123), (2, 1, '2026-03-09', 100, 'c', 'z', 999)");
    EXPECT_EQ(CashBalance(AccDb()), 123);
    EXPECT_EQ(post(7, true), 4);
    EXPECT_EQ(CashBalance(AccDb()), 130);
}

// Each voucher is paid with the amount the list showed of it: A8 shown at 100 now holds 900, and
// an empty amount is shown and paid as 0.
TEST_F(LedgerTest, OnlyUnsignedExpensesOutsideAnyGroupArePaidByOneChequeAllOrNothing) {
    AccDb().Execute(
        "INSERT INTO iof (單號, 方式, pay, 金額) VALUES ('A1', -1, 1, 100), ('A2', -2, 1, NULL), "
        "('A3', 0, 1, 100), ('A4', -1, 0, 100), ('A5', -3, 1, 100), ('A6', -1, 1, 100), "
        "('A8', -1, 1, 900)");
    AccDb().Execute("INSERT INTO iofs VALUES ('A9S', 'A6')");
    const GroupMember a1{"A1", 100}, a2{"A2", 0};
    EXPECT_EQ(FirstVoucherNotPayable(AccDb(), {a1, a2}), std::nullopt);
    for (const char* refused : {"A3", "A4", "A5", "A6", "A7", "A8"})
        EXPECT_EQ(FirstVoucherNotPayable(AccDb(), {a1, {refused, 100}, {"A3", 100}}),
                  std::optional<std::string>(refused));
    EXPECT_THROW(RecordChequeGroup(AccDb(), "A8S", {{"A8", 100}}), UpdateConflict);
    // Two rows and two state changes, then the commit.
    expectAllOrNothing(4, [&] { RecordChequeGroup(AccDb(), "A2S", {a2, a1}); });
    EXPECT_EQ(rows(AccDb(), "SELECT 多單號, 單號 FROM iofs ORDER BY rowid"),
              (Texts{"A9S|A6", "A2S|A2", "A2S|A1"}));
    EXPECT_EQ(rows(AccDb(), "SELECT 方式 FROM iof WHERE 單號 IN ('A1', 'A2')"), (Texts{"1", "1"}));
}

// Each function is a savepoint inside its caller's transaction: the caller's rollback undoes it.
TEST_F(LedgerTest, TheWritesNestInTheCallersTransaction) {
    Voucher read = added(), grouped = added();
    std::string before = books();
    {
        Transaction caller(AccDb(), TransactionKind::Writes);
        AddVoucher(AccDb(), sample());
        SetVoucherState(AccDb(), read.number, read.state, SignedByCheque);
        PostCashBookRow(AccDb(), CashEntryFor(read, Clock::today()));
        PostBankBookRow(AccDb(), {"土地銀行", "011-22", 100, true, Clock::today(), "兌現", "N"});
        RecordChequeGroup(AccDb(), "G", {{grouped.number, *grouped.amount}});
    }
    EXPECT_EQ(books(), before);
}

}  // namespace
