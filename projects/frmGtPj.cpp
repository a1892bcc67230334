#include "projects/frmGtPj.h"

#include "platform/db/Amount.h"
#include "platform/forms/DateLabel.h"
#include "platform/forms/Layout.h"
#include "shell/mdM.h"

namespace kiv {

namespace {

constexpr int FormWidth = 9840;
constexpr int GridHeight = 4800;
constexpr int ButtonTop = 120 + GridHeight + 120;

}  // namespace

frmGtPj::frmGtPj() : Form(FormName) {
    SetCaption("選取專案");
    SetBorderStyle(3);
    SetCentreOnScreen(true);
    SetClientSize(FormWidth, ButtonTop + 420 + 120);
    applyLayout({
        {&hfg, nullptr, 120, 120, FormWidth - 240, GridHeight},
        {&lbNote, nullptr, 120, ButtonTop + 90, 4800, 285, "已結案之專案不會出現在此表格中"},
        {&Command1, nullptr, FormWidth - 2400, ButtonTop, 1080, 420, "確定"},
        {&Command2, nullptr, FormWidth - 1200, ButtonTop, 1080, 420, "取消"},
    });
    hfg.Click = [this] { hfg_Click(); };
    hfg.DblClick = [this] { hfg_DblClick(); };
    // A key that moves to another row chooses it as a click on it does; one that moves no row
    // (F5, Delete, Up on the first row) leaves the choice as it was.
    hfg.KeyDown = [this](int&, int) { rowBeforeKey_ = hfg.Row(); };
    hfg.KeyUp = [this](int&, int) {
        if (hfg.Row() != rowBeforeKey_) hfg_Click();
    };
    Command1.Click = [this] { Command1_Click(); };
    Command2.Click = [this] { Command2_Click(); };
}

void frmGtPj::Form_Load() {
    FillOpenProjects();
}

// Closing the window is a cancel: the caller must not read a project the user did not choose.
void frmGtPj::Form_QueryUnload(int&, int unloadMode) {
    if (unloadMode == UnloadByFrame) PickedProjectRow = 0;
}

void frmGtPj::FillOpenProjects() {
    hfg.SetCols(6);
    const int widths[] = {200, 1000, 3000, 3000, 1000, 1200};
    const char* headers[] = {"", "專案編號", "專案名稱", "業主名稱", "總金額", "簽約日"};
    for (int col = 0; col < 6; ++col) {
        hfg.SetColWidth(col, widths[col]);
        hfg.SetTextMatrix(0, col, headers[col]);
    }
    Recordset rs = AccDb().OpenRecordset(
        "SELECT id, prj, cust, tCash, sinDay FROM prj WHERE final = ? ORDER BY id", false);
    const int count = static_cast<int>(rs.RecordCount());
    if (count == 0) return;
    hfg.SetRows(count + 1);
    for (int row = 1; !rs.Eof(); rs.MoveNext(), ++row) {
        Value signedOn = rs.Fields("sinDay");
        hfg.SetTextMatrix(row, 1, rs.Fields("id").text());
        hfg.SetTextMatrix(row, 2, rs.Fields("prj").text());
        hfg.SetTextMatrix(row, 3, rs.Fields("cust").text());
        hfg.SetTextMatrix(row, 4, AmountText(rs.Fields("tCash")));
        hfg.SetTextMatrix(row, 5, ShownDate(signedOn));
    }
}

void frmGtPj::hfg_Click() {
    PickedProjectRow = hfg.Row();
}

void frmGtPj::hfg_DblClick() {
    if (hfg.Row() == 0) return;
    PickedProjectRow = hfg.Row();
    Command1_Click();
}

void frmGtPj::Command1_Click() {
    Hide();
}

void frmGtPj::Command2_Click() {
    PickedProjectRow = 0;
    Unload();
}

}  // namespace kiv
