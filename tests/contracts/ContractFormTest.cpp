#include <gtest/gtest.h>

#include <functional>

#include "platform/forms/UnsavedInput.h"
#include "tests/contracts/ContractBook.h"

using namespace kiv;

namespace {

class ContractFormTest : public test::ContractBook {};

void expectBrowsing(frmRio& f) {
    EXPECT_EQ(f.lbStat.Caption(), "瀏覽");
    EXPECT_TRUE(f.cmdAdd.Enabled() && f.cmdEdit.Enabled() && f.cmdDel.Enabled());
    EXPECT_FALSE(f.cmdSv.Enabled() || f.cmdCen.Enabled() || f.cmdPj.Enabled() || f.frme.Enabled());
    EXPECT_TRUE(f.FSB.Visible());
    EXPECT_TRUE(f.optI.Enabled() && f.optO.Enabled());
    EXPECT_FALSE(f.txtfnLet.Enabled());
    EXPECT_EQ(f.Height(), frmRio::FullHeight);
    EXPECT_FALSE(f.cmdAll.Visible());
    EXPECT_TRUE(f.fmeSer.Enabled());
}

TEST_F(ContractFormTest, OpensOnTheLastContractAndStepsInNumberOrder) {
    contract("ri", "11512010");
    contract("ri", "11512002", "500,000");
    contract("ro", "11512099");
    frmRio& f = openForm();
    expectBrowsing(f);
    EXPECT_EQ(f.lbNo.Caption(), "11512010");
    EXPECT_EQ(f.lbSin.Caption(), "中華民國 115/11/30");
    EXPECT_EQ(f.FSB.Max(), 1);
    host.scroll(f.FSB, 0);
    EXPECT_EQ(f.lbNo.Caption(), "11512002");
    EXPECT_EQ(f.txtTal.Text(), "500,000");
    EXPECT_EQ(f.lbCC.Caption(), "500,000");
    EXPECT_EQ(f.NavigatorPosition, 0);
}

TEST_F(ContractFormTest, AddingShowsTheCompactViewAndCancelGoesToTheLastContract) {
    contract("ri", "11512001");
    contract("ri", "11512003");
    frmRio& f = openForm();
    host.scroll(f.FSB, 0);
    host.click(f.cmdAdd);
    EXPECT_EQ(f.lbStat.Caption(), "新增中");
    EXPECT_EQ(f.Height(), frmRio::CompactHeight);
    EXPECT_TRUE(f.cmdAll.Visible());
    EXPECT_FALSE(f.FSB.Visible());
    EXPECT_FALSE(f.optI.Enabled() || f.optO.Enabled() || f.cmdAdd.Enabled());
    EXPECT_TRUE(f.cmdSv.Enabled() && f.cmdPj.Enabled() && f.frme.Enabled());
    EXPECT_FALSE(f.txtfnLet.Enabled());
    EXPECT_FALSE(f.cmdSer.IsEffectivelyEnabled()) << "no search while the header is edited";
    EXPECT_EQ(f.lbNo.Caption(), "115120601");
    EXPECT_TRUE(f.AddingContract);
    host.click(f.cmdCen);
    expectBrowsing(f);
    EXPECT_EQ(f.lbNo.Caption(), "11512003");
    EXPECT_FALSE(f.AddingContract);
}

TEST_F(ContractFormTest, CancelRestoresTheHeaderOfASingleContractAndKeepsTheGrids) {
    contract("ri", "11512001");
    frmRio& f = openForm();
    host.click(f.cmdAdd);
    host.click(f.cmdCen);
    EXPECT_EQ(f.txtNa.Text(), "合約11512001");
    host.click(f.cmdEdit);
    EXPECT_TRUE(f.txtfnLet.Enabled());
    EXPECT_FALSE(f.fmeSer.Enabled());
    host.act([&] { f.txtNa.SetText("改過"); });
    host.click(f.cmdAM);
    host.click(f.cmdCen);
    expectBrowsing(f);
    EXPECT_EQ(f.txtNa.Text(), "合約11512001");
    EXPECT_EQ(f.HfgAM.TextMatrix(1, 0), "追加1");
}

TEST_F(ContractFormTest, TheCompactBarAsksWhetherToSave) {
    frmRio& f = openForm();
    host.click(f.cmdAll);  // browsing: nothing
    host.click(f.cmdAdd);
    host.expectMessage("是否儲存?", AnswerYes);
    host.expectMessage("請填入簽約日期");
    host.click(f.cmdAll);
    EXPECT_EQ(host.messages()[0].style, 35);
    EXPECT_EQ(f.lbStat.Caption(), "新增中");
    EXPECT_EQ(f.Height(), frmRio::FullHeight);
    EXPECT_FALSE(f.cmdAll.Visible());
    host.click(f.cmdCen);
    host.click(f.cmdAdd);
    host.expectMessage("是否儲存?", AnswerCancel);
    host.click(f.cmdAll);
    expectBrowsing(f);
    EXPECT_TRUE(contracts().empty());
}

TEST_F(ContractFormTest, PendingGridEditsAreAskedBeforeAMoveAndNoDropsThem) {
    contract("ri", "11512001");
    contract("ri", "11512002");
    frmRio& f = openForm();
    host.click(f.cmdAc);
    host.click(f.cmdEa);
    host.expectMessage("期數修改中是否儲存?", AnswerNo);
    host.expectMessage("追加修改中是否儲存?", AnswerNo);
    host.scroll(f.FSB, 0);
    EXPECT_EQ(host.messages()[0].style, 292);
    EXPECT_FALSE(f.cmdAcSv.Enabled());
    EXPECT_FALSE(f.cmdAmSv.Enabled());
    EXPECT_FALSE(f.InstalmentsEditing || f.AdditionsEditing);
    EXPECT_TRUE(rows(AccDb(), "SELECT * FROM ri期").empty());
    EXPECT_EQ(f.hfg.TextMatrix(1, 0), "");
    // Closing asks nothing.
    host.click(f.cmdAM);
    f.Unload();
}

// Yes to the question for a grid that cannot be stored is refused and stops the move and the change
// of kind: the edits stay on their contract. Once they can be stored, Yes stores them on the kind
// shown, though the option of the other kind is already chosen when its switch asks.
TEST_F(ContractFormTest, ARefusedSaveOfPendingEditsStopsTheMoveAndKeepsThem) {
    contract("ri", "11512001");
    contract("ri", "11512002");
    contract("ro", "11512002");
    frmRio& f = openForm();
    host.click(f.cmdAc);
    const std::function<void()> moves[] = {[&] { host.scroll(f.FSB, 0); },
                                           [&] { host.click(f.optO); }};
    for (const auto& move : moves) {
        host.expectMessage("期數修改中是否儲存?", AnswerYes);
        host.expectMessage("請填入金額及應付日期");
        move();
        EXPECT_EQ(f.lbNo.Caption(), "11512002");
        EXPECT_EQ(f.FSB.Value(), 1);
        EXPECT_TRUE(f.optI.Value() && !f.optO.Value());
        EXPECT_EQ(f.frme.BackColor(), 0xFFC0C0u);
        EXPECT_TRUE(f.InstalmentsEditing);
        EXPECT_EQ(f.hfg.TextMatrix(1, 0), "第1期");
    }
    host.act([&] {
        f.hfg.SetTextMatrix(1, 1, "700");
        f.hfg.SetTextMatrix(1, 2, "115/12/27");
    });
    host.expectMessage("期數修改中是否儲存?", AnswerYes);
    host.click(f.optO);
    EXPECT_EQ(rows(AccDb(), "SELECT id, 預付金 FROM ri期"), Texts{"11512002|700"});
    EXPECT_TRUE(rows(AccDb(), "SELECT * FROM ro期").empty());
    EXPECT_EQ(f.lbNo.Caption(), "11512002");
    EXPECT_TRUE(f.optO.Value());
    EXPECT_FALSE(f.InstalmentsEditing);
}

// A header being edited or pending grid edits keep another form's action from closing the form.
TEST_F(ContractFormTest, UnsavedInputKeepsTheFormFromBeingClosedByAnotherForm) {
    contract("ri", "11512001");
    frmRio& f = openForm();
    const auto closedByAnotherForm = [&] {
        bool closed = false;
        host.act([&] { closed = UnloadUnlessUnsaved("frmRio"); });
        return closed;
    };
    host.click(f.cmdEdit);
    host.expectMessage("請先關閉應收付帳款作業");
    EXPECT_FALSE(closedByAnotherForm());
    host.click(f.cmdCen);
    host.click(f.cmdEa);
    host.expectMessage("請先關閉應收付帳款作業");
    EXPECT_FALSE(closedByAnotherForm());
    EXPECT_EQ(Forms::find("frmRio"), &f);
    host.click(f.cmdAmSv);
    EXPECT_TRUE(closedByAnotherForm());
    EXPECT_EQ(host.messages().size(), 2u);
}

TEST_F(ContractFormTest, TheCounterpartyFillsContactAndTelephone) {
    frmRio& f = openForm();
    EXPECT_EQ(f.cbCna.ListCount(), 3) << "a nameless customer is no counterparty";
    EXPECT_EQ(f.cbCna.List(1), "乙公司");
    host.click(f.cmdAdd);
    host.pick(f.cbCna, 1);
    EXPECT_EQ(f.txtCcnt.Text(), "王先生");
    EXPECT_EQ(f.txtCtel.Text(), "02-23456789");
    host.act([&] { f.cbCna.SetText("不在名單"); });
    host.act([&] { f.cbCna_Click(); });
    EXPECT_EQ(f.txtCcnt.Text(), "王先生");
}

TEST_F(ContractFormTest, OpeningOnOneContractHidesNavigationAndModes) {
    contract("ro", "11512005");
    contract("ro", "11512009");
    contract("ri", "11512005");
    HandOver<bool> mode(OpenContractMode, true);
    HandOver<std::string> no(OpenContractNo, "11512005");
    frmRio& f = openForm();
    EXPECT_TRUE(f.optO.Value());
    EXPECT_EQ(f.lbNo.Caption(), "11512005");
    EXPECT_EQ(f.Label4.Caption(), "廠 商 名 稱:");
    for (Control* c : std::initializer_list<Control*>{&f.FSB, &f.cmdAdd, &f.cmdEdit, &f.cmdDel,
                                                      &f.cmdCen, &f.cmdSv, &f.fmeSer})
        EXPECT_FALSE(c->Visible()) << c->Name();
}

TEST_F(ContractFormTest, OpeningOnAMissingNumberShowsAnEmptyForm) {
    contract("ri", "11512001");
    instalment("11512001", 1, "100", "50.00%");
    HandOver<bool> mode(OpenContractMode, true);
    HandOver<bool> side(OpenContractIsReceivable, true);
    HandOver<std::string> no(OpenContractNo, "99999999");
    frmRio& f = openForm();
    EXPECT_EQ(f.lbNo.Caption() + f.txtNa.Text() + f.hfg.TextMatrix(1, 1), "");
    EXPECT_EQ(f.hfg.Rows(), 2);
}

}  // namespace
