#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/contracts/ContractBook.h"

using namespace kiv;

namespace {

class ContractSearchTest : public test::ContractBook {
  protected:
    // The results as a pick leaves them (the number handed back and the contract form's kind
    // chosen), or closed without a pick when `number` is empty.
    void resultsPick(const std::string& number, bool receivable) {
        host.onModal("frmRioser", [number, receivable](Form& results) {
            EXPECT_TRUE(PickedContractNo.empty());
            if (!number.empty()) {
                PickedContractNo = number;
                frmRio& contracts = Forms::get<frmRio>();
                if (receivable)
                    contracts.optI.SetValue(true);
                else
                    contracts.optO.SetValue(true);
            }
            results.Unload();
        });
    }

    static std::vector<std::string> kinds(const frmRio& f) {
        std::vector<std::string> texts;
        for (int i = 0; i < f.cbSer.ListCount(); ++i)
            texts.push_back(f.cbSer.List(i));
        return texts;
    }

    // Whether the date range is shown, each of its five controls alike.
    static bool rangeShown(const frmRio& f) {
        const bool shown = f.lbSerS.Visible();
        for (const Control* c :
             std::initializer_list<const Control*>{&f.lbSerE, &f.dtpSerS, &f.dtpSerE, &f.lbse6})
            EXPECT_EQ(c->Visible(), shown) << c->Name();
        return shown;
    }
};

TEST_F(ContractSearchTest, KindsFollowTheDirectionWithTheProjectSearchLast) {
    frmRio& f = openForm();
    EXPECT_EQ(kinds(f), (std::vector<std::string>{
                            "可收未收帳款", "應收未收帳款", "應收帳款未送帳單", "應收帳款已送帳單",
                            "應收帳款全文檢索", "應收帳款合約日期查詢", "專案查詢"}));
    EXPECT_EQ(f.cbSer.ListIndex(), 0);
    host.pick(f.cbSer, 4);
    host.click(f.optOser);
    EXPECT_EQ(kinds(f), (std::vector<std::string>{
                            "應付需付帳款", "應付未付帳款", "應付帳款未收帳單", "應付帳款已收帳單",
                            "應付帳款全文檢索", "應付帳款合約日期查詢", "專案查詢"}));
    EXPECT_EQ(f.cbSer.ListIndex(), 0);
    EXPECT_FALSE(f.txtSer.Visible()) << "kind 0 asks for nothing";
    host.click(f.optIser);
    EXPECT_EQ(f.cbSer.List(0), "可收未收帳款");
}

TEST_F(ContractSearchTest, EachKindShowsItsInputsAndTheProjectSearchKeepsThePrevious) {
    Clock::useFixedTime(Date::fromYmdHms(2024, 2, 15, 9, 0, 0));
    frmRio& f = openForm();
    EXPECT_FALSE(f.txtSer.Visible());
    EXPECT_FALSE(rangeShown(f));

    host.act([&] { f.txtSer.SetText("油漆"); });
    host.pick(f.cbSer, 4);
    EXPECT_TRUE(f.txtSer.Visible());
    EXPECT_FALSE(rangeShown(f));
    EXPECT_EQ(f.ActiveControl(), &f.txtSer);
    EXPECT_EQ(f.txtSer.SelText(), "油漆");
    host.pick(f.cbSer, 6);
    EXPECT_TRUE(f.txtSer.Visible());

    host.pick(f.cbSer, 5);
    EXPECT_FALSE(f.txtSer.Visible());
    EXPECT_TRUE(rangeShown(f));
    EXPECT_EQ(f.lbSerS.Caption(), "中華民國 113/02/01");
    EXPECT_EQ(f.lbSerE.Caption(), "中華民國 113/02/29");
    host.pickDate(f.dtpSerS, Date::fromYmd(2023, 12, 25));
    EXPECT_EQ(f.lbSerS.Caption(), "中華民國 112/12/25");
    host.pick(f.cbSer, 6);
    EXPECT_TRUE(rangeShown(f));
    EXPECT_EQ(f.lbSerS.Caption(), "中華民國 112/12/25");
    host.pick(f.cbSer, 5);  // chosen again: the month again
    EXPECT_EQ(f.lbSerS.Caption(), "中華民國 113/02/01");

    for (int kind = 0; kind <= 3; ++kind) {
        host.pick(f.cbSer, kind);
        EXPECT_FALSE(f.txtSer.Visible()) << kind;
        EXPECT_FALSE(rangeShown(f)) << kind;
    }
}

TEST_F(ContractSearchTest, ASearchWithoutItsTextOrDatesIsRefused) {
    frmRio& f = openForm();
    host.pick(f.cbSer, 4);
    host.focus(f.cmdSer);
    host.expectMessage("請輸入查詢字串");
    host.click(f.cmdSer);
    EXPECT_EQ(host.messages().back().style, 48);
    EXPECT_EQ(f.ActiveControl(), &f.txtSer);

    host.pick(f.cbSer, 5);
    host.act([&] { f.lbSerE.SetCaption(""); });
    host.expectMessage("請輸入查詢日期");
    host.click(f.cmdSer);
    EXPECT_EQ(host.messages().back().title, "Kiv");
    EXPECT_TRUE(host.modalShows().empty());
}

TEST_F(ContractSearchTest, APickShowsThePickedContractOfItsKindWithItsTotals) {
    contract("ri", "115120601");
    instalment("115120601", 1, "1,000,000", "100.00%");
    contract("ri", "115120602", "500,000");
    contract("ro", "115120501", "200,000");
    AccDb().Execute(
        "INSERT INTO ro期 (id, 期別, 預付金, 預付日, 佔總價比例, 實收金, 實收日, 現金, 處理) "
        "VALUES ('115120501', 1, '200,000', '2027-01-10', '100.00%', '80,000', '2026-12-01', 1, "
        "1)");
    frmRio& f = openForm();
    EXPECT_EQ(f.lbNo.Caption(), "115120602");

    // A payable pick turns the form to payables and shows that contract.
    host.click(f.optOser);
    resultsPick("115120501", false);
    host.click(f.cmdSer);
    EXPECT_TRUE(f.optO.Value());
    EXPECT_EQ(f.lbNo.Caption(), "115120501");
    EXPECT_EQ(f.hfg.TextMatrix(1, 1), "200,000");
    EXPECT_EQ(f.hfg1.TextMatrix(1, 0), "80,000");
    EXPECT_EQ(f.lbACC.Caption(), "80,000");
    EXPECT_EQ(f.lbBC.Caption(), "120,000");

    // A pick of the kind already chosen raises no switch: the launcher shows it all the same.
    host.click(f.optIser);
    host.act([&] { f.optI.SetValue(true); });
    resultsPick("115120601", true);
    host.click(f.cmdSer);
    EXPECT_EQ(f.lbNo.Caption(), "115120601");
    EXPECT_EQ(f.lbCC.Caption(), "1,000,000");
    EXPECT_EQ(f.hfg.TextMatrix(1, 1), "1,000,000");

    // Closed without a pick, even after an earlier search picked one: nothing changes.
    PickedContractNo = "115120602";
    resultsPick("", true);
    host.click(f.cmdSer);
    EXPECT_EQ(f.lbNo.Caption(), "115120601");
    EXPECT_EQ(f.txtNa.Text(), "合約115120601");
    EXPECT_TRUE(PickedContractNo.empty());

    // A picked number of no contract shows an empty form without a message.
    resultsPick("999999999", true);
    host.click(f.cmdSer);
    EXPECT_EQ(f.txtNa.Text() + f.txtTal.Text() + f.hfg.TextMatrix(1, 1), "");
    EXPECT_EQ(f.hfg.Rows(), 2);
    EXPECT_TRUE(host.messages().empty());
}

// A pick asks about pending grid edits as a move does. A refused save keeps the contract shown
// with its edits, whether the pick is of its kind or of the other; No drops them, and the picked
// contract shows with no grid left in editing.
TEST_F(ContractSearchTest, APickAsksAboutPendingEditsAndARefusedSaveStopsIt) {
    contract("ri", "115120601");
    contract("ri", "115120602");
    contract("ro", "115120501");
    frmRio& f = openForm();
    host.click(f.cmdAc);
    for (bool receivable : {true, false}) {
        SCOPED_TRACE(receivable);
        host.click(receivable ? f.optIser : f.optOser);
        resultsPick(receivable ? "115120601" : "115120501", receivable);
        host.expectMessage("期數修改中是否儲存?", AnswerYes);
        host.expectMessage("請填入金額及應付日期");
        host.click(f.cmdSer);
        EXPECT_EQ(f.lbNo.Caption(), "115120602");
        EXPECT_TRUE(f.optI.Value());
        EXPECT_TRUE(f.InstalmentsEditing);
        EXPECT_EQ(f.hfg.TextMatrix(1, 0), "第1期");
    }
    host.click(f.optIser);
    resultsPick("115120601", true);
    host.expectMessage("期數修改中是否儲存?", AnswerNo);
    host.click(f.cmdSer);
    EXPECT_EQ(f.lbNo.Caption(), "115120601");
    EXPECT_FALSE(f.InstalmentsEditing);
    EXPECT_FALSE(f.cmdAcSv.Enabled());
    EXPECT_EQ(f.hfg.TextMatrix(1, 0), "");
    EXPECT_EQ(host.messages().size(), 5u);
}

}  // namespace
