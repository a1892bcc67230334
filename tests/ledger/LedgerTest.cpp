#include <gtest/gtest.h>

#include <functional>

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
};

TEST_F(LedgerTest, EveryFieldIsStoredUnderItsOwnName) {
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
}

TEST_F(LedgerTest, NullsReadAsEmptyAndAnEmptyTaxStoresNull) {
    AccDb().Execute("INSERT INTO iof (單號, 方式) VALUES ('A1', -1)");
    Voucher v = *ReadVoucher(AccDb(), "A1");
    EXPECT_EQ(v.entryDate, std::nullopt);
    EXPECT_EQ(v.amount, std::nullopt);
    EXPECT_EQ(v.use, "");
    Voucher changed = sample();
    changed.number = "A1";
    changed.tax.reset();
    WriteVoucher(AccDb(), v, changed);
    EXPECT_EQ(rows(AccDb(), "SELECT 輸入日期 IS NULL, 單號, 稅額 IS NULL, 附註二 FROM iof"),
              Texts{"1|A1|1|附二"});
}

TEST_F(LedgerTest, NumbersCountOnFromTheDaysLargestOnlyUntilTheDayIsFull) {
    auto insert = [](const char* number) {
        AccDb().Execute("INSERT INTO iof (單號, 方式) VALUES (?, -1)", number);
    };
    EXPECT_EQ(NextVoucherNumber(AccDb()), "1151206001");
    insert("1151205998");
    insert("1151207001");
    EXPECT_EQ(NextVoucherNumber(AccDb()), "1151206001");
    insert("1151206009");
    EXPECT_EQ(NextVoucherNumber(AccDb()), "1151206010");
    insert("1151206041");
    EXPECT_EQ(NextVoucherNumber(AccDb()), "1151206042");
    insert("1151206999");
    EXPECT_EQ(NextVoucherNumber(AccDb()), std::nullopt);
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
    changed.number = read.number;
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
    const Date today = Clock::today();
    using Change = std::function<void(Database&, const Voucher& read, const Voucher& other)>;
    struct Case {
        const char* what;
        int state;
        Change copyB;
        Change copyA;
    };
    const Case cases[] = {
        {"signed off by cash twice", ChequeSuggested,
         [&](Database& db, const Voucher& v, const Voucher&) { SignOffByCash(db, v, v, today); },
         [&](Database& db, const Voucher& v, const Voucher&) { SignOffByCash(db, v, v, today); }},
        {"signed off by cheque after cash", ChequeSuggested,
         [&](Database& db, const Voucher& v, const Voucher&) { SignOffByCash(db, v, v, today); },
         [](Database& db, const Voucher& v, const Voucher&) {
             SetVoucherState(db, v.number, v.state, SignedByCheque);
         }},
        {"its cheque cashed twice", SignedByCheque,
         [](Database& db, const Voucher& v, const Voucher&) {
             SetVoucherState(db, v.number, SignedByCheque, SignedByCashedCheque);
         },
         [](Database& db, const Voucher& v, const Voucher&) {
             SetVoucherState(db, v.number, SignedByCheque, SignedByCashedCheque);
         }},
        {"paid by a combined cheque after cash", ChequeSuggested,
         [&](Database& db, const Voucher& v, const Voucher&) { SignOffByCash(db, v, v, today); },
         [](Database& db, const Voucher& v, const Voucher& other) {
             RecordChequeGroup(db, other.number + "S", {other.number, v.number});
         }},
        {"paid by two combined cheques", ChequeSuggested,
         [](Database& db, const Voucher& v, const Voucher&) {
             RecordChequeGroup(db, v.number + "S", {v.number});
         },
         [](Database& db, const Voucher& v, const Voucher& other) {
             RecordChequeGroup(db, other.number + "S", {other.number, v.number});
         }},
        {"deleted", ChequeSuggested,
         [](Database& db, const Voucher& v, const Voucher&) {
             db.Execute("DELETE FROM iof WHERE 單號 = ?", v.number);
         },
         [](Database& db, const Voucher& v, const Voucher&) {
             SetVoucherState(db, v.number, v.state, SignedByCheque);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Voucher v = sample(), other = sample();
        v.state = c.state;
        v = added(v);
        other = added(other);
        c.copyB(*copyB, v, other);
        const std::string leftByB = books();
        EXPECT_THROW(c.copyA(AccDb(), v, other), UpdateConflict);
        EXPECT_EQ(books(), leftByB);
    }
}

TEST_F(LedgerTest, TheCashBookRunsOnFromItsLastRowWhateverTheDay) {
    Voucher expense = sample(), income = sample();
    expense.number = "A1";
    income.number = "A2";
    income.expense = false;
    income.amount = 500;
    EXPECT_EQ(PostCashBookRow(AccDb(), CashEntryFor(expense, Date::fromYmd(2026, 12, 6))), 1);
    EXPECT_EQ(PostCashBookRow(AccDb(), CashEntryFor(income, Date::fromYmd(2026, 1, 2))), 2);
    EXPECT_EQ(rows(AccDb(), "SELECT id, incom, day, cash, memo, lno, bala FROM cash ORDER BY id"),
              (Texts{"1|False|2026/12/06|12000|工地材料|A1|-12000",
                     "2|True|2026/01/02|500|工地材料|A2|-11500"}));
}

// The writes of a sign-off are learnt on a clean one, then each is failed in turn.
TEST_F(LedgerTest, ASignOffByCashWritesTheVoucherAndThePostingOrNeither) {
    Voucher first = added(), second = added();
    writefault::clear();
    SignOffByCash(AccDb(), second, second, Clock::today());
    int writes = writefault::writesCounted();
    std::string before = books();
    writefault::failCommit();
    EXPECT_THROW(SignOffByCash(AccDb(), first, first, Clock::today()), DbError);
    EXPECT_EQ(books(), before);
    for (int n = 1; n <= writes; ++n) {
        writefault::failWrite(n);
        EXPECT_THROW(SignOffByCash(AccDb(), first, first, Clock::today()), DbError) << n;
        EXPECT_EQ(books(), before) << n;
    }
    writefault::clear();
    SignOffByCash(AccDb(), first, first, Clock::today());
    EXPECT_EQ(ReadVoucher(AccDb(), first.number)->state, SignedByCash);
    EXPECT_EQ(rows(AccDb(), "SELECT lno, bala FROM cash ORDER BY id"),
              (Texts{"1151206002|-12000", "1151206001|-24000"}));
}

// Each function is a savepoint inside its caller's transaction: the caller's rollback undoes it.
TEST_F(LedgerTest, TheWritesNestInTheCallersTransaction) {
    Voucher read = added();
    std::string before = books();
    {
        Transaction caller(AccDb(), true);
        AddVoucher(AccDb(), sample());
        SetVoucherState(AccDb(), read.number, read.state, SignedByCheque);
        PostCashBookRow(AccDb(), CashEntryFor(read, Clock::today()));
    }
    EXPECT_EQ(books(), before);
}

}  // namespace
