#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/contracts/ContractBook.h"

using namespace kiv;

namespace {

constexpr int Inset = 2 * TwipsPerPixel;

class ContractGridEditingTest : public test::ContractBook {
  protected:
    // A receivable contract of 1,000,000 with a settled first instalment and an open second.
    frmRio& contractWithTwoInstalments() {
        contract("ri", "115120601");
        instalment("115120601", 1, "300,000", "30.00%", true, "300,000");
        instalment("115120601", 2, "700,000", "70.00%");
        frmRio& f = openForm();
        for (CommandButton* save : {&f.cmdAcSv, &f.cmdAmSv, &f.cmdMsv})
            host.act([&] { save->SetEnabled(false); });
        return f;
    }

    static void expectOverCell(const TextBox& editor, const Grid& grid, int row, int col,
                               int narrowing = 0) {
        EXPECT_TRUE(editor.Visible());
        EXPECT_EQ(editor.Left(), grid.Left() + grid.ColPos(col) + Inset);
        EXPECT_EQ(editor.Top(), grid.Top() + grid.RowPos(row) + Inset);
        EXPECT_EQ(editor.Width(), grid.ColWidth(col) - narrowing);
        EXPECT_EQ(editor.Height(), grid.CellHeight());
    }

    static void expectAllSelected(const TextBox& editor, const std::string& text) {
        EXPECT_EQ(editor.Text(), text);
        EXPECT_EQ(editor.SelStart(), 0);
        EXPECT_EQ(editor.SelText(), text);
    }

    std::vector<std::pair<std::string, bool>> lastMenu() const {
        return host.popups().empty() ? std::vector<std::pair<std::string, bool>>{}
                                     : host.popups().back().entries;
    }
};

using Entries = std::vector<std::pair<std::string, bool>>;
const Entries DeleteOnly{{"mdel", true}, {"mMach", false}};
const Entries SettleOnly{{"mdel", false}, {"mMach", true}};
const Entries Neither{{"mdel", false}, {"mMach", false}};

TEST_F(ContractGridEditingTest, ALeftClickEditsOnlyALabelledDataCellOfAGridBeingEdited) {
    frmRio& f = contractWithTwoInstalments();
    host.mouseUpCell(f.hfg, 2, 1, LeftButton);
    EXPECT_FALSE(f.txt.Visible()) << "outside editing mode";
    EXPECT_FALSE(f.cmdAcSv.Enabled());
    EXPECT_EQ(std::pair(f.ClickedRow, f.ClickedCol), std::pair(2, 1));
    EXPECT_EQ(std::pair(f.hfg.Row(), f.hfg.Col()), std::pair(2, 1));

    host.click(f.cmdEc);
    for (auto [row, col] : {std::pair{1, 0}, std::pair{0, 2}}) {
        host.mouseUpCell(f.hfg, row, col, LeftButton);
        EXPECT_FALSE(f.txt.Visible() || f.dtpi.Visible() || f.txtsc.Visible()) << row << col;
        EXPECT_FALSE(f.cmdAcSv.Enabled()) << row << col;
    }

    host.mouseUpCell(f.hfg, 1, 1, LeftButton);
    expectOverCell(f.txt, f.hfg, 1, 1);
    expectAllSelected(f.txt, "300000");
    EXPECT_EQ(f.ActiveControl(), &f.txt);
    EXPECT_TRUE(f.cmdAcSv.Enabled());

    // Another column: the date picker takes the place of the text box.
    host.mouseUpCell(f.hfg, 2, 2, LeftButton);
    EXPECT_FALSE(f.txt.Visible());
    EXPECT_TRUE(f.dtpi.Visible());
    EXPECT_EQ(f.dtpi.Value(), day(2026, 12, 27));
    EXPECT_EQ(f.dtpi.Left() + f.dtpi.Width(),
              f.hfg.Left() + f.hfg.ColPos(2) + f.hfg.ColWidth(2) + Inset);
    EXPECT_EQ(f.dtpi.Top(), f.hfg.Top() + f.hfg.RowPos(2) + Inset);
    host.pickDate(f.dtpi, day(2027, 1, 5));
    EXPECT_EQ(f.hfg.TextMatrix(2, 2), "116/01/05");
    EXPECT_FALSE(f.dtpi.Visible());

    host.mouseUpCell(f.hfg, 2, 5, LeftButton);
    expectAllSelected(f.txt, "");
    // The receipts beside are never edited.
    host.mouseUpCell(f.hfg1, 1, 0, LeftButton);
    EXPECT_TRUE(f.txt.Visible());
}

TEST_F(ContractGridEditingTest, AClickOnTheBlankRowOfAnEmptiedGridAsksForAPeriodFirst) {
    contract("ri", "115120601");
    frmRio& f = openForm();
    host.act([&] { f.cmdMsv.SetEnabled(false); });
    for (CommandButton* edit : {&f.cmdEc, &f.cmdEa, &f.cmdEm})
        host.click(*edit);
    for (Grid* grid : {&f.hfg, &f.HfgAM, &f.hfgM}) {
        host.expectMessage("請先新增期數");
        host.mouseUpCell(*grid, 1, 1, LeftButton);
    }
    EXPECT_FALSE(f.cmdMsv.Enabled());
    for (Control* editor :
         std::initializer_list<Control*>{&f.txt, &f.txtsc, &f.txtA, &f.txtM, &f.dtpi, &f.dtpA})
        EXPECT_FALSE(editor->Visible()) << editor->Name();
}

TEST_F(ContractGridEditingTest, TheShareBoxProposesWhatTheSharesAboveLeaveOfTheWhole) {
    struct Case {
        std::vector<std::string> above;
        std::string total, share, amount;
    };
    const std::vector<Case> cases{
        {{}, "1,000,000", "100%", "1,000,000"},
        {{"33.33%", "33.33%"}, "1,000,000", "33.34%", "333,400"},
        {{"33%", "33%"}, "1,000,000", "34%", "340,000"},
        {{"", "50%"}, "1,000,000", "50%", "500,000"},  // an empty share holds none
        {{"25"}, "1,000,000", "75%", "750,000"},       // read whole without its "%"
        {{"12.5%", "0.45%"}, "", "87.05%", "0"},       // no total: no amount
        {{"60%", "60%"}, "1,000", "-20%", "-200"},
    };
    contract("ri", "115120601");
    frmRio& f = openForm();
    host.click(f.cmdEc);
    for (const Case& c : cases) {
        const int row = static_cast<int>(c.above.size()) + 1;
        host.act([&] {
            f.ClearContractGrids();
            f.hfg.SetRows(row + 1);
            for (int r = 1; r <= row; ++r)
                f.hfg.SetTextMatrix(r, 0, "第" + std::to_string(r) + "期");
            for (int r = 1; r < row; ++r)
                f.hfg.SetTextMatrix(r, 3, c.above[r - 1]);
            f.txtTal.SetText(c.total);
        });
        host.mouseUpCell(f.hfg, row, 3, LeftButton);
        EXPECT_EQ(f.hfg.TextMatrix(row, 3), c.share) << c.share;
        EXPECT_EQ(f.hfg.TextMatrix(row, 1), c.amount) << c.share;
        expectOverCell(f.txtsc, f.hfg, row, 3, 180);
        expectAllSelected(f.txtsc, c.share.substr(0, c.share.size() - 1));
    }
    // A share already there is offered as it is, and its amount follows it.
    host.act([&] {
        f.hfg.SetTextMatrix(1, 3, "25.5%");
        f.hfg.SetTextMatrix(1, 1, "1");
    });
    host.mouseUpCell(f.hfg, 1, 3, LeftButton);
    expectAllSelected(f.txtsc, "25.5");
    EXPECT_EQ(f.hfg.TextMatrix(1, 1), "255");
}

TEST_F(ContractGridEditingTest, TheRunningExampleOfThreeInstalmentsCompletesTheSchedule) {
    contract("ri", "115120601");
    instalment("115120601", 1, "333,300", "33.33%");
    instalment("115120601", 2, "333,300", "33.33%");
    frmRio& f = openForm();
    host.click(f.cmdAc);
    host.mouseUpCell(f.hfg, 3, 3, LeftButton);
    EXPECT_EQ(f.hfg.TextMatrix(3, 3), "33.34%");
    EXPECT_EQ(f.hfg.TextMatrix(3, 1), "333,400");
    expectAllSelected(f.txtsc, "33.34");
}

TEST_F(ContractGridEditingTest, AdditionAndReductionCellsOpenTheirOwnEditors) {
    contract("ri", "115120601");
    AccDb().Execute(
        "INSERT INTO ri加 (id, 期別, 報價單號, 合約單號, 金額, 預付日, 送帳日, 實收金, 處理) "
        "VALUES ('115120601', 1, 'Q2', 'K2', '1,250,000', NULL, '2006-12-27', '', 0)");
    AccDb().Execute(
        "INSERT INTO ri減 (id, 期別, 報價單號, 合約單號, 金額) VALUES ('115120601', 1, 'Q3', "
        "'K3', '10,000')");
    frmRio& f = openForm();
    host.click(f.cmdEa);
    host.click(f.cmdEm);
    host.mouseUpCell(f.HfgAM, 1, 3, LeftButton);
    expectOverCell(f.txtA, f.HfgAM, 1, 3);
    expectAllSelected(f.txtA, "1250000");
    EXPECT_TRUE(f.cmdAmSv.Enabled());

    host.mouseUpCell(f.HfgAM, 1, 4, LeftButton);  // empty: today
    EXPECT_FALSE(f.txtA.Visible());
    EXPECT_EQ(f.dtpA.Value(), day(2026, 12, 6));
    host.mouseUpCell(f.HfgAM, 1, 5, LeftButton);
    EXPECT_EQ(f.dtpA.Value(), day(2006, 12, 27));
    host.act([&] { f.HfgAM.SetTextMatrix(1, 4, "第二期"); });
    host.mouseUpCell(f.HfgAM, 1, 4, LeftButton);  // not a date: today
    EXPECT_EQ(f.dtpA.Value(), day(2026, 12, 6));
    host.pickDate(f.dtpA, day(2027, 2, 28));
    EXPECT_EQ(f.HfgAM.TextMatrix(1, 4), "116/02/28");

    host.mouseUpCell(f.hfgM, 1, 2, LeftButton);
    expectOverCell(f.txtM, f.hfgM, 1, 2);
    expectAllSelected(f.txtM, "K3");
    // A grid hides only its own editors; a save hides every one.
    host.mouseUpCell(f.HfgAM, 1, 1, LeftButton);
    EXPECT_TRUE(f.txtM.Visible());
    EXPECT_TRUE(f.txtA.Visible());
    host.click(f.cmdMsv);
    EXPECT_FALSE(f.txtM.Visible() || f.txtA.Visible());
}

TEST_F(ContractGridEditingTest, ARightClickOpensTheMenuWithTheCommandsTheRowAllows) {
    frmRio& f = contractWithTwoInstalments();
    AccDb().Execute(
        "INSERT INTO ri加 (id, 期別, 金額, 實收金, 處理) VALUES ('115120601', 1, '50,000', '', 0)");
    AccDb().Execute("INSERT INTO ri減 (id, 期別, 金額) VALUES ('115120601', 1, '10,000')");
    host.act([&] {
        f.ClearContractGrids();
        f.LoadReceivableGrids("115120601");
        f.hfgAm1.SetRows(3);
    });
    struct Case {
        Grid* grid;
        int row;
        Entries menu;
        int popupGrid;
    };
    const std::vector<Case> opening{
        {&f.hfg, 1, DeleteOnly, 1},  {&f.HfgAM, 1, DeleteOnly, 3}, {&f.hfgM, 1, DeleteOnly, 5},
        {&f.hfg1, 1, DeleteOnly, 2}, {&f.hfg1, 2, SettleOnly, 2},  {&f.hfgAm1, 1, SettleOnly, 4},
        {&f.hfgAm1, 2, Neither, 4},
    };
    for (const Case& c : opening) {
        host.cancelPopup();
        host.mouseUpCell(*c.grid, c.row, 1, RightButton);
        EXPECT_EQ(lastMenu(), c.menu) << c.grid->Name() << c.row;
        EXPECT_EQ(host.popups().back().menu, "md");
        EXPECT_EQ(f.PopupGrid, c.popupGrid);
        EXPECT_EQ(f.ClickedRow, c.row);
    }
    const size_t shown = host.popups().size();
    for (Grid* grid : {&f.hfg, &f.hfg1, &f.HfgAM, &f.hfgAm1, &f.hfgM})
        host.mouseUpCell(*grid, 0, 1, RightButton);
    host.mouseUpCell(f.hfg, 2, 1, MiddleButton);
    EXPECT_EQ(host.popups().size(), shown) << "the caption row or another button opens none";

    // While a grid is edited its rows offer no menu; the receipts beside it still do.
    for (CommandButton* edit : {&f.cmdEc, &f.cmdEa, &f.cmdEm})
        host.click(*edit);
    for (Grid* grid : {&f.hfg, &f.HfgAM, &f.hfgM})
        host.mouseUpCell(*grid, 1, 1, RightButton);
    EXPECT_EQ(host.popups().size(), shown);
    host.cancelPopup();
    host.mouseUpCell(f.hfg1, 2, 3, RightButton);
    EXPECT_EQ(lastMenu(), SettleOnly);
    EXPECT_EQ(std::pair(f.ClickedRow, f.ClickedCol), std::pair(2, 3));
}

TEST_F(ContractGridEditingTest, AReceiptGridLeavesTheCurrentCellAndTheEditorsAsTheyAre) {
    frmRio& f = contractWithTwoInstalments();
    host.click(f.cmdEc);
    host.mouseUpCell(f.hfg, 2, 1, LeftButton);
    const int row = f.hfg1.Row(), col = f.hfg1.Col();
    host.cancelPopup();
    host.mouseUpCell(f.hfg1, 1, 4, RightButton);
    EXPECT_EQ(std::pair(f.hfg1.Row(), f.hfg1.Col()), std::pair(row, col));
    EXPECT_TRUE(f.txt.Visible());
    EXPECT_EQ(std::pair(f.hfg.Row(), f.hfg.Col()), std::pair(2, 1));
}

}  // namespace
