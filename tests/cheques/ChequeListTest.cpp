#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cheques/frmBB.h"
#include "platform/report/ReportOutput.h"
#include "platform/xlsx/Workbook.h"
#include "tests/cheques/ChequeBook.h"
#include "tests/xlsx/SheetReader.h"

using namespace kiv;
using namespace kiv::test;

namespace {

// Today is 2026-03-15; workbooks go to the test's own documents folder and reports to its PDFs.
class ChequeListTest : public ChequeBook {
  protected:
    void SetUp() override {
        ChequeBook::SetUp();
        setToday(day(2026, 3, 15));
        setReportOutput(&printer);
        PeopleDb().Execute("UPDATE company SET co_name = '永建營造'");
    }
    void TearDown() override {
        setReportOutput(nullptr);
        ChequeBook::TearDown();
    }
    // A received cheque into 台灣銀行 001-123 with its voucher.
    static void received(const std::string& number, int64_t amount, Date due, int state = 0,
                         const std::string& account = "001-123") {
        const std::string key = "V" + number;
        addVoucher(key, amount, false);
        Cheque c = cheque(key, amount, true, due);
        c.number = number;
        c.issueDate = day(2026, 3, 1);
        c.payeeBank = "台灣銀行";
        c.payeeAccount = account;
        c.drawer = "林先生";
        c.state = state;
        addCheque(c);
    }
    static void issued(const std::string& number, const std::string& key, int64_t amount, Date due,
                       const std::string& bank = "土地銀行",
                       const std::string& account = "002-456") {
        Cheque c = cheque(key, amount, false, due);
        c.number = number;
        c.issueDate = day(2026, 3, 2);
        c.drawerBank = bank;
        c.drawerAccount = account;
        c.payee = "陳小姐";
        addCheque(c);
    }
    // The three received cheques of March: two due on the 5th, one cashed on the 10th.
    static void marchReceived() {
        received("A001", 1000, day(2026, 3, 5));
        received("A002", 2500, day(2026, 3, 5));
        received("A003", 9000, day(2026, 3, 10), ChequeCashed);
    }
    frmBB& openList() { return Forms::get<frmBB>(); }
    void queryReceived(frmBB& form) {
        host.click(form.opt(1));
        host.click(form.Command1);
    }
    static Texts column(const Grid& grid, int c) { return GridColumn(grid, c); }
    // The cheques listed above the summary, by the column given.
    static Texts listed(const frmBB& form, int c = 1) {
        return GridColumn(form.hfg, c, 1, form.DetailRowCount - 1);
    }
    static Texts table(const Sql& sql) { return rows(PrintDb(), sql); }
    std::string widthFileText() {
        std::ostringstream text;
        text << std::ifstream(folder.file("pcolw.ini"), std::ios::binary).rdbuf();
        return text.str();
    }

    PdfReportOutput printer{folder.file("")};
};

// The list is drawn with its summary by date, bank and state, feeds the print tables (the
// sign-off table left alone), prints, and is exported under its titles in the widths kept.
TEST_F(ChequeListTest, TheReceivedListOfMarchHasItsSummaryAndIsPrintedAndExported) {
    marchReceived();
    std::ofstream(folder.file("pcolw.ini")) << " 200\r\n 1800\r\n 1200\r\n 1200\r\n 2400\r\n "
                                               "900\r\n 1300\r\n 1300\r\n 1000\r\n 1000\r\n";
    frmBB& form = openList();
    PrintDb().Execute("INSERT INTO pt (開銀行) VALUES ('舊的')");
    queryReceived(form);
    const Grid& g = form.hfg;
    ASSERT_EQ(g.Rows(), 8);
    EXPECT_EQ(GridRow(g, 1, 1, 10), (Texts{"A001", "中華民國 115/03/01", "VA001", "用途VA001",
                                           "未處理", "中華民國 115/03/05", "中華民國 115/03/05",
                                           "林先生", "1,000", "台灣銀行(001-123)"}));
    EXPECT_EQ(listed(form), (Texts{"A001", "A002", "A003"}));
    EXPECT_EQ(GridRow(g, 6, 3, 7),
              (Texts{"115/03/05", "台灣銀行(001-123)", "未處理", "2", "3,500"}));
    EXPECT_EQ(GridRow(g, 7, 3, 7),
              (Texts{"115/03/10", "台灣銀行(001-123)", "到  期", "1", "9,000"}));
    EXPECT_EQ(table("SELECT 收支單號 FROM bi").at(5), "115/03/05");
    EXPECT_EQ(table("SELECT 票據號碼, 到期日序 FROM bip"),
              (Texts{"A001|2026-03-05", "A002|2026-03-05", "A003|2026-03-10"}));
    EXPECT_EQ(table("SELECT 期間 FROM seday"),
              Texts{"到期日：中華民國 115/03/01～中華民國 115/03/31"});
    EXPECT_EQ(table("SELECT 開銀行 FROM pt"), Texts{"舊的"});
    host.click(form.cmdPio);
    ASSERT_EQ(printer.printed().size(), 1u);
    EXPECT_EQ(std::filesystem::path(printer.printed()[0].job.templateFile).filename(), "bi.rpt");
    EXPECT_EQ(printer.printed()[0].job.data.detail.rows.size(), 7u);

    host.click(form.Command2);
    ASSERT_EQ(host.openedFiles().size(), 1u);
    SheetReader sheet(host.openedFiles()[0]);
    EXPECT_EQ(sheet.text("A1"), "永建營造 ： 收到票據明細");
    EXPECT_EQ(sheet.text("A2"), "收票銀行:全部銀行");
    EXPECT_EQ(sheet.text("A3"), "查詢日期：中華民國 115/03/01 ～ 中華民國 115/03/31");
    EXPECT_EQ(sheet.text("H11"), "9,000");
    EXPECT_DOUBLE_EQ(sheet.width(2), 20);
    EXPECT_TRUE(sheet.boxed("A4") && sheet.boxed("K11"));
    EXPECT_FALSE(sheet.boxed("A3") || sheet.has("A12") || sheet.has("L4"));
    form.ckDate.SetValue(0);
    host.click(form.Command2);
    EXPECT_EQ(SheetReader(host.openedFiles().at(1)).text("A3"), "無起迄日");
}

// Direction, account, range and date kind pick the cheques; the received list needs the voucher,
// the issued one does not.
TEST_F(ChequeListTest, TheCriteriaPickTheCheques) {
    marchReceived();
    received("B001", 700, day(2026, 4, 2), ChequeVoided, "001-999");
    Cheque orphan = cheque("NOVOUCHER", 300, true, day(2026, 3, 6));
    orphan.number = "C001";
    addCheque(orphan);
    issued("I001", "W1", 5000, day(2026, 3, 20));
    issued("I002", "W2S", 6000, day(2026, 4, 20), "土地銀行", "002-999");
    issued("I003", "W3", 7000, day(2026, 3, 25), "華南銀行", "900-2");
    addVoucher("W1", 5000);
    SetChequeState(AccDb(), "W3", ChequeUnprocessed, ChequeBounced);
    frmBB& form = openList();
    struct Case {
        int direction;
        std::string account;
        bool range;
        int dayKind;
        Texts numbers;
    } cases[] = {
        {0, "全部銀行", true, 0, {"I001", "I003"}},
        {0, "全部銀行", false, 0, {"I001", "I002", "I003"}},
        {0, "土地銀行>002-999", false, 0, {"I002"}},
        {0, "全部銀行", true, 1, {"I001", "I002", "I003"}},
        {1, "全部銀行", true, 0, {"A001", "A002", "A003"}},
        {1, "全部銀行", false, 0, {"A001", "A002", "A003", "B001"}},
        {1, "台灣銀行>001-999", false, 0, {"B001"}},
        {1, "台灣銀行>001-999", true, 1, {""}},
    };
    for (const Case& c : cases) {
        host.click(form.opt(c.direction));
        host.pick(form.cbBnk, form.cbBnk.FindEntry(c.account));
        ASSERT_EQ(form.cbBnk.Text(), c.account);
        form.ckDate.SetValue(c.range ? 1 : 0);
        host.pick(form.cbDay, c.dayKind);
        host.click(form.Command1);
        EXPECT_EQ(listed(form), c.numbers) << c.direction << c.account << c.range << c.dayKind;
    }
    // The issued list without the date range: the purposes and the state texts.
    host.click(form.opt(0));
    form.ckDate.SetValue(0);
    host.click(form.Command1);
    EXPECT_EQ(listed(form, 4), (Texts{"用途W1", "", ""}));
    EXPECT_EQ(form.hfg.TextMatrix(3, 5), "退  票");
    EXPECT_EQ(table("SELECT 期間 FROM seday"), Texts{"無起迄日"});
}

// Every kind of date range (due, usable and issue dates) lists a cheque on its first and on its
// last day, and none the day before or after.
TEST_F(ChequeListTest, EachDateRangeTakesItsFirstAndLastDaysWhole) {
    const Date days[] = {day(2026, 3, 9), day(2026, 3, 10), day(2026, 3, 20), day(2026, 3, 21)};
    for (int i = 0; i < 4; ++i)
        for (bool in : {true, false}) {
            const std::string key = (in ? "R" : "I") + std::to_string(i);
            addVoucher(key, 100, !in);
            Cheque c = cheque(key, 100, in, days[i]);
            c.issueDate = days[i];
            addCheque(c);
        }
    frmBB& form = openList();
    host.pickDate(form.DTP1, days[1]);
    host.pickDate(form.DTP2, days[2]);
    for (int direction : {0, 1})
        for (int dayKind : {0, 1}) {
            host.click(form.opt(direction));
            host.pick(form.cbDay, dayKind);
            host.click(form.Command1);
            const std::string kind = direction == 1 ? "R" : "I";
            EXPECT_EQ(listed(form, 3), (Texts{kind + "1", kind + "2"}))
                << form.cbDay.Text() << " " << kind;
        }
}

TEST_F(ChequeListTest, AQueryListingNothingKeepsThePeriodAndAddsNoSummary) {
    marchReceived();
    frmBB& form = openList();
    queryReceived(form);
    host.click(form.opt(0));
    host.click(form.Command1);
    EXPECT_EQ(form.hfg.Rows(), 2);
    EXPECT_EQ(table("SELECT * FROM bo"), Texts{});
    EXPECT_EQ(table("SELECT * FROM bop"), Texts{});
    EXPECT_EQ(table("SELECT 期間 FROM seday"),
              Texts{"到期日：中華民國 115/03/01～中華民國 115/03/31"});
}

// Equal due dates read date, mark, date, mark; dates across the ROC years 99 and 100 order by
// the date, not by the shown text.
TEST_F(ChequeListTest, SummaryRowsOfEqualDatesAlternateWithTheDittoMark) {
    for (const char* account : {"001-1", "001-2", "001-3", "001-4"})
        received(std::string("D") + account, 100, day(2011, 1, 3), ChequeUnprocessed, account);
    received("D5", 100, day(2010, 12, 31));
    frmBB& form = openList();
    host.click(form.opt(1));
    form.ckDate.SetValue(0);
    host.click(form.Command1);
    EXPECT_EQ(GridColumn(form.hfg, 3, form.DetailRowCount + 2),
              (Texts{"99/12/31", "100/01/03", "    \"", "100/01/03", "    \""}));
}

// A header click sorts by its column, again the other way; a click on column 0 or a data row
// sorts nothing. The summary is rebuilt and the print table follows the list.
TEST_F(ChequeListTest, HeaderClicksSortAlternatelyAndRebuildTheSummary) {
    received("A1", 9000, day(2026, 3, 5));
    received("A2", 10000, day(2026, 3, 6));
    received("A3", 500, day(2026, 3, 5));
    frmBB& form = openList();
    queryReceived(form);
    const Texts bipBefore = table("SELECT 票據號碼 FROM bip");
    host.clickCell(form.hfg, 0, 9);
    EXPECT_EQ(listed(form), (Texts{"A3", "A1", "A2"}));
    for (auto [row, col] : {std::pair{0, 1}, {0, 0}, {2, 1}})
        host.clickCell(form.hfg, row, col);
    EXPECT_EQ(listed(form), (Texts{"A3", "A2", "A1"}));
    EXPECT_EQ(GridRow(form.hfg, 6, 3, 7),
              (Texts{"115/03/05", "台灣銀行(001-123)", "未處理", "2", "9,500"}));
    EXPECT_EQ(table("SELECT 票據號碼 FROM bi").at(2), "A1");
    EXPECT_EQ(table("SELECT 票據號碼 FROM bip"), bipBefore);
    // Switching the direction without a query sorts the list shown and feeds its own table.
    host.click(form.opt(0));
    host.clickCell(form.hfg, 0, 1);
    EXPECT_EQ(table("SELECT 票據號碼 FROM bi").at(0), "A1");
    EXPECT_EQ(table("SELECT * FROM bo"), Texts{});
}

// Each summary total is the sum of the stored amounts, a 19-digit one and a zero one included,
// for cheques due on the month's last day too, and a sort leaves the totals as they are.
TEST_F(ChequeListTest, SummaryTotalsAreTheStoredAmountsOfAnyLength) {
    received("B1", 1'000'000'000'000'000'000, day(2026, 3, 31));
    received("B2", 1, day(2026, 3, 31));
    received("B3", 0, day(2026, 3, 5), ChequeVoided);
    frmBB& form = openList();
    queryReceived(form);
    const auto summary = [&form] {
        const int first = form.DetailRowCount + 2;
        return std::vector<Texts>{GridRow(form.hfg, first, 3, 7),
                                  GridRow(form.hfg, first + 1, 3, 7)};
    };
    const std::vector<Texts> expected{
        {"115/03/05", "台灣銀行(001-123)", "作  廢", "1", "0"},
        {"115/03/31", "台灣銀行(001-123)", "未處理", "2", "1,000,000,000,000,000,001"}};
    EXPECT_EQ(summary(), expected);
    host.clickCell(form.hfg, 0, 9);
    EXPECT_EQ(listed(form), (Texts{"B3", "B2", "B1"}));
    EXPECT_EQ(summary(), expected);
}

// Each query's summary counts its own list only: the same list queried again, a narrower one and
// the other direction after it count none of the cheques listed before (the opening's issued
// list among them), nor show their summary rows.
TEST_F(ChequeListTest, AQueryAgainSummarisesOnlyItsOwnList) {
    marchReceived();
    received("B001", 700, day(2026, 3, 5), ChequeUnprocessed, "001-999");
    issued("I001", "W1", 5000, day(2026, 3, 5));
    issued("I002", "W2", 6000, day(2026, 3, 5));
    frmBB& form = openList();
    const auto summary = [&form] {
        Texts rows;
        for (int row = form.DetailRowCount + 2; row < form.hfg.Rows(); ++row) {
            std::string joined;
            for (const std::string& cell : GridRow(form.hfg, row, 3, 7))
                joined += cell + "|";
            rows.push_back(joined);
        }
        return rows;
    };
    const Texts issuedSummary{"115/03/05|土地銀行(002-456)|未處理|2|11,000|"};
    EXPECT_EQ(summary(), issuedSummary);
    host.click(form.Command1);
    EXPECT_EQ(summary(), issuedSummary);

    const Texts allReceived{"115/03/05|台灣銀行(001-123)|未處理|2|3,500|",
                            "    \"|台灣銀行(001-999)|未處理|1|700|",
                            "115/03/10|台灣銀行(001-123)|到  期|1|9,000|"};
    for (int time = 0; time < 2; ++time) {
        queryReceived(form);
        EXPECT_EQ(summary(), allReceived) << time;
    }
    host.pick(form.cbBnk, form.cbBnk.FindEntry("台灣銀行>001-123"));
    host.click(form.Command1);
    EXPECT_EQ(summary(), (Texts{"115/03/05|台灣銀行(001-123)|未處理|2|3,500|",
                                "115/03/10|台灣銀行(001-123)|到  期|1|9,000|"}));
    host.pick(form.cbBnk, form.cbBnk.FindEntry("台灣銀行>001-999"));
    host.click(form.Command1);
    EXPECT_EQ(summary(), (Texts{"115/03/05|台灣銀行(001-999)|未處理|1|700|"}));
    // A sort rebuilds the summary of the list shown, counting nothing twice.
    host.clickCell(form.hfg, 0, 9);
    EXPECT_EQ(summary(), (Texts{"115/03/05|台灣銀行(001-999)|未處理|1|700|"}));

    host.click(form.opt(0));
    host.click(form.Command1);
    EXPECT_EQ(summary(), issuedSummary);
}

// The sign-off sheet takes every account of the chosen bank.
TEST_F(ChequeListTest, TheSignOffSheetIsRestrictedByBankOnlyAndPrintsFromPt) {
    issued("I001", "W1", 5000, day(2026, 3, 20));
    issued("I002", "W2", 1234567, day(2026, 3, 21), "土地銀行", "002-999");
    issued("I003", "W3", 7000, day(2026, 3, 25), "華南銀行", "900-2");
    frmBB& form = openList();
    host.pick(form.cbBnk, form.cbBnk.FindEntry("土地銀行>002-456"));
    host.click(form.Command1);
    EXPECT_EQ(table("SELECT 開帳號, 開票日, 到期日, 票據號碼, 金額 FROM pt"),
              (Texts{"002-456|中華民國 115/03/02|中華民國 115/03/20|I001|5,000",
                     "002-999|中華民國 115/03/02|中華民國 115/03/21|I002|1,234,567"}));
    host.click(form.cmdPio);
    ASSERT_EQ(printer.printed().size(), 1u);
    EXPECT_EQ(std::filesystem::path(printer.printed()[0].job.templateFile).filename(), "bill.rpt");
    host.pick(form.Combo1, 1);
    host.click(form.cmdPio);
    EXPECT_EQ(std::filesystem::path(printer.printed()[1].job.templateFile).filename(), "bo.rpt");
    // The one cheque, the blank row, the summary header and its one summary row.
    EXPECT_EQ(printer.printed()[1].job.data.detail.rows.size(), 4u);
}

TEST_F(ChequeListTest, AFailedQueryLeavesTheListShownAndThePointerNormal) {
    frmBB& form = openList();
    AccDb().Execute("DROP TABLE bill");
    host.answerMessage(AnswerOk);
    host.click(form.Command1);
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_TRUE(form.hfg.Visible());
    EXPECT_EQ(host.mousePointer(), 0);
}

// Without a file the columns open as wide as what they hold: a date, an account.
TEST_F(ChequeListTest, ClosingKeepsTheColumnWidthsForTheNextOpening) {
    frmBB& form = openList();
    EXPECT_EQ(form.hfg.ColWidth(2), 1800);
    EXPECT_EQ(form.hfg.ColWidth(10), 3000);
    form.hfg.userResizeColumn(1, 1500);
    form.Unload();
    EXPECT_EQ(widthFileText(), "450\n1500\n1800\n1250\n2500\n900\n1800\n1800\n1500\n1250\n3000\n");
    EXPECT_EQ(openList().hfg.ColWidth(1), 1500);
}

TEST_F(ChequeListTest, DoubleClicksOpenTheChequeTheVoucherOrNameACombinedChequesVouchers) {
    addVoucher("W1", 5000);
    addVoucher("W2", 700);
    addVoucher("W3", 800);
    group("W2S", {"W2", "W3"});
    issued("I001", "W1", 5000, day(2026, 3, 20));
    issued("I002", "W2S", 1500, day(2026, 3, 21));
    Texts opened;
    host.onEveryModal("frmBill", [&](Form& bill) {
        opened.push_back("cheque " + ChequeVoucherNo + (ShowOneRecord ? " one" : ""));
        bill.Unload();
    });
    Forms::registerForm<VoucherFormStandIn>();
    host.onEveryModal("frmIo", [&](Form& io) {
        opened.push_back("voucher " + OpenVoucherNo + (ShowOneRecord ? " one" : ""));
        io.Unload();
    });
    frmBB& form = openList();
    // A copy of the voucher form open beside the list is put away first, unless it holds an entry.
    auto& beside = dynamic_cast<VoucherFormStandIn&>(*Forms::getByName("frmIo"));
    beside.Show();
    beside.unsaved = true;
    host.expectMessage("請先關閉收支單作業");
    host.dblClickCell(form.hfg, 1, 3);
    EXPECT_FALSE(beside.IsUnloaded());
    EXPECT_TRUE(opened.empty());
    beside.unsaved = false;
    host.dblClickCell(form.hfg, 1, 3);
    EXPECT_TRUE(beside.IsUnloaded());
    host.dblClickCell(form.hfg, 2, 1);
    host.expectMessage("此票據為多張收支單合開票據\n收支單號如下：\nW2\nW3\n");
    host.dblClickCell(form.hfg, 2, 3);
    EXPECT_EQ(host.messages().back().style, 48);
    host.dblClickCell(form.hfg, 0, 3);
    host.dblClickCell(form.hfg, 4, 3);
    host.dblClickCell(form.hfg, 1, 2);
    EXPECT_EQ(opened, (Texts{"voucher W1 one", "cheque W2S one"}));
    EXPECT_FALSE(ShowOneRecord);

    UserRights = AllRights & ~(1 << (RightBillBrowse - 1));
    host.dblClickCell(form.hfg, 1, 1);
    EXPECT_EQ(opened.size(), 2u);
}

TEST_F(ChequeListTest, WithoutTheQueryRightTheFirstListShowsButCannotBeQueriedOrPrinted) {
    issued("I001", "W1", 5000, day(2026, 3, 20));
    UserRights = AllRights & ~(1 << (RightBillQuery - 1));
    frmBB& form = openList();
    EXPECT_EQ(form.hfg.TextMatrix(1, 1), "I001");
    EXPECT_FALSE(form.Command1.Enabled());
    EXPECT_FALSE(form.cmdPio.Enabled());
    EXPECT_TRUE(form.Command2.Enabled());
}

}  // namespace
