#include <gtest/gtest.h>

#include "platform/xlsx/Workbook.h"
#include "tests/projects/ProjectBook.h"
#include "tests/xlsx/SheetReader.h"

using namespace kiv;

namespace {

class WorkTypeReportTest : public test::ProjectBook {
  protected:
    // Project P001 with only 土木 ticked, over vouchers in every state.
    frmPj& reportOfFirstProject() {
        workTypes({"土木", "水電"});
        project("P001", "一號工程", false, {"土木"});
        voucher("V1", "P001", false, 100000, 0, "");
        voucher("V2", "P001", true, 30000, 1, "土木");
        voucher("V3", "P001", true, 20000, 3, "水電");
        voucher("V4", "P001", true, 80000, 0, "土木");
        voucher("V5", "P001", true, 1000, 4, "土木");
        frmPj& form = Forms::get<frmPj>();
        host.click(form.cmdCal);
        return form;
    }
    static Color colour(const Grid& grid, int r, int c) { return grid.ForeColorAt(r, c); }
};

TEST_F(WorkTypeReportTest, VouchersSpreadOverIncomeTickedTypesAndOthers) {
    frmPj& form = reportOfFirstProject();
    const Grid& g = form.hfg;
    EXPECT_FALSE(form.frmW.Visible());
    ASSERT_EQ(g.Cols(), 10);
    ASSERT_EQ(g.Rows(), 8);
    EXPECT_EQ(row(g, 0), (Texts{"", "結餘", "發生日期", "收支單號", "收入", "收入", "土木", "土木",
                                "其他", "其他"}));
    EXPECT_EQ(row(g, 1), (Texts{"", "", "", "", "未兌現", "已兌現", "支出未兌現", "支出已兌現",
                                "支出未兌現", "支出已兌現"}));

    EXPECT_EQ(row(g, 2), (Texts{"1", "100000", "115/12/01", "V1", "", "100000", "", "", "", ""}));
    EXPECT_EQ(row(g, 3), (Texts{"2", "70000", "115/12/01", "V2", "", "", "30000", "", "", ""}));
    EXPECT_EQ(row(g, 4), (Texts{"3", "50000", "115/12/01", "V3", "", "", "", "", "", "20000"}));
    EXPECT_EQ(row(g, 5), (Texts{"4", "-30000", "115/12/01", "V4", "", "", "", "80000", "", ""}));
    EXPECT_EQ(colour(g, 4, 1), 0xFF0000u);
    EXPECT_EQ(colour(g, 5, 1), 255u);
    EXPECT_EQ(colour(g, 3, 6), 0xFF00FFu);
    EXPECT_EQ(colour(g, 5, 7), 255u);
    EXPECT_EQ(row(g, 6),
              (Texts{"", "合 計", "", "", "0", "100000", "30000", "80000", "0", "20000"}));
    EXPECT_EQ(row(g, 7), (Texts{"", "支出合計", "", "", "30000", "100000", "", "", "", ""}));

    host.click(form.cmdCal);
    EXPECT_FALSE(g.Visible());
    EXPECT_FALSE(form.cmdPxls.Visible());
}

TEST_F(WorkTypeReportTest, TheExcelCopyHoldsTheTitlesAndTheBoxedGridFromRowThree) {
    PeopleDb().Execute("UPDATE company SET co_name = '永建營造'");
    frmPj& form = reportOfFirstProject();
    host.click(form.cmdPxls);
    ASSERT_EQ(host.openedFiles().size(), 1u);
    test::SheetReader sheet(host.openedFiles()[0]);
    EXPECT_EQ(sheet.text("A1"), "永建營造：各工種收支狀況表");
    EXPECT_EQ(sheet.text("A2"), "專案：一號工程－P001");
    EXPECT_EQ(sheet.text("J4"), "支出已兌現");
    EXPECT_EQ(sheet.text("F10"), "100000");
    EXPECT_TRUE(sheet.boxed("A3") && sheet.boxed("J10"));
    EXPECT_FALSE(sheet.boxed("A2") || sheet.has("K3") || sheet.has("A11"));
}

// Two ticked types of one name: the expense counts once, in the first.
TEST_F(WorkTypeReportTest, AnExpenseCountsOnceWhenTwoTickedTypesShareItsName) {
    workTypes({"土木", "水電", "土木"});
    project("P001", "一號工程");
    voucher("V1", "P001", true, 700, 0, "土木");
    frmPj& form = Forms::get<frmPj>();
    form.lstWt(0).SetSelected(0, true);
    form.lstWt(0).SetSelected(2, true);
    host.click(form.cmdCal);
    const Grid& g = form.hfg;
    ASSERT_EQ(g.Cols(), 12);
    EXPECT_EQ(row(g, 3), (Texts{"", "合 計", "", "", "0", "0", "0", "700", "0", "0", "0", "0"}));
    EXPECT_EQ(g.TextMatrix(4, 5), "700");
}

// A voucher of every state, an expense and an income each: only those signed by cash, by cheque
// and with their cheque cashed are counted; unsigned (cash or cheque suggested), void ones and the
// vouchers a cashing writes are neither listed nor in the balance or the totals. A project whose
// only voucher is unsigned shows the headings and zero totals.
TEST_F(WorkTypeReportTest, OnlySignedVouchersAreCounted) {
    workTypes({"土木"});
    project("P001", "一號工程", false, {"土木"});
    const int states[] = {-3, -2, -1, 0, 1, 2, 3, 4};
    for (int i = 0; i < 8; ++i) {
        voucher("E" + std::to_string(i), "P001", true, 1 << i, states[i], "土木");
        voucher("I" + std::to_string(i), "P001", false, 1000 << i, states[i], "");
    }
    project("P002", "二號工程", false, {"土木"});
    voucher("U1", "P002", true, 500, -1, "土木");
    voucher("U2", "P002", false, 700, -2, "");
    frmPj& form = Forms::get<frmPj>();
    host.click(form.cmdCal);
    const Grid& g = form.hfg;
    ASSERT_EQ(g.Rows(), 10);
    EXPECT_EQ(test::GridColumn(g, 3, 2, 7), (Texts{"E3", "E4", "E6", "I3", "I4", "I6"}));
    EXPECT_EQ(test::GridColumn(g, 1, 2, 7), (Texts{"-8", "-24", "-88", "7912", "23912", "87912"}));
    EXPECT_EQ(row(g, 8), (Texts{"", "合 計", "", "", "16000", "72000", "16", "72", "0", "0"}));
    EXPECT_EQ(row(g, 9), (Texts{"", "支出合計", "", "", "16", "72", "", "", "", ""}));

    host.scroll(form.FSB, 1);
    ASSERT_EQ(g.Rows(), 4);
    EXPECT_EQ(row(g, 2), (Texts{"", "合 計", "", "", "0", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(row(g, 3), (Texts{"", "支出合計", "", "", "0", "0", "", "", "", ""}));
}

TEST_F(WorkTypeReportTest, NoVouchersAndNoTicksGiveTheHeaderAndZeroTotals) {
    project("P001", "一號工程");
    voucher("V1", "P002", false, 100, 0, "");
    frmPj& form = Forms::get<frmPj>();
    host.click(form.cmdCal);
    const Grid& g = form.hfg;
    ASSERT_EQ(g.Cols(), 8);
    ASSERT_EQ(g.Rows(), 4);
    EXPECT_EQ(row(g, 2), (Texts{"", "合 計", "", "", "0", "0", "0", "0"}));
    EXPECT_EQ(row(g, 3), (Texts{"", "支出合計", "", "", "0", "0", "", ""}));
}

TEST_F(WorkTypeReportTest, AMoveRebuildsTheReportAndAddOrEditSwitchBack) {
    frmPj& form = reportOfFirstProject();
    project("P002", "二號工程");
    voucher("W1", "P002", false, 5, 1, "");
    form.Unload();
    frmPj& again = Forms::get<frmPj>();
    host.click(again.cmdCal);
    host.scroll(again.FSB, 1);
    EXPECT_EQ(again.hfg.Rows(), 5);
    EXPECT_EQ(again.hfg.TextMatrix(2, 4), "5");
    host.click(again.cmdEdit);
    EXPECT_EQ(again.cmdCal.Caption(), "<< 報表");
    EXPECT_FALSE(again.hfg.Visible());
}

// A stand-in voucher form records what it was asked to show, and says whether it holds an entry.
struct VoucherStandIn : Form {
    VoucherStandIn() : Form("frmIo") {}
    void Form_Load() override { shown = {OpenVoucherNo, ShowOneRecord ? "one" : "all"}; }
    bool HoldsUnsavedInput() const override { return unsaved; }
    std::string WorkName() const override { return "收支單"; }
    static inline std::pair<std::string, std::string> shown;
    bool unsaved = false;
};

TEST_F(WorkTypeReportTest, ADoubleClickOnAVoucherRowOpensThatVoucherAlone) {
    Forms::registerForm("frmIo", [] { return std::make_unique<VoucherStandIn>(); });
    frmPj& form = reportOfFirstProject();
    Forms::showByName("frmIo", Modeless);
    const uint64_t launcherVoucherForm = Forms::find("frmIo")->Serial();
    for (auto [r, c] : {std::pair{0, 3}, std::pair{3, 0}, std::pair{6, 2}}) {
        host.dblClickCell(form.hfg, r, c);
        EXPECT_EQ(Forms::find("frmIo")->Serial(), launcherVoucherForm) << r << c;
    }
    auto& launcherForm = dynamic_cast<VoucherStandIn&>(*Forms::find("frmIo"));
    launcherForm.unsaved = true;
    host.expectMessage("請先關閉收支單作業");
    host.dblClickCell(form.hfg, 3, 2);
    EXPECT_EQ(Forms::find("frmIo"), &launcherForm);
    EXPECT_FALSE(ShowOneRecord);
    launcherForm.unsaved = false;
    host.onModal("frmIo", [](Form& io) { io.Unload(); });
    host.dblClickCell(form.hfg, 3, 2);
    EXPECT_EQ(VoucherStandIn::shown, (std::pair<std::string, std::string>{"V2", "one"}));
    EXPECT_EQ(Forms::find("frmIo"), nullptr);
    EXPECT_FALSE(ShowOneRecord);
}

}  // namespace
