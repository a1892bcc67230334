#include <gtest/gtest.h>

#include <fstream>

#include "ledger/SignOff.h"
#include "platform/db/WriteFault.h"
#include "platform/forms/Clock.h"
#include "shell/Schema.h"
#include "tests/support/TableDump.h"
#include "tests/vouchers/VoucherBook.h"

using namespace kiv;

namespace {

constexpr const char* DateRangeMessage = "日期須在民國 1 年至 999 年之間";

class VoucherFaultTest : public test::VoucherBook {
  protected:
    void TearDown() override {
        writefault::clear();
        VoucherBook::TearDown();
    }
    std::string books() { return test::dumpTables(AccDb()); }
};

// A date the label cannot show and read back the same would be stored as Null or as another
// date. The label is set as a picker would set it; the save checks it whatever set it.
TEST_F(VoucherFaultTest, ADateOutsideTheRocYearsIsRefusedAtTheSave) {
    addVoucher({.number = "A1"});
    frmIo& form = openForm();
    std::string before = books();
    for (Date day :
         {Date::fromYmd(1911, 12, 31), Date::fromYmd(2911, 1, 1), Date::fromYmd(1900, 1, 1)}) {
        host.click(form.cmdEdit);
        form.lbHday.SetCaption(LongRocDate(day));
        host.expectMessage(DateRangeMessage);
        host.click(form.cmdSv);
        host.click(form.cmdCencel);

        host.click(form.cmdAdd);
        host.pick(form.cbAcc, 1);
        host.type(form.txtCash, "500");
        form.lbHday.SetCaption(LongRocDate(day));
        host.expectMessage(DateRangeMessage);
        host.click(form.cmdSv);
        EXPECT_EQ(form.lbStat.Caption(), "〔新增中〕");
        host.click(form.cmdCencel);
    }
    EXPECT_EQ(books(), before);

    // The last day a three-digit ROC year shows is stored as picked.
    host.click(form.cmdEdit);
    host.pickDate(form.DTP1, Date::fromYmd(2910, 12, 31));
    host.click(form.cmdSv);
    EXPECT_EQ(rows(AccDb(), "SELECT 發生日期 FROM iof"), Texts{"2910/12/31"});
}

TEST_F(VoucherFaultTest, ALoginDateOutsideTheRocYearsAddsNoVoucher) {
    Clock::useFixedTime(Date::fromYmd(1911, 6, 1));
    frmIo& form = openForm();
    host.expectMessage(DateRangeMessage);
    host.click(form.cmdAdd);
    EXPECT_EQ(form.lbStat.Caption(), "〔瀏覽〕");

    // A day that changes after 新增 is caught at the save.
    Clock::useFixedTime(Date::fromYmd(2026, 12, 6));
    host.click(form.cmdAdd);
    host.pick(form.cbAcc, 1);
    host.type(form.txtCash, "500");
    Clock::useFixedTime(Date::fromYmd(1911, 6, 1));
    host.expectMessage(DateRangeMessage);
    host.click(form.cmdSv);
    EXPECT_TRUE(rows(AccDb(), "SELECT * FROM iof").empty());
}

// Copy B of the program changes the amount while copy A shows the voucher; A's save must not
// write its stale amount back.
TEST_F(VoucherFaultTest, AVoucherChangedByAnotherCopyIsNotOverwritten) {
    addVoucher({.number = "A1"});
    frmIo& form = openForm();
    auto copyB = Database::open(AccDb().path(), accSchema());
    host.click(form.cmdEdit);
    host.type(form.cbUse, "改");
    copyB->Execute("UPDATE iof SET 金額 = 777 WHERE 單號 = 'A1'");
    host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
    host.click(form.cmdSv);
    EXPECT_EQ(rows(AccDb(), "SELECT 用途說明, 金額 FROM iof"), Texts{"用途A1|777"});
    EXPECT_EQ(form.txtCash.Text(), "777");

    // A sign-off by cash of a stale view posts nothing either; the stored voucher then signs.
    copyB->Execute("UPDATE iof SET 附註二 = '乙' WHERE 單號 = 'A1'");
    host.click(form.ck);
    host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
    host.click(form.cmdSv);
    EXPECT_TRUE(rows(AccDb(), "SELECT * FROM cash").empty());
    EXPECT_EQ(form.cbPs2.Text(), "乙");
    host.click(form.ck);
    host.click(form.cmdSv);
    EXPECT_EQ(rows(AccDb(), "SELECT 方式, 附註二 FROM iof"), Texts{"0|乙"});
    EXPECT_EQ(rows(AccDb(), "SELECT cash FROM cash"), Texts{"777"});
}

// Copy B signs the voucher off by cash while copy A is signing it off: A's sign-off, by cash or by
// cheque, writes nothing (no second cash row, no cheque) and shows the voucher as B left it.
TEST_F(VoucherFaultTest, AVoucherSignedOffByAnotherCopyIsNotSignedOffAgain) {
    addVoucher({.number = "A1"});
    addVoucher({.number = "A2"});
    auto copyB = Database::open(AccDb().path(), accSchema());
    struct Case {
        const char* number;
        int way;
    };
    for (const Case& c : {Case{"A1", 0}, Case{"A2", 1}}) {
        SCOPED_TRACE(c.number);
        frmIo& form = openOne(c.number);
        host.click(form.ck);
        host.click(form.optA(c.way));
        const kiv::Voucher read = *ReadVoucher(*copyB, c.number);
        SignOffByCash(*copyB, read, read, Clock::today());
        const std::string leftByB = books();
        host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
        host.click(form.cmdSv);
        EXPECT_EQ(books(), leftByB);
        EXPECT_EQ(rows(AccDb(), "SELECT count(*) FROM cash WHERE lno = ?", c.number), Texts{"1"});
        EXPECT_TRUE(rows(AccDb(), "SELECT * FROM bill").empty());
        EXPECT_TRUE(host.modalShows().empty());
        EXPECT_TRUE(form.optA(0).Value());
        EXPECT_EQ(form.ck.Value(), 1);
        EXPECT_FALSE(form.ck.Enabled());
        form.Unload();
    }
}

// The number shown while adding is a preview; the one the save takes shows only once stored.
TEST_F(VoucherFaultTest, AFailedSaveShowsNoNumberThatNoVoucherHas) {
    frmIo& form = openForm();
    host.click(form.cmdAdd);
    addVoucher({.number = "1151206001"});
    host.pick(form.cbAcc, 1);
    host.type(form.txtCash, "500");
    writefault::failCommit();
    host.answerMessage(AnswerOk);
    host.click(form.cmdSv);
    EXPECT_EQ(form.lbNo.Caption(), "1151206001");
    EXPECT_EQ(form.lbStat.Caption(), "〔新增中〕");
    host.click(form.cmdSv);
    EXPECT_EQ(form.lbNo.Caption(), "1151206002");
    EXPECT_EQ(rows(AccDb(), "SELECT 單號 FROM iof ORDER BY 單號"),
              (Texts{"1151206001", "1151206002"}));
}

// A page of the journal zeroed on the disk: the voucher form reads none of it and its save would
// go through; the save is refused with the file named, and the book stays as it was.
TEST_F(VoucherFaultTest, ASaveIntoADamagedBookIsRefusedAndWritesNothing) {
    AccDb().Execute("INSERT INTO tag (num, 摘要, 金額) VALUES ('J1', '傳票', 100)");
    const int64_t page = AccDb()
                             .OpenRecordset("SELECT rootpage FROM sqlite_schema WHERE name = 'tag'")
                             .Fields(0)
                             .wholeNumber();
    program.reset();
    const std::string path = folder.file("acc.mdb");
    std::fstream(path, std::ios::in | std::ios::out | std::ios::binary)
        .seekp((page - 1) * 4096)
        .write(std::string(4096, '\0').data(), 4096);
    auto bytes = [&] {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    const std::string damaged = bytes();

    program.emplace(folder);
    registerVoucherForms();
    loggedInWith(AllRights);
    frmIo& form = openForm();
    host.answerMessage(AnswerOk);
    enterVoucher(form, "500");
    ASSERT_EQ(host.messages().size(), 1u);
    const std::string& shown = host.messages()[0].text;
    EXPECT_EQ(shown.substr(0, shown.find('\n')), "acc.mdb 已損毀，無法讀取");
    EXPECT_EQ(form.lbStat.Caption(), "〔新增中〕");
    program.reset();
    EXPECT_TRUE(bytes() == damaged);
}

TEST_F(VoucherFaultTest, CancellingTheFirstEntryOnAnEmptyBookClearsTheFields) {
    frmIo& form = openForm();
    host.click(form.cmdAdd);
    host.type(form.cbUse, "工地材料");
    host.pick(form.cbAcc, 1);
    host.type(form.txtCash, "500");
    host.click(form.cmdCencel);
    EXPECT_EQ(form.lbStat.Caption(), "〔瀏覽〕");
    for (const std::string& shown :
         {form.lbNo.Caption(), form.lbInDay.Caption(), form.lbHday.Caption(), form.cbUse.Text(),
          form.txtCash.Text(), form.lbAcTxt.Caption()})
        EXPECT_EQ(shown, "");
    EXPECT_FALSE(form.ck.Enabled());
}

}  // namespace
