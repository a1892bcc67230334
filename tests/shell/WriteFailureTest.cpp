#include <gtest/gtest.h>

#include <functional>

#include "platform/db/WriteFault.h"
#include "shell/OlderFiles.h"
#include "shell/Schema.h"
#include "shell/frmCom.h"
#include "shell/frmFirstStart.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/WriteFaults.h"

using namespace kiv;

namespace {

class WriteFailureTest : public test::ProgramTest {
  protected:
    void TearDown() override {
        writefault::clear();
        ProgramTest::TearDown();
    }
    void typeIntoCell(frmCom& form, int grid, int row, int col, const std::string& text) {
        host.mouseDownCell(form.hfg(grid), row, col, LeftButton);
        form.txt.SetText(text);
    }
    void saveCompany() {
        frmCom& form = Forms::get<frmCom>();
        form.txtCo_name.SetText("永建營造有限公司");
        form.txtCo_tel.SetText("02-2345-6789");
        host.click(form.Command3);
    }
};

// Each multi-row action of the shell fails at each write and at its commit: every time the
// failure is told, every table of the three files is as it was and the form stays for another
// try; the last run stores the whole change.
TEST_F(WriteFailureTest, EachActionIsStoredWholeOrNotAtAll) {
    struct Case {
        const char* what;
        std::function<void()> setUp;
        std::function<void()> action;
        std::function<bool()> formLoaded;
        Database& (*file)();
        Sql stored;
        Texts expected;
    };
    const Case cases[] = {
        {"the company record", [] {}, [this] { saveCompany(); },
         [] { return Forms::isLoaded<frmCom>(); }, PeopleDb, "SELECT co_name, co_tel FROM company",
         Texts{"永建營造有限公司|02-2345-6789"}},
        {"the three bank lists",
         [] {
             AccDb().Execute("INSERT INTO obank VALUES ('台灣銀行', '001', '甲', 10)");
             AccDb().Execute("INSERT INTO ibank VALUES ('郵局', '9', '客戶', 5)");
             AccDb().Execute("INSERT INTO bbank VALUES ('土地銀行', '333', '本公司', 0)");
         },
         [this] {
             frmCom& form = Forms::get<frmCom>();
             host.mouseDownCell(form.hfg(0), 1, 0, LeftButton);
             typeIntoCell(form, 0, 2, 0, "華南銀行");
             typeIntoCell(form, 1, 1, 3, "7,000");
             typeIntoCell(form, 2, 1, 0, "");
             typeIntoCell(form, 2, 2, 0, "合作金庫");
             host.closeByFrame(form);
         },
         [] { return Forms::isLoaded<frmCom>(); }, AccDb,
         "SELECT 'o', bank, cash FROM obank UNION ALL SELECT 'i', bank, cash FROM ibank "
         "UNION ALL SELECT 'b', bank, ps FROM bbank ORDER BY 1, 2",
         Texts{"b|合作金庫|0", "i|郵局|7000", "o|台灣銀行|10", "o|華南銀行|0"}},
        {"the super user's password",
         [] { PeopleDb().Execute("INSERT INTO super (super_id, super_pass) VALUES ('wren', '')"); },
         [this] {
             frmFirstStart& form = Forms::get<frmFirstStart>();
             form.txtNp.SetText("s3cret");
             form.txtCp.SetText("s3cret");
             host.click(form.cmdOK);
         },
         [] { return Forms::isLoaded<frmFirstStart>(); }, PeopleDb,
         "SELECT super_id, super_pass FROM super", Texts{"wren|s3cret"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.setUp();
        test::ExpectEachWriteFailureLeavesTheBooks(host, {&AccDb(), &PeopleDb(), &PrintDb()},
                                                   c.action, [&] {
                                                       EXPECT_TRUE(c.formLoaded());
                                                       Forms::discardAll();
                                                   });
        // The company form stays open after its confirm; the others close.
        EXPECT_EQ(c.formLoaded(), &c == &cases[0]);
        EXPECT_EQ(rows(c.file(), c.stored), c.expected);
        Forms::discardAll();
    }
}

// zove3.mdb commits first: when pt.mdb then fails, the books keep the new record and the user
// reads that the printed reports keep the old one; the next confirm writes both.
TEST_F(WriteFailureTest, AFailedPrintCopyOfTheCompanyIsToldAndMendedByTheNextConfirm) {
    const std::string print = test::dumpTables(PrintDb());
    host.answerMessage(AnswerOk);
    writefault::failCommit(2);
    saveCompany();
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0].text.rfind("公司資料已存入 zove3.mdb，但未能存入 pt.mdb", 0), 0u);
    EXPECT_EQ(rows(PeopleDb(), "SELECT co_name, co_tel FROM company"),
              Texts{"永建營造有限公司|02-2345-6789"});
    EXPECT_EQ(test::dumpTables(PrintDb()), print);

    host.expectMessage("變更完成");
    host.click(Forms::get<frmCom>().Command3);
    EXPECT_EQ(rows(PrintDb(), "SELECT co_name, co_tel FROM company"),
              Texts{"永建營造有限公司|02-2345-6789"});
}

// An older file lacks one field; the start adds and fills it, or leaves it for the next start.
TEST_F(WriteFailureTest, EachFieldOfAnOlderFileIsAddedAndFilledOrLeftForTheNextStart) {
    struct OldFile {
        const char* table;
        bool people;
        Sql create;
        Sql insert;
        Sql upgraded;
        Texts expected;
    };
    const OldFile files[] = {
        {"員工", true, "CREATE TABLE 員工 (員工編號 TEXT, 中文姓名 TEXT, 英文姓名 TEXT, pass TEXT)",
         "INSERT INTO 員工 VALUES ('A001', '王小明', 'ming', 'x'), ('A002', '李四', 'li', 'y')",
         "SELECT 員工編號, AccS FROM 員工 ORDER BY 員工編號", Texts{"A001|1", "A002|1"}},
        {"ri", false, "CREATE TABLE ri (id TEXT, 收名稱 TEXT)",
         "INSERT INTO ri VALUES ('11512060l', '合約')", "SELECT id, Let FROM ri",
         Texts{"11512060l|0"}},
        {"ro", false, "CREATE TABLE ro (id TEXT, 收名稱 TEXT)",
         "INSERT INTO ro VALUES ('11512060m', '合約')", "SELECT id, Let FROM ro",
         Texts{"11512060m|0"}},
    };
    for (const OldFile& f : files) {
        SCOPED_TRACE(f.table);
        TearDown();
        SetUp();
        CloseDatabases();
        {
            auto old = f.people ? Database::open(folder.file("zove3.mdb"), peopleSchema())
                                : Database::open(folder.file("acc.mdb"), accSchema());
            old->Execute("DROP TABLE " + old->Table(f.table));
            old->Execute(f.create);
            old->Execute(f.insert);
        }
        OpenDatabases();
        test::ExpectEachWriteFailureLeavesTheBooks(host, {&AccDb(), &PeopleDb(), &PrintDb()},
                                                   UpgradeOlderFiles);
        EXPECT_EQ(rows(f.people ? PeopleDb() : AccDb(), f.upgraded), f.expected);
    }
    SCOPED_TRACE("iof without the index of its signers");
    TearDown();
    SetUp();
    AccDb().Execute("DROP INDEX iof_signer");
    test::ExpectEachWriteFailureLeavesTheBooks(host, {&AccDb(), &PeopleDb(), &PrintDb()},
                                               UpgradeOlderFiles);
    EXPECT_EQ(rows(AccDb(), "SELECT name FROM sqlite_schema WHERE name = 'iof_signer'"),
              Texts{"iof_signer"});
}

}  // namespace
