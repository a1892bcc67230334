#include <gtest/gtest.h>

#include <functional>

#include "platform/forms/UnsavedInput.h"
#include "tests/support/TableDump.h"
#include "tests/vouchers/VoucherBook.h"
#include "vouchers/frmAdAcc.h"

using namespace kiv;

namespace {

// Refused inside the voucher form, the user is told what to do there.
constexpr const char* FinishFirst = "請先儲存或取消輸入中的收支單";

class VoucherEntryGuardTest : public test::VoucherBook {
  protected:
    // The ways a row of the form's list is picked: a double-click, Enter and Space on it.
    std::vector<std::function<void(frmIo&, int)>> picks() {
        const auto byKey = [this](char32_t key) {
            return [this, key](frmIo& form, int row) {
                host.act([&] {
                    form.hfg.userFocus();
                    form.hfg.userClickCell(row, 1);
                    form.hfg.userKey(key);
                });
            };
        };
        return {[this](frmIo& form, int row) { host.dblClickCell(form.hfg, row, 1); },
                byKey(Key::Enter), byKey(U' ')};
    }
    static std::string voucherCount() {
        return AccDb().OpenRecordset("SELECT count(*) FROM iof").Fields(0).text();
    }
};

// A pick from either list, or closing the list, while an entry holds typed input leaves the
// entry as typed, and its save stores it. Picking the same way with nothing typed ends the entry
// and shows the voucher picked, with nothing left to save.
TEST_F(VoucherEntryGuardTest, APickFromTheListNeverDropsAnEntryInProgress) {
    addVoucher({.number = "A1", .amount = 100});
    addVoucher({.number = "A2", .amount = 200});
    frmIo& form = openForm();
    host.click(form.cmdNck);
    for (const auto& pick : picks()) {
        host.click(form.cmdAdd);
        host.type(form.txtCash, "777");
        host.expectMessage(FinishFirst);
        pick(form, 1);
        EXPECT_EQ(form.lbStat.Caption(), "〔新增中〕");
        EXPECT_EQ(form.txtCash.Text(), "777");
        EXPECT_TRUE(form.cmdSv.Enabled());
        host.click(form.cmdCencel);
    }
    host.click(form.cmdAdd);
    host.type(form.txtCash, "777");
    host.expectMessage(FinishFirst);
    host.click(form.cmdNck);
    EXPECT_EQ(form.cmdNck.Caption(), "檢視未簽核收支單<<");
    host.type(form.cbUse, "工地材料");
    host.pick(form.cbAcc, 1);
    host.click(form.cmdSv);
    EXPECT_EQ(voucherCount(), "3");
    EXPECT_EQ(host.messages().size(), 4u);

    for (const auto& pick : picks()) {
        host.click(form.cmdAdd);
        pick(form, 2);
        EXPECT_EQ(form.lbStat.Caption(), "〔瀏覽〕");
        EXPECT_EQ(form.lbNo.Caption(), "A2");
        EXPECT_FALSE(form.cmdSv.Enabled());
        EXPECT_EQ(form.txtCash.Text(), "200");
    }
    EXPECT_EQ(host.messages().size(), 4u);
}

// The search list and a sign-off ticked and not saved are held the same way.
TEST_F(VoucherEntryGuardTest, ASignOffOrAModificationPendingKeepsTheSearchListsPickOff) {
    addVoucher({.number = "A1", .amount = 100});
    addVoucher({.number = "A2", .amount = 200});
    frmIo& form = openForm();
    host.answerInput("用途A");
    host.click(form.cmdSall);
    ASSERT_EQ(form.cmdSall.Caption(), "全文檢索<<");
    host.click(form.ck);
    host.expectMessage(FinishFirst);
    host.dblClickCell(form.hfg, 1, 1);
    EXPECT_EQ(form.lbNo.Caption(), "A2");
    EXPECT_EQ(form.ck.Value(), 1);

    host.click(form.cmdCencel);
    host.click(form.cmdEdit);
    host.type(form.cbUse, "改");
    host.expectMessage(FinishFirst);
    host.click(form.cmdSall);
    host.expectMessage(FinishFirst);
    host.dblClickCell(form.hfg, 1, 1);
    EXPECT_EQ(form.lbStat.Caption(), "〔修改中〕");
    host.click(form.cmdSv);
    EXPECT_EQ(rows(AccDb(), "SELECT 用途說明 FROM iof WHERE 單號 = 'A2'"), Texts{"用途A2改"});
    EXPECT_EQ(form.cmdSall.Caption(), "全文檢索>>");
}

// Inside the voucher form a refusal says what to do there: save or cancel the entry. Another
// form, refused because the voucher form holds the entry, still says to close that form.
TEST_F(VoucherEntryGuardTest, ARefusalSaysWhatToDoInTheFormTheUserIsIn) {
    addVoucher({.number = "A1", .amount = 100});
    frmIo& form = openForm();
    host.click(form.cmdNck);
    host.click(form.cmdEdit);
    host.type(form.cbPs1, "改");
    host.expectMessage(FinishFirst);
    host.dblClickCell(form.hfg, 1, 1);
    host.expectMessage(FinishFirst);
    host.click(form.cmdNck);
    host.expectMessage("請先關閉收支單作業");
    bool closed = true;
    host.act([&] { closed = UnloadUnlessUnsaved("frmIo"); });
    EXPECT_FALSE(closed);
    for (const auto& message : host.messages()) {
        EXPECT_EQ(message.style, MessageInformation);
        EXPECT_EQ(message.title, ApplicationTitle);
    }
    EXPECT_EQ(form.lbStat.Caption(), "〔修改中〕");
    EXPECT_EQ(form.cbPs1.Text(), "附一改");
    EXPECT_EQ(form.cmdNck.Caption(), "檢視未簽核收支單<<");
}

// Typing over a completed code leaves a code the list lacks: it has no name beside it, and the
// save refuses it rather than store the code under the name of the account it first completed
// to. Typed whole, a listed code shows its own name again; a project's name follows the same way.
TEST_F(VoucherEntryGuardTest, TheNameBesideACodeFollowsTheCodeAsTyped) {
    AccDb().Execute("INSERT INTO prj (id, prj) VALUES ('P01', '大樓'), ('P02', '廠房')");
    frmIo& form = openForm();
    host.click(form.cmdAdd);
    host.type(form.cbUse, "工地材料");
    host.type(form.txtCash, "500");
    host.type(form.cbAcc, "5");
    EXPECT_EQ(form.cbAcc.Text(), "5102");
    EXPECT_EQ(form.lbAcTxt.Caption(), "材料費");
    host.type(form.cbAcc, "777");
    EXPECT_EQ(form.cbAcc.Text(), "5777");
    EXPECT_EQ(form.lbAcTxt.Caption(), "");
    EXPECT_EQ(form.lbAcIo.Caption(), "");

    host.onModal<frmAdAcc>([&](frmAdAcc& dialog) { host.click(dialog.Command2); });
    host.expectMessage("沒有此科目是否加入?", AnswerYes);
    host.focus(form.cbPs1);
    host.expectMessage("科目不可空白");
    host.click(form.cmdSv);
    EXPECT_EQ(voucherCount(), "0");

    form.cbAcc.SetText("");
    host.type(form.cbAcc, "5102");
    EXPECT_EQ(form.lbAcTxt.Caption(), "材料費");
    EXPECT_EQ(form.lbAcIo.Caption(), "(支出)");

    host.type(form.cbPj, "P");
    EXPECT_EQ(form.lbPjTxt.Caption(), "大樓");
    host.type(form.cbPj, "9");
    EXPECT_EQ(form.lbPjTxt.Caption(), "");
    form.cbPj.SetText("");
    host.type(form.cbPj, "P02");
    EXPECT_EQ(form.lbPjTxt.Caption(), "廠房");
    host.click(form.cmdSv);
    EXPECT_EQ(rows(AccDb(), "SELECT 科目代號, 科目名稱, 專案號碼, 專案名稱 FROM iof"),
              Texts{"5102|材料費|P02|廠房"});
}

}  // namespace
