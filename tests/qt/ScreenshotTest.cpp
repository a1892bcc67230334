#include <QDialog>
#include <QImage>
#include <QTest>
#include <set>

#include "books/BookForms.h"
#include "books/frmFtr.h"
#include "books/frmTrans.h"
#include "cheques/ChequeForms.h"
#include "cheques/frmArm.h"
#include "cheques/frmBB.h"
#include "cheques/frmBill.h"
#include "contracts/ContractForms.h"
#include "contracts/frmMach.h"
#include "contracts/frmMchIo.h"
#include "contracts/frmRio.h"
#include "contracts/frmRioser.h"
#include "platform/forms/Clock.h"
#include "platform/qt/DatePickerWidget.h"
#include "platform/qt/GridWidget.h"
#include "projects/ProjectForms.h"
#include "projects/frmEm.h"
#include "projects/frmGtPj.h"
#include "projects/frmPj.h"
#include "projects/frmPjVSrIO.h"
#include "shell/frmAccMain.h"
#include "shell/frmCom.h"
#include "shell/frmFirstStart.h"
#include "shell/frmLogin.h"
#include "shell/frmSec.h"
#include "shell/frmSta.h"
#include "shell/mdM.h"
#include "statistics/StatisticsForms.h"
#include "statistics/frmCash.h"
#include "statistics/frmLW.h"
#include "tests/qt/QtTestSupport.h"
#include "tests/qt/SampleForm.h"
#include "tests/support/Books.h"
#include "tests/support/ProgramTest.h"
#include "vouchers/VoucherForms.h"
#include "vouchers/frmAdAcc.h"
#include "vouchers/frmIo.h"
#include "vouchers/frmIoAuto.h"
#include "vouchers/frmSt.h"
#include "vouchers/frmTag.h"

using namespace kiv;
using namespace kiv::test;

namespace {

// Shows the form and writes its picture to <build>/screenshots/<name>.png, for anyone to look at;
// it must be drawn at the form's size with more than a plain face. What a form shows is checked by
// the form's own tests.
QImage photograph(Form& form, const std::string& name, size_t leastColours = 10) {
    form.Show();
    settle();
    std::string path =
        utf8(QCoreApplication::applicationDirPath()) + "/screenshots/" + name + ".png";
    saveFormScreenshot(form, path);
    QImage image(QString::fromStdString(path));
    EXPECT_EQ(image.width(), form.ScaleWidth() / 15) << name;
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), leastColours) << name << " looks blank";
    return image;
}

class ScreenshotTest : public QtTest {};

// The host paints a label's back colour and its coloured glyphs where the label is.
TEST_F(ScreenshotTest, TheSampleFormWithEveryControlKindIsDrawn) {
    frmQtSample& form = Forms::get<frmQtSample>();
    QImage image = photograph(form, frmQtSample::FormName, 40);
    EXPECT_EQ(image.height(), form.ScaleHeight() / 15);
    QRect label(form.lbAcIo.Left() / 15, form.lbAcIo.Top() / 15, form.lbAcIo.Width() / 15,
                form.lbAcIo.Height() / 15);
    int red = 0, pink = 0;
    for (int y = label.top(); y <= label.bottom(); ++y)
        for (int x = label.left(); x <= label.right(); ++x) {
            QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 80 && c.blue() < 80) ++red;
            if (c == QColor(255, 192, 192)) ++pink;
        }
    EXPECT_GT(red, 10);
    EXPECT_GT(pink, 100);
}

// A setup loads the form named before the picture's "-" (or the form named apart, for a part of
// a form pictured on its own) and brings it to the state pictured.
struct Picture {
    const char* name;
    void (*setup)();
    size_t leastColours = 10;
    const char* form = nullptr;
};

// A user with the voucher rights only: the login stands in, so that no dialog waits.
struct LimitedLogin : Form {
    LimitedLogin() : Form("frmLogin") {}
    void Form_Load() override {
        LoggedIn = true;
        UserRights = 1;
        Unload();
    }
};

void addVoucher(VoucherRow v, const char* code = "", const char* name = "") {
    v.accountCode = code;
    v.accountName = name;
    AddVoucherRow(v);
}

void newCheque() {
    registerChequeForms();
    AccDb().Execute("INSERT INTO ibank VALUES ('第一銀行 松山分行', '900-1', '林先生', 0)");
    Forms::get<frmIo>().lbAcIo.SetCaption("(收入)");
    BillForVoucher = true;
    frmBill& received = Forms::get<frmBill>();
    act([&] {
        received.DTP2.userPick(Date::fromYmd(2026, 12, 20));
        received.cbCbnk.userPick(0);
        received.cbWbnk.userPick(0);
        received.txtBillNo.userType("AB-0012345");
        received.cbDeDay.userPick(3);
    });
}

void chequeInProcessing() {
    registerChequeForms();
    AccDb().Execute("INSERT INTO ibank VALUES ('第一銀行 松山分行', '900-1', '林先生', 0)");
    AddChequeRow({.voucherNo = "1151206001", .amount = 12000, .drawerAccount = "002-456"});
    ShowOneRecord = true;
    ChequeVoucherNo = "1151206001";
    frmBill& shown = Forms::get<frmBill>();
    act([&] { shown.cmdOp_Click(); });
}

// A received and an issued cheque due on 2026-03-15, and a received one cashed.
void storeDueCheques() {
    registerChequeForms();
    setToday(day(2026, 3, 15));
    const ChequeRow cheques[] = {{"1150310001", 2000, true, day(2026, 3, 14)},
                                 {"1150310002", 2500, true, day(2026, 3, 14), 1},
                                 {"1150310003", 10000, false, day(2026, 3, 20)}};
    for (const ChequeRow& c : cheques) {
        AddVoucherRow(VoucherRow{c.voucherNo, day(2026, 3, 10), c.amount, !c.received, 1});
        AddChequeRow(c);
    }
}

frmPj& storeProject() {
    registerProjectForms();
    int id = 0;
    for (const char* type : {"土木", "水電", "油漆", "木作", "空調"})
        PeopleDb().Execute("INSERT INTO 種 (t_id, t) VALUES (?, ?)", ++id, type);
    AccDb().Execute(
        "INSERT INTO prj (id, prj, tCash, cust, addr, final, sinDay) VALUES ('P001', "
        "'一號工程', 1500000, '林先生', '台北市信義路一段', 0, '2026-11-30')");
    AccDb().Execute("INSERT INTO w4pj VALUES ('P001', '土木'), ('P001', '油漆')");
    AccDb().Execute("UPDATE iof SET 專案號碼 = 'P001', 工程種類 = '土木', 方式 = 0");
    return Forms::get<frmPj>();
}

// A receivable and a payable contract of one project, the receivable one with every schedule.
void storeSampleContracts() {
    AddContract("ri", "115120601", "1,050,000");
    AddContract("ro", "115120601", "210,000");
    AccDb().Execute("UPDATE ri SET 專id = 'P001', 專名 = '一號工程', 銷貨金額 = '1,000,000'");
    AddScheduleRow("ri期", "115120601", 1, "315,000", "1151220001", "30.00%");
    AddScheduleRow("ri期", "115120601", 2, "735,000", "", "70.00%");
    AddScheduleRow("ri加", "115120601", 1, "50,000");
    AddScheduleRow("ro期", "115120601", 1, "210,000", "", "100.00%");
    AccDb().Execute("INSERT INTO ri減 VALUES ('115120601', 1, 'Q3', 'K3', '10,000')");
}

frmRio& sampleContracts() {
    registerContractForms();
    storeSampleContracts();
    return Forms::get<frmRio>();
}

// The projects with the sample contracts, as the report of projects or as one project's contracts.
void projectReport(bool reportMode) {
    storeProject();
    sampleContracts();
    ProjectReportMode = reportMode;
    Forms::get<frmPjVSrIO>();
}

void contractResults(bool receivable, int kind) {
    frmRio& contracts = sampleContracts();
    act([&] {
        (receivable ? contracts.optIser : contracts.optOser).SetValue(true);
        contracts.cbSer.SetListIndex(kind);
    });
    Forms::get<frmRioser>();
}

// The income voucher 1150315001 (10,000 in cash on ROC 115/03/15) settles instalment 1 of the
// receivable contract 115031001 from the voucher form; the contract form then shows it received.
frmMach& settlementDialog() {
    sampleContracts();
    AddContract("ri", "115031001", "10,000");
    AccDb().Execute("UPDATE ri SET 專id = 'P001', 專名 = '一號工程' WHERE id = '115031001'");
    AddScheduleRow("ri期", "115031001", 1, "10,000", "", "100.00%");
    VoucherRow income = Income("1150315001", day(2026, 3, 15), 10000);
    income.projectNo = "P001";
    income.project = "一號工程";
    AddVoucherRow(income);
    ShowOneRecord = true;
    OpenVoucherNo = "1150315001";
    frmIo& voucherForm = Forms::get<frmIo>();
    voucherForm.Show();
    SettleReceivable = voucherForm.lbAcIo.Caption() == "(收入)";
    frmMach& dialog = Forms::get<frmMach>();
    dialog.Show();
    act([&] { dialog.lstRio.userPick(0); });
    act([&] { dialog.hfgC.userMouseDownAt(1, 2, LeftButton); });
    return dialog;
}

void settled() {
    frmMach& dialog = settlementDialog();
    act([&] { dialog.cmd.userClick(); });
    frmRio& contracts = Forms::get<frmRio>();
    contracts.Show();
    act([&] { contracts.FSB.SetValue(0); });
}

void staff(bool fullPage) {
    PeopleDb().Execute(
        "INSERT INTO 員工 (員工編號, 中文姓名, 英文姓名, 部門, 地址, 住家電話, 行動電話, AccS) "
        "VALUES ('19001', '羅美玲', 'mei', '會計部', '臺北市;信義路五段7號', '02;27201234', "
        "'0912345678', 131073), ('A001', 'Alice', 'alice', '工務部', ';', ';', '', 1)");
    frmSta& form = Forms::get<frmSta>();
    if (fullPage) act([&] { form.hfg.userDblClickCell(1, 2); });
}

// The cash and bank books of March with two cheques due in May.
void storeBooks() {
    registerBookForms();
    setToday(day(2026, 3, 15));
    AccDb().Execute("UPDATE obank SET bank = '台灣銀行', cash = 10000");
    AccDb().Execute("UPDATE bbank SET ps = 3000");
    AddCashRow(1, true, day(2026, 3, 1), 5000, "期初", "1150301001", 5000);
    AddCashRow(2, false, day(2026, 3, 3), 1200, "文具", "1150303001", 3800);
    AddCashRow(3, true, day(2026, 3, 10), 2000, "工程款", "1150310001", 5800);
    AddBankRow(1, "台灣銀行", "001-123", false, day(2026, 3, 1), 30000, -30000, "取款轉現金");
    AddChequeRow({"1151206001", 20000, false, day(2026, 5, 3)});
    AddChequeRow({"1150302001", 50000, true, day(2026, 5, 10)});
}

// A transaction of the caller, open while a generated voucher is drawn.
std::optional<Transaction> callerTransaction;

void unsignedVouchers() {
    AddVoucherRow(Expense("1151206002", day(2026, 12, 6), 2500, -2));
    AddVoucherRow(Expense("1151206003", day(2026, 12, 6), 300, -1));
    frmIo& form = Forms::get<frmIo>();
    form.Show();
    act([&] { form.cmdNck.userClick(); });
    act([&] { form.ckco.userClick(); });
    act([&] { form.hfg.userMouseDownAt(1, 4); });
    act([&] { form.hfg.userMouseDownAt(3, 4); });
}

// The search prompt cancelled: the form shrinks to its height without a list.
void searchCancelled() {
    soon([] {
        if (auto* prompt = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            prompt->reject();
    });
    act([] { Forms::get<frmIo>().cmdSall_Click(); });
}

void journal() {
    frmTag& journal = Forms::get<frmTag>();
    act([&] {
        journal.cmdAdd_Click();
        const char* lines[][5] = {{"5101", "材料費", "借", "工地材料", "1,500"},
                                  {"1101", "現金", "貸", "付現", "1,500"}};
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 5; ++c)
                journal.hfg.SetTextMatrix(r + 1, c + 1, lines[r][c]);
        journal.cmdSv_Click();
    });
}

// An amount typed into the contract and a share into its second instalment.
void typedAmounts() {
    frmRio& form = sampleContracts();
    form.Show();
    act([&] {
        form.cmdEdit.userClick();
        form.txtAm.userFocus();
        form.txtAm.SelectAll();
        form.txtAm.userType("100000");
        form.schedules.cmdEc.userClick();
        form.schedules.hfg.userMouseUpAt(2, 1, LeftButton);
        form.schedules.txt.userType("52500");
        form.schedules.cmdEc.userFocus();
    });
}

frmRio& amountEditor() {
    frmRio& form = sampleContracts();
    form.Show();
    act([&] {
        form.schedules.cmdEc.userClick();
        form.schedules.hfg.userMouseUpAt(2, 1, LeftButton);
    });
    return form;
}

void transferListing() {
    storeBooks();
    frmTrans& transfer = Forms::get<frmTrans>();
    act([&] {
        transfer.dtpSt.userPick(day(2026, 3, 5));
        transfer.dtpEd.userPick(day(2026, 3, 31));
        transfer.cmdSCh_Click();
    });
}

void forecast() {
    storeBooks();
    frmFtr& forecast = Forms::get<frmFtr>();
    act([&] {
        forecast.DTP.SetValue(Date::fromYmd(2026, 5, 31));
        forecast.DTP.Picked();
        forecast.Command1_Click();
    });
}

// The march vouchers: cash, a cheque not cashed, a cheque cashed and its system voucher, a
// transfer and an unsigned voucher.
void voucherQuery() {
    registerStatisticsForms();
    setToday(day(2026, 3, 15));
    for (const VoucherRow& v : {Income("1150301001", day(2026, 3, 1), 10000),
                                Expense("1150302001", day(2026, 3, 2), 3000),
                                Income("1150303001", day(2026, 3, 3), 5000, 1),
                                Expense("1150304001", day(2026, 3, 4), 2000, 3),
                                Expense("1150305001", day(2026, 3, 5), 2000, 4),
                                Expense("1150307001", day(2026, 3, 7), 500, -1)})
        AddVoucherRow(v);
    addVoucher(Expense("1150306001", day(2026, 3, 6), 1000), "9999", "轉帳");
    Forms::get<frmCash>();
}

// January and February: two income accounts, one expense account and a transfer.
void periodStatement() {
    registerStatisticsForms();
    setToday(day(2026, 3, 15));
    AccDb().Execute("DELETE FROM iof");
    addVoucher(Income("1150110001", day(2026, 1, 10), 3000));
    addVoucher(Income("1150210001", day(2026, 2, 10), 1000, 3));
    addVoucher(Income("1150212001", day(2026, 2, 12), 500, 1), "4102", "利息收入");
    addVoucher(Expense("1150120001", day(2026, 1, 20), 2000));
    addVoucher(Expense("1150220001", day(2026, 2, 20), 2500));
    addVoucher(Income("1150105001", day(2026, 1, 5), 700), "0000", "轉帳");
    frmLW& statement = Forms::get<frmLW>();
    statement.Show();
    act([&] {
        statement.cbEM.SetListIndex(1);
        statement.cmdStar_Click();
    });
}

const Picture pictures[] = {
    {"frmAccMain-folded", [] { Forms::get<frmAccMain>(); }, 2},
    {"frmAccMain", [] { Forms::get<frmAccMain>().SetHeight(frmAccMain::UnfoldedHeight); }},
    {"frmAccMain-limited",
     [] {
         Forms::registerForm("frmLogin", [] { return std::make_unique<LimitedLogin>(); });
         LoggedIn = false;
         frmAccMain& limited = Forms::get<frmAccMain>();
         limited.Show();
         act([&] { limited.cmdM_Click(); });
     }},
    {"frmLogin", [] { registerShellForms(), Forms::get<frmLogin>(); }},
    {"frmFirstStart", [] { registerShellForms(), Forms::get<frmFirstStart>(); }},
    {"frmCom", [] { registerShellForms(), Forms::get<frmCom>(); }},
    {"frmIo", [] { Forms::get<frmIo>(); }},
    {"frmIoAuto",
     [] {
         // Only a voucher signed off by cheque has its cheque cashed.
         AccDb().Execute("UPDATE iof SET 方式 = 1 WHERE 單號 = '1151206001'");
         AutoVoucherFromCashing = true;
         CashingVoucherNo = "1151206001";
         callerTransaction.emplace(AccDb(), TransactionKind::Writes);
         Forms::get<frmIoAuto>();
     }},
    {"frmIo-unsigned", unsignedVouchers},
    {"frmIo-search-cancelled", searchCancelled},
    {"frmAdAcc",
     [] {
         Forms::get<frmIo>().cbAcc.SetText("6100");
         Forms::get<frmIo>().lbAcIo.SetForeColor(ExpenseRed);
         Forms::get<frmAdAcc>();
     }},
    {"frmSt",
     [] {
         AccDb().Execute("INSERT INTO acc VALUES ('4101', 1, '工程收入')");
         AccDb().Execute("INSERT INTO use VALUES (1, '工地材料'), (2, '車資')");
         AccDb().Execute("INSERT INTO ps1 VALUES (1, '現金支付')");
         Forms::get<frmSt>().Show();
         act([&] { Forms::get<frmSt>().hfg(2).userMouseDownAt(2, 0); });
     }},
    {"frmTag", journal},
    {"frmSta-simple", [] { staff(false); }},
    {"frmSta", [] { staff(true); }},
    {"frmSec", [] { staff(false), Forms::get<frmSec>(); }},
    {"frmBill", newCheque},
    {"frmBill-processing", chequeInProcessing},
    {"frmArm", [] { storeDueCheques(), Forms::get<frmArm>(); }},
    {"frmBB",
     [] {
         storeDueCheques();
         frmBB& list = Forms::get<frmBB>();
         act([&] {
             list.opt(1).SetValue(true);
             list.opt_Click(1);
             list.Command1_Click();
         });
     }},
    {"frmPj", [] { storeProject(); }},
    {"frmPjReport", [] { act([] { storeProject().cmdCal_Click(); }); }, 10, "frmPj"},
    {"frmEm",
     [] {
         storeProject();
         frmEm& editor = Forms::get<frmEm>();
         act([&] {
             editor.LsM.SetListIndex(1);
             editor.cmdEdit_Click();
         });
     }},
    {"frmGtPj", [] { storeProject(), Forms::get<frmGtPj>(); }},
    {"frmPjVSrIO-report", [] { projectReport(true); }},
    {"frmPjVSrIO-contracts", [] { projectReport(false); }},
    {"frmRio", [] { sampleContracts(); }},
    {"frmRio-payable", [] { act([] { sampleContracts().optO.SetValue(true); }); }},
    {"frmRio-adding", [] { act([] { sampleContracts().cmdAdd_Click(); }); }},
    {"frmRio-typed-amounts", typedAmounts},
    {"frmRio-amount-editor", [] { amountEditor(); }},
    {"frmRio-date-picker",
     [] { act([] { amountEditor().schedules.hfg.userMouseUpAt(2, 2, LeftButton); }); }},
    {"frmRioser", [] { contractResults(true, 2); }},
    {"frmRioser-projects", [] { contractResults(true, 6); }},
    {"frmRioser-payable", [] { contractResults(false, 1); }},
    {"frmMach", [] { settlementDialog(); }},
    {"frmRio-settled", settled},
    {"frmMchIo", [] { settled(), Forms::get<frmMchIo>(); }},
    {"frmTrans", transferListing},
    {"frmFtr", forecast},
    {"frmCash", voucherQuery},
    {"frmLW", periodStatement},
};

// Every form of the program, drawn on the real host over a book with a voucher in it.
class ProgramFormsTest : public QtTest {
  protected:
    void SetUp() override {
        program.emplace(folder);
        registerVoucherForms();
        PeopleDb().Execute("INSERT INTO super VALUES ('wren', 'x')");
        AddOrdinaryAccount("台灣銀行 信義分行", "001-123", 0);
        AddChequeAccount("土地銀行", "002-456", 0);
        AccDb().Execute("INSERT INTO acc VALUES ('5101', 0, '材料費')");
        AccDb().Execute(
            "INSERT INTO iof (輸入日期, 單號, 用途說明, 方式, 金額, 科目代號, pay, 科目名稱, "
            "發生日期, 申請人, 單據, 單據號碼, 稅額, 建議方式) VALUES ('2026-12-06', "
            "'1151206001', '工地水電材料', -1, 12000, '5101', 1, '材料費', '2026-12-05', "
            "'王小明', 1, 'AB12345678', 571, -1)");
        LoggedIn = true;
        UserRights = AllRights;
    }
    void TearDown() override {
        Forms::discardAll();
        callerTransaction.reset();
        Clock::useSystemTime();
        program.reset();
    }
    test::TempFolder folder;
    std::optional<test::ProgramInFolder> program;
    // What the setups hand to the forms is given back after each picture.
    HandOver<bool> bill{BillForVoucher, false}, one{ShowOneRecord, false},
        reportMode{ProjectReportMode, false}, receivable{SettleReceivable, false},
        cashing{AutoVoucherFromCashing, false};
    HandOver<std::string> cheque{ChequeVoucherNo, ""}, voucher{OpenVoucherNo, ""},
        cashed{CashingVoucherNo, ""};

    // The picture's form, brought to its state.
    Form& pictured(const Picture& picture) {
        picture.setup();
        const std::string name = picture.name;
        Form* form = Forms::find(picture.form ? picture.form : name.substr(0, name.find('-')));
        if (!form) throw std::logic_error(name + " is not loaded");
        return *form;
    }
};

class ProgramFormsScreenshotTest : public ProgramFormsTest,
                                   public ::testing::WithParamInterface<Picture> {};

TEST_P(ProgramFormsScreenshotTest, IsDrawn) {
    const Picture& picture = GetParam();
    photograph(pictured(picture), picture.name, picture.leastColours);
}

INSTANTIATE_TEST_SUITE_P(EveryForm, ProgramFormsScreenshotTest, ::testing::ValuesIn(pictures),
                         [](const ::testing::TestParamInfo<Picture>& info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

// The screens the program is used on.
constexpr ScreenSize Screens[] = {{1280 * TwipsPerPixel, 1024 * TwipsPerPixel},
                                  {1024 * TwipsPerPixel, 768 * TwipsPerPixel}};

// Every form on each screen: no date or amount in a grid loses a digit, nor a header where the
// grid has room for its columns.
class ProgramFormsOnScreenTest
    : public ProgramFormsTest,
      public ::testing::WithParamInterface<std::tuple<Picture, ScreenSize>> {
  protected:
    // The picture's form, shown on the parameter's screen.
    Form& shownOnItsScreen() {
        const auto& [picture, screen] = GetParam();
        host.setScreenSize(screen);
        Form& form = pictured(picture);
        form.Show();
        settle();
        return form;
    }
};

std::vector<std::string> cutCells(Form& form, GridWidget& widget, Grid& grid) {
    std::vector<std::string> cut;
    bool room = widget.shownColumnsWidth() <= widget.viewport()->width();
    for (int row = 0; row < grid.Rows(); ++row)
        for (int col = 0; col < grid.Cols(); ++col) {
            const std::string text = grid.TextMatrix(row, col);
            bool header = row < grid.FixedRows();
            bool merged = grid.MergeCells() != 0 && grid.MergeRow(row) &&
                          grid.MergedColumns(row, col) != std::pair(col, col);
            if (merged || grid.UserColWidth(col) || !widget.cellTextCut(row, col)) continue;
            if (header ? room : IsDateOrAmount(text))
                cut.push_back(form.Name() + "." + grid.Name() + " (" + std::to_string(row) + ", " +
                              std::to_string(col) + ") \"" + text + "\"");
        }
    return cut;
}

TEST_P(ProgramFormsOnScreenTest, ShowsEveryDateAndAmountInItsGridsWhole) {
    Form& form = shownOnItsScreen();
    for (Control* control : form.Controls()) {
        auto* grid = dynamic_cast<Grid*>(control);
        if (!grid || !grid->IsEffectivelyVisible()) continue;
        for (const std::string& cell : cutCells(form, widgetOf<GridWidget>(form, *grid), *grid))
            ADD_FAILURE() << cell << " is cut short";
    }
}

// A picker that shows a date shows all of it: a narrow one drops the era, never the year.
TEST_P(ProgramFormsOnScreenTest, ShowsEveryDateInItsPickersWhole) {
    Form& form = shownOnItsScreen();
    for (Control* control : form.Controls()) {
        auto* picker = dynamic_cast<DatePicker*>(control);
        if (!picker || !picker->IsEffectivelyVisible()) continue;
        EXPECT_FALSE(widgetOf<DatePickerWidget>(form, *picker).textCut())
            << form.Name() << "." << picker->Name() << " \"" << picker->DisplayText()
            << "\" is cut short";
    }
}

// The part of the widget its window shows: its own rectangle clipped by every parent's.
QRect shownPart(QWidget& widget) {
    QRect shown(QPoint(0, 0), widget.size());
    for (QWidget* w = &widget; w->parentWidget() && !w->isWindow(); w = w->parentWidget()) {
        shown.translate(w->pos());
        shown &= QRect(QPoint(0, 0), w->parentWidget()->size());
    }
    return shown;
}

// A button is shown whole or not at all: a shorter form hides what lies below it (the folded bar
// its buttons, the voucher form its list), never half a button.
TEST_P(ProgramFormsOnScreenTest, ShowsEveryButtonWhole) {
    Form& form = shownOnItsScreen();
    for (Control* control : form.Controls()) {
        if (!dynamic_cast<CommandButton*>(control) || !control->IsEffectivelyVisible()) continue;
        QWidget& widget = widgetOf<QWidget>(form, *control);
        const QRect shown = shownPart(widget);
        EXPECT_TRUE(shown.isEmpty() || shown.size() == widget.size())
            << form.Name() << "." << control->Name() << " is cut";
    }
}

INSTANTIATE_TEST_SUITE_P(EveryForm, ProgramFormsOnScreenTest,
                         ::testing::Combine(::testing::ValuesIn(pictures),
                                            ::testing::ValuesIn(Screens)),
                         [](const ::testing::TestParamInfo<std::tuple<Picture, ScreenSize>>& info) {
                             std::string name = std::get<0>(info.param).name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name + "_" +
                                    std::to_string(std::get<1>(info.param).width / TwipsPerPixel);
                         });

}  // namespace

namespace {

// On the small screen the reminder's grids are narrowed to the form: the per-bank totals still show
// their 總金額 column, the bank column giving back the room it does not need.
TEST_F(ProgramFormsTest, TheReminderShowsItsPerBankTotalsInsideItsNarrowedGrids) {
    host.setScreenSize(Screens[1]);
    storeDueCheques();
    frmArm& reminder = Forms::get<frmArm>();
    reminder.Show();
    settle();
    for (Grid* totals : {&reminder.hfgIs, &reminder.hfgOs}) {
        SCOPED_TRACE(totals->Name());
        auto& widget = widgetOf<GridWidget>(reminder, *totals);
        QRect amount = widget.cellRect(0, 2);
        ASSERT_FALSE(amount.isEmpty());
        EXPECT_LT(amount.right(), widget.viewport()->width());
    }
}

}  // namespace

namespace {

// A year's statement fills the large screen: the month that the room runs out for still shows its
// header whole, the 合計 and 百分比 columns giving back the blank room they do not need.
TEST_F(ProgramFormsTest, TheYearStatementShowsEveryMonthHeaderWhole) {
    host.setScreenSize(Screens[0]);
    periodStatement();
    frmLW& statement = Forms::get<frmLW>();
    act([&] {
        statement.cbEM.SetListIndex(11);
        statement.cmdStar_Click();
    });
    settle();
    auto& widget = widgetOf<GridWidget>(statement, statement.hfg);
    for (int col = 0; col < statement.hfg.Cols(); ++col)
        EXPECT_FALSE(widget.cellTextCut(0, col))
            << "\"" << statement.hfg.TextMatrix(0, col) << "\"";
    EXPECT_LE(widget.shownColumnsWidth(), widget.viewport()->width());
}

}  // namespace

namespace {

// The project's income and expense by work type: a pair of columns per ticked work type and one
// "其他", the settled expense of 12,000 of 土木 in its pair's settled column, the running balance
// and the totals beneath, every amount whole on the screen.
TEST_F(ProgramFormsTest, TheWorkTypeReportPutsEachExpenseInItsTypesPair) {
    host.setScreenSize(Screens[0]);
    frmPj& form = storeProject();
    act([&] { form.cmdCal_Click(); });
    settle();
    const Grid& grid = form.hfg;
    EXPECT_EQ(grid.TextMatrix(0, 6), "土木");
    EXPECT_EQ(grid.TextMatrix(0, 8), "油漆");
    EXPECT_EQ(grid.TextMatrix(0, 10), "其他");
    EXPECT_EQ(grid.TextMatrix(1, 7), "支出已兌現");
    EXPECT_EQ(grid.TextMatrix(2, 3), "1151206001");
    EXPECT_EQ(grid.TextMatrix(2, 1), "-12000");
    EXPECT_EQ(grid.TextMatrix(2, 7), "12000");
    EXPECT_EQ(grid.TextMatrix(2, 9), "");
    EXPECT_EQ(grid.TextMatrix(3, 7), "12000");
    auto& widget = widgetOf<GridWidget>(form, form.hfg);
    for (int col : {1, 2, 3, 7})
        EXPECT_FALSE(widget.cellTextCut(2, col)) << col;
}

}  // namespace

namespace {

// In the settlement dialog Tab goes from the instalment chosen past the empty 追加 grid to
// 確定沖帳, which shows that it has the focus.
TEST_F(ProgramFormsTest, TabReachesTheSettleButtonPastAnEmptyGridAndShowsItsFocus) {
    frmMach& dialog = settlementDialog();
    settle();
    QWidget* button = windowOf(dialog).widgetOf(dialog.cmd);
    QImage unfocused = button->grab().toImage();
    windowOf(dialog).activateWindow();
    act([&] { dialog.hfgC.SetFocus(); });
    settle();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    settle();
    EXPECT_EQ(dialog.ActiveControl(), &dialog.cmd);
    EXPECT_NE(button->grab().toImage(), unfocused);
}

}  // namespace
