#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/contracts/ContractBook.h"

using namespace kiv;

namespace {

class ContractCellEditorTest : public test::ContractBook {
  protected:
    // A receivable contract of the total with two instalments, its instalments being edited.
    frmRio& editingInstalments(const std::string& total = "1,000,000") {
        contract("ri", "115120601", total);
        instalment("115120601", 1, "300,000", "30.00%");
        instalment("115120601", 2, "700,000", "70.00%");
        frmRio& f = openForm();
        host.click(f.cmdEc);
        return f;
    }

    // Opens the editor of the cell and types over what it offers.
    void typeInto(Grid& grid, int row, int col, TextBox& editor, const std::string& text) {
        host.mouseUpCell(grid, row, col, LeftButton);
        ASSERT_TRUE(editor.Visible());
        host.type(editor, text);
    }

    static std::string amountAndShare(const frmRio& f, int row) {
        return f.hfg.TextMatrix(row, 1) + "|" + f.hfg.TextMatrix(row, 3);
    }
};

TEST_F(ContractCellEditorTest, ATypedAmountShowsItsShareAtOnceAndIsFormattedWhenLeft) {
    frmRio& f = editingInstalments();
    host.mouseUpCell(f.hfg, 1, 1, LeftButton);
    const std::vector<std::pair<std::string, std::string>> keys{
        {"2", "300,000|0.00%"}, {"5", "300,000|0.00%"}, {"0", "300,000|0.03%"},
        {"0", "300,000|0.25%"}, {"0", "300,000|2.50%"}, {"0", "300,000|25.00%"}};
    for (const auto& [key, shown] : keys) {
        host.type(f.txt, key);
        EXPECT_EQ(amountAndShare(f, 1), shown) << f.txt.Text();
    }
    host.focus(f.cmdEc);
    EXPECT_EQ(amountAndShare(f, 1), "250,000|25.00%");
    EXPECT_EQ(amountAndShare(f, 2), "700,000|70.00%") << "only the edited row";
}

TEST_F(ContractCellEditorTest, ATypedShareGivesTheAmountAtEveryKey) {
    frmRio& f = editingInstalments();
    host.mouseUpCell(f.hfg, 2, 3, LeftButton);
    EXPECT_EQ(f.txtsc.Text(), "70.00");
    for (auto [key, shown] : {std::pair{"2", "20,000|2%"}, std::pair{"5", "250,000|25%"}}) {
        host.type(f.txtsc, key);
        EXPECT_EQ(amountAndShare(f, 2), shown);
    }
    host.act([&] { f.txtsc.SelectAll(); });
    host.type(f.txtsc, "12.5");
    EXPECT_EQ(amountAndShare(f, 2), "125,000|12.5%");
    host.act([&] { f.txtsc.SelectAll(); });
    host.type(f.txtsc, "33.33");
    EXPECT_EQ(amountAndShare(f, 2), "333,300|33.33%") << "multiplied first, rounded last";
    host.type(f.txtsc, "5");
    EXPECT_EQ(amountAndShare(f, 2), "333,300|33.335%") << "no share: the amount stays";
    host.focus(f.cmdEc);
    EXPECT_EQ(amountAndShare(f, 2), "333,300|33.335%");
    EXPECT_EQ(amountAndShare(f, 1), "300,000|30.00%");
}

TEST_F(ContractCellEditorTest, PlacingAnEditorRecomputesAtOnce) {
    frmRio& f = editingInstalments();
    host.act([&] {
        f.hfg.SetTextMatrix(1, 1, "250,000");
        f.hfg.SetTextMatrix(1, 3, "25%");
        f.hfg.SetTextMatrix(2, 1, "333,333");
        f.hfg.SetTextMatrix(2, 3, "33.33%");
    });
    host.mouseUpCell(f.hfg, 1, 1, LeftButton);
    EXPECT_EQ(amountAndShare(f, 1), "250,000|25.00%");
    host.mouseUpCell(f.hfg, 2, 3, LeftButton);
    EXPECT_EQ(amountAndShare(f, 2), "333,300|33.33%");
}

TEST_F(ContractCellEditorTest, InvoiceNumbersAndAmountsChangeOnlyWhenTheEditorIsLeft) {
    AccDb().Execute(
        "INSERT INTO ri加 (id, 期別, 報價單號, 合約單號, 金額, 實收金, 處理) VALUES ('115120601', "
        "1, 'Q1', 'K1', '', '', 0)");
    AccDb().Execute(
        "INSERT INTO ri減 (id, 期別, 報價單號, 合約單號, 金額) VALUES ('115120601', 1, 'Q3', "
        "'K3', '10,000')");
    frmRio& f = editingInstalments();
    host.click(f.cmdEa);
    host.click(f.cmdEm);

    typeInto(f.hfg, 1, 5, f.txt, "ab-12");
    EXPECT_EQ(f.hfg.TextMatrix(1, 5), "");
    EXPECT_EQ(amountAndShare(f, 1), "300,000|30.00%");
    host.focus(f.cmdEc);
    EXPECT_EQ(f.hfg.TextMatrix(1, 5), "AB-12");

    struct Case {
        Grid& grid;
        TextBox& editor;
        int col;
        const char* typed;
        const char* whileTyping;
        const char* left;
    };
    for (const Case& c :
         {Case{f.HfgAM, f.txtA, 1, "q2", "Q1q2", "Q1q2"},
          Case{f.HfgAM, f.txtA, 2, "x", "K1x", "K1x"},
          Case{f.HfgAM, f.txtA, 3, "5000", "", "5,000"},
          Case{f.HfgAM, f.txtA, 6, "inv9", "", "INV9"}, Case{f.hfgM, f.txtM, 1, "b", "Q3b", "Q3b"},
          Case{f.hfgM, f.txtM, 3, "5", "100005", "100,005"}}) {
        host.mouseUpCell(c.grid, 1, c.col, LeftButton);
        host.act([&] { c.editor.CaretToEnd(); });
        host.type(c.editor, c.typed);
        EXPECT_EQ(c.grid.TextMatrix(1, c.col), c.whileTyping) << c.editor.Name() << c.col;
        host.focus(f.cmdEc);
        EXPECT_EQ(c.grid.TextMatrix(1, c.col), c.left) << c.editor.Name() << c.col;
    }
    // Pasted text that is no number stays as it is in an amount cell.
    host.mouseUpCell(f.hfgM, 1, 3, LeftButton);
    host.act([&] { f.txtM.SetText("12 x"); });
    host.focus(f.cmdEc);
    EXPECT_EQ(f.hfgM.TextMatrix(1, 3), "12 x");
}

TEST_F(ContractCellEditorTest, WithoutATotalTheShareStaysEmptyAndTheAmountIsSaved) {
    frmRio& f = editingInstalments("0");
    typeInto(f.hfg, 1, 1, f.txt, "5000");
    EXPECT_EQ(amountAndShare(f, 1), "300,000|");
    host.click(f.cmdAcSv);
    EXPECT_EQ(rows(AccDb(), "SELECT 預付金, 佔總價比例 FROM ri期 WHERE 期別 = 1"),
              (Texts{"5,000|"}));
    host.act([&] {
        f.LastAmountBox.clear();
        f.txtTal.SetText("");
    });
    host.click(f.cmdEc);
    typeInto(f.hfg, 2, 1, f.txt, "7");
    EXPECT_EQ(amountAndShare(f, 2), "700,000|");
    typeInto(f.hfg, 2, 3, f.txtsc, "5");
    EXPECT_EQ(amountAndShare(f, 2), "0|5%");
}

TEST_F(ContractCellEditorTest, AnEditorHiddenWithTheFocusWritesNothingWhenLeft) {
    frmRio& f = editingInstalments();
    typeInto(f.hfg, 1, 1, f.txt, "999");
    host.act([&] { f.HideCellEditors(); });
    ASSERT_EQ(f.ActiveControl(), &f.txt);
    host.focus(f.cmdEc);
    ASSERT_EQ(f.ActiveControl(), &f.cmdEc);
    EXPECT_EQ(amountAndShare(f, 1), "300,000|0.10%");
}

}  // namespace
