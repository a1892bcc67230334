#include <gtest/gtest.h>

#include "platform/db/WriteFault.h"
#include "shell/Schema.h"
#include "shell/frmAccMain.h"
#include "tests/projects/ProjectBook.h"
#include "tests/support/TableDump.h"
#include "tests/support/WriteFaults.h"

using namespace kiv;

namespace {

class ProjectFormTest : public test::ProjectBook {
  protected:
    frmPj& startAdding(const std::string& no, const std::string& name) {
        frmPj& form = Forms::get<frmPj>();
        host.click(form.cmdAdd);
        host.type(form.txtPjNo, no);
        host.type(form.txtPjN, name);
        return form;
    }
    void save(frmPj& form) {
        host.answerMessage(AnswerYes);
        host.click(form.cmdSv);
    }
};

TEST_F(ProjectFormTest, AnAddedProjectIsStoredWithItsWholeTotalDatesAndTickedTypesInListOrder) {
    workTypes({"土木", "水電", "油漆"});
    PeopleDb().Execute(
        "INSERT INTO 客戶 (客戶編號, 客戶名稱, 施工地址) VALUES ('C1', '林先生', "
        "'台北市;信義路一段')");
    frmPj& form = startAdding("P001", "一號工程");
    host.type(form.txtCash, "1,500,000");
    host.pickDate(form.DTP3, day(2026, 11, 30));
    EXPECT_EQ(form.lbSin.Caption(), "115/11/30");
    // A pick of the date the picker already shows (today) still fills its label.
    host.pickDate(form.DTP1, day(2026, 12, 6));
    EXPECT_EQ(form.lbSt.Caption(), "115/12/06");
    host.type(form.cbCust, "林先生");
    EXPECT_EQ(form.txtEngAdd.Text(), "台北市信義路一段");
    host.pick(form.lstWt(0), 2);
    host.pick(form.lstWt(0), 0);
    host.answerMessage(AnswerYes);
    host.click(form.cmdSv);

    EXPECT_EQ(host.messageTexts(), (Texts{"專案新增後將無法修改編號和名稱\n是否新增此專案"}));
    EXPECT_EQ(projects(), (Texts{"P001|一號工程|1500000|2026/12/06||林先生|台北市信義路一段||||"
                                 "False|2026/11/30"}));
    EXPECT_EQ(projectTypes("P001"), (Texts{"土木", "油漆"}));
    EXPECT_EQ(form.lbStat.Caption(), "〔瀏覽〕");
    EXPECT_EQ(form.lbSin.Caption(), "中華民國 115/11/30");
    EXPECT_FALSE(form.lstWt(0).Selected(1));
}

// A pick writes its label without the era, on either side of the ROC year 100; the save stores
// that same day, which then shows with its era.
TEST_F(ProjectFormTest, APickedDateIsWrittenWithoutTheEraAndStoredAsThatDay) {
    project("P001", "一號工程");
    frmPj& form = Forms::get<frmPj>();
    struct Case {
        Date picked;
        std::string label;
        const char* stored;
    };
    for (const Case& c : {Case{day(2010, 12, 31), "99/12/31", "2010/12/31"},
                          Case{day(2011, 1, 1), "100/01/01", "2011/01/01"},
                          Case{day(2026, 11, 30), "115/11/30", "2026/11/30"}}) {
        host.click(form.cmdEdit);
        host.pickDate(form.DTP3, c.picked);
        EXPECT_EQ(form.lbSin.Caption(), c.label);
        host.click(form.cmdSv);
        EXPECT_EQ(rows(AccDb(), "SELECT sinDay FROM prj"), Texts{c.stored});
        host.click(form.cmdEdit);
        EXPECT_EQ(form.lbSin.Caption(), "中華民國 " + c.label);
        host.click(form.cmdCencel);
    }
    EXPECT_TRUE(host.messages().empty());
}

// The total shows as stored, without grouping, and an edit that leaves the box as shown keeps it
// as stored: a fraction, an empty total. What the user types goes through the amount reading
// at the save, typed key by key without a filter: text that is no amount is refused there.
TEST_F(ProjectFormTest, AStoredTotalIsShownAndKeptAsStoredUntilTheUserTypesAnother) {
    project("P001", "一號工程");
    frmPj& form = Forms::get<frmPj>();
    struct Case {
        Sql stored;
        const char* shown;
        const char* kept;
    };
    for (const Case& c : {Case{"UPDATE prj SET tCash = 1234.5", "1234.5", "1234.5"},
                          Case{"UPDATE prj SET tCash = NULL", "", ""},
                          Case{"UPDATE prj SET tCash = 1500000", "1500000", "1500000"}}) {
        SCOPED_TRACE(c.shown);
        AccDb().Execute(c.stored);
        host.click(form.cmdEdit);
        EXPECT_EQ(form.txtCash.Text(), c.shown);
        retype(form.txtEngAdd, "新地址");
        host.click(form.cmdSv);
        EXPECT_EQ(rows(AccDb(), "SELECT tCash, addr FROM prj"),
                  Texts{std::string(c.kept) + "|新地址"});
    }

    host.click(form.cmdEdit);
    retype(form.txtCash, "12a");
    EXPECT_EQ(form.txtCash.Text(), "12a");
    EXPECT_EQ(host.beeps(), 0);
    host.expectMessage("總金額欄位只能輸入數字");
    host.click(form.cmdSv);
    EXPECT_EQ(rows(AccDb(), "SELECT tCash FROM prj"), Texts{"1500000"});
    EXPECT_EQ(form.lbStat.Caption(), "〔修改中〕");
    retype(form.txtCash, "1,234,567");
    host.click(form.cmdSv);
    EXPECT_EQ(rows(AccDb(), "SELECT tCash FROM prj"), Texts{"1234567"});
}

// 負責部門 and 案場 are stored nowhere: they keep their captions and places but take nothing
// typed or pasted, in any mode.
TEST_F(ProjectFormTest, TheDepartmentAndSiteBoxesTakeNoInput) {
    frmPj& form = startAdding("P001", "一號工程");
    const std::pair<TextBox*, const char*> boxes[] = {{&form.txtPart, "負責部門:"},
                                                      {&form.txtArea, "案場:"}};
    int caption = 11;
    for (auto [box, name] : boxes) {
        SCOPED_TRACE(name);
        EXPECT_EQ(form.captions(caption++).Caption(), name);
        EXPECT_TRUE(box->Visible());
        host.type(*box, "工務部");
        host.act([box] { box->userPaste("第二案場"); });
        EXPECT_EQ(box->Text(), "");
    }
}

TEST_F(ProjectFormTest, ADuplicateNumberIsRefusedSelectedAndCanBeCorrected) {
    project("P001", "一號工程");
    frmPj& form = startAdding("P001", "二號工程");
    host.answerMessage(AnswerYes);
    host.answerMessage(AnswerOk);
    host.click(form.cmdSv);
    EXPECT_EQ(host.messageTexts(),
              (Texts{"專案新增後將無法修改編號和名稱\n是否新增此專案", "專案號碼重複"}));
    EXPECT_TRUE(form.txtPjNo.HasFocus());
    EXPECT_EQ(form.txtPjNo.SelLength(), 4);
    EXPECT_EQ(form.lbStat.Caption(), "〔新增中〕");
    EXPECT_EQ(projects().size(), 1u);

    retype(form.txtPjNo, "P002");
    save(form);
    EXPECT_EQ(projects().size(), 2u);
    EXPECT_EQ(form.txtPjNo.Text(), "P002");
    EXPECT_EQ(form.FSB.Value(), 1);
    // The name list is filled when the form loads only.
    EXPECT_EQ(form.cbPj.ListCount(), 1);
}

TEST_F(ProjectFormTest, AnythingButYesToTheAddQuestionStaysInAddModeAndWritesNothing) {
    frmPj& form = startAdding("P001", "一號工程");
    host.answerMessage(AnswerNo);
    host.click(form.cmdSv);
    EXPECT_EQ(form.lbStat.Caption(), "〔新增中〕");
    EXPECT_TRUE(projects().empty());

    retype(form.txtPjNo, "");
    host.answerMessage(AnswerOk);
    host.click(form.cmdSv);
    EXPECT_EQ(host.messages().back().text, "請填入專案號碼");
}

TEST_F(ProjectFormTest, AnEditKeepsEmptyDatesStoresPickedOnesAndRewritesTheWorkTypes) {
    workTypes({"土木", "水電"});
    project("P001", "一號工程", false, {"水電", "土木"});
    AccDb().Execute("UPDATE prj SET sinDay = '2026-11-30'");
    frmPj& form = Forms::get<frmPj>();
    EXPECT_EQ(form.lbSin.Caption(), "中華民國 115/11/30");
    host.click(form.cmdEdit);
    EXPECT_FALSE(form.txtPjNo.Enabled());
    EXPECT_EQ(form.DTP3.Value(), day(2026, 11, 30));
    host.click(form.cmdSv);
    // The shown form of the signing date reads back as the same day; the empty dates stay empty.
    EXPECT_EQ(rows(AccDb(), "SELECT stday, edday, sinDay FROM prj"), (Texts{"||2026/11/30"}));
    EXPECT_EQ(projectTypes("P001"), (Texts{"土木", "水電"}));

    host.click(form.cmdEdit);
    host.pickDate(form.DTP2, day(2027, 3, 1));
    host.pick(form.lstWt(0), 0);
    host.pick(form.lstWt(0), 1);
    host.click(form.cmdSv);
    EXPECT_EQ(rows(AccDb(), "SELECT stday, edday, sinDay FROM prj"),
              (Texts{"|2027/03/01|2026/11/30"}));
    EXPECT_TRUE(projectTypes("P001").empty());
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(ProjectFormTest, AClosedProjectAsksBeforeEditing) {
    project("P001", "一號工程", true);
    frmPj& form = Forms::get<frmPj>();
    host.expectMessage("專案已完工\n確定修改?", AnswerNo);
    host.click(form.cmdEdit);
    EXPECT_EQ(form.lbStat.Caption(), "〔瀏覽〕");
    host.expectMessage("專案已完工\n確定修改?", AnswerYes);
    host.click(form.cmdEdit);
    EXPECT_EQ(form.lbStat.Caption(), "〔修改中〕");
}

TEST_F(ProjectFormTest, ButtonsFollowTheRightsThroughLoadSaveAndCancel) {
    struct Case {
        int32_t rights;
        bool edit, report;
    };
    for (Case c : {Case{1 << 8, true, false}, Case{1 << 9, false, true}}) {
        project("P" + std::to_string(c.rights), "工程");
        UserRights = c.rights;
        frmPj& form = Forms::get<frmPj>();
        auto check = [&](const char* when) {
            EXPECT_EQ(form.cmdAdd.Enabled(), c.edit) << when << c.rights;
            EXPECT_EQ(form.cmdEdit.Enabled(), c.edit) << when << c.rights;
            EXPECT_EQ(form.cmdCal.Enabled(), c.report) << when << c.rights;
        };
        check("load");
        if (c.edit) {
            host.click(form.cmdEdit);
            EXPECT_FALSE(form.cmdCal.Enabled());
            host.click(form.cmdSv);
            check("save");
            host.click(form.cmdAdd);
            host.click(form.cmdCencel);
            check("cancel");
            EXPECT_LT(form.txtPjN.ZIndex(), form.cbPj.ZIndex());
        }
        Forms::unload(form);
    }
}

TEST_F(ProjectFormTest, TheScrollBarAndTheListMoveInStoredOrderAndAnEditKeepsThePosition) {
    project("P9", "九號");
    project("P10", "十號");
    project("A1", "一號");
    frmPj& form = Forms::get<frmPj>();
    EXPECT_EQ(form.FSB.Max(), 2);
    host.pick(form.cbPj, 2);
    EXPECT_EQ(form.txtPjNo.Text(), "A1");
    host.scroll(form.FSB, 1);
    EXPECT_EQ(form.txtPjN.Text(), "十號");
    host.click(form.cmdEdit);
    retype(form.txtCash, "2500");
    host.click(form.cmdSv);
    EXPECT_EQ(rows(AccDb(), "SELECT tCash FROM prj WHERE id = 'P10'"), (Texts{"2500"}));
    host.scroll(form.FSB, 2);
    EXPECT_EQ(form.txtPjNo.Text(), "A1");
}

TEST_F(ProjectFormTest, TheSearchFindsTheFirstInStoredOrderByNumberOrNameWithCase) {
    project("X-77", "甲工程");
    project("B2", "乙工程 X-7");
    project("b3", "丙工程");
    frmPj& form = Forms::get<frmPj>();
    struct Case {
        const char* text;
        const char* shown;
    };
    for (Case c : {Case{"乙", "B2"}, Case{"X-7", "X-77"}, Case{"b", "b3"}, Case{"B", "B2"}}) {
        host.answerInput(c.text);
        host.click(form.cmdSpj);
        EXPECT_EQ(form.txtPjNo.Text(), c.shown) << c.text;
    }
    host.answerInput("zz");
    host.answerMessage(AnswerOk);
    host.click(form.cmdSpj);
    EXPECT_EQ(host.messageTexts(), (Texts{"找不到此專案"}));
    EXPECT_EQ(form.txtPjNo.Text(), "B2");
}

TEST_F(ProjectFormTest, WorkTypesBeyondTwentyAndFortyGoToTheNextLists) {
    std::vector<std::string> names;
    for (int i = 1; i <= 45; ++i)
        names.push_back("工種" + std::to_string(i));
    names.push_back("工種1");
    workTypes(names);
    project("P001", "一號工程", false, {"工種21", "工種1", "舊名"});
    frmPj& form = Forms::get<frmPj>();
    EXPECT_EQ(form.lstWt(0).ListCount(), 20);
    EXPECT_EQ(form.lstWt(1).List(0), "工種21");
    EXPECT_EQ(form.lstWt(2).ListCount(), 7);
    EXPECT_TRUE(form.lstWt(1).Selected(0));
    EXPECT_TRUE(form.lstWt(0).Selected(0));
    // Of two entries of one name only the first is ticked.
    EXPECT_FALSE(form.lstWt(2).Selected(5));
    // A name the list lacks follows the list's own entries, ticked.
    EXPECT_EQ(form.lstWt(2).List(6), "舊名");
    EXPECT_TRUE(form.lstWt(2).Selected(6));
}

// The record and its work types are stored together: a failure at any write leaves both, told
// with the error's number, the form still editing.
TEST_F(ProjectFormTest, AFailedEditSaveLeavesTheProjectAndItsWorkTypes) {
    workTypes({"土木", "水電"});
    project("P001", "一號工程", false, {"土木"});
    frmPj& form = Forms::get<frmPj>();
    auto edit = [&] {
        host.click(form.cmdEdit);
        retype(form.txtCash, "9,000");
        host.pick(form.lstWt(0), 1);
        host.click(form.cmdSv);
    };
    const int writes = test::ExpectEachWriteFailureLeavesTheBooks(host, {&AccDb()}, edit, [&] {
        // The error's number, a line break and its description, plain and with no title given.
        const TestHost::Message& told = host.messages().back();
        EXPECT_EQ(told.style, MessagePlain);
        EXPECT_EQ(told.title, std::nullopt);
        const size_t digits = told.text.find_first_not_of("0123456789");
        EXPECT_GT(digits, 0u);
        EXPECT_EQ(told.text.substr(digits, 1), "\n");
        EXPECT_EQ(form.lbStat.Caption(), "〔修改中〕");
        host.click(form.cmdCencel);
    });
    EXPECT_EQ(writes, 4);
    EXPECT_EQ(rows(AccDb(), "SELECT tCash FROM prj"), (Texts{"9000"}));
    EXPECT_EQ(projectTypes("P001"), (Texts{"土木", "水電"}));
}

// Copy B of the program changes the project or its work types while copy A edits it: A's save
// writes nothing and A is shown what B stored.
TEST_F(ProjectFormTest, AProjectChangedByAnotherCopyIsNotOverwritten) {
    workTypes({"土木", "水電"});
    project("P001", "一號工程", false, {"土木"});
    auto copyB = Database::open(AccDb().path(), accSchema());
    frmPj& form = Forms::get<frmPj>();
    struct Case {
        const char* what;
        Sql change;
        const char* total;
        Texts ticked;
    };
    const Case cases[] = {
        {"the total", "UPDATE prj SET tCash = 2000", "2000", {"土木"}},
        {"a work type added",
         "INSERT INTO w4pj (pj_id, w) VALUES ('P001', '水電')",
         "2000",
         {"土木", "水電"}},
        {"a work type removed", "DELETE FROM w4pj WHERE w = '土木'", "2000", {"水電"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host.click(form.cmdEdit);
        retype(form.txtCash, "9000");
        host.pick(form.lstWt(0), 0);
        copyB->Execute(c.change);
        const std::string stored = test::dumpTables(AccDb());
        host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
        host.click(form.cmdSv);
        EXPECT_EQ(test::dumpTables(AccDb()), stored);
        EXPECT_EQ(form.lbStat.Caption(), "〔瀏覽〕");
        EXPECT_EQ(form.txtCash.Text(), c.total);
        Texts ticked;
        for (int i = 0; i < form.lstWt(0).ListCount(); ++i)
            if (form.lstWt(0).Selected(i)) ticked.push_back(form.lstWt(0).List(i));
        EXPECT_EQ(ticked, c.ticked);
    }
    // What is shown now is what is stored: the next edit saves.
    host.clearMessages();
    host.click(form.cmdEdit);
    retype(form.txtCash, "9000");
    host.click(form.cmdSv);
    EXPECT_TRUE(host.messages().empty());
    EXPECT_EQ(rows(AccDb(), "SELECT tCash FROM prj"), Texts{"9000"});
    EXPECT_EQ(projectTypes("P001"), Texts{"水電"});
}

TEST_F(ProjectFormTest, TheLauncherOpensTheProjectFormOnceRegistered) {
    AccDb().Execute("INSERT INTO obank VALUES ('台灣銀行', '001-1', '本公司', 1000)");
    AccDb().Execute("INSERT INTO bbank VALUES ('土地銀行', '002-2', '本公司', 5000)");
    frmAccMain& bar = Forms::get<frmAccMain>();
    bar.Show();
    host.click(bar.cmdM);
    host.click(bar.cmdPj);
    Form* form = Forms::find("frmPj");
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->Visible());
    EXPECT_FALSE(form->IsModal());
    EXPECT_TRUE(host.messages().empty());
}

}  // namespace
