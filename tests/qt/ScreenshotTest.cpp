#include <QImage>
#include <set>

#include "books/BookForms.h"
#include "books/frmFtr.h"
#include "books/frmTrans.h"
#include "cheques/ChequeForms.h"
#include "cheques/Cheques.h"
#include "cheques/frmArm.h"
#include "cheques/frmBB.h"
#include "cheques/frmBill.h"
#include "contracts/ContractForms.h"
#include "contracts/frmMach.h"
#include "contracts/frmMchIo.h"
#include "contracts/frmRio.h"
#include "contracts/frmRioser.h"
#include "platform/forms/Clock.h"
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
#include "tests/support/ProgramTest.h"
#include "vouchers/VoucherForms.h"
#include "vouchers/frmAdAcc.h"
#include "vouchers/frmIo.h"
#include "vouchers/frmIoAuto.h"
#include "vouchers/frmSt.h"
#include "vouchers/frmTag.h"

using namespace kiv;

namespace {

// Shows the form and writes its picture to <build>/screenshots/<name>.png, for anyone to look at;
// it must be drawn at the form's size with more than a plain face.
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

TEST_F(ScreenshotTest, TheSampleFormWithEveryControlKindIsDrawn) {
    frmQtSample& form = Forms::get<frmQtSample>();
    // The face, white boxes, black text, the blue and red amounts, the coloured headers, the
    // anti-aliased Chinese glyphs.
    QImage image = photograph(form, frmQtSample::FormName, 40);
    EXPECT_EQ(image.height(), form.ScaleHeight() / 15);
    // The red "(支出)" label's glyphs and its pink back colour are where the label is.
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

// Every form of the program, drawn on the real host over a book with a voucher in it.
class ProgramFormsScreenshotTest : public QtTest {
  protected:
    void SetUp() override {
        program.emplace(folder);
        registerVoucherForms();
        PeopleDb().Execute("INSERT INTO super VALUES ('wren', 'x')");
        AccDb().Execute("INSERT INTO obank VALUES ('台灣銀行 信義分行', '001-123', '永建營造', 0)");
        AccDb().Execute("INSERT INTO bbank VALUES ('土地銀行', '002-456', '永建營造', 0)");
        AccDb().Execute("INSERT INTO acc VALUES ('5101', 0, '材料費')");
        AccDb().Execute(
            "INSERT INTO iof (輸入日期, 單號, 用途說明, 方式, 金額, 科目代號, pay, 科目名稱, "
            "發生日期, 申請人, 單據, 單據號碼, 稅額, 建議方式) VALUES ('2026-12-06', "
            "'1151206001', '工地水電材料', -1, 12000, '5101', 1, '材料費', '2026-12-05', "
            "'王小明', 1, 'AB12345678', 571, -1)");
        LoggedIn = true;
        UserRights = AllRights;
    }
    void TearDown() override { program.reset(); }
    test::TempFolder folder;
    std::optional<test::ProgramInFolder> program;
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

TEST_F(ProgramFormsScreenshotTest, EveryFormIsDrawn) {
    frmAccMain& bar = Forms::get<frmAccMain>();
    photograph(bar, "frmAccMain-folded", 2);
    bar.SetHeight(frmAccMain::UnfoldedHeight);
    photograph(bar, "frmAccMain");
    Forms::unload<frmAccMain>();
    Forms::registerForm("frmLogin", [] { return std::make_unique<LimitedLogin>(); });
    LoggedIn = false;
    frmAccMain& limited = Forms::get<frmAccMain>();
    limited.Show();
    act([&] { limited.cmdM_Click(); });
    EXPECT_FALSE(limited.cmdBill.Enabled());
    photograph(limited, "frmAccMain-limited");
    registerShellForms();
    photograph(Forms::get<frmLogin>(), "frmLogin");
    photograph(Forms::get<frmFirstStart>(), "frmFirstStart");
    photograph(Forms::get<frmCom>(), "frmCom");
    photograph(Forms::get<frmIo>(), "frmIo");
    EXPECT_EQ(Forms::get<frmIo>().lbAcIo.Caption(), "(支出)");
    // Only a voucher signed off by cheque has its cheque cashed.
    AccDb().Execute("UPDATE iof SET 方式 = 1 WHERE 單號 = '1151206001'");
    HandOver<bool> cashing(AutoVoucherFromCashing, true);
    HandOver<std::string> cashed(CashingVoucherNo, "1151206001");
    Transaction caller(AccDb(), true);
    frmIoAuto& generated = Forms::get<frmIoAuto>();
    photograph(generated, "frmIoAuto");
    EXPECT_EQ(generated.lbStat.Caption(), "票據兌現產生收支單");
    EXPECT_FALSE(generated.lbNo.Caption().empty());
}

// How many pixels of a control's rectangle have exactly that colour.
int pixelsOf(const QImage& image, const Control& control, const QColor& colour) {
    int count = 0;
    for (int y = control.Top() / 15; y < (control.Top() + control.Height()) / 15; ++y)
        for (int x = control.Left() / 15; x < (control.Left() + control.Width()) / 15; ++x)
            if (image.pixelColor(x, y) == colour) ++count;
    return count;
}

TEST_F(ProgramFormsScreenshotTest, TheChequeFormIsDrawnForANewChequeAndForProcessing) {
    registerChequeForms();
    AccDb().Execute("INSERT INTO ibank VALUES ('第一銀行 松山分行', '900-1', '林先生', 0)");
    frmIo& io = Forms::get<frmIo>();
    io.lbAcIo.SetCaption("(收入)");
    BillForVoucher = true;
    frmBill& received = Forms::get<frmBill>();
    act([&] {
        received.DTP2.userPick(Date::fromYmd(2026, 12, 20));
        received.cbCbnk.userPick(0);
        received.cbWbnk.userPick(0);
        received.txtBillNo.userType("AB-0012345");
        received.cbDeDay.userPick(3);
    });
    QImage newCheque = photograph(received, "frmBill");
    EXPECT_EQ(received.lbIo.Caption(), "收 到 票 據");
    EXPECT_EQ(received.lbIo.BackColor(), 0xFFC0C0u);
    EXPECT_GT(pixelsOf(newCheque, received.lbIo, QColor(192, 192, 255)), 1000);
    for (Control* shown : std::initializer_list<Control*>{&received.lbDe, &received.cbDeDay,
                                                          &received.cmdSv, &received.cmdCencel})
        EXPECT_TRUE(shown->IsEffectivelyVisible()) << shown->Name();
    for (Control* hidden : std::initializer_list<Control*>{&received.lbAr, &received.cbArDay,
                                                           &received.FrmOp, &received.cmdOp})
        EXPECT_FALSE(hidden->IsEffectivelyVisible()) << hidden->Name();
    Forms::unload(received);
    BillForVoucher = false;

    Cheque issued;
    issued.number = "KC-0098765";
    issued.issueDate = Date::fromYmd(2026, 12, 1);
    issued.dueDate = Date::fromYmd(2026, 12, 10);
    issued.reminderDate = Date::fromYmd(2026, 12, 7);
    issued.drawerBank = "土地銀行";
    issued.drawerAccount = "002-456";
    issued.drawer = "永建營造";
    issued.payeeBank = "第一銀行 松山分行";
    issued.payeeAccount = "900-1";
    issued.payee = "林先生";
    issued.amount = 12000;
    issued.amountInWords = "壹萬貳仟 元整";
    issued.voucherNo = "1151206001";
    AddCheque(AccDb(), issued);
    ShowOneRecord = true;
    ChequeVoucherNo = "1151206001";
    frmBill& shown = Forms::get<frmBill>();
    act([&] { shown.cmdOp_Click(); });
    QImage processing = photograph(shown, "frmBill-processing");
    EXPECT_EQ(shown.lbIo.Caption(), "開 出 票 據");
    EXPECT_EQ(shown.lbIo.BackColor(), 0xC0C0FFu);
    EXPECT_GT(pixelsOf(processing, shown.lbIo, QColor(255, 192, 192)), 1000);
    EXPECT_TRUE(shown.cbArDay.IsEffectivelyVisible());
    EXPECT_TRUE(shown.FrmOp.IsEffectivelyEnabled());
    EXPECT_TRUE(shown.cmdOp.IsEffectivelyVisible());
    EXPECT_FALSE(shown.cmdSv.IsEffectivelyVisible());
    EXPECT_FALSE(shown.cmdCencel.IsEffectivelyVisible());
}

// The reminder with a received and an issued cheque due, and the received list with its summary,
// on 2026-03-15.
TEST_F(ProgramFormsScreenshotTest, TheReminderAndTheChequeListAreDrawn) {
    registerChequeForms();
    Clock::useFixedTime(Date::fromYmdHms(2026, 3, 15, 9, 30, 0));
    struct Row {
        const char* number;
        const char* key;
        int64_t amount;
        bool received;
        Date due;
        Date other;
        int state;
    } rows[] = {
        {"R1", "1150310001", 2000, true, Date::fromYmd(2026, 3, 14), Date::fromYmd(2026, 3, 18), 0},
        {"A002", "1150310002", 2500, true, Date::fromYmd(2026, 3, 14), Date::fromYmd(2026, 3, 14),
         1},
        {"I1", "1150310003", 10000, false, Date::fromYmd(2026, 3, 20), Date::fromYmd(2026, 3, 15),
         0},
    };
    for (const Row& r : rows) {
        AccDb().Execute(
            "INSERT INTO iof (輸入日期, 單號, 用途說明, 方式, 金額, 科目代號, pay, 科目名稱, "
            "發生日期) VALUES ('2026-03-10', ?, '工程款', 1, ?, '5101', ?, '材料費', "
            "'2026-03-10')",
            r.key, r.amount, !r.received);
        Cheque c;
        c.number = r.number;
        c.issueDate = Date::fromYmd(2026, 3, 1);
        c.dueDate = r.due;
        (r.received ? c.usableDate : c.reminderDate) = r.other;
        c.drawerBank = r.received ? "第一銀行" : "土地銀行";
        c.drawerAccount = r.received ? "900-1" : "002-456";
        c.payeeBank = r.received ? "台灣銀行" : "華南銀行";
        c.payeeAccount = r.received ? "001-123" : "900-2";
        c.drawer = "林先生";
        c.payee = "陳小姐";
        c.amount = r.amount;
        c.received = r.received;
        c.voucherNo = r.key;
        c.state = r.state;
        AddCheque(AccDb(), c);
    }
    frmArm& reminder = Forms::get<frmArm>();
    photograph(reminder, "frmArm");
    for (const Grid* grid : {&reminder.hfgI, &reminder.hfgO, &reminder.hfgIs, &reminder.hfgOs}) {
        EXPECT_TRUE(grid->IsEffectivelyVisible()) << grid->Name();
        EXPECT_EQ(grid->Rows(), 2) << grid->Name();
    }
    Forms::unload(reminder);

    frmBB& list = Forms::get<frmBB>();
    act([&] {
        list.opt(1).SetValue(true);
        list.opt_Click(1);
        list.Command1_Click();
    });
    QImage image = photograph(list, "frmBB");
    EXPECT_EQ(list.hfg.BackColorFixed(), 0xFFC0C0u);
    EXPECT_GT(pixelsOf(image, list.hfg, QColor(192, 192, 255)), 1000);
    Forms::unload(list);
    Clock::useSystemTime();
}

TEST_F(ProgramFormsScreenshotTest, TheProjectFormsAreDrawn) {
    registerProjectForms();
    int id = 0;
    for (const char* type : {"土木", "水電", "油漆", "木作", "空調"})
        PeopleDb().Execute("INSERT INTO 種 (t_id, t) VALUES (?, ?)", ++id, type);
    AccDb().Execute(
        "INSERT INTO prj (id, prj, tCash, cust, addr, final, sinDay) VALUES ('P001', "
        "'一號工程', 1500000, '林先生', '台北市信義路一段', 0, '2026-11-30')");
    AccDb().Execute("INSERT INTO w4pj VALUES ('P001', '土木'), ('P001', '油漆')");
    AccDb().Execute("UPDATE iof SET 專案號碼 = 'P001', 工程種類 = '土木', 方式 = 0");
    frmPj& form = Forms::get<frmPj>();
    photograph(form, "frmPj");
    EXPECT_TRUE(form.frmW.IsEffectivelyVisible());
    EXPECT_FALSE(form.hfg.IsEffectivelyVisible());
    act([&] { form.cmdCal_Click(); });
    photograph(form, "frmPj-report");
    EXPECT_TRUE(form.hfg.IsEffectivelyVisible());
    EXPECT_TRUE(form.cmdPxls.IsEffectivelyVisible());

    frmEm& editor = Forms::get<frmEm>();
    act([&] {
        editor.LsM.SetListIndex(1);
        editor.cmdEdit_Click();
    });
    photograph(editor, "frmEm");
    EXPECT_TRUE(editor.fm.IsEffectivelyVisible());

    frmGtPj& picker = Forms::get<frmGtPj>();
    photograph(picker, "frmGtPj");
    EXPECT_EQ(picker.hfg.TextMatrix(1, 2), "一號工程");
}

TEST_F(ProgramFormsScreenshotTest, TheProjectReportIsDrawnInBothModes) {
    registerProjectForms();
    Clock::useFixedTime(Date::fromYmdHms(2026, 3, 15, 9, 0, 0));
    AccDb().Execute(
        "INSERT INTO prj (id, prj, tCash, cust, final, sinDay) VALUES ('P001', '一號工程', "
        "1000000, '甲業主', 1, '2026-03-10'), ('P002', '二號工程', 500000, '乙業主', 0, NULL), "
        "('P003', '三號工程', 300000, '丙業主', 0, '2026-03-12')");
    AccDb().Execute(
        "INSERT INTO ri (id, 收名稱, 客戶名, w, 合計, 專id, 專名) VALUES ('115031001', '主體', "
        "'甲業主', '土木', '1,050,000', 'P001', '一號工程')");
    AccDb().Execute(
        "INSERT INTO ro (id, 收名稱, 客戶名, w, 合計, 專id, 專名) VALUES ('115031001', '鋼構', "
        "'丙廠商', '鋼構', '1,600,000', 'P001', '一號工程')");
    AccDb().Execute("INSERT INTO ri減 (id, 期別, 金額) VALUES ('115031001', 1, '10,000')");
    Forms::get<frmPj>();

    ProjectReportMode = true;
    frmPjVSrIO& report = Forms::get<frmPjVSrIO>();
    photograph(report, "frmPjVSrIO-report");
    EXPECT_EQ(report.Caption(), "專案報表");
    for (Control* shown :
         std::initializer_list<Control*>{&report.lbSt, &report.lbEd, &report.cmdSer, &report.hfg})
        EXPECT_TRUE(shown->IsEffectivelyVisible()) << shown->Name();
    EXPECT_FALSE(report.lbPj.IsEffectivelyVisible());
    Forms::unload<frmPjVSrIO>();

    ProjectReportMode = false;
    frmPjVSrIO& contracts = Forms::get<frmPjVSrIO>();
    photograph(contracts, "frmPjVSrIO-contracts");
    EXPECT_EQ(contracts.Caption(), "專案-應收付情況");
    EXPECT_TRUE(contracts.lbPj.IsEffectivelyVisible());
    for (Control* hidden : std::initializer_list<Control*>{
             &contracts.lbSt, &contracts.lbEd, &contracts.DTP1, &contracts.DTP2, &contracts.cmdSer})
        EXPECT_FALSE(hidden->IsEffectivelyVisible()) << hidden->Name();
}

// A receivable and a payable contract of one project, the receivable one with every schedule.
void storeSampleContracts() {
    PeopleDb().Execute("INSERT INTO 客戶 (客戶編號, 客戶名稱) VALUES ('C1', '林先生')");
    for (const char* table : {"ri", "ro"}) {
        const bool receivable = std::string(table) == "ri";
        if (receivable)
            AccDb().Execute(
                "INSERT INTO ri VALUES ('115120601', '一號工程合約', '2026-11-30', '林先生', "
                "'林小姐', '02-23456789', '1,000,000', '50,000', '0', '1,050,000', '', 'Q1', "
                "'K1', '一號工程', 'P001', '土木', '5,000', 0, '0')");
        else
            AccDb().Execute(
                "INSERT INTO ro VALUES ('115120601', '油漆工程', '2026-11-30', '丙工程行', "
                "'陳先生', '04-7654321', '200,000', '10,000', '0', '210,000', '', '', '', "
                "'一號工程', 'P001', '油漆', '', 0, '0')");
    }
    AccDb().Execute(
        "INSERT INTO ri期 VALUES ('115120601', 1, '315,000', '2026-12-27', '30.00%', NULL, 'A1', "
        "'315,000', '2026-12-20', 1, '', '1151220001', 1), ('115120601', 2, '735,000', "
        "'2027-03-31', '70.00%', NULL, '', '', NULL, 0, '', '', 0)");
    AccDb().Execute(
        "INSERT INTO ri加 VALUES ('115120601', 1, 'Q2', 'K2', '50,000', '2027-01-15', NULL, '', "
        "'', NULL, 0, '', '', 0)");
    AccDb().Execute("INSERT INTO ri減 VALUES ('115120601', 1, 'Q3', 'K3', '10,000')");
    AccDb().Execute(
        "INSERT INTO ro期 VALUES ('115120601', 1, '210,000', '2027-01-10', '100.00%', NULL, '', "
        "'', NULL, 0, '', '', 0)");
}

TEST_F(ProgramFormsScreenshotTest, TheContractFormIsDrawnForBothSidesAndWhileAdding) {
    registerContractForms();
    storeSampleContracts();
    frmRio& form = Forms::get<frmRio>();
    photograph(form, "frmRio");
    for (Grid* grid : {&form.hfg, &form.hfg1, &form.HfgAM, &form.hfgAm1, &form.hfgM})
        EXPECT_EQ(grid->BackColorFixed(), 0xFFC0C0u);
    EXPECT_EQ(form.frme.BackColor(), 0xFFC0C0u);
    EXPECT_EQ(form.lb(0).ForeColor(), 0xFF0000u);
    act([&] { form.optO.SetValue(true); });
    photograph(form, "frmRio-payable");
    for (Grid* grid : {&form.hfg, &form.hfg1, &form.HfgAM, &form.hfgAm1, &form.hfgM})
        EXPECT_EQ(grid->BackColorFixed(), 0xC0C0FFu);
    EXPECT_EQ(form.frme.BackColor(), 0xC0C0FFu);
    EXPECT_EQ(form.lb(0).ForeColor(), 0xFFu);
    act([&] { form.cmdAdd_Click(); });
    photograph(form, "frmRio-adding");
    EXPECT_TRUE(form.cmdAll.IsEffectivelyVisible());
    EXPECT_FALSE(form.FSB.IsEffectivelyVisible());
}

TEST_F(ProgramFormsScreenshotTest, TheContractSearchResultsAreDrawnWithTheirTotalsRow) {
    registerContractForms();
    storeSampleContracts();
    AccDb().Execute(
        "INSERT INTO ri (id, 收名稱, 簽約日, 客戶名, 合計, 專名, 專id, 無發票) VALUES "
        "('115120602', '二號工程水電', '2026-12-02', '乙公司', '80,000', '一號工程', 'P001', 0)");
    frmRio& contracts = Forms::get<frmRio>();
    auto showResults = [&](bool receivable, int kind, const std::string& name) -> frmRioser& {
        act([&] {
            (receivable ? contracts.optIser : contracts.optOser).SetValue(true);
            contracts.cbSer.SetListIndex(kind);
        });
        frmRioser& results = Forms::get<frmRioser>();
        photograph(results, name);
        EXPECT_EQ(results.lbCase.Caption(), contracts.cbSer.Text());
        EXPECT_EQ(results.hfg.BackColorFixed(), receivable ? 0xFFC0C0u : 0xC0C0FFu);
        return results;
    };
    frmRioser& open = showResults(true, 2, "frmRioser");
    EXPECT_FALSE(open.lbPj.IsEffectivelyVisible());
    Forms::unload<frmRioser>();

    frmRioser& projects = showResults(true, 6, "frmRioser-projects");
    EXPECT_TRUE(projects.lbPj.IsEffectivelyVisible());
    EXPECT_TRUE(projects.cbPj.IsEffectivelyVisible());
    Forms::unload<frmRioser>();

    showResults(false, 1, "frmRioser-payable");
    Forms::unload<frmRioser>();
}

TEST_F(ProgramFormsScreenshotTest, TheContractFormWithTypedAmountsAndAnInstalmentTheyFollow) {
    registerContractForms();
    storeSampleContracts();
    frmRio& form = Forms::get<frmRio>();
    form.Show();
    act([&] {
        form.cmdEdit.userClick();
        form.txtAm.userFocus();
        form.txtAm.SelectAll();
        form.txtAm.userType("100000");
        form.cmdEc.userClick();
        form.hfg.userMouseUpAt(2, 1, LeftButton);
        form.txt.userType("52500");
        form.cmdEc.userFocus();
    });
    photograph(form, "frmRio-typed-amounts");
    EXPECT_EQ(form.txtAm.Text(), "100,000");
    EXPECT_EQ(form.txtTal.Text(), "105,000");
    EXPECT_EQ(form.hfg.TextMatrix(2, 1), "52,500");
    EXPECT_EQ(form.hfg.TextMatrix(2, 3), "50.00%");
}

TEST_F(ProgramFormsScreenshotTest, TheContractFormWithItsCellEditorsOverTheInstalments) {
    registerContractForms();
    storeSampleContracts();
    frmRio& form = Forms::get<frmRio>();
    form.Show();
    act([&] {
        form.cmdEc.userClick();
        form.hfg.userMouseUpAt(2, 1, LeftButton);
    });
    photograph(form, "frmRio-amount-editor");
    EXPECT_TRUE(form.txt.IsEffectivelyVisible());
    EXPECT_EQ(form.txt.Text(), "735000");

    act([&] { form.hfg.userMouseUpAt(2, 2, LeftButton); });
    photograph(form, "frmRio-date-picker");
    EXPECT_FALSE(form.txt.IsEffectivelyVisible());
    EXPECT_TRUE(form.dtpi.IsEffectivelyVisible());
    EXPECT_EQ(form.dtpi.Value(), Date::fromYmd(2027, 3, 31));
}

// The income voucher 1150315001 (10,000 in cash on ROC 115/03/15) settles instalment 1 of the
// receivable contract 115031001 from the voucher form; the contract form then shows it received.
TEST_F(ProgramFormsScreenshotTest, TheSettlementDialogsAndTheSettledInstalment) {
    registerContractForms();
    storeSampleContracts();
    AccDb().Execute(
        "INSERT INTO ri (id, 收名稱, 簽約日, 銷貨金額, 稅金, 合計, 專名, 專id, fnLet, 無發票, Let) "
        "VALUES ('115031001', '二號工程合約', '2026-03-01', '10,000', '0', '10,000', '一號工程', "
        "'P001', '', 0, '0')");
    AccDb().Execute(
        "INSERT INTO ri期 VALUES ('115031001', 1, '10,000', '2026-03-31', '100.00%', NULL, '', "
        "'', NULL, 0, '', '', 0)");
    AccDb().Execute(
        "INSERT INTO iof (輸入日期, 單號, 用途說明, 方式, 金額, 科目代號, pay, 科目名稱, 專案號碼, "
        "專案名稱, 發生日期, 申請人, 簽收, 建議方式) VALUES ('2026-03-15', '1150315001', "
        "'工程款', 0, 10000, '5101', 0, '材料費', 'P001', '一號工程', '2026-03-15', '王小明', "
        "'李大同', -1)");
    HandOver<bool> one(ShowOneRecord, true);
    HandOver<std::string> number(OpenVoucherNo, "1150315001");
    frmIo& voucherForm = Forms::get<frmIo>();
    voucherForm.Show();
    ASSERT_EQ(voucherForm.lbHday.Caption(), "中華民國 115 年 03 月 15 日");
    HandOver<bool> receivable(SettleReceivable, voucherForm.lbAcIo.Caption() == "(收入)");
    ASSERT_TRUE(SettleReceivable);

    frmMach& dialog = Forms::get<frmMach>();
    dialog.Show();
    ASSERT_EQ(dialog.lstRio.List(0, 0), "115031001");
    act([&] { dialog.lstRio.userPick(0); });
    act([&] { dialog.hfgC.userMouseDownAt(1, 2, LeftButton); });
    photograph(dialog, "frmMach");
    EXPECT_TRUE(dialog.cmd.IsEffectivelyVisible());
    EXPECT_EQ(dialog.lbMachCash.Caption(), "10,000");
    act([&] { dialog.cmd.userClick(); });
    EXPECT_FALSE(Forms::isLoaded<frmMach>());
    Recordset settled = AccDb().OpenRecordset("SELECT * FROM ri期 WHERE id = '115031001'");
    EXPECT_EQ(settled.Fields("實收金").text(), "10000");
    EXPECT_EQ(settled.Fields("實收日").date(), Date::fromYmd(2026, 3, 15));
    EXPECT_EQ(settled.Fields("收支單號").text(), "1150315001");
    EXPECT_TRUE(settled.Fields("處理").boolean());

    frmRio& contracts = Forms::get<frmRio>();
    contracts.Show();
    act([&] { contracts.FSB.SetValue(0); });
    photograph(contracts, "frmRio-settled");
    EXPECT_EQ(contracts.hfg1.TextMatrix(1, 0), "10,000");
    EXPECT_EQ(contracts.hfg1.TextMatrix(1, 1), "115/03/15");
    EXPECT_EQ(contracts.lbACC.Caption(), "10,000");

    frmMchIo& vouchers = Forms::get<frmMchIo>();
    photograph(vouchers, "frmMchIo");
    EXPECT_EQ(vouchers.hfg.BackColorFixed(), contracts.hfg.BackColorFixed());
    EXPECT_EQ(vouchers.hfg.TextMatrix(1, 1), "1150315001");
    Forms::unload<frmMchIo>();
}

TEST_F(ProgramFormsScreenshotTest, TheVoucherFormWithItsUnsignedListAndTwoRowsMarked) {
    AccDb().Execute(
        "INSERT INTO iof (輸入日期, 單號, 用途說明, 方式, 金額, 科目代號, pay, 科目名稱, 發生日期, "
        "建議方式) VALUES ('2026-12-06', '1151206002', '工地水電', -2, 2500, '5101', 1, '材料費', "
        "'2026-12-06', -2), ('2026-12-06', '1151206003', '模板租金', -1, 300, '5101', 1, "
        "'材料費', '2026-12-06', -1)");
    frmIo& form = Forms::get<frmIo>();
    form.Show();
    act([&] { form.cmdNck.userClick(); });
    act([&] { form.ckco.userClick(); });
    act([&] { form.hfg.userMouseDownAt(1, 4); });
    act([&] { form.hfg.userMouseDownAt(3, 4); });
    photograph(form, "frmIo-unsigned");
    EXPECT_TRUE(form.hfg.Visible());
    EXPECT_TRUE(form.ckco.Visible());
    EXPECT_TRUE(form.cmdco.Visible());
    EXPECT_EQ(form.hfg.BackColorFixed(), 0xFFC0C0u);
    for (int r : {1, 3}) {
        EXPECT_EQ(form.hfg.TextMatrix(r, 0), "*");
        EXPECT_EQ(form.hfg.BackColorAt(r, 3), 0xFFFF00u);
    }
    EXPECT_EQ(form.hfg.TextMatrix(2, 0), "");
}

// A code typed into an expense voucher that no account holds: the new account takes the code and
// the expense side.
TEST_F(ProgramFormsScreenshotTest, TheAccountAdditionTakesTheTypedCodeAndTheVouchersSide) {
    frmIo& io = Forms::get<frmIo>();
    io.cbAcc.SetText("6100");
    io.lbAcIo.SetForeColor(ExpenseRed);
    frmAdAcc& form = Forms::get<frmAdAcc>();
    form.Show();
    QImage image = photograph(form, "frmAdAcc");
    EXPECT_EQ(form.Caption(), "新增科目");
    EXPECT_EQ(form.lbAccNo.Caption(), "6100");
    EXPECT_TRUE(form.Ot1(1).Value());
    EXPECT_EQ(form.Ot1(0).Caption(), "(收入)");
    EXPECT_EQ(form.Ot1(1).Caption(), "(支出)");
    EXPECT_TRUE(form.txtAcc.IsEffectivelyVisible());
    EXPECT_TRUE(form.Command1.Default());
    EXPECT_GT(pixelsOf(image, form.Ot1(1), QColor(255, 0, 0)), 10);
    Forms::unload(form);
}

TEST_F(ProgramFormsScreenshotTest, TheWordListsWithTheEditorOverACell) {
    AccDb().Execute("INSERT INTO acc VALUES ('4101', 1, '工程收入')");
    AccDb().Execute("INSERT INTO use VALUES (1, '工地材料'), (2, '車資')");
    AccDb().Execute("INSERT INTO ps1 VALUES (1, '現金支付')");
    frmSt& form = Forms::get<frmSt>();
    form.Show();
    act([&] { form.hfg(2).userMouseDownAt(2, 0); });
    photograph(form, "frmSt");
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(form.hfg(i).IsEffectivelyVisible()) << i;
    EXPECT_TRUE(form.txt.Visible());
    EXPECT_EQ(form.txt.Text(), "車資");
}

TEST_F(ProgramFormsScreenshotTest, TheStaffRightsAndJournalFormsAreDrawn) {
    PeopleDb().Execute(
        "INSERT INTO 員工 (員工編號, 中文姓名, 英文姓名, 部門, 地址, 住家電話, 行動電話, AccS) "
        "VALUES "
        "('19001', '羅美玲', 'mei', '會計部', '臺北市;信義路五段7號', '02;27201234', "
        "'0912345678', 131073), ('A001', 'Alice', 'alice', '工務部', ';', ';', '', 1)");
    frmSta& staff = Forms::get<frmSta>();
    photograph(staff, "frmSta-simple");
    EXPECT_EQ(staff.Command2.Caption(), "整頁模式>>");
    act([&] { staff.hfg.userDblClickCell(1, 2); });
    photograph(staff, "frmSta");
    EXPECT_EQ(staff.Command2.Caption(), "簡單模式<<");
    EXPECT_EQ(staff.T2.Text(), "羅美玲");

    frmSec& rights = Forms::get<frmSec>();
    photograph(rights, "frmSec");
    EXPECT_EQ(rights.hfg.MergedColumns(0, 12), std::make_pair(11, 12));
    EXPECT_EQ(rights.hfg.TextMatrix(0, 11), "統計");
    EXPECT_EQ(rights.hfg.BackColorAt(0, 11), 0xFFFFC0u);
    EXPECT_EQ(rights.hfg.TextMatrix(2, 18), frmSec::Star);
    EXPECT_EQ(rights.hfg.ForeColorAt(2, 18), 0x0000FFu);
    Forms::unload(rights);

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
    photograph(journal, "frmTag");
    EXPECT_EQ(journal.txtB.Text(), "1,500");
    EXPECT_FALSE(journal.cmdSv.Enabled());
    EXPECT_FALSE(journal.cmdCencel.Enabled());
    Forms::unload(journal);
}

// The transfer form with a listing of the cash book, and the forecast of the same books.
TEST_F(ProgramFormsScreenshotTest, TheTransferFormAndTheForecastAreDrawn) {
    registerBookForms();
    Clock::useFixedTime(Date::fromYmdHms(2026, 3, 15, 9, 30, 0));
    AccDb().Execute("UPDATE obank SET bank = '台灣銀行', cash = 10000");
    AccDb().Execute("UPDATE bbank SET ps = 3000");
    AccDb().Execute(
        "INSERT INTO cash VALUES (1, 1, '2026-03-01', 5000, '期初', '1150301001', 5000), "
        "(2, 0, '2026-03-03', 1200, '文具', '1150303001', 3800), "
        "(3, 1, '2026-03-10', 2000, '工程款', '1150310001', 5800)");
    AccDb().Execute(
        "INSERT INTO bank VALUES (1, '001-123', '台灣銀行', 0, '2026-03-01', 30000, '取款轉現金', "
        "'1150301002', -30000)");
    AccDb().Execute(
        "INSERT INTO bill (票據號碼, 到期日, deDay, 金額, 收支, 收支單號, 方式) VALUES "
        "('I1', '2026-05-03', '2026-05-03', 20000, 0, '1151206001', 0), "
        "('R1', '2026-05-01', '2026-05-10', 50000, 1, '1150302001', 0)");

    frmTrans& transfer = Forms::get<frmTrans>();
    act([&] {
        transfer.dtpSt.SetValue(Date::fromYmd(2026, 3, 5));
        transfer.dtpSt.Picked();
        transfer.dtpEd.SetValue(Date::fromYmd(2026, 3, 31));
        transfer.dtpEd.Picked();
        transfer.cmdSCh_Click();
    });
    photograph(transfer, "frmTrans");
    EXPECT_TRUE(transfer.cmdPxls.IsEffectivelyVisible());
    EXPECT_EQ(transfer.hfg.TextMatrix(1, 6), "3,800");
    EXPECT_EQ(transfer.lbBnkBala.Caption(), "-20,000");
    Forms::unload(transfer);

    frmFtr& forecast = Forms::get<frmFtr>();
    act([&] {
        forecast.DTP.SetValue(Date::fromYmd(2026, 5, 31));
        forecast.DTP.Picked();
        forecast.Command1_Click();
    });
    QImage image = photograph(forecast, "frmFtr");
    ASSERT_EQ(forecast.hfg.Rows(), 6);
    for (int col = 1; col < 8; ++col) {
        EXPECT_EQ(forecast.hfg.BackColorAt(1, col), 0xE0E0E0u);
        EXPECT_EQ(forecast.hfg.BackColorAt(2, col), 0xC0FFFFu);
        EXPECT_EQ(forecast.hfg.BackColorAt(3, col), 0xC0FFFFu);
        EXPECT_EQ(forecast.hfg.BackColorAt(4, col), Grid::Unset);
        EXPECT_EQ(forecast.hfg.BackColorAt(5, col), Grid::Unset);
    }
    EXPECT_GT(pixelsOf(image, forecast.hfg, QColor(255, 255, 192)), 1000);
    EXPECT_GT(pixelsOf(image, forecast.hfg, QColor(224, 224, 224)), 500);
    Forms::unload(forecast);
    Clock::useSystemTime();
}

// The voucher query over the march vouchers: cash, a cheque not cashed, a cheque cashed and its
// system voucher, a transfer and an unsigned voucher, which the month in status mode leaves out.
TEST_F(ProgramFormsScreenshotTest, TheVoucherQueryIsDrawnWithItsTotals) {
    registerStatisticsForms();
    Clock::useFixedTime(Date::fromYmdHms(2026, 3, 15, 9, 30, 0));
    struct Row {
        const char* number;
        bool expense;
        int64_t amount;
        int state;
        const char* account;
    } rows[] = {
        {"1150301001", false, 10000, 0, "4101"}, {"1150302001", true, 3000, 0, "5101"},
        {"1150303001", false, 5000, 1, "4101"},  {"1150304001", true, 2000, 3, "5101"},
        {"1150305001", true, 2000, 4, "5101"},   {"1150306001", true, 1000, 0, "9999"},
        {"1150307001", true, 500, -1, "5101"},
    };
    int dayOfMonth = 1;
    for (const Row& r : rows) {
        const Date on = Date::fromYmd(2026, 3, dayOfMonth++);
        AccDb().Execute(
            "INSERT INTO iof (輸入日期, 單號, 用途說明, 方式, 金額, 科目代號, pay, 科目名稱, "
            "專案名稱, 發生日期, 申請人, 簽收) VALUES (?, ?, '工程款', ?, ?, ?, ?, ?, '信義案', ?, "
            "'王小明', '李大華')",
            on, r.number, r.state, r.amount, r.account, r.expense,
            r.expense ? "材料費" : "工程收入", on);
    }
    frmCash& query = Forms::get<frmCash>();
    QImage image = photograph(query, "frmCash");
    const Grid& g = query.hfg;
    ASSERT_EQ(g.Rows(), 15);
    EXPECT_EQ(g.BackColorFixed(), 0xC0FFC0u);
    EXPECT_EQ(g.ForeColorAt(1, 5), 0xFF0000u);
    EXPECT_EQ(g.ForeColorAt(2, 6), 255u);
    for (int row = 6; row <= 14; ++row) {
        EXPECT_TRUE(g.BoldAt(row, 4)) << row;
        EXPECT_TRUE(g.BoldAt(row, row == 14 ? 7 : row % 2 == 0 ? 5 : 6)) << row;
    }
    EXPECT_EQ(g.TextMatrix(14, 7), "5,000");
    EXPECT_GT(pixelsOf(image, g, QColor(192, 255, 192)), 1000);
    Forms::unload(query);
    Clock::useSystemTime();
}

// The period statement of January and February: two income accounts, one expense account and a
// transfer that stays out.
TEST_F(ProgramFormsScreenshotTest, ThePeriodStatementIsDrawnWithItsSectionsAndResult) {
    registerStatisticsForms();
    Clock::useFixedTime(Date::fromYmdHms(2026, 3, 15, 9, 30, 0));
    AccDb().Execute("DELETE FROM iof");
    struct Row {
        const char* number;
        const char* day;
        int64_t amount;
        int state;
        const char* code;
        const char* name;
        bool expense;
    } rows[] = {
        {"1150110001", "2026-01-10", 3000, 0, "4101", "工程收入", false},
        {"1150210001", "2026-02-10", 1000, 3, "4101", "工程收入", false},
        {"1150212001", "2026-02-12", 500, 1, "4102", "利息收入", false},
        {"1150120001", "2026-01-20", 2000, 0, "5101", "材料費", true},
        {"1150220001", "2026-02-20", 2500, 0, "5101", "材料費", true},
        {"1150105001", "2026-01-05", 700, 0, "0000", "轉帳", false},
    };
    for (const Row& r : rows)
        AccDb().Execute(
            "INSERT INTO iof (輸入日期, 單號, 用途說明, 方式, 金額, 科目代號, pay, 科目名稱, "
            "發生日期) VALUES (?, ?, '工程款', ?, ?, ?, ?, ?, ?)",
            r.day, r.number, r.state, r.amount, r.code, r.expense, r.name, r.day);
    frmLW& statement = Forms::get<frmLW>();
    statement.Show();
    act([&] {
        statement.cbEM.SetListIndex(1);
        statement.cmdStar_Click();
    });
    QImage image = photograph(statement, "frmLW");
    const Grid& g = statement.hfg;
    ASSERT_EQ(g.Rows(), 10);
    EXPECT_EQ(g.BackColorFixed(), 0xC0FFFFu);
    for (int row : {1, 2}) {
        EXPECT_EQ(g.ForeColorAt(row, 1), 0xFF0000u);
        EXPECT_EQ(g.ForeColorAt(row, 2), 0xFF0000u);
    }
    for (int col : {3, 4}) {
        EXPECT_EQ(g.BackColorAt(3, col), 0xFFC0C0u);
        EXPECT_EQ(g.BackColorAt(7, col), 0xC0C0FFu);
    }
    for (int col = 3; col <= 5; ++col)
        EXPECT_EQ(g.BackColorAt(9, col), 0xC0FFC0u);
    EXPECT_EQ(g.TextMatrix(9, 5), "-500");
    EXPECT_GT(pixelsOf(image, g, QColor(255, 255, 192)), 1000);
    EXPECT_GT(pixelsOf(image, g, QColor(192, 192, 255)), 100);
    EXPECT_GT(pixelsOf(image, g, QColor(192, 255, 192)), 100);
    Forms::unload(statement);
    Clock::useSystemTime();
}

}  // namespace
