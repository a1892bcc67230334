#include <gtest/gtest.h>

#include "shell/Schema.h"
#include "tests/support/TableDump.h"
#include "tests/support/WriteFaults.h"
#include "tests/vouchers/VoucherBook.h"
#include "vouchers/WordLists.h"
#include "vouchers/frmSt.h"

using namespace kiv;

namespace {

class WordListEditorTest : public test::VoucherBook {
  protected:
    void SetUp() override {
        VoucherBook::SetUp();
        fillLists();
    }
    static void fillLists() {
        clearWordLists();
        AccDb().Execute("INSERT INTO use VALUES (3, '車資'), (7, '餐費'), (9, '郵資')");
        AccDb().Execute("INSERT INTO ps2 VALUES (1, '甲')");
    }
    frmSt& openEditor() { return Forms::get<frmSt>(); }
    // Clicks the cell and types over its whole text; an empty text empties it.
    void retype(frmSt& form, int grid, int row, int col, const std::string& text) {
        host.clickCell(form.hfg(grid), row, col);
        if (text.empty())
            host.pressKey(form.txt, Key::Backspace);
        else
            host.type(form.txt, text);
    }
    Texts uses() { return rows(AccDb(), "SELECT id, use FROM use ORDER BY id"); }
    Texts accounts() { return rows(AccDb(), "SELECT id, incom, acc FROM acc ORDER BY id"); }
};

TEST_F(WordListEditorTest, LoadsTheFiveListsAndARoundTripRenumbersTheWords) {
    frmSt& form = openEditor();
    EXPECT_EQ(form.hfg(0).TextMatrix(1, 0), "4101");
    EXPECT_EQ(form.hfg(1).TextMatrix(1, 1), "材料費");
    EXPECT_EQ(form.hfg(2).Rows(), 4);
    // An empty list has one empty row to take its first word.
    EXPECT_EQ(form.hfg(3).Rows(), 2);
    host.closeByFrame(form);
    EXPECT_TRUE(form.IsUnloaded());
    EXPECT_EQ(uses(), (Texts{"1|車資", "2|餐費", "3|郵資"}));
    EXPECT_EQ(accounts(), (Texts{"4101|True|工程收入", "5102|False|材料費"}));
    EXPECT_EQ(rows(AccDb(), "SELECT id, ps FROM ps2"), Texts{"1|甲"});
    EXPECT_TRUE(rows(AccDb(), "SELECT * FROM ps1").empty());
}

TEST_F(WordListEditorTest, AnEmptiedFirstCellDeletesTheRowAndLeavesAGap) {
    frmSt& form = openEditor();
    retype(form, 2, 2, 0, "");
    EXPECT_EQ(form.hfg(2).TextMatrix(2, 0), "");
    retype(form, 0, 1, 0, "");
    host.closeByFrame(form);
    EXPECT_EQ(uses(), (Texts{"1|車資", "3|郵資"}));
    EXPECT_EQ(accounts(), Texts{"5102|False|材料費"});
}

TEST_F(WordListEditorTest, TheEditorLiesOverTheClickedCellWithItsTextSelected) {
    frmSt& form = openEditor();
    host.clickCell(form.hfg(1), 1, 1);
    Grid& grid = form.hfg(1);
    EXPECT_EQ(form.txt.Left(), form.frm.Left() + grid.Left() + grid.CellLeft() + 30);
    EXPECT_EQ(form.txt.SelText(), "材料費");
    // The filled last row got one empty row; a second click adds none.
    EXPECT_EQ(grid.Rows(), 3);
    host.clickCell(form.hfg(2), 1, 0);
    EXPECT_EQ(form.hfg(2).Rows(), 5);
    host.act([&] { form.hfg(2).userScrollTo(2, 0); });
    EXPECT_FALSE(form.txt.Visible());
    // The spare rows are not saved.
    host.closeByFrame(form);
    EXPECT_EQ(uses(), (Texts{"1|車資", "2|餐費", "3|郵資"}));
}

TEST_F(WordListEditorTest, AHeaderClickDoesNothingAndARightClickOnlyChoosesTheGrid) {
    frmSt& form = openEditor();
    host.clickCell(form.hfg(2), 0, 0);
    EXPECT_FALSE(form.txt.Visible());
    host.mouseDownCell(form.hfg(4), 1, 0, RightButton);
    EXPECT_FALSE(form.txt.Visible());
    EXPECT_EQ(form.hfg(4).Rows(), 2);
    // The box now writes into grid 4's current cell.
    host.act([&] { form.txt.SetText("乙"); });
    EXPECT_EQ(form.hfg(4).TextMatrix(1, 0), "乙");
}

TEST_F(WordListEditorTest, TheReservedCodesAreRefusedInEitherAccountColumnOnly) {
    struct Case {
        int grid, row, col;
        const char* code;
        bool refused;
    };
    for (const Case& c :
         {Case{0, 1, 0, "9999", true}, Case{0, 1, 1, "0000", true}, Case{1, 1, 0, "0000", true},
          Case{2, 1, 0, "9999", false}, Case{4, 1, 0, "0000", false}}) {
        frmSt& form = openEditor();
        host.clearMessages();
        if (c.refused) host.answerMessage(AnswerOk);
        retype(form, c.grid, c.row, c.col, c.code);
        if (c.refused) {
            ASSERT_EQ(host.messages().size(), 1u) << c.grid;
            EXPECT_EQ(host.messages()[0].text, std::string("不可使用 ") + c.code + "\r\n" + c.code +
                                                   " 科目代號系統保留使用");
            EXPECT_EQ(form.txt.Text(), "");
        }
        EXPECT_EQ(form.hfg(c.grid).TextMatrix(c.row, c.col), c.refused ? "" : c.code);
        form.Unload();
    }
    EXPECT_EQ(rows(AccDb(), "SELECT ps FROM ps2"), Texts{"0000"});
}

TEST_F(WordListEditorTest, AnAccountRetypedIntoTheOtherGridChangesSide) {
    frmSt& form = openEditor();
    retype(form, 0, 1, 0, "");
    host.clickCell(form.hfg(1), 1, 0);
    retype(form, 1, 2, 0, "4101");
    retype(form, 1, 2, 1, "工程收入");
    retype(form, 3, 1, 0, "新附註");
    host.closeByFrame(form);
    EXPECT_EQ(accounts(), (Texts{"4101|False|工程收入", "5102|False|材料費"}));
    EXPECT_EQ(rows(AccDb(), "SELECT id, ps FROM ps1"), Texts{"1|新附註"});
}

TEST_F(WordListEditorTest, ARepeatedCodeWritesNothingAndKeepsTheFormOpen) {
    frmSt& form = openEditor();
    retype(form, 2, 1, 0, "");
    host.clickCell(form.hfg(0), 1, 0);
    retype(form, 0, 2, 0, "5102");
    const std::string before = test::dumpTables(AccDb());
    host.answerMessage(AnswerOk);
    host.closeByFrame(form);
    EXPECT_EQ(host.messageTexts(), Texts{"科目代號重複: 5102"});
    EXPECT_FALSE(form.IsUnloaded());
    EXPECT_EQ(test::dumpTables(AccDb()), before);
    retype(form, 0, 2, 0, "4102");
    host.closeByFrame(form);
    EXPECT_TRUE(form.IsUnloaded());
    EXPECT_EQ(uses(), (Texts{"2|餐費", "3|郵資"}));
}

TEST_F(WordListEditorTest, WordsAndAccountsAddedByTheVoucherFormMeanwhileSurviveTheClose) {
    frmSt& form = openEditor();
    retype(form, 2, 2, 0, "");
    host.clickCell(form.hfg(2), 3, 0);
    retype(form, 2, 4, 0, "雜支");
    AddWordAtTop(AccDb(), WordList::Uses, "雜支");
    AddWordAtTop(AccDb(), WordList::Uses, "油資");
    AddAccount(AccDb(), {"4102", true, "利息收入"});
    AddAccount(AccDb(), {"5101", false, "工資"});
    host.closeByFrame(form);
    // 餐費 stays deleted, 雜支 is stored once, 油資 comes first where it was put.
    EXPECT_EQ(uses(), (Texts{"1|油資", "2|車資", "4|郵資", "5|雜支"}));
    EXPECT_EQ(accounts(), (Texts{"4101|True|工程收入", "4102|True|利息收入", "5101|False|工資",
                                 "5102|False|材料費"}));
}

// Copy B of the program renames, deletes or moves a row copy A shows: A's close writes nothing
// over it and stays open on the lists as stored, A's edit gone. Rows only added are taken in.
TEST_F(WordListEditorTest, ARowAnotherCopyChangedOrDeletedIsNeverWrittenOver) {
    struct Case {
        const char* what;
        Sql change;
        Texts usesAfter;
    } cases[] = {
        {"a word renamed",
         "UPDATE use SET use = '計程車資' WHERE use = '車資'",
         {"1|計程車資", "2|餐費", "3|郵資"}},
        {"a note deleted", "DELETE FROM ps2", {"1|車資", "2|餐費", "3|郵資"}},
        {"an account renamed",
         "UPDATE acc SET acc = '工程款' WHERE id = '4101'",
         {"1|車資", "2|餐費", "3|郵資"}},
        {"an account moved to the other side",
         "UPDATE acc SET incom = 0 WHERE id = '4101'",
         {"1|車資", "2|餐費", "3|郵資"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AccDb().Execute("DELETE FROM ps2");
        AccDb().Execute("DELETE FROM acc");
        AccDb().Execute("INSERT INTO acc VALUES ('4101', 1, '工程收入'), ('5102', 0, '材料費')");
        fillLists();
        frmSt& form = openEditor();
        auto copyB = Database::open(AccDb().path(), accSchema());
        retype(form, 3, 1, 0, "新附註");
        copyB->ExecuteWith(c.change, {});
        const std::string stored = test::dumpTables(AccDb());
        host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
        host.closeByFrame(form);
        ASSERT_FALSE(form.IsUnloaded());
        EXPECT_EQ(test::dumpTables(AccDb()), stored);
        EXPECT_EQ(form.hfg(3).TextMatrix(1, 0), "");
        host.closeByFrame(form);
        EXPECT_TRUE(form.IsUnloaded());
        EXPECT_EQ(uses(), c.usesAfter);
        EXPECT_TRUE(rows(AccDb(), "SELECT * FROM ps1").empty());
    }
    EXPECT_EQ(accounts(), (Texts{"4101|False|工程收入", "5102|False|材料費"}));
}

TEST_F(WordListEditorTest, AFailedWriteLeavesEveryListAsItWas) {
    frmSt& form = openEditor();
    retype(form, 2, 1, 0, "改");
    test::ExpectEachWriteFailureLeavesTheBooks(
        host, {&AccDb()}, [&] { host.closeByFrame(form); },
        [&] { ASSERT_FALSE(form.IsUnloaded()); });
    EXPECT_TRUE(form.IsUnloaded());
    EXPECT_EQ(uses(), (Texts{"1|改", "2|餐費", "3|郵資"}));
}
}  // namespace
