#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "shell/Schema.h"
#include "tests/contracts/ContractBook.h"
#include "tests/support/WriteFaults.h"

using namespace kiv;
using namespace kiv::test;

namespace {

// The grids of the contract form: instalments, additions and reductions, their cell editors, the
// totals, and their saves.
class ContractScheduleTest : public ContractBook {
  protected:
    // Receivable contract 115120601 with instalments 1 "300,000" (settled unless said) and 2
    // "700,000", shown in the form.
    frmRio& twoInstalments(const std::string& total = "1,000,000", bool firstSettled = true) {
        AddContract("ri", "115120601", total);
        AddScheduleRow("ri期", "115120601", 1, "300,000", firstSettled ? "1151206001" : "",
                       "30.00%");
        AddScheduleRow("ri期", "115120601", 2, "700,000", "", "70.00%");
        return openForm();
    }
    static std::string amountAndShare(const frmRio& f, int row) {
        return f.schedules.hfg.TextMatrix(row, 1) + "|" + f.schedules.hfg.TextMatrix(row, 3);
    }
    // Opens the editor of the cell and types over what it offers.
    void typeInto(Grid& grid, int row, int col, TextBox& editor, const std::string& text) {
        host.mouseUpCell(grid, row, col, LeftButton);
        ASSERT_TRUE(editor.Visible());
        host.type(editor, text);
    }
    // Contract 115120601 with instalments 300,000 (settled), 300,000 and 400,000.
    void threeInstalments() {
        AddContract("ri", "115120601");
        AddScheduleRow("ri期", "115120601", 1, "300,000", "1151206001", "30.00%");
        AddScheduleRow("ri期", "115120601", 2, "300,000", "", "30.00%");
        AddScheduleRow("ri期", "115120601", 3, "400,000", "", "40.00%");
    }
    // Another copy rewrites those three instalments as two once the instalment grid has taken
    // its three data rows while it is filled: between the reads of one load.
    struct RewriteAsTwoWhileShown : WhenGridTakesRows {
        RewriteAsTwoWhileShown(Database& copy, Grid& grid)
            : WhenGridTakesRows(grid, 4, [&copy] {
                  copy.Execute("DELETE FROM ri期");
                  copy.Execute(
                      "INSERT INTO ri期 (id, 期別, 預付金, 預付日, 佔總價比例, 處理) VALUES "
                      "('115120601', 1, '400,000', '2026-12-30', '40.00%', 0), "
                      "('115120601', 2, '600,000', '2026-12-30', '60.00%', 0)");
              }) {}
    };
    static std::string offered(const TextBox& editor) {
        return editor.SelStart() == 0 && editor.SelText() == editor.Text() ? editor.Text()
                                                                           : "(not selected)";
    }
};

TEST_F(ContractScheduleTest, GridsShowTheScheduleTotalsAndReceiptsOnlyForSettledRows) {
    AddContract("ri", "115120601");
    AddScheduleRow("ri期", "115120601", 1, "300,000", "1151206001", "30.00%");
    AddScheduleRow("ri期", "115120601", 2, "700,000", "", "70.00%");
    AccDb().Execute("UPDATE ri期 SET 實收金 = CASE 期別 WHEN 1 THEN '300000' ELSE '1' END");
    AccDb().Execute(
        "INSERT INTO ri加 (id, 期別, 金額, 實收金, 處理) VALUES ('115120601', 1, '50,000', '', 0), "
        "('115120601', 2, '20,000', '20,000', 1)");
    AccDb().Execute("INSERT INTO ri減 (id, 期別, 金額) VALUES ('115120601', 1, '10,000')");
    AccDb().Execute("UPDATE ri SET fnLet = '5,000'");
    frmRio& f = openForm();
    EXPECT_EQ(f.schedules.hfg.TextMatrix(2, 0) + "|" + f.schedules.hfg.TextMatrix(1, 2),
              "第2期|115/12/27");
    EXPECT_EQ(GridRow(f.schedules.hfg1, 1, 0, 2), (Texts{"300,000", "115/12/20", "支票"}));
    EXPECT_EQ(f.schedules.hfg1.TextMatrix(2, 0), "") << "an open row shows no receipt";
    const Label* totals[] = {&f.lbCC,  &f.lbAC, &f.lbMC,  &f.lbTAC,
                             &f.lbACC, &f.lbBC, &f.lbACP, &f.lbBCP};
    Texts shown;
    for (const Label* total : totals)
        shown.push_back(total->Caption());
    EXPECT_EQ(shown, (Texts{"1,000,000", "70,000", "10,000", "1,055,000", "320,000", "735,000",
                            "30.33%", "69.67%"}));
    host.act([&] { f.txtfnLet.SetText("1,234.6"); });
    EXPECT_EQ(f.lbTAC.Caption(), "1,058,765");
}

TEST_F(ContractScheduleTest, AddingRowsFollowsTheLabelAndShareRules) {
    AddContract("ri", "115120601");
    frmRio& f = openForm();
    host.click(f.schedules.cmdAc);
    EXPECT_EQ(f.schedules.hfg.TextMatrix(1, 0), "第1期");
    host.expectMessage("無法新增\r\n請先完成先前期數的預付金額");
    host.click(f.schedules.cmdAc);
    for (auto [row, share] : {std::pair{1, "0.08%"}, {2, "86.07%"}, {3, "13.84%"}}) {
        host.act([&] {
            f.schedules.hfg.SetTextMatrix(row, 1, "1");
            f.schedules.hfg.SetTextMatrix(row, 3, share);
        });
        host.click(f.schedules.cmdAc);  // at 99.99 %: a fourth is allowed
    }
    EXPECT_EQ(f.schedules.hfg.Rows(), 5);
    EXPECT_EQ(f.schedules.hfg1.Rows(), 5);
    host.act([&] {
        f.schedules.hfg.SetTextMatrix(4, 1, "1");
        f.schedules.hfg.SetTextMatrix(3, 3, "13.85%");
    });
    host.expectMessage("無法新增\r\n所有期數已包含所有金額");
    host.click(f.schedules.cmdAc);
    EXPECT_EQ(f.schedules.hfg.Rows(), 5);
    host.click(f.schedules.cmdAM);
    host.click(f.schedules.cmdAM);
    host.click(f.schedules.cmdM);
    EXPECT_EQ(f.schedules.HfgAM.TextMatrix(2, 0) + "|" + f.schedules.hfgM.TextMatrix(1, 0),
              "追加2|追減1");
    EXPECT_EQ(f.schedules.hfgAm1.Rows(), 3);
}

TEST_F(ContractScheduleTest, ALeftClickEditsOnlyALabelledDataCellOfAGridBeingEdited) {
    frmRio& f = twoInstalments();
    for (CommandButton* save : {&f.schedules.cmdAcSv, &f.schedules.cmdAmSv, &f.schedules.cmdMsv})
        host.act([&] { save->SetEnabled(false); });
    host.mouseUpCell(f.schedules.hfg, 2, 1, LeftButton);
    EXPECT_FALSE(f.schedules.txt.Visible() || f.schedules.cmdAcSv.Enabled())
        << "outside editing mode";
    EXPECT_EQ(std::pair(f.schedules.hfg.Row(), f.schedules.hfg.Col()), std::pair(2, 1));
    host.click(f.schedules.cmdEc);
    for (auto [row, col] : {std::pair{1, 0}, std::pair{0, 2}}) {
        host.mouseUpCell(f.schedules.hfg, row, col, LeftButton);
        EXPECT_FALSE(f.schedules.txt.Visible() || f.schedules.dtpi.Visible() ||
                     f.schedules.txtsc.Visible() || f.schedules.cmdAcSv.Enabled())
            << row << col;
    }
    host.mouseUpCell(f.schedules.hfg, 1, 1, LeftButton);
    EXPECT_EQ(offered(f.schedules.txt), "300000");
    EXPECT_EQ(f.ActiveControl(), &f.schedules.txt);
    EXPECT_TRUE(f.schedules.cmdAcSv.Enabled());
    // The date column: the date picker takes the place of the text box.
    host.mouseUpCell(f.schedules.hfg, 2, 2, LeftButton);
    EXPECT_FALSE(f.schedules.txt.Visible());
    EXPECT_EQ(f.schedules.dtpi.Value(), day(2026, 12, 27));
    host.pickDate(f.schedules.dtpi, day(2027, 1, 5));
    EXPECT_EQ(f.schedules.hfg.TextMatrix(2, 2), "116/01/05");
    EXPECT_FALSE(f.schedules.dtpi.Visible());
    host.mouseUpCell(f.schedules.hfg, 2, 5, LeftButton);
    EXPECT_EQ(offered(f.schedules.txt), "INV");
    // The receipts beside are never edited, and leave the current cell and the editors.
    host.mouseUpCell(f.schedules.hfg1, 1, 0, LeftButton);
    const auto receiptCell = std::pair(f.schedules.hfg1.Row(), f.schedules.hfg1.Col());
    host.cancelPopup();
    host.mouseUpCell(f.schedules.hfg1, 1, 4, RightButton);
    EXPECT_TRUE(f.schedules.txt.Visible());
    EXPECT_EQ(std::pair(f.schedules.hfg1.Row(), f.schedules.hfg1.Col()), receiptCell);
    EXPECT_EQ(std::pair(f.schedules.hfg.Row(), f.schedules.hfg.Col()), std::pair(2, 5));
}

TEST_F(ContractScheduleTest, AClickOnTheBlankRowOfAnEmptiedGridAsksForAPeriodFirst) {
    AddContract("ri", "115120601");
    frmRio& f = openForm();
    host.act([&] { f.schedules.cmdMsv.SetEnabled(false); });
    for (CommandButton* edit : {&f.schedules.cmdEc, &f.schedules.cmdEa, &f.schedules.cmdEm})
        host.click(*edit);
    for (Grid* grid : {&f.schedules.hfg, &f.schedules.HfgAM, &f.schedules.hfgM}) {
        host.expectMessage("請先新增期數");
        host.mouseUpCell(*grid, 1, 1, LeftButton);
    }
    EXPECT_FALSE(f.schedules.cmdMsv.Enabled());
    for (Control* editor :
         std::initializer_list<Control*>{&f.schedules.txt, &f.schedules.txtsc, &f.schedules.txtA,
                                         &f.schedules.txtM, &f.schedules.dtpi, &f.schedules.dtpA})
        EXPECT_FALSE(editor->Visible()) << editor->Name();
}

TEST_F(ContractScheduleTest, TheShareBoxProposesWhatTheSharesAboveLeaveOfTheWhole) {
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
    AddContract("ri", "115120601");
    frmRio& f = openForm();
    host.click(f.schedules.cmdEc);
    for (const Case& c : cases) {
        const int row = static_cast<int>(c.above.size()) + 1;
        host.act([&] {
            f.ClearContractGrids();
            f.schedules.hfg.SetRows(row + 1);
            for (int r = 1; r <= row; ++r)
                f.schedules.hfg.SetTextMatrix(r, 0, "第" + std::to_string(r) + "期");
            for (int r = 1; r < row; ++r)
                f.schedules.hfg.SetTextMatrix(r, 3, c.above[r - 1]);
            f.txtTal.SetText(c.total);
        });
        host.mouseUpCell(f.schedules.hfg, row, 3, LeftButton);
        EXPECT_EQ(amountAndShare(f, row), c.amount + "|" + c.share);
        EXPECT_EQ(offered(f.schedules.txtsc), c.share.substr(0, c.share.size() - 1));
    }
    // A share already there is offered as it is, and its amount follows it.
    host.act([&] {
        f.schedules.hfg.SetTextMatrix(1, 3, "25.5%");
        f.schedules.hfg.SetTextMatrix(1, 1, "1");
    });
    host.mouseUpCell(f.schedules.hfg, 1, 3, LeftButton);
    EXPECT_EQ(offered(f.schedules.txtsc) + "|" + f.schedules.hfg.TextMatrix(1, 1), "25.5|255");
}

TEST_F(ContractScheduleTest, TypedAmountsAndSharesFollowEachOther) {
    frmRio& f = twoInstalments("1,000,000", false);
    host.click(f.schedules.cmdEc);
    host.mouseUpCell(f.schedules.hfg, 1, 1, LeftButton);
    for (auto [key, shown] : {std::pair{"2", "300,000|0.00%"},
                              {"5", "300,000|0.00%"},
                              {"0", "300,000|0.03%"},
                              {"0", "300,000|0.25%"},
                              {"0", "300,000|2.50%"},
                              {"0", "300,000|25.00%"}}) {
        host.type(f.schedules.txt, key);
        EXPECT_EQ(amountAndShare(f, 1), shown) << f.schedules.txt.Text();
    }
    host.focus(f.schedules.cmdEc);
    EXPECT_EQ(amountAndShare(f, 1), "250,000|25.00%");
    EXPECT_EQ(amountAndShare(f, 2), "700,000|70.00%") << "only the edited row";

    host.mouseUpCell(f.schedules.hfg, 2, 3, LeftButton);
    EXPECT_EQ(f.schedules.txtsc.Text(), "70.00");
    struct Typing {
        bool over;
        const char *typed, *shown;
    };
    for (const Typing& t :
         {Typing{false, "2", "20,000|2%"}, Typing{false, "5", "250,000|25%"},
          Typing{true, "12.5", "125,000|12.5%"}, Typing{true, "33.33", "333,300|33.33%"},
          Typing{false, "5", "333,300|33.335%"}}) {
        if (t.over) host.act([&] { f.schedules.txtsc.SelectAll(); });
        host.type(f.schedules.txtsc, t.typed);
        EXPECT_EQ(amountAndShare(f, 2), t.shown)
            << "multiplied first, rounded last; no share (three decimals) leaves the amount";
    }
    host.focus(f.schedules.cmdEc);
    EXPECT_EQ(amountAndShare(f, 2), "333,300|33.335%");
    // Placing an editor recomputes at once.
    host.act([&] {
        f.schedules.hfg.SetTextMatrix(2, 1, "333,333");
        f.schedules.hfg.SetTextMatrix(2, 3, "33.33%");
    });
    host.mouseUpCell(f.schedules.hfg, 2, 3, LeftButton);
    EXPECT_EQ(amountAndShare(f, 2), "333,300|33.33%");
    // An editor hidden with the focus writes nothing when left.
    typeInto(f.schedules.hfg, 1, 1, f.schedules.txt, "999");
    host.act([&] { f.schedules.HideCellEditors(); });
    host.focus(f.schedules.cmdEc);
    EXPECT_EQ(amountAndShare(f, 1), "250,000|0.10%");
}

TEST_F(ContractScheduleTest, WithoutATotalTheShareStaysEmptyAndTheAmountIsSaved) {
    frmRio& f = twoInstalments("0", false);
    host.click(f.schedules.cmdEc);
    typeInto(f.schedules.hfg, 1, 1, f.schedules.txt, "5000");
    EXPECT_EQ(amountAndShare(f, 1), "300,000|");
    host.click(f.schedules.cmdAcSv);
    EXPECT_EQ(rows(AccDb(), "SELECT 預付金, 佔總價比例 FROM ri期 WHERE 期別 = 1"),
              (Texts{"5,000|"}));
    host.act([&] {
        f.LastAmountBox.clear();
        f.txtTal.SetText("");
    });
    host.click(f.schedules.cmdEc);
    typeInto(f.schedules.hfg, 2, 3, f.schedules.txtsc, "5");
    EXPECT_EQ(amountAndShare(f, 2), "0|5%");
}

// What the form computes itself is stored as computed: a share above 100 % where the instalments
// exceed the total, every share rewritten from whatever is stored when the total changes, a total
// below zero where the commission and the discount exceed the taxed amount. Only a share the user
// types keeps to 0..100 with two decimals, and a share box emptied stores no share.
TEST_F(ContractScheduleTest, SharesAndTotalsTheFormComputesAreStoredAsComputed) {
    struct Case {
        const char* name;
        const char* total;
        std::vector<std::pair<const char*, const char*>> instalments;  // amount, share
        std::function<void(frmRio&)> act;
        const char* storedTotal;
        Texts stored;  // 期別|預付金|佔總價比例|發票號碼
    };
    const auto newTotal = [this](frmRio& f, const char* total) {
        host.click(f.cmdEdit);
        host.act([&] { f.txtTal.SetText(total); });
        host.expectMessage("因您修改了總價,所以應收付期數的佔總價比例已變更");
        host.click(f.cmdSv);
    };
    const auto saveInstalments = [this](frmRio& f) {
        host.focus(f.schedules.cmdEc);
        host.click(f.schedules.cmdAcSv);
    };
    const auto retype = [this](TextBox& box, const char* text) {
        host.focus(box);
        host.act([&] { box.SelectAll(); });
        host.type(box, text);
    };
    const Case cases[] = {
        {"an amount typed above the total",
         "1,000,000",
         {{"500,000", "50.00%"}},
         [&](frmRio& f) {
             host.click(f.schedules.cmdEc);
             typeInto(f.schedules.hfg, 1, 1, f.schedules.txt, "1200000");
             saveInstalments(f);
         },
         "1,000,000",
         {"1|1,200,000|120.00%|INV"}},
        {"a total lowered below the instalments, then an invoice number saved",
         "2,000,000",
         {{"1,200,000", "60.00%"}, {"800,000", "40.00%"}},
         [&](frmRio& f) {
             newTotal(f, "1,000,000");
             host.click(f.schedules.cmdEc);
             typeInto(f.schedules.hfg, 1, 5, f.schedules.txt, "x9");
             saveInstalments(f);
         },
         "1,000,000",
         {"1|1,200,000|120.00%|X9", "2|800,000|80.00%|INV"}},
        {"the total raised back",
         "1,000,000",
         {{"1,200,000", "120.00%"}, {"800,000", "80.00%"}},
         [&](frmRio& f) { newTotal(f, "2,000,000"); },
         "2,000,000",
         {"1|1,200,000|60.00%|INV", "2|800,000|40.00%|INV"}},
        {"a stored share of three decimals",
         "900",
         {{"300", "33.333%"}},
         [&](frmRio& f) { newTotal(f, "1,200"); },
         "1,200",
         {"1|300|25.00%|INV"}},
        {"commission and discount above the taxed amount",
         "1,000",
         {{"1,000", "100.00%"}},
         [&](frmRio& f) {
             host.click(f.cmdEdit);
             retype(f.txtAm, "1000");
             retype(f.txtComi, "3000");
             retype(f.txtLet, "2000");
             EXPECT_EQ(f.txtTal.Text(), "-3,950");
             host.expectMessage("因您修改了總價,所以應收付期數的佔總價比例已變更");
             host.click(f.cmdSv);
         },
         "-3,950",
         {"1|1,000|-25.32%|INV"}},
        {"a share box emptied",
         "1,000,000",
         {{"500,000", "50.00%"}},
         [&](frmRio& f) {
             host.click(f.schedules.cmdEc);
             host.mouseUpCell(f.schedules.hfg, 1, 3, LeftButton);
             host.pressKey(f.schedules.txtsc, Key::Backspace);
             EXPECT_EQ(f.schedules.hfg.TextMatrix(1, 3), "");
             saveInstalments(f);
         },
         "1,000,000",
         {"1|500,000||INV"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* table : {"ri", "ri期"})
            AccDb().Execute("DELETE FROM " + AccDb().Table(table));
        AddContract("ri", "115120601", c.total);
        int period = 0;
        for (const auto& [amount, share] : c.instalments)
            AddScheduleRow("ri期", "115120601", ++period, amount, "", share);
        frmRio& f = openForm();
        c.act(f);
        EXPECT_TRUE(host.messages().empty() ||
                    host.messages().back().text.starts_with("因您修改了總價"))
            << host.messages().back().text;
        EXPECT_EQ(rows(AccDb(), "SELECT 合計 FROM ri"), Texts{c.storedTotal});
        EXPECT_EQ(
            rows(AccDb(), "SELECT 期別, 預付金, 佔總價比例, 發票號碼 FROM ri期 ORDER BY 期別"),
            c.stored);
        host.clearMessages();
        host.act([&] { f.Unload(); });
    }
}

TEST_F(ContractScheduleTest, TextCellsAndAdditionAndReductionCellsOpenTheirOwnEditors) {
    AccDb().Execute(
        "INSERT INTO ri加 (id, 期別, 報價單號, 合約單號, 金額, 預付日, 送帳日, 實收金, 處理) "
        "VALUES ('115120601', 1, 'Q1', 'K1', '', NULL, '2006-12-27', '', 0)");
    AccDb().Execute(
        "INSERT INTO ri減 (id, 期別, 報價單號, 合約單號, 金額) VALUES ('115120601', 1, 'Q3', "
        "'K3', '10,000')");
    frmRio& f = twoInstalments("1,000,000", false);
    for (CommandButton* edit : {&f.schedules.cmdEc, &f.schedules.cmdEa, &f.schedules.cmdEm})
        host.click(*edit);
    typeInto(f.schedules.hfg, 1, 5, f.schedules.txt, "ab-12");
    EXPECT_EQ(f.schedules.hfg.TextMatrix(1, 5), "INV");
    host.focus(f.schedules.cmdEc);
    EXPECT_EQ(f.schedules.hfg.TextMatrix(1, 5), "AB-12");
    struct Case {
        Grid& grid;
        TextBox& editor;
        int col;
        const char *typed, *whileTyping, *left;
    };
    for (const Case& c : {Case{f.schedules.HfgAM, f.schedules.txtA, 1, "q2", "Q1q2", "Q1q2"},
                          Case{f.schedules.HfgAM, f.schedules.txtA, 3, "5000", "", "5,000"},
                          Case{f.schedules.HfgAM, f.schedules.txtA, 6, "inv9", "", "INV9"},
                          Case{f.schedules.hfgM, f.schedules.txtM, 2, "x", "K3x", "K3x"},
                          Case{f.schedules.hfgM, f.schedules.txtM, 3, "5", "100005", "100,005"}}) {
        host.mouseUpCell(c.grid, 1, c.col, LeftButton);
        host.act([&] { c.editor.CaretToEnd(); });
        host.type(c.editor, c.typed);
        EXPECT_EQ(c.grid.TextMatrix(1, c.col), c.whileTyping) << c.editor.Name() << c.col;
        host.focus(f.schedules.cmdEc);
        EXPECT_EQ(c.grid.TextMatrix(1, c.col), c.left) << c.editor.Name() << c.col;
    }
    // Pasted text that is no number stays as it is in an amount cell.
    host.mouseUpCell(f.schedules.hfgM, 1, 3, LeftButton);
    host.act([&] { f.schedules.txtM.SetText("12 x"); });
    host.focus(f.schedules.cmdEc);
    EXPECT_EQ(f.schedules.hfgM.TextMatrix(1, 3), "12 x");
    host.act([&] { f.schedules.hfgM.SetTextMatrix(1, 3, "12"); });  // the save would refuse it
    // Date cells offer their date, or today when they hold none.
    host.mouseUpCell(f.schedules.HfgAM, 1, 4, LeftButton);
    EXPECT_FALSE(f.schedules.txtA.Visible());
    EXPECT_EQ(f.schedules.dtpA.Value(), day(2026, 12, 6));
    host.mouseUpCell(f.schedules.HfgAM, 1, 5, LeftButton);
    EXPECT_EQ(f.schedules.dtpA.Value(), day(2006, 12, 27));
    host.act([&] { f.schedules.HfgAM.SetTextMatrix(1, 4, "第二期"); });
    host.mouseUpCell(f.schedules.HfgAM, 1, 4, LeftButton);
    EXPECT_EQ(f.schedules.dtpA.Value(), day(2026, 12, 6));
    host.pickDate(f.schedules.dtpA, day(2027, 2, 28));
    EXPECT_EQ(f.schedules.HfgAM.TextMatrix(1, 4), "116/02/28");
    // A grid hides only its own editors; a save hides every one.
    host.mouseUpCell(f.schedules.hfgM, 1, 2, LeftButton);
    host.mouseUpCell(f.schedules.HfgAM, 1, 1, LeftButton);
    EXPECT_TRUE(f.schedules.txtM.Visible() && f.schedules.txtA.Visible());
    host.click(f.schedules.cmdMsv);
    EXPECT_FALSE(f.schedules.txtM.Visible() || f.schedules.txtA.Visible());
}

// The totals count what is typed and not yet saved, a new row included; the saves then store
// exactly the amounts the totals counted.
TEST_F(ContractScheduleTest, TotalsCountTypedAmountsBeforeTheSaveStoresThem) {
    AccDb().Execute(
        "INSERT INTO ri加 (id, 期別, 金額, 實收金, 處理) VALUES "
        "('115120601', 1, '50,000', '', 0)");
    AccDb().Execute("INSERT INTO ri減 (id, 期別, 金額) VALUES ('115120601', 1, '10,000')");
    frmRio& f = twoInstalments();
    host.click(f.schedules.cmdEa);
    host.click(f.schedules.cmdEm);
    typeInto(f.schedules.HfgAM, 1, 3, f.schedules.txtA, "65000");
    host.click(f.schedules.cmdAM);
    typeInto(f.schedules.HfgAM, 2, 3, f.schedules.txtA, "5000");
    host.focus(f.schedules.cmdEm);
    typeInto(f.schedules.hfgM, 1, 3, f.schedules.txtM, "7000");
    host.focus(f.txtfnLet);
    host.act([&] { f.txtfnLet.SetText("1,000"); });
    const auto totals = [&f] { return f.lbAC.Caption() + "|" + f.lbMC.Caption(); };
    EXPECT_EQ(totals(), "70,000|7,000");
    EXPECT_EQ(f.lbTAC.Caption(), "1,062,000");
    EXPECT_EQ(rows(AccDb(), "SELECT 金額 FROM ri加 UNION ALL SELECT 金額 FROM ri減"),
              (Texts{"50,000", "10,000"}));
    host.click(f.schedules.cmdAmSv);
    host.click(f.schedules.cmdMsv);
    EXPECT_EQ(rows(AccDb(), "SELECT 金額 FROM ri加 UNION ALL SELECT 金額 FROM ri減"),
              (Texts{"65,000", "5,000", "7,000"}));
    EXPECT_EQ(totals(), "70,000|7,000");
}

TEST_F(ContractScheduleTest, ARightClickOpensTheMenuWithTheCommandsTheRowAllows) {
    using Entries = std::vector<std::pair<std::string, bool>>;
    const Entries deleteOnly{{"mdel", true}, {"mMach", false}};
    const Entries settleOnly{{"mdel", false}, {"mMach", true}};
    const Entries neither{{"mdel", false}, {"mMach", false}};
    AccDb().Execute(
        "INSERT INTO ri加 (id, 期別, 金額, 實收金, 處理) VALUES ('115120601', 1, '50,000', '', 0)");
    AccDb().Execute("INSERT INTO ri減 (id, 期別, 金額) VALUES ('115120601', 1, '10,000')");
    frmRio& f = twoInstalments();
    host.act([&] { f.schedules.hfgAm1.SetRows(3); });
    struct Case {
        Grid* grid;
        int row;
        Entries menu;
        int popupGrid;
    };
    for (const Case& c : std::vector<Case>{{&f.schedules.hfg, 1, deleteOnly, 1},
                                           {&f.schedules.HfgAM, 1, deleteOnly, 3},
                                           {&f.schedules.hfgM, 1, deleteOnly, 5},
                                           {&f.schedules.hfg1, 1, deleteOnly, 2},
                                           {&f.schedules.hfg1, 2, settleOnly, 2},
                                           {&f.schedules.hfgAm1, 1, settleOnly, 4},
                                           {&f.schedules.hfgAm1, 2, neither, 4}}) {
        host.cancelPopup();
        host.mouseUpCell(*c.grid, c.row, 1, RightButton);
        EXPECT_EQ(host.popups().back().entries, c.menu) << c.grid->Name() << c.row;
        EXPECT_EQ(std::pair(f.schedules.PopupGrid, f.schedules.ClickedRow),
                  std::pair(c.popupGrid, c.row));
    }
    const size_t shown = host.popups().size();
    for (Grid* grid : {&f.schedules.hfg, &f.schedules.hfg1, &f.schedules.HfgAM, &f.schedules.hfgAm1,
                       &f.schedules.hfgM})
        host.mouseUpCell(*grid, 0, 1, RightButton);
    host.mouseUpCell(f.schedules.hfg, 2, 1, MiddleButton);
    EXPECT_EQ(host.popups().size(), shown) << "the caption row or another button opens none";
    // While a grid is edited its rows offer no menu; the receipts beside it still do.
    for (CommandButton* edit : {&f.schedules.cmdEc, &f.schedules.cmdEa, &f.schedules.cmdEm})
        host.click(*edit);
    for (Grid* grid : {&f.schedules.hfg, &f.schedules.HfgAM, &f.schedules.hfgM})
        host.mouseUpCell(*grid, 1, 1, RightButton);
    EXPECT_EQ(host.popups().size(), shown);
    host.cancelPopup();
    host.mouseUpCell(f.schedules.hfg1, 2, 3, RightButton);
    EXPECT_EQ(host.popups().back().entries, settleOnly);
}

TEST_F(ContractScheduleTest, SavesRewriteRowsKeepSettlementsMadeMeanwhileOrWriteNothing) {
    AddContract("ri", "115120601");
    AddScheduleRow("ri期", "115120601", 1, "300", "", "30.00%");
    frmRio& f = openForm();
    // Settled from the voucher form while the contract is shown.
    AccDb().Execute("UPDATE ri期 SET 實收金 = '300', 處理 = 1");
    host.click(f.schedules.cmdAc);
    host.act([&] {
        f.schedules.hfg.SetTextMatrix(2, 1, "700");
        f.schedules.hfg.SetTextMatrix(2, 2, "100/01/05");
    });
    host.click(f.schedules.cmdAcSv);
    EXPECT_EQ(rows(AccDb(), "SELECT 期別, 預付金, 預付日, 實收金, 處理 FROM ri期 ORDER BY 期別"),
              (Texts{"1|300|2026/12/27|300|True", "2|700|2011/01/05||False"}));
    EXPECT_FALSE(f.schedules.cmdAcSv.Enabled() || f.schedules.InstalmentsEditing);
    // An instalment without its date is refused, nothing written.
    host.click(f.schedules.cmdAc);
    host.act([&] { f.schedules.hfg.SetTextMatrix(3, 1, "5"); });
    host.expectMessage("請填入金額及應付日期");
    host.act([&] { f.schedules.SaveInstalments(); });
    EXPECT_EQ(rows(AccDb(), "SELECT count(*) FROM ri期"), Texts{"2"});
    // The blank row of an emptied grid is no row.
    host.click(f.schedules.cmdAmSv);
    host.click(f.schedules.cmdMsv);
    EXPECT_EQ(rows(AccDb(), "SELECT (SELECT count(*) FROM ri加) + (SELECT count(*) FROM ri減)"),
              Texts{"0"});
    host.act([&] { f.schedules.hfg.SetRows(3); });
    ExpectEachWriteFailureLeavesTheBooks(host, {&AccDb()},
                                         [&] { host.act([&] { f.schedules.SaveInstalments(); }); });
}

// Copy B of the program adds a row to a schedule that copy A shows: A's save of that grid, which
// rewrites the whole schedule, writes nothing, and the grid shows the rows as stored.
TEST_F(ContractScheduleTest, AScheduleChangedByAnotherCopyIsNotOverwritten) {
    AddContract("ri", "115120601");
    auto copyB = Database::open(AccDb().path(), accSchema());
    frmRio& f = openForm();
    struct Case {
        CommandButton& add;
        CommandButton& save;
        Grid& grid;
        int amountCol;
        Sql change;
        const bool& editing;
    };
    const Case cases[] = {
        {f.schedules.cmdAc, f.schedules.cmdAcSv, f.schedules.hfg, 1,
         "INSERT INTO ri期 (id, 期別, 預付金, 預付日, 佔總價比例, 處理) VALUES ('115120601', 1, "
         "'7,000', '2026-12-30', '0.70%', 0)",
         f.schedules.InstalmentsEditing},
        {f.schedules.cmdAM, f.schedules.cmdAmSv, f.schedules.HfgAM, 3,
         "INSERT INTO ri加 (id, 期別, 金額, 處理) VALUES ('115120601', 1, '7,000', 0)",
         f.schedules.AdditionsEditing},
        {f.schedules.cmdM, f.schedules.cmdMsv, f.schedules.hfgM, 3,
         "INSERT INTO ri減 (id, 期別, 金額) VALUES ('115120601', 1, '7,000')",
         f.schedules.ReductionsEditing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.save.Name());
        host.click(c.add);
        host.act([&] {
            c.grid.SetTextMatrix(1, c.amountCol, "1,000");
            c.grid.SetTextMatrix(1, 2, "115/12/31");
            c.save.SetEnabled(true);
        });
        copyB->Execute(c.change);
        const std::string stored = dumpTables(AccDb());
        host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
        host.click(c.save);
        EXPECT_EQ(dumpTables(AccDb()), stored);
        EXPECT_EQ(c.grid.Rows(), 2);
        EXPECT_EQ(c.grid.TextMatrix(1, c.amountCol), "7,000");
        EXPECT_FALSE(c.editing || c.save.Enabled());
    }
    EXPECT_EQ(f.lbAC.Caption() + "|" + f.lbMC.Caption(), "7,000|7,000");
}

TEST_F(ContractScheduleTest, TheSwitchShowsTheSidesLastContractAndSavesToItsTables) {
    AddContract("ri", "115120601");
    AddContract("ri", "115120602");
    frmRio& f = openForm();
    host.click(f.optO);
    EXPECT_EQ(f.schedules.lb1(1).Caption() + "|" + f.schedules.hfg.TextMatrix(0, 1),
              "已付|應付金額");
    EXPECT_EQ(f.cbCna.ListCount(), 1);
    EXPECT_EQ(f.lbNo.Caption(), "");  // no payable
    AddContract("ro", "115120605");
    host.click(f.optI);
    host.click(f.optO);
    EXPECT_EQ(f.lbNo.Caption(), "115120605");  // exactly one
    AddContract("ro", "115120607");
    host.click(f.optI);
    EXPECT_EQ(f.lbNo.Caption(), "115120602");
    host.click(f.optO);
    EXPECT_EQ(f.lbNo.Caption(), "115120607");
    EXPECT_EQ(f.FSB.Value(), 1);
    host.click(f.schedules.cmdM);
    host.act([&] { f.schedules.hfgM.SetTextMatrix(1, 3, "1,000"); });
    host.click(f.schedules.cmdMsv);
    EXPECT_EQ(rows(AccDb(), "SELECT id, 期別, 金額 FROM ro減"), (Texts{"115120607|1|1,000"}));
    EXPECT_EQ(rows(AccDb(), "SELECT count(*) FROM ri減"), Texts{"0"});
}

// An older file numbers the instalments 1 and 3 and its one addition 2. Each save numbers them 1..n
// in grid order, and every row keeps the receipt of the stored row it was shown from: the grid's
// save (a row added in it is open), a second save after it, and the header's new total alike.
TEST_F(ContractScheduleTest, ASaveKeepsEachReceiptWithTheRowItWasShownFrom) {
    const auto storeWithGaps = [] {
        for (const char* table : {"ri", "ri期", "ri加"})
            AccDb().Execute("DELETE FROM " + AccDb().Table(table));
        AddContract("ri", "115120601");
        AddScheduleRow("ri期", "115120601", 1, "300,000", "", "30.00%");
        AddScheduleRow("ri期", "115120601", 3, "600,000", "1151206003", "60.00%");
        AddScheduleRow("ri加", "115120601", 2, "5,000", "1151206005");
    };
    const auto stored = [](const char* table) {
        return rows(AccDb(), "SELECT 期別, 實收金, 收支單號, 處理 FROM " + AccDb().Table(table) +
                                 " ORDER BY 期別");
    };
    const Texts keptWithTheirRows{"1|||False", "2|600,000|1151206003|True"};
    storeWithGaps();
    frmRio& f = openForm();
    EXPECT_EQ(f.schedules.hfg.TextMatrix(2, 0) + "|" + f.schedules.hfg1.TextMatrix(2, 4),
              "第3期|1151206003");
    host.click(f.schedules.cmdAc);
    host.act([&] {
        f.schedules.hfg.SetTextMatrix(3, 1, "100,000");
        f.schedules.hfg.SetTextMatrix(3, 2, "115/12/31");
    });
    ExpectEachWriteFailureLeavesTheBooks(host, {&AccDb()},
                                         [&] { host.act([&] { f.schedules.SaveInstalments(); }); });
    Texts withTheNewRow = keptWithTheirRows;
    withTheNewRow.push_back("3|||False");
    EXPECT_EQ(stored("ri期"), withTheNewRow);
    host.click(f.schedules.cmdEc);
    host.act([&] { f.schedules.SaveInstalments(); });
    EXPECT_EQ(stored("ri期"), withTheNewRow) << "a second save";
    host.click(f.schedules.cmdEa);
    host.act([&] { f.schedules.SaveAdditions(); });
    EXPECT_EQ(stored("ri加"), Texts{"1|5,000|1151206005|True"});

    storeWithGaps();
    host.act([&] { f.FSB_Change(); });
    host.click(f.cmdEdit);
    host.act([&] { f.txtTal.SetText("2,000,000"); });
    host.expectMessage("因您修改了總價,所以應收付期數的佔總價比例已變更");
    host.click(f.cmdSv);
    EXPECT_EQ(stored("ri期"), keptWithTheirRows) << "a new total";
}

// Copy B rewrites three instalments as two while copy A is showing the contract, between A
// counting its rows and reading them: A shows one state of the file whole (not "這一筆已被刪除"
// and half a grid), and its save then refuses to write over B's.
TEST_F(ContractScheduleTest, AContractIsShownWholeWhileAnotherCopyRewritesItsSchedule) {
    threeInstalments();
    frmRio& f = openForm();
    auto copyB = Database::open(AccDb().path(), accSchema());
    RewriteAsTwoWhileShown rewrite(*copyB, f.schedules.hfg);
    host.act([&] { f.FSB_Change(); });
    ASSERT_TRUE(rewrite.done);
    EXPECT_EQ(GridColumn(f.schedules.hfg, 1, 1), (Texts{"300,000", "300,000", "400,000"}));
    EXPECT_EQ(f.schedules.hfg1.TextMatrix(1, 4), "1151206001");
    const std::string leftByB = dumpTables(AccDb());
    host.click(f.schedules.cmdEc);
    host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
    host.act([&] { f.schedules.SaveInstalments(); });
    EXPECT_EQ(dumpTables(AccDb()), leftByB);
    EXPECT_EQ(GridColumn(f.schedules.hfg, 1, 1), (Texts{"400,000", "600,000"}));
}

// The instalments shown again on their own, after a save of their grid or of a header with a new
// total was refused because another copy changed them, are read as one state of the file too:
// the same copy rewriting them as two meanwhile leaves no blank third row.
TEST_F(ContractScheduleTest, InstalmentsShownAgainOnTheirOwnAreShownWhole) {
    auto copyB = Database::open(AccDb().path(), accSchema());
    const std::function<void(frmRio&)> refusedSaves[] = {
        [&](frmRio& f) {
            host.click(f.schedules.cmdEc);
            host.act([&] { f.schedules.SaveInstalments(); });
        },
        [&](frmRio& f) {
            host.click(f.cmdEdit);
            host.act([&] { f.txtTal.SetText("2,000,000"); });
            host.click(f.cmdSv);
        },
    };
    for (const auto& refusedSave : refusedSaves) {
        for (const char* table : {"ri", "ri期"})
            AccDb().Execute("DELETE FROM " + AccDb().Table(table));
        threeInstalments();
        frmRio& f = openForm();
        copyB->Execute("UPDATE ri期 SET 發票號碼 = 'B' WHERE 期別 = 3");
        host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
        {
            RewriteAsTwoWhileShown rewrite(*copyB, f.schedules.hfg);
            refusedSave(f);
            ASSERT_TRUE(rewrite.done);
        }
        EXPECT_EQ(GridColumn(f.schedules.hfg, 1, 1), (Texts{"300,000", "300,000", "400,000"}));
        EXPECT_EQ(GridColumn(f.schedules.hfg, 5, 1), (Texts{"INV", "INV", "B"}));
        host.act([&] { f.Unload(); });
    }
}

// Esc in a cell editor puts the row back as it was before the editor opened: both cells, and what
// the form counts as typed, so that a later save neither refuses a share the program computed
// (120.00 %) or a file holds (33.333 %), nor keeps what the editor proposed or computed.
TEST_F(ContractScheduleTest, EscPutsTheWholeRowBack) {
    AddContract("ri", "115120601", "1,000,000");
    AddScheduleRow("ri期", "115120601", 1, "1,200,000", "", "120.00%");
    AddScheduleRow("ri期", "115120601", 2, "-500", "", "33.333%");
    AccDb().Execute("INSERT INTO ri加 (id, 期別, 金額, 處理) VALUES ('115120601', 1, '7,000', 0)");
    frmRio& f = openForm();
    const std::string stored = dumpTables(AccDb());
    const auto row = [&f](int r) { return GridRow(f.schedules.hfg, r, 1, 3); };
    host.click(f.schedules.cmdEc);
    struct Case {
        int row, col;
        TextBox& editor;
        const char* typed;
    };
    for (const Case& c : {Case{1, 3, f.schedules.txtsc, "5"}, Case{2, 3, f.schedules.txtsc, "5"},
                          Case{1, 1, f.schedules.txt, "9"}, Case{2, 1, f.schedules.txt, "9"}}) {
        SCOPED_TRACE(c.editor.Name() + std::to_string(c.row));
        const Texts before = row(c.row);
        typeInto(f.schedules.hfg, c.row, c.col, c.editor, c.typed);
        host.pressKey(c.editor, Key::Escape);
        EXPECT_EQ(row(c.row), before);
        EXPECT_FALSE(c.editor.Visible());
    }
    host.act([&] { f.schedules.SaveInstalments(); });
    EXPECT_EQ(dumpTables(AccDb()), stored);

    // A new instalment: its proposed share, and its amount, go with the Esc.
    host.click(f.schedules.cmdEc);
    host.act([&] {
        f.schedules.hfg.SetTextMatrix(1, 3, "30%");
        f.schedules.hfg.SetTextMatrix(2, 3, "");
    });
    host.click(f.schedules.cmdAc);
    host.mouseUpCell(f.schedules.hfg, 3, 3, LeftButton);
    EXPECT_EQ(f.schedules.hfg.TextMatrix(3, 1) + "|" + f.schedules.txtsc.Text(), "700,000|70");
    host.pressKey(f.schedules.txtsc, Key::Escape);
    EXPECT_EQ(row(3), (Texts{"", "", ""}));
    typeInto(f.schedules.hfg, 3, 1, f.schedules.txt, "5");
    host.pressKey(f.schedules.txt, Key::Escape);
    EXPECT_EQ(row(3), (Texts{"", "", ""}));
    // The addition's amount too.
    host.click(f.schedules.cmdEa);
    typeInto(f.schedules.HfgAM, 1, 3, f.schedules.txtA, "1");
    host.pressKey(f.schedules.txtA, Key::Escape);
    EXPECT_EQ(f.schedules.HfgAM.TextMatrix(1, 3), "7,000");
    host.act([&] { f.schedules.SaveAdditions(); });
    EXPECT_EQ(rows(AccDb(), "SELECT 金額 FROM ri加"), Texts{"7,000"});
}

// A rule for what may be typed judges the cells typed into, never a row nobody edited: an older
// file's negative amount is stored back as it stands when another row is saved.
TEST_F(ContractScheduleTest, ASaveChecksOnlyTheAmountsTyped) {
    AddContract("ri", "115120601", "1,000,000");
    AddScheduleRow("ri期", "115120601", 1, "300,000", "", "30.00%");
    AddScheduleRow("ri期", "115120601", 2, "-500", "", "0.00%");
    AccDb().Execute("INSERT INTO ri減 (id, 期別, 金額) VALUES ('115120601', 1, '1,0000')");
    frmRio& f = openForm();
    host.click(f.schedules.cmdEc);
    typeInto(f.schedules.hfg, 1, 1, f.schedules.txt, "400000");
    host.focus(f.schedules.cmdEc);
    host.act([&] { f.schedules.SaveInstalments(); });
    EXPECT_EQ(rows(AccDb(), "SELECT 預付金, 佔總價比例 FROM ri期 ORDER BY 期別"),
              (Texts{"400,000|40.00%", "-500|0.00%"}));
    host.click(f.schedules.cmdEm);
    host.act([&] { f.schedules.SaveReductions(); });
    EXPECT_EQ(rows(AccDb(), "SELECT 金額 FROM ri減"), Texts{"1,0000"});
    // What is typed is still judged.
    host.click(f.schedules.cmdEc);
    host.mouseUpCell(f.schedules.hfg, 2, 1, LeftButton);
    host.act([&] { f.schedules.txt.SetText("1x"); });  // pasted
    host.focus(f.schedules.cmdEc);
    host.expectMessage("第2期的應收金額欄位只能輸入數字");
    host.act([&] { f.schedules.SaveInstalments(); });
}

}  // namespace
