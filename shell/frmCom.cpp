#include "shell/frmCom.h"

#include <optional>
#include <string>
#include <vector>

#include "platform/db/Amount.h"
#include "platform/forms/AmountEntry.h"
#include "platform/forms/CellEditor.h"
#include "platform/forms/Host.h"
#include "platform/forms/Layout.h"
#include "platform/forms/SaveConflict.h"
#include "shell/mdM.h"

namespace kiv {

namespace {

struct BankList {
    const char* table;
    const char* amountField;
    const char* amountHeader;
    Sql selectAll;
    Sql deleteAll;
    // Every field in an order that ties cannot change, to tell whether the list changed.
    Sql shown;
};

// Grid index → its table; the columns show bank, holder, account number and amount, so the
// holder and the number are swapped against the field order.
const BankList BankLists[] = {
    {"obank", "cash", "最初存款", "SELECT bank, id, user, cash FROM obank ORDER BY bank",
     "DELETE FROM obank", "SELECT * FROM obank ORDER BY bank, id, user, cash"},
    {"ibank", "cash", "資本額", "SELECT bank, id, user, cash FROM ibank ORDER BY bank",
     "DELETE FROM ibank", "SELECT * FROM ibank ORDER BY bank, id, user, cash"},
    {"bbank", "ps", "最初存款", "SELECT bank, id, user, ps FROM bbank ORDER BY bank",
     "DELETE FROM bbank", "SELECT * FROM bbank ORDER BY bank, id, user, ps"},
};
enum BankColumn { BankCol, HolderCol, NumberCol, AmountCol };
const int ColumnWidths[] = {2400, 2300, 1900, 1200};

struct CompanyField {
    const char* field;
    TextBox frmCom::*box;
};

const CompanyField CompanyFields[] = {
    {"co_name", &frmCom::txtCo_name}, {"co_add", &frmCom::txtCo_add},
    {"co_tel", &frmCom::txtCo_tel},   {"co_fax", &frmCom::txtCo_fax},
    {"co_no", &frmCom::txtCo_no},     {"co_email", &frmCom::txtCo_email},
};

// An opening amount of up to 15 digits, as the cell shows it ("1,000"); an overdrawn account
// opens below zero ("-5,000"). An empty cell is 0.
constexpr AmountRule OpeningAmountRule{.negativeAllowed = true, .emptyAllowed = true};

// The amount read for a row while its cell still shows it: what is stored is written back as it
// stands (a Null stays Null), never read again as typed text.
const Value* storedAmountShown(const Grid& grid, int row, const std::vector<Value>& read) {
    if (row < grid.FixedRows() || row - grid.FixedRows() >= static_cast<int>(read.size()))
        return nullptr;
    const Value& stored = read[row - grid.FixedRows()];
    return grid.TextMatrix(row, AmountCol) == AmountText(stored) ? &stored : nullptr;
}

Value openingAmount(const Grid& grid, int row, const std::vector<Value>& read) {
    if (const Value* stored = storedAmountShown(grid, row, read)) return *stored;
    return ReadAmount(grid.TextMatrix(row, AmountCol), OpeningAmountRule).amount.value_or(0);
}

// A row without a bank is no account: it is neither stored nor checked.
bool isAccount(const Grid& grid, int row) {
    return !grid.TextMatrix(row, BankCol).empty();
}

void saveBankList(Database& db, const BankList& list, const Grid& grid,
                  const std::vector<Value>& read) {
    db.Execute(list.deleteAll);
    Recordset rs = db.OpenTable(list.table);
    for (int r = grid.FixedRows(); r < grid.Rows(); ++r) {
        if (!isAccount(grid, r)) continue;
        rs.AddNew();
        rs.SetField("bank", grid.TextMatrix(r, BankCol));
        rs.SetField("id", grid.TextMatrix(r, NumberCol));
        rs.SetField("user", grid.TextMatrix(r, HolderCol));
        rs.SetField(list.amountField, openingAmount(grid, r, read));
        rs.Update();
    }
}

}  // namespace

frmCom::frmCom() : Form(FormName) {
    SetCaption("公司資料");
    SetBorderStyle(1);
    SetMaxButton(false);
    SetClientSize(8400, 7980);
    applyLayout({
        {&Frame1, nullptr, 120, 60, 8160, 1800, "公司基本資料："},
        {&lbCo(0), &Frame1, 60, 330, 840, 300, "名稱:", RightAligned},
        {&txtCo_name, &Frame1, 960, 300, 5760, 330},
        {&lbCo(1), &Frame1, 60, 720, 840, 300, "地址:", RightAligned},
        {&txtCo_add, &Frame1, 960, 690, 7020, 330},
        {&lbCo(2), &Frame1, 60, 1110, 840, 300, "電話:", RightAligned},
        {&txtCo_tel, &Frame1, 960, 1080, 2880, 330},
        {&lbCo(3), &Frame1, 3960, 1110, 840, 300, "傳真:", RightAligned},
        {&txtCo_fax, &Frame1, 4860, 1080, 3060, 330},
        {&lbCo(4), &Frame1, 60, 1470, 840, 300, "統編:", RightAligned},
        {&txtCo_no, &Frame1, 960, 1440, 2880, 330},
        {&lbCo(5), &Frame1, 3960, 1470, 840, 300, "E-MAIL:", RightAligned},
        {&txtCo_email, &Frame1, 4860, 1440, 3060, 330},
        {&Command3, &Frame1, 6840, 270, 1200, 390, "確定變更"},
        {&lbBank(0), nullptr, 120, 1980, 4000, 300, "公司往來銀行(一般存款帳戶):"},
        {&hfg(0), nullptr, 120, 2280, 8160, 1560},
        {&lbBank(2), nullptr, 120, 3900, 4000, 300, "公司往來銀行(支票存款帳戶):"},
        {&hfg(2), nullptr, 120, 4200, 8160, 1560},
        {&lbBank(1), nullptr, 120, 5820, 4000, 300, "客戶往來銀行:"},
        {&hfg(1), nullptr, 120, 6120, 8160, 1560},
    });
    for (int i = 0; i < 3; ++i) {
        Grid& grid = hfg(i);
        grid.SetRows(2);
        grid.SetCols(4);
        grid.SetFixedCols(0);
        grid.SetEditedInPlace(true);
        grid.MouseDown = [this, i](int button, int shift, float x, float y) {
            hfg_MouseDown(i, button, shift, x, y);
        };
        grid.Scroll = [this, i] { hfg_Scroll(i); };
    }
    txt.SetVisible(false);
    txt.Change = [this] { txt_Change(); };
    Command3.Click = [this] { Command3_Click(); };
}

void frmCom::Form_Load() {
    LoadCompany();
    LoadBankGrids();
}

void frmCom::Form_Resize() {
    SetTop(0);
    SetLeft((screenWidth() - Width()) / 2);
}

// The record and the lists are kept before they are read for showing, so that a change falling
// between the two reads is taken for a conflict at the save rather than written over.
void frmCom::LoadCompany() {
    shownCompany_ = ShownRows(PeopleDb(), "SELECT * FROM company ORDER BY rowid");
    Recordset rs = PeopleDb().OpenTable("company");
    for (const CompanyField& f : CompanyFields)
        (this->*f.box).SetText(rs.Eof() ? "" : rs.Fields(f.field).text());
}

void frmCom::LoadBankGrids() {
    for (int i = 0; i < 3; ++i) {
        const BankList& list = BankLists[i];
        Grid& grid = hfg(i);
        shownBanks_[i] = ShownRows(AccDb(), list.shown);
        grid.Clear();
        for (int c = 0; c < 4; ++c)
            grid.SetColWidth(c, ColumnWidths[c]);
        const char* headers[] = {"銀行 & (分行)", "戶名", "帳號", list.amountHeader};
        for (int c = 0; c < 4; ++c)
            grid.SetTextMatrix(0, c, headers[c]);
        // Typing starts at the bank of the first row.
        grid.SetCol(BankCol);
        readAmounts_[i].clear();
        Recordset rs = AccDb().OpenRecordset(list.selectAll);
        if (rs.Eof()) continue;
        grid.SetRows(static_cast<int>(rs.RecordCount()) + 1);
        for (int r = 1; !rs.Eof(); ++r, rs.MoveNext()) {
            grid.SetTextMatrix(r, BankCol, rs.Fields("bank").text());
            grid.SetTextMatrix(r, HolderCol, rs.Fields("user").text());
            grid.SetTextMatrix(r, NumberCol, rs.Fields("id").text());
            readAmounts_[i].push_back(rs.Fields(list.amountField));
            grid.SetTextMatrix(r, AmountCol, AmountText(readAmounts_[i].back()));
        }
    }
}

void frmCom::hfg_MouseDown(int Index, int Button, int, float, float) {
    Grid& grid = hfg(Index);
    if (grid.MouseRow() == 0) return;
    editedGrid_ = Index;
    if (Button != LeftButton || grid.MouseRow() < 0 || grid.MouseCol() < 0) return;
    KeepBlankLastRow(grid);
    OpenCellEditor(txt, grid);
}

void frmCom::hfg_Scroll(int) {
    txt.SetVisible(false);
}

// A bank typed into the last row opens an empty row below it for the next one.
void frmCom::txt_Change() {
    Grid& grid = hfg(editedGrid_);
    if (grid.Row() < grid.FixedRows()) return;
    grid.SetText(txt.Text());
    KeepBlankLastRow(grid);
}

// The row is kept in zove3.mdb and copied to pt.mdb for the printed reports. zove3.mdb, which
// every form reads, commits first: should pt.mdb then fail, the books stay whole and only the
// printed reports keep the old record, which the user is told, until the record is saved again.
void frmCom::Command3_Click() {
    std::optional<std::string> printCopyFailure;
    if (!SaveUnlessChanged([&] { printCopyFailure = SaveCompany(); })) {
        LoadCompany();
        return;
    }
    if (printCopyFailure) {
        messageBox(
            "公司資料已存入 zove3.mdb，但未能存入 pt.mdb，列印的報表仍是舊的公司資料；"
            "請再按「確定變更」。\r\n" +
                *printCopyFailure,
            MessageExclamation, SuiteTitle);
        return;
    }
    messageBox("變更完成", MessageInformation, SuiteTitle);
}

// The error of the pt.mdb commit when only that failed.
std::optional<std::string> frmCom::SaveCompany() {
    Transaction people(PeopleDb(), TransactionKind::Writes);
    shownCompany_.CheckUnchanged(PeopleDb());
    Transaction print(PrintDb(), TransactionKind::Writes);
    SaveCompanyTo(PeopleDb());
    SaveCompanyTo(PrintDb());
    ShownRows saved = shownCompany_;
    saved.Reread(PeopleDb());
    people.Commit();
    shownCompany_ = std::move(saved);
    try {
        print.Commit();
    } catch (const DbError& error) {
        return error.what();
    }
    return std::nullopt;
}

void frmCom::SaveCompanyTo(Database& db) {
    Recordset rs = db.OpenTable("company");
    if (rs.Eof())
        rs.AddNew();
    else
        rs.Edit();
    for (const CompanyField& f : CompanyFields)
        rs.SetField(f.field, (this->*f.box).Text());
    rs.Update();
}

// The three lists are rewritten in one transaction, and only when every amount is one; otherwise
// the form stays open on the cell to correct. Lists another copy of the program changed
// meanwhile are not written over: the form stays open and shows them as stored.
void frmCom::Form_Unload(int& cancel) {
    for (int i = 0; i < 3; ++i) {
        if (!AmountsAreStorable(i)) {
            cancel = 1;
            return;
        }
    }
    if (SaveUnlessChanged([this] { SaveBankLists(); })) return;
    cancel = 1;
    txt.SetVisible(false);
    LoadBankGrids();
}

void frmCom::SaveBankLists() {
    Database& db = AccDb();
    Transaction transaction(db, TransactionKind::Writes);
    for (const ShownRows& list : shownBanks_)
        list.CheckUnchanged(db);
    for (int i = 0; i < 3; ++i)
        saveBankList(db, BankLists[i], hfg(i), readAmounts_[i]);
    transaction.Commit();
}

// The first account row of the list whose typed amount is none is refused, naming the list and
// the row. The cells are typed into freely, so a text such as "12.5" is refused here rather than
// dropped key by key.
bool frmCom::AmountsAreStorable(int index) {
    Grid& grid = hfg(index);
    std::string list = lbBank(index).Caption();
    if (!list.empty() && list.back() == ':') list.pop_back();
    for (int r = grid.FixedRows(); r < grid.Rows(); ++r) {
        if (!isAccount(grid, r) || storedAmountShown(grid, r, readAmounts_[index])) continue;
        const std::string field = list + " 第 " + std::to_string(r) + " 列的金額";
        if (CellAmount(grid, r, AmountCol, field, OpeningAmountRule, SuiteTitle).refused())
            return false;
    }
    return true;
}

}  // namespace kiv
