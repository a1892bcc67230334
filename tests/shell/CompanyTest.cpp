#include <gtest/gtest.h>

#include "shell/Schema.h"
#include "shell/frmAccMain.h"
#include "shell/frmCom.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/TableDump.h"

using namespace kiv;

namespace {

class CompanyTest : public test::ProgramTest {
  protected:
    void typeIntoCell(frmCom& form, int grid, int row, int col, const std::string& text) {
        host.mouseDownCell(form.hfg(grid), row, col, LeftButton);
        form.txt.SetText(text);
    }
};

TEST_F(CompanyTest, ListsShowBankHolderAccountAndGroupedAmount) {
    AccDb().Execute("INSERT INTO obank VALUES ('華南銀行', '111', '甲公司', 1234567)");
    AccDb().Execute("INSERT INTO obank VALUES ('台灣銀行', '222', '乙公司', NULL)");
    frmCom& form = Forms::get<frmCom>();
    Grid& grid = form.hfg(0);
    ASSERT_EQ(grid.Rows(), 3);
    EXPECT_EQ(grid.TextMatrix(1, 0), "台灣銀行");
    EXPECT_EQ(grid.TextMatrix(1, 3), "");
    EXPECT_EQ(grid.TextMatrix(2, 1), "甲公司");
    EXPECT_EQ(grid.TextMatrix(2, 2), "111");
    EXPECT_EQ(grid.TextMatrix(2, 3), "1,234,567");
}

TEST_F(CompanyTest, TheEditorOpensOverTheClickedCellAndAppendsOneBlankRow) {
    AccDb().Execute("INSERT INTO bbank VALUES ('土地銀行', '333', '本公司', 0)");
    frmCom& form = Forms::get<frmCom>();
    Grid& grid = form.hfg(2);
    host.mouseDownCell(grid, 0, 1, LeftButton);
    EXPECT_FALSE(form.txt.Visible());
    host.mouseDownCell(grid, 1, 1, LeftButton);
    EXPECT_EQ(grid.Rows(), 3);
    EXPECT_TRUE(form.txt.Visible());
    EXPECT_EQ(form.txt.Text(), "本公司");
    EXPECT_EQ(form.txt.SelLength(), 3);
    host.mouseDownCell(grid, 2, 0, LeftButton);
    EXPECT_EQ(grid.Rows(), 3);
    host.type(form.txt, "合作金庫");
    EXPECT_EQ(grid.TextMatrix(2, 0), "合作金庫");
    host.mouseDownCell(grid, 1, 0, LeftButton);
    EXPECT_EQ(grid.Rows(), 4);
}

TEST_F(CompanyTest, ClosingRewritesTheListsDroppingRowsWithoutABankAndCountingNoAmountAs0) {
    AccDb().Execute("INSERT INTO obank VALUES ('台灣銀行', '001', '甲', 10)");
    AccDb().Execute("INSERT INTO ibank VALUES ('郵局', '9', '客戶', 5)");
    frmCom& form = Forms::get<frmCom>();
    host.mouseDownCell(form.hfg(0), 1, 0, LeftButton);
    typeIntoCell(form, 0, 2, 0, "華南銀行");
    typeIntoCell(form, 0, 2, 1, "乙");
    typeIntoCell(form, 0, 2, 2, "002");
    typeIntoCell(form, 0, 2, 3, "1,000");
    typeIntoCell(form, 0, 1, 3, "");
    typeIntoCell(form, 1, 1, 0, "");
    host.closeByFrame(form);
    EXPECT_EQ(rows(AccDb(), "SELECT * FROM obank ORDER BY bank"),
              (std::vector<std::string>{"台灣銀行|001|甲|0", "華南銀行|002|乙|1000"}));
    EXPECT_TRUE(rows(AccDb(), "SELECT * FROM ibank").empty());
}

TEST_F(CompanyTest, AnAmountTooLongKeepsTheFormOpenOnItsCellAndWritesNoList) {
    AccDb().Execute("INSERT INTO obank VALUES ('台灣銀行', '001', '甲', 10)");
    AccDb().Execute(
        "INSERT INTO bbank VALUES ('土地銀行', '333', '本公司', 0), "
        "('第一銀行', '444', '本公司', 0)");
    const std::string before = test::dumpTables(AccDb());
    for (const char* amount : {"99999999999999999999999", "1,000,000,000,000,000"}) {
        SCOPED_TRACE(amount);
        frmCom& form = Forms::get<frmCom>();
        typeIntoCell(form, 0, 1, 0, "華南銀行");
        typeIntoCell(form, 2, 2, 0, "");
        typeIntoCell(form, 2, 3, 0, "合作金庫");
        typeIntoCell(form, 2, 3, 3, amount);
        host.expectMessage("公司往來銀行(支票存款帳戶) 第 3 列的金額不可超過15位數");
        host.closeByFrame(form);
        EXPECT_TRUE(Forms::isLoaded<frmCom>());
        EXPECT_EQ(form.hfg(2).Row(), 3);
        EXPECT_EQ(form.hfg(2).Col(), 3);
        EXPECT_EQ(test::dumpTables(AccDb()), before);
        Forms::discardAll();
    }

    frmCom& form = Forms::get<frmCom>();
    host.mouseDownCell(form.hfg(2), 2, 0, LeftButton);
    typeIntoCell(form, 2, 3, 0, "合作金庫");
    typeIntoCell(form, 2, 3, 3, "999,999,999,999,999");
    // A row without a bank is no account, whatever its amount.
    host.mouseDownCell(form.hfg(0), 1, 0, LeftButton);
    typeIntoCell(form, 0, 2, 3, "99999999999999999999999");
    host.closeByFrame(form);
    EXPECT_FALSE(Forms::isLoaded<frmCom>());
    EXPECT_EQ(rows(AccDb(), "SELECT bank, ps FROM bbank ORDER BY bank"),
              (std::vector<std::string>{"合作金庫|999999999999999", "土地銀行|0", "第一銀行|0"}));
}

// What the lists hold is written back as it stands, an overdrawn account's negative opening
// amount among it; what is typed into an amount cell is taken whole, a minus too, or refused at
// the close naming the cell, never changed key by key into another number.
TEST_F(CompanyTest, OpeningAmountsAreKeptAsStoredAndTakenAsTypedOrRefused) {
    constexpr const char* NotAmount = "公司往來銀行(一般存款帳戶) 第 1 列的金額欄位只能輸入數字";
    struct Case {
        Value stored;
        const char* typed;  // nullptr: the cell is left as shown
        const char* shown;
        const char* refusal;  // nullptr: the form closes
        const char* kept;     // the stored amount afterwards, its type and value
    } cases[] = {
        {int64_t{-5000}, nullptr, "-5,000", nullptr, "integer|-5000"},
        {Value(), nullptr, "", nullptr, "null|"},
        {int64_t{10}, "-5", "-5", nullptr, "integer|-5"},
        {int64_t{10}, "-1,000", "-1,000", nullptr, "integer|-1000"},
        {Value(), "-0", "-0", nullptr, "integer|0"},
        {int64_t{-5000}, "12.5", "12.5", NotAmount, "integer|-5000"},
        {int64_t{10}, "5-", "5-", NotAmount, "integer|10"},
        {int64_t{10}, "-", "-", NotAmount, "integer|10"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.text() + " " + (c.typed ? c.typed : "(as shown)"));
        AccDb().Execute("DELETE FROM obank");
        AccDb().Execute("INSERT INTO obank VALUES ('台灣銀行', '001', '甲', ?)", c.stored);
        frmCom& form = Forms::get<frmCom>();
        if (c.typed) {
            host.mouseDownCell(form.hfg(0), 1, 3, LeftButton);
            host.type(form.txt, c.typed);
        }
        EXPECT_EQ(form.hfg(0).TextMatrix(1, 3), c.shown);
        if (c.refusal) host.expectMessage(c.refusal);
        host.closeByFrame(form);
        EXPECT_EQ(Forms::isLoaded<frmCom>(), c.refusal != nullptr);
        EXPECT_EQ(rows(AccDb(), "SELECT typeof(cash), cash FROM obank"), Texts{c.kept});
        Forms::discardAll();
    }
}

TEST_F(CompanyTest, ConfirmWritesBothCompanyCopiesAddingTheMissingRow) {
    PrintDb().Execute("DELETE FROM company");
    frmCom& form = Forms::get<frmCom>();
    form.txtCo_name.SetText("永建營造有限公司");
    form.txtCo_no.SetText("12345678");
    host.expectMessage("變更完成");
    host.click(form.Command3);
    for (Database* db : {&PeopleDb(), &PrintDb()})
        EXPECT_EQ(rows(*db, "SELECT co_name, co_no FROM company"),
                  (std::vector<std::string>{"永建營造有限公司|12345678"}));
    EXPECT_TRUE(PrintDb().OpenRecordset("SELECT ion FROM company").Fields(0).isNull());
}

// Copy B of the program changes the company record or a bank list while copy A shows them: A's
// save writes nothing over the change, and A's form stays open on what is stored.
TEST_F(CompanyTest, NeitherTheRecordNorTheListsAreWrittenOverAnotherCopysChange) {
    constexpr const char* Conflict = "此筆資料已被其他使用者變更，請重新讀取";
    PeopleDb().Execute("DELETE FROM company");
    PeopleDb().Execute("INSERT INTO company (co_name, co_tel) VALUES ('永建', '02-1111')");
    AccDb().Execute("INSERT INTO obank VALUES ('台灣銀行', '001', '甲', 10)");
    frmCom& form = Forms::get<frmCom>();
    auto people = Database::open(PeopleDb().path(), peopleSchema());
    auto acc = Database::open(AccDb().path(), accSchema());
    const std::string print = test::dumpTables(PrintDb());

    form.txtCo_name.SetText("永建營造");
    people->Execute("UPDATE company SET co_tel = '02-2222'");
    host.expectMessage(Conflict);
    host.click(form.Command3);
    EXPECT_EQ(rows(PeopleDb(), "SELECT co_name, co_tel FROM company"), Texts{"永建|02-2222"});
    EXPECT_EQ(test::dumpTables(PrintDb()), print);
    EXPECT_EQ(form.txtCo_name.Text(), "永建");
    EXPECT_EQ(form.txtCo_tel.Text(), "02-2222");

    typeIntoCell(form, 0, 1, 3, "20");
    acc->Execute("UPDATE obank SET user = '乙'");
    host.expectMessage(Conflict);
    host.closeByFrame(form);
    ASSERT_TRUE(Forms::isLoaded<frmCom>());
    EXPECT_EQ(rows(AccDb(), "SELECT user, cash FROM obank"), Texts{"乙|10"});
    EXPECT_EQ(form.hfg(0).TextMatrix(1, 1), "乙");
    EXPECT_EQ(form.hfg(0).TextMatrix(1, 3), "10");

    typeIntoCell(form, 0, 1, 3, "20");
    host.closeByFrame(form);
    EXPECT_FALSE(Forms::isLoaded<frmCom>());
    EXPECT_EQ(rows(AccDb(), "SELECT user, cash FROM obank"), Texts{"乙|20"});
}

TEST_F(CompanyTest, EndingTheProgramWithTheFormOpenLeavesTheListsUnchanged) {
    AccDb().Execute("INSERT INTO obank VALUES ('台灣銀行', '001', '甲', 10)");
    PeopleDb().Execute("INSERT INTO super VALUES ('wren', 'x')");
    loggedInWith(AllRights);
    frmAccMain& bar = Forms::get<frmAccMain>();
    host.choosePopupEntry("mCom");
    host.click(bar.cmdSys);
    typeIntoCell(Forms::get<frmCom>(), 0, 1, 0, "");
    EXPECT_THROW(host.click(bar.cmdExit), ProgramEnded);
    EXPECT_EQ(rows(AccDb(), "SELECT bank FROM obank").size(), 1u);
}

}  // namespace
