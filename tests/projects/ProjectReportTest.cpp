#include <gtest/gtest.h>

#include "platform/xlsx/Workbook.h"
#include "projects/frmPjVSrIO.h"
#include "tests/projects/ProjectBook.h"
#include "tests/xlsx/SheetReader.h"

using namespace kiv;

namespace {

constexpr Color Grey = 0xE0E0E0;

// A stand-in contract form: the tests read the side its options show, and say whether it holds
// unsaved input.
struct ContractStandIn : Form {
    ContractStandIn() : Form("frmRio") { SetCaption("應收付帳款"); }
    bool HoldsUnsavedInput() const override { return unsaved; }
    OptionButton optI{*this, "optI"};
    OptionButton optO{*this, "optO"};
    bool unsaved = false;
};

struct Opening {
    bool mode;
    std::string no;
    bool receivable;
    bool operator==(const Opening&) const = default;
};

// Two projects of one name, P001 with a receivable and a payable contract and vouchers in every
// state, P002 with nothing; the project form shows P001.
class ProjectReportTest : public test::ProjectBook {
  protected:
    void SetUp() override {
        ProjectBook::SetUp();
        Clock::useFixedTime(Date::fromYmdHms(2026, 3, 15, 9, 0, 0));
        Forms::registerForm("frmRio", [] { return std::make_unique<ContractStandIn>(); });
        PeopleDb().Execute("UPDATE company SET co_name = '永建營造'");
        AccDb().Execute(
            "INSERT INTO prj (id, prj, cust, tCash, sinDay, final) VALUES ('P001', '一號工程', "
            "'甲業主', 1000000, '2026-03-10', 1)");
        AccDb().Execute(
            "INSERT INTO prj (id, prj, cust, tCash) VALUES ('P002', '一號工程', '乙業主', 500000)");
        contract("ri", "115031001", "P001", "1,050,000", "本體工程");
        AccDb().Execute("INSERT INTO ri期 (id, 期別, 實收金) VALUES ('115031001', 1, '300,000')");
        AccDb().Execute("INSERT INTO ri期 (id, 期別, 實收金) VALUES ('115031001', 2, '')");
        AccDb().Execute(
            "INSERT INTO ri加 (id, 期別, 金額, 實收金) VALUES ('115031001', 1, '50,000', "
            "'20,000')");
        AccDb().Execute("INSERT INTO ri減 (id, 期別, 金額) VALUES ('115031001', 1, '10,000')");
        contract("ro", "115031001", "P001", "600,000");
        AccDb().Execute("INSERT INTO ro期 (id, 期別, 實收金) VALUES ('115031001', 1, '200,000')");
        AccDb().Execute(
            "INSERT INTO ro加 (id, 期別, 金額, 實收金) VALUES ('115031001', 1, '30,000', '')");
        AccDb().Execute("INSERT INTO ro減 (id, 期別, 金額) VALUES ('115031001', 1, '5,000')");
        const std::pair<int, int> income[] = {{300000, 0}, {20000, 1}};
        const std::pair<int, int> expense[] = {{200000, 3}, {50000, 4}, {9000, -1}};
        int no = 0;
        for (auto [amount, state] : income)
            projectVoucher(++no, "P001", false, amount, state);
        for (auto [amount, state] : expense)
            projectVoucher(++no, "P001", true, amount, state);
        Forms::get<frmPj>();
    }

    static void contract(const std::string& side, const std::string& no,
                         const std::string& projectNo, const std::string& total,
                         const std::string& remark = "") {
        const std::string values[] = {no, projectNo, total, remark};
        if (side == "ri")
            AccDb().Execute(
                "INSERT INTO ri (id, 收名稱, 客戶名, w, 合計, 備註, 專id, 專名) VALUES (?, "
                "'主體', '甲業主', '土木', ?, ?, ?, '一號工程')",
                values[0], values[2], values[3], values[1]);
        else
            AccDb().Execute(
                "INSERT INTO ro (id, 收名稱, 客戶名, w, 合計, 備註, 專id, 專名) VALUES (?, "
                "'鋼構', '丙廠商', '鋼構', ?, ?, ?, '一號工程')",
                values[0], values[2], values[3], values[1]);
    }
    static void projectVoucher(int no, const std::string& projectNo, bool expense, int amount,
                               int state) {
        AccDb().Execute(
            "INSERT INTO iof (單號, 方式, 金額, pay, 專案號碼, 專案名稱) VALUES (?, ?, ?, ?, ?, "
            "'一號工程')",
            "11503150" + std::to_string(no), state, amount, expense, projectNo);
    }

    static frmPjVSrIO& open(bool reportMode) {
        ProjectReportMode = reportMode;
        return Forms::get<frmPjVSrIO>();
    }
    test::SheetReader lastWorkbook() {
        EXPECT_FALSE(host.openedFiles().empty());
        return test::SheetReader(host.openedFiles().back());
    }
};

TEST_F(ProjectReportTest, TheReportListsEveryProjectWithItsOwnContractsAndCountedVouchers) {
    frmPjVSrIO& form = open(true);
    ASSERT_EQ(form.hfg.Rows(), 3);
    EXPECT_EQ(row(form.hfg, 1), (Texts{"->", "Yes", "P001", "一號工程", "甲業主", "115/03/10", "",
                                       "1,000,000", "320,000", "770,000", "625,000", "200,000",
                                       "425,000", "375,000", "200,000", "800,000", "375,000"}));
    EXPECT_EQ(row(form.hfg, 2),
              (Texts{"", "No", "P002", "一號工程", "乙業主", "", "", "500,000", "0", "0", "0", "0",
                     "0", "500,000", "0", "500,000", "500,000"}));
    EXPECT_EQ(form.hfg.BackColorAt(1, 3), Grid::Unset);
    EXPECT_EQ(form.hfg.BackColorAt(1, 16), Grey);
    EXPECT_EQ(form.hfg.BackColorAt(2, 16), Grid::Unset);
}

TEST_F(ProjectReportTest, RefreshListsTheProjectsSignedWithinTheLabelsBothEndsIncluded) {
    AccDb().Execute(
        "INSERT INTO prj (id, prj, tCash, sinDay) VALUES ('P003', '三號', 1, '2026-03-31'), "
        "('P004', '四號', 1, '2026-04-01'), ('P000', '零號', 1, '2026-03-01'), "
        "('P005', '五號', 1, '2026-02-28')");
    frmPjVSrIO& form = open(true);
    EXPECT_EQ(column(form.hfg, 2), (Texts{"P000", "P001", "P002", "P003", "P004", "P005"}));
    host.click(form.cmdSer);
    EXPECT_EQ(column(form.hfg, 2), (Texts{"P000", "P001", "P003"}));
    EXPECT_EQ(column(form.hfg, 0), (Texts{"", "->", ""}));

    host.pickDate(form.DTP1, day(2026, 3, 10));
    host.pickDate(form.DTP2, day(2026, 3, 10));
    EXPECT_EQ(form.lbSt.Caption(), "中華民國 115/03/10");
    EXPECT_EQ(column(form.hfg, 2), (Texts{"P000", "P001", "P003"})) << "only 重整 refills";
    host.click(form.cmdSer);
    EXPECT_EQ(column(form.hfg, 2), (Texts{"P001"}));

    host.pickDate(form.DTP1, day(2026, 5, 1));
    host.pickDate(form.DTP2, day(2026, 5, 31));
    host.click(form.cmdSer);
    EXPECT_EQ(form.hfg.Rows(), 2);
    EXPECT_EQ(row(form.hfg, 1), Texts(17, ""));
    EXPECT_EQ(form.hfg.BackColorAt(1, 5), Grid::Unset);
}

TEST_F(ProjectReportTest, NegativeProfitsAreRedAndTheMarkFollowsTheShownProjectOnAnyRow) {
    contract("ro", "115031002", "P002", "700,000");
    // A contract of the same number under another project name is not P002's.
    AccDb().Execute(
        "INSERT INTO ro (id, 合計, 專id, 專名) VALUES ('115031003', '900,000', 'P002', '二號')");
    // A voucher of P001's number under another name is no voucher of P001.
    AccDb().Execute(
        "INSERT INTO iof (單號, 方式, 金額, pay, 專案號碼, 專案名稱) VALUES ('1150315099', 0, "
        "7000, 1, 'P001', '二號')");
    host.scroll(Forms::get<frmPj>().FSB, 1);
    frmPjVSrIO& form = open(true);
    EXPECT_EQ(form.hfg.TextMatrix(1, 14), "200,000");
    EXPECT_EQ(column(form.hfg, 0), (Texts{"", "->"}));
    EXPECT_EQ(form.hfg.BackColorAt(2, 4), Grid::Unset);
    EXPECT_EQ(form.hfg.BackColorAt(1, 4), Grey);
    EXPECT_EQ(row(form.hfg, 2)[10], "700,000");
    EXPECT_EQ(row(form.hfg, 2)[11], "0");
    const std::pair<int, std::string> red[] = {{13, "-200,000"}, {15, "500,000"}, {16, "-200,000"}};
    for (const auto& [c, text] : red) {
        EXPECT_EQ(form.hfg.TextMatrix(2, c), text);
        EXPECT_EQ(form.hfg.ForeColorAt(2, c), text[0] == '-' ? ExpenseRed : Grid::Unset) << c;
    }
}

TEST_F(ProjectReportTest, TheReportWorkbookHoldsTheCompanyTheLabelsRangeAndTheBoxedGrid) {
    frmPjVSrIO& form = open(true);
    host.click(form.cmdPxls);
    test::SheetReader sheet = lastWorkbook();
    EXPECT_EQ(sheet.text("A1"), "永建營造：專案報表");
    EXPECT_EQ(sheet.text("A2"), "起迄日：中華民國 115/03/01～中華民國 115/03/31");
    EXPECT_EQ(sheet.text("C4"), "P001");
    EXPECT_EQ(sheet.text("Q5"), "500,000");
    EXPECT_TRUE(sheet.boxed("A3") && sheet.boxed("Q5"));
    EXPECT_FALSE(sheet.has("A6") || sheet.has("R3"));
}

TEST_F(ProjectReportTest, ContractModeListsReceivablesThenPayablesAndTheTotalsProfit) {
    frmPjVSrIO& form = open(false);
    EXPECT_EQ(form.lbPj.Caption(), "P001 - 一號工程");
    EXPECT_FALSE(form.cmdSer.Visible());
    ASSERT_EQ(form.hfg.Rows(), 4);
    EXPECT_EQ(row(form.hfg, 1),
              (Texts{"", "115031001", "主體", "甲業主", "土木", "1,050,000", "50,000", "10,000",
                     "1,090,000", "320,000", "770,000", "本體工程"}));
    EXPECT_EQ(row(form.hfg, 2), (Texts{"", "115031001", "鋼構", "丙廠商", "鋼構", "600,000",
                                       "30,000", "5,000", "625,000", "200,000", "425,000", ""}));
    EXPECT_EQ(row(form.hfg, 3), (Texts{"", "", "利潤", "", "", "450,000", "", "", "", "", "", ""}));
    EXPECT_EQ(form.hfg.ForeColorAt(1, 7), ExpenseRed);

    host.click(form.cmdPxls);
    test::SheetReader sheet = lastWorkbook();
    EXPECT_EQ(sheet.text("A1"), "永建營造：應收付情況");
    EXPECT_EQ(sheet.text("A2"), "專案簽約日：P001 - 一號工程");
    EXPECT_EQ(sheet.text("C6"), "利潤");
    EXPECT_FALSE(sheet.has("M3"));
}

TEST_F(ProjectReportTest, AContractWithoutSchedulesAndAProjectWithoutContracts) {
    // Two receivables and a payable of P002: the profit counts the totals only.
    contract("ri", "115031101", "P002", "100,000");
    contract("ri", "115031102", "P002", "");
    AccDb().Execute(
        "INSERT INTO ri加 (id, 期別, 金額, 實收金) VALUES ('115031101', 1, '20,000', '')");
    contract("ro", "115031101", "P002", "70,000");
    host.scroll(Forms::get<frmPj>().FSB, 1);
    frmPjVSrIO& form = open(false);
    EXPECT_EQ(column(form.hfg, 1), (Texts{"115031101", "115031102", "115031101", ""}));
    EXPECT_EQ(row(form.hfg, 1)[10], "120,000");
    const Texts bare = row(form.hfg, 3);
    EXPECT_EQ((Texts{bare[5], bare[6], bare[7], bare[8], bare[9], bare[10]}),
              (Texts{"70,000", "", "", "70,000", "0", "70,000"}));
    EXPECT_EQ(row(form.hfg, 2)[8], "0");
    EXPECT_EQ(form.hfg.TextMatrix(4, 5), "30,000");
    Forms::unload<frmPjVSrIO>();

    AccDb().Execute("DELETE FROM ri WHERE 專id = 'P002'");
    AccDb().Execute("DELETE FROM ro WHERE 專id = 'P002'");
    frmPjVSrIO& empty = open(false);
    ASSERT_EQ(empty.hfg.Rows(), 3);
    EXPECT_EQ(row(empty.hfg, 1), Texts(12, ""));
    EXPECT_EQ(empty.hfg.TextMatrix(2, 5), "0");
}

TEST_F(ProjectReportTest, SumsBeyondThirtyTwoBitsStayWhole) {
    contract("ri", "115031301", "P002", "3,000,000,000");
    AccDb().Execute(
        "INSERT INTO ri期 (id, 期別, 實收金) VALUES ('115031301', 1, '2,500,000,000'), "
        "('115031301', 2, '2,500,000,000')");
    host.scroll(Forms::get<frmPj>().FSB, 1);
    frmPjVSrIO& form = open(false);
    EXPECT_EQ(form.hfg.TextMatrix(1, 9), "5,000,000,000");
    EXPECT_EQ(form.hfg.TextMatrix(1, 10), "-2,000,000,000");
    EXPECT_EQ(form.hfg.TextMatrix(2, 5), "3,000,000,000");
    Forms::unload<frmPjVSrIO>();
    EXPECT_EQ(open(true).hfg.TextMatrix(2, 9), "-2,000,000,000");
}

TEST_F(ProjectReportTest, ContractsWithoutAProjectAreNotThoseOfAnEmptyProjectForm) {
    AccDb().Execute("INSERT INTO ri (id, 合計, 專id, 專名) VALUES ('115031201', '9', '', '')");
    host.click(Forms::get<frmPj>().cmdAdd);
    frmPjVSrIO& form = open(false);
    EXPECT_EQ(form.lbPj.Caption(), " - ");
    EXPECT_EQ(column(form.hfg, 1), (Texts{"", ""}));
    EXPECT_EQ(form.hfg.TextMatrix(2, 5), "0");
}

TEST_F(ProjectReportTest, ADoubleClickOpensTheContractOfTheRowOnItsSide) {
    frmPjVSrIO& form = open(false);
    std::vector<Opening> openings;
    host.onEveryModal("frmRio", [&](Form& rio) {
        openings.push_back({OpenContractMode, OpenContractNo, OpenContractIsReceivable});
        rio.Unload();
    });
    for (auto [r, c] : {std::pair{0, 1}, std::pair{3, 2}, std::pair{3, 0}})
        host.dblClickCell(form.hfg, r, c);
    EXPECT_TRUE(openings.empty());
    for (int c : {0, 5, 11})
        host.dblClickCell(form.hfg, 2, c);
    host.dblClickCell(form.hfg, 1, 11);
    EXPECT_EQ(openings, (std::vector<Opening>{{true, "115031001", false},
                                              {true, "115031001", false},
                                              {true, "115031001", false},
                                              {true, "115031001", true}}));
    EXPECT_FALSE(OpenContractMode);
    EXPECT_TRUE(host.messages().empty());
    Forms::unload<frmPjVSrIO>();
    host.dblClickCell(open(true).hfg, 1, 2);
    EXPECT_EQ(openings.size(), 4u) << "the report opens nothing";
}

// A modal show of the contract form that the launcher shows would close it: holding unsaved input
// it stays and nothing opens; with nothing unsaved it is closed and the contract asked for opens.
TEST_F(ProjectReportTest, TheContractFormHoldingUnsavedInputIsNeverReplaced) {
    Forms::showByName("frmRio", Modeless);
    auto& launcherForm = dynamic_cast<ContractStandIn&>(*Forms::find("frmRio"));
    launcherForm.unsaved = true;
    frmPjVSrIO& form = open(false);
    frmPj& projects = Forms::get<frmPj>();
    host.answerMessage(AnswerOk);
    host.dblClickCell(form.hfg, 1, 1);
    host.answerMessage(AnswerOk);
    host.click(projects.cmdRi);
    host.answerMessage(AnswerOk);
    host.click(projects.cmdRo);
    EXPECT_EQ(host.messageTexts(), Texts(3, "請先關閉應收付帳款作業"));
    EXPECT_TRUE(host.modalShows().empty());
    EXPECT_EQ(Forms::find("frmRio"), &launcherForm);
    EXPECT_FALSE(OpenContractMode);

    launcherForm.unsaved = false;
    host.onModal("frmRio", [](Form& rio) {
        EXPECT_TRUE(OpenContractMode);
        rio.Unload();
    });
    host.dblClickCell(form.hfg, 1, 1);
    EXPECT_EQ(host.modalShows(), Texts{"frmRio"});
    EXPECT_FALSE(Forms::find("frmRio"));
}

TEST_F(ProjectReportTest, ThePlainContractButtonsOpenTheContractFormOnTheirSideInEveryMode) {
    frmPj& projects = Forms::get<frmPj>();
    std::vector<std::pair<bool, bool>> sides;
    host.onEveryModal("frmRio", [&](Form& rio) {
        auto& standIn = dynamic_cast<ContractStandIn&>(rio);
        sides.push_back({standIn.optI.Value(), standIn.optO.Value()});
        EXPECT_FALSE(OpenContractMode);
        rio.Unload();
    });
    host.click(projects.cmdRi);
    host.answerMessage(AnswerYes);
    host.click(projects.cmdEdit);
    host.click(projects.cmdRo);
    EXPECT_EQ(sides, (std::vector<std::pair<bool, bool>>{{true, false}, {false, true}}));
    EXPECT_EQ(projects.lbStat.Caption(), "〔修改中〕");
}

TEST_F(ProjectReportTest, TheReportButtonsOpenTheFormInTheirModeAndTheReportNeedsItsRight) {
    frmPj& projects = Forms::get<frmPj>();
    Texts captions;
    host.onEveryModal("frmPjVSrIO", [&](Form& report) {
        captions.push_back(report.Caption() + (ProjectReportMode ? "|True" : "|False"));
        report.Unload();
    });
    host.click(projects.cmdAdd);
    host.click(projects.cmdRio);
    host.click(projects.Command2);
    EXPECT_EQ(captions, (Texts{"專案-應收付情況|False", "專案報表|True"}));
    EXPECT_TRUE(projects.Command2.Enabled());
    Forms::unload<frmPj>();

    loggedInWith(AllRights & ~(1 << (RightProjectReport - 1)));
    frmPj& limited = Forms::get<frmPj>();
    EXPECT_FALSE(limited.Command2.Enabled());
    EXPECT_TRUE(limited.cmdRio.Enabled());
}

TEST_F(ProjectReportTest, AFailingStatementLeavesTheReportAsItWas) {
    frmPjVSrIO& form = open(true);
    AccDb().Execute("DROP TABLE ro加");
    host.answerMessage(AnswerOk);
    host.click(form.cmdSer);
    EXPECT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(column(form.hfg, 2), (Texts{"P001", "P002"}));
    EXPECT_TRUE(form.hfg.Visible());
}

}  // namespace
