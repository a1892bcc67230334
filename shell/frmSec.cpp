#include "shell/frmSec.h"

#include <algorithm>

#include "platform/db/Database.h"
#include "platform/db/Numbers.h"
#include "platform/db/ShownRows.h"
#include "platform/forms/Host.h"
#include "platform/forms/Layout.h"
#include "platform/forms/SaveConflict.h"
#include "shell/Staff.h"
#include "shell/mdM.h"

namespace kiv {

namespace {

constexpr int RightCount = 22;
constexpr int FirstStaffRow = 2;

struct RightsGroup {
    const char* name;
    Color colour;
    std::vector<const char*> captions;
};

// The rights in column order, grouped as the launcher's areas are.
const RightsGroup RightsGroups[] = {
    {"收支單", 0xFFFFFF, {"編輯", "查詢", "簽核", "沖帳"}},
    {"票據", 0xFFC0C0, {"查詢", "提示", "處理", "瀏覽"}},
    {"專案", 0xC0E0FF, {"編輯", "報表"}},
    {"統計", 0xFFFFC0, {"全部", "個別"}},
    {"收付", 0x80FFFF, {"操作"}},
    {"系統", 0xC0FFC0, {"詞庫", "資金", "損益", "權限", "員工", "公司", "轉帳"}},
    {"員工資料", 0xC0C0FF, {"編輯", "查詢"}},
};

int32_t storedRights(const Value& value) {
    return value.isNull() ? 0 : static_cast<int32_t>(roundHalfToEven(leadingNumber(value.text())));
}

}  // namespace

frmSec::frmSec() : Form(FormName) {
    SetCaption("權限設定");
    SetBorderStyle(1);
    SetMaxButton(false);
    SetClientSize(15600, 6300);
    applyLayout({
        {&hfg, nullptr, 60, 60, 15480, 5520},
        {&Command1, nullptr, 60, 5700, 1800, 480, "套用後離開"},
    });
    hfg.SetRows(3);
    hfg.SetCols(RightCount + 1);
    hfg.SetFixedRows(2);
    hfg.SetFixedCols(1);
    hfg.Click = [this] { hfg_Click(); };
    // Enter toggles the current cell's star as Space and a click on it do.
    hfg.KeyPress = [this](int& keyAscii) {
        if (keyAscii == Key::Enter) ToggleCell(hfg.Row(), hfg.Col());
    };
    Command1.Click = [this] { Command1_Click(); };
}

void frmSec::Form_Load() {
    SetWidth(screenWidth());
    hfg.SetWidth(ScaleWidth() - 2 * hfg.Left());
    LoadRightsGrid();
}

void frmSec::SetupRightsGrid() {
    hfg.Clear();
    hfg.SetCols(RightCount + 1);
    hfg.SetColWidth(0, 1400);
    int col = 1;
    for (const RightsGroup& group : RightsGroups) {
        for (const char* caption : group.captions) {
            for (int row : {0, 1}) {
                hfg.SetRow(row);
                hfg.SetCol(col);
                hfg.SetCellAlignment(CentreCentre);
                hfg.SetCellBackColor(group.colour);
                hfg.SetText(row == 0 ? group.name : caption);
            }
            hfg.SetColWidth(col++, 600);
        }
    }
    hfg.SetRow(1);
    hfg.SetCol(0);
    hfg.SetCellAlignment(CentreCentre);
    hfg.SetCellForeColor(IncomeBlue);
    hfg.SetText("員 工 姓 名");
    hfg.SetMergeCells(4);
    hfg.SetMergeRow(0, true);
}

void frmSec::LoadRightsGrid() {
    shownMembers_.clear();
    Recordset rs = PeopleDb().OpenRecordset("SELECT 中文姓名, AccS FROM 員工 ORDER BY 員工編號");
    // Without staff one empty row stays below the two header rows, which a grid keeps fixed
    // only above a row of its own.
    hfg.SetRows(std::max<int>(static_cast<int>(rs.RecordCount()), 1) + FirstStaffRow);
    hfg.SetFixedRows(FirstStaffRow);
    SetupRightsGrid();
    for (int r = FirstStaffRow; !rs.Eof(); ++r, rs.MoveNext()) {
        shownMembers_.push_back({rs.Fields("中文姓名").text(), rs.Fields("AccS")});
        hfg.SetTextMatrix(r, 0, shownMembers_.back().name);
        std::string rights = RightsToBitString(storedRights(shownMembers_.back().rights));
        for (int k = 1; k <= RightCount; ++k) {
            hfg.SetRow(r);
            hfg.SetCol(k);
            hfg.SetCellAlignment(CentreCentre);
            hfg.SetCellForeColor(ExpenseRed);
            hfg.SetText(rights[k - 1] == '1' ? Star : "");
        }
    }
}

bool frmSec::Starred(int row, int right) const {
    return hfg.TextMatrix(row, right) == Star;
}

void frmSec::SetStar(int row, int right, bool starred) {
    hfg.SetTextMatrix(row, right, starred ? Star : "");
}

void frmSec::hfg_Click() {
    ToggleCell(hfg.MouseRow(), hfg.MouseCol());
}

// The headers and the names hold no right.
void frmSec::ToggleCell(int row, int col) {
    if (col <= 0 || row < FirstStaffRow || hfg.TextMatrix(row, 0).empty()) return;
    ToggleRight(row, col);
}

// Some rights only make sense together: editing vouchers needs querying them, the single
// statistics need the whole ones, and the staff form's rights hang on its menu entry.
void frmSec::ToggleRight(int row, int right) {
    bool was = !hfg.TextMatrix(row, right).empty();
    bool staffMenu = Starred(row, RightStaffMenu);
    switch (right) {
        case RightVoucherEdit:
            SetStar(row, RightVoucherEdit, !was);
            if (!was) SetStar(row, RightVoucherQuery, true);
            break;
        case RightStatisticsAll:
            SetStar(row, RightStatisticsAll, !was || Starred(row, RightStatisticsSingle));
            break;
        case RightStatisticsSingle:
            SetStar(row, RightStatisticsSingle, !was);
            if (!was) SetStar(row, RightStatisticsAll, true);
            break;
        case RightStaffMenu:
            SetStar(row, RightStaffMenu, !was);
            if (was) {
                SetStar(row, RightStaffEdit, false);
                SetStar(row, RightStaffQuery, false);
            }
            break;
        case RightStaffEdit:
            SetStar(row, RightStaffEdit, !was && staffMenu);
            if (!was && staffMenu) SetStar(row, RightStaffQuery, true);
            break;
        case RightStaffQuery:
            SetStar(row, RightStaffQuery, !was && staffMenu);
            if (was && staffMenu) {
                SetStar(row, RightStaffEdit, false);
                SetStar(row, RightStaffMenu, false);
            }
            break;
        default:
            SetStar(row, right, !was);
    }
}

void frmSec::Command1_Click() {
    ApplyRights();
}

// Every row is written, changed or not, in one transaction; the running program keeps the rights
// it read at login. Rights another copy changed meanwhile are not written over: the editor
// stays open and shows them as stored. A member deleted meanwhile, here in the staff form or by
// another copy, has no rights to write: the others are written all the same and the user is told
// who was gone.
void frmSec::ApplyRights() {
    messageBox("所做的變更下次啟動才會生效", MessageInformation, std::string());
    std::vector<std::string> gone;
    if (!SaveUnlessChanged([&] { gone = WriteRights(); })) {
        LoadRightsGrid();
        return;
    }
    if (!gone.empty()) {
        std::string names;
        for (const std::string& name : gone)
            names += (names.empty() ? "" : "、") + name;
        messageBox("以下員工已被刪除，其權限未寫入：" + names, MessageExclamation, SuiteTitle);
    }
    Unload();
}

// The members no longer stored.
std::vector<std::string> frmSec::WriteRights() {
    Database& people = PeopleDb();
    Transaction transaction(people, TransactionKind::Writes);
    std::vector<std::string> gone;
    for (size_t i = 0; i < shownMembers_.size(); ++i) {
        const ShownMember& member = shownMembers_[i];
        if (!StaffMemberStored(people, member.name)) {
            gone.push_back(member.name);
            continue;
        }
        const int row = FirstStaffRow + static_cast<int>(i);
        int32_t rights = 0;
        for (int k = 1; k <= RightCount; ++k)
            if (Starred(row, k)) rights |= int32_t{1} << (k - 1);
        ChangeShownState(people, "UPDATE 員工 SET AccS = ? WHERE 中文姓名 = ? AND AccS IS ?",
                         rights, member.name, member.rights);
    }
    transaction.Commit();
    return gone;
}

}  // namespace kiv
