#include "shell/frmCom.h"

#include "platform/db/Format.h"
#include "platform/db/Numbers.h"
#include "platform/forms/Host.h"
#include "shell/mdM.h"

namespace kiv {

namespace {

struct BankList {
    const char* table;
    const char* amountField;
    const char* caption;
    const char* amountHeader;
};

// Grid index → its table; the columns show bank, holder, account number and amount, so the
// holder and the number are swapped against the field order.
const BankList BankLists[] = {
    {"obank", "cash", "公司往來銀行(一般存款帳戶):", "最初存款"},
    {"ibank", "cash", "客戶往來銀行:", "資本額"},
    {"bbank", "ps", "公司往來銀行(支票存款帳戶):", "最初存款"},
};
const int ColumnWidths[] = {2400, 2300, 1900, 1200};
const char* const CompanyCaptions[] = {"名稱:", "地址:", "電話:", "傳真:", "統編:", "E-MAIL:"};
constexpr int PixelTwips = TwipsPerPixel;

// The cell shows the amount grouped ("1,000"); the field takes its whole number, and an empty
// cell or one that is no number counts 0.
int64_t openingAmount(const std::string& cell) {
    auto amount = numberFromText(withoutSeparators(cell));
    return amount ? roundHalfToEven(*amount) : 0;
}

}  // namespace

frmCom::frmCom() : Form(FormName) {
    SetCaption("公司資料");
    SetBorderStyle(1);
    SetMaxButton(false);
    SetClientSize(8400, 7980);

    Frame1.SetCaption("公司基本資料：");
    Frame1.Move(120, 60, 8160, 1800);
    const int boxLeft[] = {960, 960, 960, 4860, 960, 4860};
    const int boxTop[] = {300, 690, 1080, 1080, 1440, 1440};
    const int boxWidth[] = {5760, 7020, 2880, 3060, 2880, 3060};
    for (int i = 0; i < 6; ++i) {
        Label& label = lbCo(i);
        label.SetContainer(&Frame1);
        label.SetCaption(CompanyCaptions[i]);
        label.SetAlignment(1);
        label.Move(boxLeft[i] - 900, boxTop[i] + 30, 840, 300);
        TextBox* box = companyBox(i);
        box->SetContainer(&Frame1);
        box->Move(boxLeft[i], boxTop[i], boxWidth[i], 330);
    }
    Command3.SetContainer(&Frame1);
    Command3.SetCaption("確定變更");
    Command3.Move(6840, 270, 1200, 390);

    const int gridTop[] = {2280, 6120, 4200};
    for (int i = 0; i < 3; ++i) {
        lbBank(i).SetCaption(BankLists[i].caption);
        lbBank(i).Move(120, gridTop[i] - 300, 4000, 300);
        Grid& grid = hfg(i);
        grid.Move(120, gridTop[i], 8160, 1560);
        grid.SetRows(2);
        grid.SetCols(4);
        grid.SetFixedCols(0);
        grid.MouseDown = [this, i](int button, int shift, float x, float y) {
            hfg_MouseDown(i, button, shift, x, y);
        };
        grid.Scroll = [this, i] { hfg_Scroll(i); };
    }
    txt.SetVisible(false);
    txt.Change = [this] { txt_Change(); };
    Command3.Click = [this] { Command3_Click(); };
}

TextBox* frmCom::companyBox(int position) {
    TextBox* boxes[] = {&txtCo_name, &txtCo_add, &txtCo_tel, &txtCo_fax, &txtCo_no, &txtCo_email};
    return boxes[position];
}

void frmCom::Form_Load() {
    LoadCompany();
    LoadBankGrids();
}

void frmCom::Form_Resize() {
    SetTop(0);
    SetLeft((screenWidth() - Width()) / 2);
}

void frmCom::LoadCompany() {
    Recordset rs = PeopleDb().OpenTable("company");
    for (int i = 0; i < 6; ++i)
        companyBox(i)->SetText(rs.Eof() ? "" : rs.Fields(i).text());
}

void frmCom::LoadBankGrids() {
    for (int i = 0; i < 3; ++i) {
        Grid& grid = hfg(i);
        grid.Clear();
        for (int c = 0; c < 4; ++c)
            grid.SetColWidth(c, ColumnWidths[c]);
        Database& db = AccDb();
        Recordset rs = db.OpenRecordset("SELECT bank, id, user, " +
                                        db.Field(BankLists[i].table, BankLists[i].amountField) +
                                        " FROM " + db.Table(BankLists[i].table) + " ORDER BY bank");
        const char* headers[] = {"銀行 & (分行)", "戶名", "帳號", BankLists[i].amountHeader};
        for (int c = 0; c < 4; ++c)
            grid.SetTextMatrix(0, c, headers[c]);
        if (rs.Eof()) continue;
        grid.SetRows(static_cast<int>(rs.RecordCount()) + 1);
        for (int r = 1; !rs.Eof(); ++r, rs.MoveNext()) {
            grid.SetTextMatrix(r, 0, rs.Fields(0).text());
            grid.SetTextMatrix(r, 1, rs.Fields(2).text());
            grid.SetTextMatrix(r, 2, rs.Fields(1).text());
            grid.SetTextMatrix(r, 3, Format(rs.Fields(3), "##,##0"));
        }
    }
}

void frmCom::hfg_MouseDown(int Index, int Button, int, float, float) {
    Grid& grid = hfg(Index);
    if (grid.MouseRow() == 0) return;
    editedGrid_ = Index;
    if (Button != LeftButton || grid.MouseRow() < 0 || grid.MouseCol() < 0) return;
    // There is always a blank row at the end to type a new account into.
    if (!grid.TextMatrix(grid.Rows() - 1, 0).empty()) grid.SetRows(grid.Rows() + 1);
    txt.Move(grid.Left() + grid.CellLeft() + 2 * PixelTwips,
             grid.Top() + grid.CellTop() + 2 * PixelTwips, grid.CellWidth(), grid.CellHeight());
    txt.SetVisible(true);
    txt.ZOrder(0);
    txt.SetFocus();
    txt.SetText(grid.Text());
    txt.SelectAll();
}

void frmCom::hfg_Scroll(int) {
    txt.SetVisible(false);
}

void frmCom::txt_Change() {
    Grid& grid = hfg(editedGrid_);
    if (grid.Row() >= grid.FixedRows()) grid.SetText(txt.Text());
}

void frmCom::Command3_Click() {
    SaveCompanyTo(PeopleDb());
    SaveCompanyTo(PrintDb());
    messageBox("變更完成", 64, "Mora III");
}

void frmCom::SaveCompanyTo(Database& db) {
    Recordset rs = db.OpenTable("company");
    if (rs.Eof())
        rs.AddNew();
    else
        rs.Edit();
    for (int i = 0; i < 6; ++i)
        rs.SetField(i, companyBox(i)->Text());
    rs.Update();
}

void frmCom::Form_Unload(int&) {
    for (int i = 0; i < 3; ++i)
        SaveBankList(i);
}

void frmCom::SaveBankList(int index) {
    Grid& grid = hfg(index);
    if (grid.Rows() > 1 && grid.TextMatrix(grid.Rows() - 1, 0).empty())
        grid.SetRows(grid.Rows() - 1);
    Database& db = AccDb();
    Transaction transaction(db);
    db.Execute("DELETE FROM " + db.Table(BankLists[index].table));
    Recordset rs = db.OpenTable(BankLists[index].table);
    for (int r = 1; r < grid.Rows(); ++r) {
        if (grid.TextMatrix(r, 0).empty()) continue;
        rs.AddNew();
        rs.SetField("bank", grid.TextMatrix(r, 0));
        rs.SetField("id", grid.TextMatrix(r, 2));
        rs.SetField("user", grid.TextMatrix(r, 1));
        rs.SetField(3, openingAmount(grid.TextMatrix(r, 3)));
        rs.Update();
    }
    rs.Close();
    transaction.Commit();
}

}  // namespace kiv
