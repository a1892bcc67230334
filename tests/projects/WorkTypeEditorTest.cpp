#include <gtest/gtest.h>

#include "platform/db/WriteFault.h"
#include "shell/Schema.h"
#include "tests/projects/ProjectBook.h"
#include "tests/support/WriteFaults.h"

using namespace kiv;

namespace {

class WorkTypeEditorTest : public test::ProjectBook {
  protected:
    frmEm& editor() { return Forms::get<frmEm>(); }
    void add(frmEm& form, const std::string& name) {
        host.click(form.cmdNew);
        host.type(form.txt, name);
        host.click(form.cmdY);
    }
    Texts items() { return rows(PeopleDb(), "SELECT t, w FROM t2w ORDER BY rowid"); }
};

TEST_F(WorkTypeEditorTest, AddingToAnEmptyListStoresPositionOneAndNamesAsTyped) {
    frmEm& form = editor();
    host.click(form.cmdNew);
    host.answerMessage(AnswerOk);
    host.click(form.cmdY);
    EXPECT_EQ(host.messageTexts(), (Texts{"請在空格中輸入 工程類別"}));
    EXPECT_TRUE(form.fm.Visible());
    host.type(form.txt, " 土\"木' ");
    host.click(form.cmdY);
    add(form, "水電");
    EXPECT_EQ(typeList(), (Texts{"1| 土\"木' ", "2|水電"}));
    EXPECT_EQ(form.LsM.ListCount(), 2);
    EXPECT_EQ(form.Height(), frmEm::ListHeight);

    // 新增 pressed again keeps the name being typed; Enter confirms it.
    host.click(form.cmdNew);
    host.type(form.txt, "油");
    host.click(form.cmdNew);
    host.type(form.txt, "漆");
    host.pressKey(form.txt, Key::Enter);
    EXPECT_EQ(typeList(), (Texts{"1| 土\"木' ", "2|水電", "3|油漆"}));
    EXPECT_FALSE(form.fm.Visible());
}

TEST_F(WorkTypeEditorTest, ARenameReachesItemsAndProjectsButNotVouchers) {
    workTypes({"土木", "水電"});
    PeopleDb().Execute("INSERT INTO t2w (t, w) VALUES ('土木', '整地'), ('水電', '配管')");
    project("P001", "一號工程", false, {"土木"});
    voucher("1151201001", "P001", true, 500, 0, "土木");
    frmEm& form = editor();
    host.answerMessage(AnswerOk);
    host.click(form.cmdEdit);
    EXPECT_EQ(host.messageTexts(), (Texts{"請先選取"}));
    host.pick(form.LsM, 0);
    host.click(form.cmdEdit);
    retype(form.txt, "土木'工程");
    host.click(form.cmdY);
    EXPECT_EQ(typeList(), (Texts{"1|土木'工程", "2|水電"}));
    EXPECT_EQ(items(), (Texts{"土木'工程|整地", "水電|配管"}));
    EXPECT_EQ(projectTypes("P001"), (Texts{"土木'工程"}));
    EXPECT_EQ(rows(AccDb(), "SELECT 工程種類 FROM iof"), (Texts{"土木"}));
}

// A deletion reloads the list under an open renaming panel: the confirm has nothing to rename.
TEST_F(WorkTypeEditorTest, ConfirmingARenameWithNothingSelectedWritesNothing) {
    workTypes({"土木", "水電"});
    frmEm& form = editor();
    host.pick(form.LsM, 0);
    host.click(form.cmdEdit);
    host.pick(form.LsM, 1);
    host.answerMessage(AnswerYes);
    host.click(form.cmdDel);
    retype(form.txt, "新名");
    host.answerMessage(AnswerOk);
    host.click(form.cmdY);
    EXPECT_EQ(host.messages().back().text, "請先選取");
    EXPECT_EQ(typeList(), (Texts{"1|土木"}));
}

TEST_F(WorkTypeEditorTest, DeletingANameRemovesEveryEntryAndItemButKeepsProjects) {
    workTypes({"土木", "水電", "油漆", "水電"});
    PeopleDb().Execute("INSERT INTO t2w (t, w) VALUES ('水電', '配管'), ('油漆', '面漆')");
    project("P001", "一號工程", false, {"水電"});
    frmEm& form = editor();
    host.pick(form.LsM, 1);
    host.expectMessage("確定刪除【水電】\r\n如果刪除會將所包含的施工一並刪除", AnswerNo);
    host.click(form.cmdDel);
    EXPECT_EQ(typeList().size(), 4u);
    host.answerMessage(AnswerYes);
    host.click(form.cmdDel);
    EXPECT_EQ(typeList(), (Texts{"1|土木", "2|油漆"}));
    EXPECT_EQ(items(), (Texts{"油漆|面漆"}));
    EXPECT_EQ(projectTypes("P001"), (Texts{"水電"}));
}

TEST_F(WorkTypeEditorTest, MovesAreLostByAnAddAndStoredByClosing) {
    workTypes({"A", "B", "C"});
    frmEm& form = editor();
    host.answerMessage(AnswerOk);
    host.click(form.cmdUp);
    EXPECT_EQ(host.messageTexts(), (Texts{"請先選取 再行調整順序"}));
    host.pick(form.LsM, 0);
    host.click(form.cmdUp);
    EXPECT_EQ(host.beeps(), 1);
    host.click(form.cmdDn);
    EXPECT_EQ(form.LsM.List(1), "A");
    EXPECT_EQ(form.LsM.ListIndex(), 1);
    add(form, "D");
    EXPECT_EQ(form.LsM.List(0), "A");
    host.pick(form.LsM, 3);
    host.click(form.cmdDn);
    EXPECT_EQ(host.beeps(), 2);
    host.click(form.cmdUp);
    host.click(form.cmdUp);
    EXPECT_EQ(typeList(), (Texts{"1|A", "2|B", "3|C", "4|D"}));
    host.click(form.Command1);
    EXPECT_EQ(Forms::find("frmEm"), nullptr);
    EXPECT_EQ(typeList(), (Texts{"1|A", "2|D", "3|B", "4|C"}));

    // The close box stores as well, and renumbers gaps.
    PeopleDb().Execute("UPDATE 種 SET t_id = t_id * 10");
    frmEm& again = editor();
    host.pick(again.LsM, 3);
    host.click(again.cmdUp);
    host.closeByFrame(again);
    EXPECT_EQ(typeList(), (Texts{"1|A", "2|D", "3|C", "4|B"}));
}

// The renaming touches two files, the deletion and the closing store the order again: a failure
// at any of their writes is told and leaves both files as they were.
TEST_F(WorkTypeEditorTest, AFailedRenameDeleteOrOrderSaveLeavesEveryTable) {
    workTypes({"土木", "水電", "油漆"});
    PeopleDb().Execute("INSERT INTO t2w (t, w) VALUES ('土木', '整地')");
    project("P001", "一號工程", false, {"土木"});
    const std::vector<Database*> files{&PeopleDb(), &AccDb()};
    auto toldAndReopened = [this] {
        EXPECT_EQ(host.messages().back().style, 16);
        Forms::discardAll();
    };
    test::ExpectEachWriteFailureLeavesTheBooks(
        host, files,
        [this] {
            frmEm& form = editor();
            host.pick(form.LsM, 0);
            host.click(form.cmdEdit);
            retype(form.txt, "土方");
            host.click(form.cmdY);
        },
        toldAndReopened);
    EXPECT_EQ(projectTypes("P001"), Texts{"土方"});
    test::ExpectEachWriteFailureLeavesTheBooks(
        host, files,
        [this] {
            frmEm& form = editor();
            host.pick(form.LsM, 0);
            host.forgetAnswers();
            host.answerMessage(AnswerYes);
            host.answerMessage(AnswerOk);
            host.click(form.cmdDel);
        },
        toldAndReopened);
    EXPECT_EQ(items(), Texts{});
    test::ExpectEachWriteFailureLeavesTheBooks(
        host, files,
        [this] {
            frmEm& form = editor();
            host.pick(form.LsM, 1);
            host.click(form.cmdUp);
            host.click(form.Command1);
        },
        toldAndReopened);
    EXPECT_EQ(typeList(), (Texts{"1|油漆", "2|水電"}));
}

// The renaming commits acc.mdb first. When zove3.mdb's commit then fails, the projects hold the
// new name and the list the old one: the user is told, and the same renaming done again makes the
// two files agree.
TEST_F(WorkTypeEditorTest, ARenameWhoseListFailsToCommitIsToldAndMadeWholeByDoingItAgain) {
    workTypes({"土木", "水電"});
    PeopleDb().Execute("INSERT INTO t2w (t, w) VALUES ('土木', '整地')");
    project("P001", "一號工程", false, {"土木"});
    frmEm& form = editor();
    const std::string people = test::dumpTables(PeopleDb());
    host.pick(form.LsM, 0);
    host.click(form.cmdEdit);
    retype(form.txt, "土方");
    writefault::failCommit(2);
    host.answerMessage(AnswerOk);
    host.click(form.cmdY);
    writefault::clear();
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(
        host.messages()[0].text.rfind(
            "專案中的工種已改為【土方】，但工種清單未能存檔\n請再將【土木】修改為【土方】\n", 0),
        0u);
    EXPECT_EQ(test::dumpTables(PeopleDb()), people);
    EXPECT_EQ(projectTypes("P001"), Texts{"土方"});
    host.click(form.cmdY);
    EXPECT_EQ(typeList(), (Texts{"1|土方", "2|水電"}));
    EXPECT_EQ(items(), Texts{"土方|整地"});
    EXPECT_EQ(projectTypes("P001"), Texts{"土方"});
}

// Until the same renaming is done again, the project form shows the project's new name after the
// list's own entries, ticked, and a save keeps it; a project without such a name, and a new one,
// show the list alone.
TEST_F(WorkTypeEditorTest, AProjectKeepsTheNameOfARenameWhoseListFailedToCommit) {
    workTypes({"土木", "水電"});
    project("P001", "一號工程", false, {"土木", "水電"});
    project("P002", "二號工程", false, {"水電"});
    frmPj& pj = Forms::get<frmPj>();
    auto rename = [this](bool listFails) {
        host.onModal<frmEm>([this, listFails](frmEm& form) {
            host.pick(form.LsM, 0);
            host.click(form.cmdEdit);
            retype(form.txt, "土方");
            if (listFails) {
                writefault::failCommit(2);
                host.answerMessage(AnswerOk);
            }
            host.click(form.cmdY);
            writefault::clear();
            host.click(form.Command1);
        });
    };
    auto entries = [&pj] {
        Texts shown;
        for (int i = 0; i < pj.lstWt(0).ListCount(); ++i)
            shown.push_back(pj.lstWt(0).List(i) + (pj.lstWt(0).Selected(i) ? "+" : ""));
        return shown;
    };
    rename(true);
    host.click(pj.Command1);
    ASSERT_EQ(typeList(), (Texts{"1|土木", "2|水電"}));
    EXPECT_EQ(entries(), (Texts{"土木", "水電+", "土方+"}));

    host.click(pj.cmdEdit);
    EXPECT_EQ(entries(), (Texts{"土木", "水電+", "土方+"}));
    host.click(pj.cmdSv);
    EXPECT_EQ(projectTypes("P001"), (Texts{"水電", "土方"}));
    host.scroll(pj.FSB, 1);
    EXPECT_EQ(entries(), (Texts{"土木", "水電+"}));
    host.scroll(pj.FSB, 0);
    EXPECT_EQ(entries(), (Texts{"土木", "水電+", "土方+"}));
    host.click(pj.cmdAdd);
    EXPECT_EQ(entries(), (Texts{"土木", "水電"}));
    host.click(pj.cmdCencel);

    rename(false);
    host.click(pj.Command1);
    EXPECT_EQ(entries(), (Texts{"土方+", "水電+"}));
    EXPECT_EQ(projectTypes("P001"), (Texts{"水電", "土方"}));
}

// Copy B of the program adds a work type while copy A's editor shows the list: none of A's saves
// writes over it, and A is shown the list as stored.
TEST_F(WorkTypeEditorTest, AListChangedByAnotherCopyIsNotOverwritten) {
    project("P001", "一號工程", false, {"土木"});
    auto copyB = Database::open(PeopleDb().path(), peopleSchema());
    const char* conflict = "此筆資料已被其他使用者變更，請重新讀取";
    struct Case {
        const char* what;
        std::function<void(frmEm&)> act;
    };
    const Case cases[] = {
        {"add",
         [&](frmEm& f) {
             host.click(f.cmdNew);
             host.type(f.txt, "木作");
             host.expectMessage(conflict);
             host.click(f.cmdY);
         }},
        {"rename",
         [&](frmEm& f) {
             host.pick(f.LsM, 0);
             host.click(f.cmdEdit);
             retype(f.txt, "土方");
             host.expectMessage(conflict);
             host.click(f.cmdY);
         }},
        {"delete",
         [&](frmEm& f) {
             host.pick(f.LsM, 0);
             host.answerMessage(AnswerYes);
             host.expectMessage(conflict);
             host.click(f.cmdDel);
         }},
        {"move and close",
         [&](frmEm& f) {
             host.pick(f.LsM, 1);
             host.click(f.cmdUp);
             host.expectMessage(conflict);
             host.click(f.Command1);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PeopleDb().Execute("DELETE FROM 種");
        workTypes({"土木", "水電"});
        frmEm& form = editor();
        copyB->Execute("INSERT INTO 種 (t_id, t) VALUES (3, '油漆')");
        const std::string people = test::dumpTables(PeopleDb());
        const std::string books = test::dumpTables(AccDb());
        c.act(form);
        EXPECT_EQ(test::dumpTables(PeopleDb()), people);
        EXPECT_EQ(test::dumpTables(AccDb()), books);
        ASSERT_TRUE(Forms::isLoaded<frmEm>());
        Texts listed;
        for (int i = 0; i < form.LsM.ListCount(); ++i)
            listed.push_back(form.LsM.List(i));
        EXPECT_EQ(listed, (Texts{"土木", "水電", "油漆"}));
        host.click(form.Command1);
    }
}

// The project form refills its lists after the editor, ticking what is stored for the number
// shown: ticks not yet saved are lost.
TEST_F(WorkTypeEditorTest, TheProjectFormRefillsItsListsAfterTheEditor) {
    workTypes({"土木", "水電"});
    project("P001", "一號工程", false, {"土木"});
    frmPj& pj = Forms::get<frmPj>();
    host.click(pj.cmdEdit);
    host.pick(pj.lstWt(0), 1);
    host.onModal<frmEm>([this](frmEm& form) {
        host.pick(form.LsM, 1);
        host.click(form.cmdUp);
        add(form, "油漆");
        host.pick(form.LsM, 1);
        host.click(form.cmdUp);
        host.click(form.Command1);
    });
    host.click(pj.Command1);
    EXPECT_EQ(pj.lstWt(0).List(0), "水電");
    EXPECT_EQ(pj.lstWt(0).ListCount(), 3);
    EXPECT_TRUE(pj.lstWt(0).Selected(1));
    EXPECT_FALSE(pj.lstWt(0).Selected(0));
    EXPECT_EQ(pj.lbStat.Caption(), "〔修改中〕");
}

}  // namespace
