#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "platform/db/WriteFault.h"
#include "shell/OlderFiles.h"
#include "shell/Schema.h"
#include "shell/frmAccMain.h"
#include "shell/frmCom.h"
#include "shell/frmFirstStart.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/TableDump.h"

using namespace kiv;

namespace {

const char* const Files[] = {"acc.mdb", "zove3.mdb", "pt.mdb"};

// Each multi-row action of the shell is run with each of its writes failing in turn and with its
// commit failing: every time the failure is shown, every table of the three files is as it was,
// and the program goes on.
class WriteFailureTest : public test::ProgramTest {
  protected:
    void TearDown() override {
        writefault::clear();
        ProgramTest::TearDown();
    }

    std::string dumpFiles() {
        return "acc.mdb\n" + test::dumpTables(AccDb()) + "zove3.mdb\n" +
               test::dumpTables(PeopleDb()) + "pt.mdb\n" + test::dumpTables(PrintDb());
    }

    // The writes `action` makes when none fails (answering the messages a success shows); the
    // files and forms are put back as they were afterwards.
    int writesOf(const std::function<void()>& action, int messagesOnSuccess) {
        copyFiles("", "before-");
        for (int i = 0; i < messagesOnSuccess; ++i)
            host.answerMessage(AnswerOk);
        writefault::clear();
        action();
        int writes = writefault::writesCounted();
        Forms::discardAll();
        copyFiles("before-", "");
        return writes;
    }

    // `stillGoing` checks, after each failure, that the program carries on.
    void expectEachFailureLeavesTheFilesAsTheyWere(const std::function<void()>& action,
                                                   int messagesOnSuccess,
                                                   const std::function<void()>& stillGoing) {
        int writes = writesOf(action, messagesOnSuccess);
        ASSERT_GT(writes, 0);
        const std::string before = dumpFiles();
        for (int failing = 1; failing <= writes + 1; ++failing) {
            bool commit = failing > writes;
            SCOPED_TRACE(commit ? "the commit fails"
                                : "write " + std::to_string(failing) + " of " +
                                      std::to_string(writes) + " fails");
            size_t shown = host.messages().size();
            host.answerMessage(AnswerOk);
            if (commit)
                writefault::failCommit();
            else
                writefault::failWrite(failing);
            action();
            writefault::clear();
            EXPECT_EQ(host.messages().size(), shown + 1);
            EXPECT_EQ(dumpFiles(), before);
            stillGoing();
            Forms::discardAll();
        }
    }

    void typeIntoCell(frmCom& form, int grid, int row, int col, const std::string& text) {
        host.mouseDownCell(form.hfg(grid), row, col, LeftButton);
        form.txt.SetText(text);
    }

  private:
    // Copies the three files (closed meanwhile) from one name prefix to another in the folder.
    void copyFiles(const std::string& from, const std::string& to) {
        CloseDatabases();
        for (const char* file : Files)
            std::filesystem::copy_file(folder.file(from + file), folder.file(to + file),
                                       std::filesystem::copy_options::overwrite_existing);
        OpenDatabases();
    }
};

TEST_F(WriteFailureTest, TheCompanyRowReachesTheBooksWholeAndAFailedPrintCopyIsTold) {
    auto save = [this] {
        frmCom& form = Forms::get<frmCom>();
        form.txtCo_name.SetText("永建營造有限公司");
        form.txtCo_tel.SetText("02-2345-6789");
        host.click(form.Command3);
    };
    expectEachFailureLeavesTheFilesAsTheyWere(save, 1,
                                              [] { EXPECT_TRUE(Forms::isLoaded<frmCom>()); });
    // zove3.mdb commits first: when pt.mdb then fails, the books keep the new record and the user
    // reads that the printed reports keep the old one.
    const std::string print = test::dumpTables(PrintDb());
    host.clearMessages();
    host.answerMessage(AnswerOk);
    writefault::failCommit(2);
    save();
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0].text.rfind("公司資料已存入 zove3.mdb，但未能存入 pt.mdb", 0), 0u);
    EXPECT_EQ(rows(PeopleDb(), "SELECT co_name, co_tel FROM company"),
              Texts{"永建營造有限公司|02-2345-6789"});
    EXPECT_EQ(test::dumpTables(PrintDb()), print);

    host.expectMessage("變更完成");
    host.click(Forms::get<frmCom>().Command3);
    for (Database* db : {&PeopleDb(), &PrintDb()})
        EXPECT_EQ(rows(*db, "SELECT co_name, co_tel FROM company"),
                  Texts{"永建營造有限公司|02-2345-6789"});
}

TEST_F(WriteFailureTest, TheThreeBankListsAreRewrittenTogetherOrNotAtAll) {
    AccDb().Execute("INSERT INTO obank VALUES ('台灣銀行', '001', '甲', 10)");
    AccDb().Execute("INSERT INTO ibank VALUES ('郵局', '9', '客戶', 5)");
    AccDb().Execute("INSERT INTO bbank VALUES ('土地銀行', '333', '本公司', 0)");
    auto close = [this] {
        frmCom& form = Forms::get<frmCom>();
        host.mouseDownCell(form.hfg(0), 1, 0, LeftButton);
        typeIntoCell(form, 0, 2, 0, "華南銀行");
        typeIntoCell(form, 1, 1, 3, "7,000");
        typeIntoCell(form, 2, 1, 0, "");
        typeIntoCell(form, 2, 2, 0, "合作金庫");
        host.closeByFrame(form);
    };
    expectEachFailureLeavesTheFilesAsTheyWere(close, 0,
                                              [] { EXPECT_TRUE(Forms::isLoaded<frmCom>()); });
    close();
    EXPECT_FALSE(Forms::isLoaded<frmCom>());
    EXPECT_EQ(rows(AccDb(), "SELECT bank, cash FROM obank ORDER BY bank"),
              (Texts{"台灣銀行|10", "華南銀行|0"}));
    EXPECT_EQ(rows(AccDb(), "SELECT bank, cash FROM ibank"), Texts{"郵局|7000"});
    EXPECT_EQ(rows(AccDb(), "SELECT bank FROM bbank"), Texts{"合作金庫"});
}

TEST_F(WriteFailureTest, TheSuperUsersPasswordIsSetWholeOrTheDialogStaysForAnotherTry) {
    PeopleDb().Execute("INSERT INTO super (super_id, super_pass) VALUES ('wren', '')");
    auto confirm = [this] {
        frmFirstStart& form = Forms::get<frmFirstStart>();
        form.txtNp.SetText("s3cret");
        form.txtCp.SetText("s3cret");
        host.click(form.cmdOK);
    };
    expectEachFailureLeavesTheFilesAsTheyWere(
        confirm, 0, [] { EXPECT_TRUE(Forms::isLoaded<frmFirstStart>()); });
    confirm();
    EXPECT_FALSE(Forms::isLoaded<frmFirstStart>());
    EXPECT_EQ(rows(PeopleDb(), "SELECT super_id, super_pass FROM super"), Texts{"wren|s3cret"});
}

// An older file lacks one field; the start adds and fills it, or leaves it for the next start.
struct OldFile {
    const char* name;
    std::function<void(Database& people, Database& acc)> makeOld;
    std::function<std::vector<std::string>()> upgraded;
};

TEST_F(WriteFailureTest, EachFieldOfAnOlderFileIsAddedAndFilledOrLeftForTheNextStart) {
    const OldFile files[] = {
        {"員工 without AccS",
         [](Database& people, Database&) {
             people.Execute("DROP TABLE 員工");
             people.Execute(
                 "CREATE TABLE 員工 (員工編號 TEXT, 中文姓名 TEXT, 英文姓名 TEXT, pass TEXT)");
             people.Execute(
                 "INSERT INTO 員工 VALUES ('A001', '王小明', 'ming', 'x'), "
                 "('A002', '李四', 'li', 'y')");
         },
         [] { return rows(PeopleDb(), "SELECT 員工編號, AccS FROM 員工 ORDER BY 員工編號"); }},
        {"ri without Let",
         [](Database&, Database& acc) {
             acc.Execute("DROP TABLE ri");
             acc.Execute("CREATE TABLE ri (id TEXT, 收名稱 TEXT)");
             acc.Execute("INSERT INTO ri VALUES ('11512060l', '合約')");
         },
         [] { return rows(AccDb(), "SELECT id, Let FROM ri"); }},
        {"ro without Let",
         [](Database&, Database& acc) {
             acc.Execute("DROP TABLE ro");
             acc.Execute("CREATE TABLE ro (id TEXT, 收名稱 TEXT)");
             acc.Execute("INSERT INTO ro VALUES ('11512060m', '合約')");
         },
         [] { return rows(AccDb(), "SELECT id, Let FROM ro"); }},
    };
    const Texts expected[] = {{"A001|1", "A002|1"}, {"11512060l|0"}, {"11512060m|0"}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(files[i].name);
        TearDown();
        SetUp();
        CloseDatabases();
        {
            auto people = Database::open(folder.file("zove3.mdb"), peopleSchema());
            auto acc = Database::open(folder.file("acc.mdb"), accSchema());
            files[i].makeOld(*people, *acc);
        }
        OpenDatabases();
        expectEachFailureLeavesTheFilesAsTheyWere(UpgradeOlderFiles, 0, [] {});
        Forms::get<frmAccMain>();
        EXPECT_EQ(files[i].upgraded(), expected[i]);
    }
}

}  // namespace
