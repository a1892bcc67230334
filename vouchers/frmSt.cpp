#include "vouchers/frmSt.h"

#include <algorithm>
#include <optional>

#include "platform/forms/CellEditor.h"
#include "platform/forms/Host.h"
#include "platform/forms/Layout.h"
#include "platform/forms/SaveConflict.h"
#include "shell/mdM.h"

namespace kiv {

namespace {

constexpr int PixelTwips = TwipsPerPixel;
constexpr int CodeWidth = 900;
constexpr int AccountGridWidth = 4680;
constexpr int WordGridWidth = 3180;
// Left and centred vertically, as every cell of the lists is drawn.

const char* const WordHeaders[] = {"用途說明:", "附 註 一:", "附 註 二:"};

std::vector<std::string> accountRow(const Account& account) {
    return {account.code, account.name};
}

}  // namespace

frmSt::frmSt() : Form(FormName) {
    SetCaption("詞庫");
    SetBorderStyle(1);
    SetMaxButton(false);
    SetClientSize(9960, 7260);
    applyLayout({
        {&frm, nullptr, 120, 60, 9720, 3540, "科目:"},
        {&sideCaptions(0), &frm, 120, 270, 1200, 270, "(收入)"},
        {&hfg(IncomeGrid), &frm, 120, 540, AccountGridWidth, 2880},
        {&sideCaptions(1), &frm, 4920, 270, 1200, 270, "(支出)"},
        {&hfg(ExpenseGrid), &frm, 4920, 540, AccountGridWidth, 2880},
        {&hfg(2), nullptr, 120, 3720, WordGridWidth, 3420},
        {&hfg(3), nullptr, 3390, 3720, WordGridWidth, 3420},
        {&hfg(4), nullptr, 6660, 3720, WordGridWidth, 3420},
    });
    sideCaptions(0).SetForeColor(0xFF0000);
    sideCaptions(1).SetForeColor(0x0000FF);
    for (int i = 0; i < 5; ++i) {
        Grid& grid = hfg(i);
        grid.SetCols(i < FirstWordGrid ? 2 : 1);
        grid.SetFixedCols(0);
        grid.SetEditedInPlace(true);
        grid.MouseDown = [this, i](int button, int shift, float x, float y) {
            hfg_MouseDown(i, button, shift, x, y);
        };
        grid.Scroll = [this, i] { hfg_Scroll(i); };
    }
    txt.SetVisible(false);
    txt.Change = [this] { txt_Change(); };
}

void frmSt::Form_Load() {
    LoadWordLists();
}

// The rows are kept before they are shown, so that a change falling between the two reads is
// taken for a conflict at the save rather than written over.
void frmSt::LoadWordLists() {
    Database& db = AccDb();
    shownAccounts_ = ShownAccounts(db);
    for (int list = 0; list < 3; ++list)
        shownWords_[list] = ShownWords(db, AllWordLists[list]);
    std::vector<std::vector<std::string>> income, expense;
    loadedCodes_.clear();
    for (const Account& account : ReadAccounts(db)) {
        (account.income ? income : expense).push_back(accountRow(account));
        loadedCodes_.push_back(account.code);
    }
    LoadGrid(IncomeGrid, income);
    LoadGrid(ExpenseGrid, expense);
    for (int list = 0; list < 3; ++list) {
        loadedWords_[list] = ReadWords(db, AllWordLists[list]);
        std::vector<std::vector<std::string>> rows;
        for (const std::string& word : loadedWords_[list])
            rows.push_back({word});
        LoadGrid(FirstWordGrid + list, rows);
    }
}

// An empty list gets one empty row, so that its first word has a cell to go into.
void frmSt::LoadGrid(int index, const std::vector<std::vector<std::string>>& rows) {
    Grid& grid = hfg(index);
    grid.Clear();
    if (index < FirstWordGrid) {
        grid.SetColWidth(0, CodeWidth);
        grid.SetColWidth(1, AccountGridWidth - CodeWidth - 4 * PixelTwips);
        grid.SetTextMatrix(0, 0, "科目代號");
        grid.SetTextMatrix(0, 1, "科目名稱");
    } else {
        grid.SetColWidth(0, grid.Width());
        grid.SetTextMatrix(0, 0, WordHeaders[index - FirstWordGrid]);
    }
    grid.SetRows(std::max(static_cast<int>(rows.size()) + 1, 2));
    for (int r = 1; r < grid.Rows(); ++r)
        for (int c = 0; c < grid.Cols(); ++c) {
            grid.SetRow(r);
            grid.SetCol(c);
            grid.SetCellAlignment(LeftCentre);
            if (r <= static_cast<int>(rows.size())) grid.SetText(rows[r - 1][c]);
        }
    // Rows typed in later are drawn as the loaded ones, and typing starts at the first cell.
    for (int c = 0; c < grid.Cols(); ++c)
        grid.SetColAlignment(c, LeftCentre);
    grid.SetRow(1);
    grid.SetCol(0);
}

void frmSt::hfg_MouseDown(int Index, int Button, int, float, float) {
    Grid& grid = hfg(Index);
    if (grid.MouseRow() == 0) return;
    currentGrid_ = Index;
    if (Button != LeftButton || grid.MouseRow() < 0 || grid.MouseCol() < 0) return;
    KeepBlankLastRow(grid);
    // The account grids stand in the frame frm; the editor stands on the form.
    bool inFrame = Index < FirstWordGrid;
    OpenCellEditor(txt, grid, inFrame ? frm.Left() : 0, inFrame ? frm.Top() : 0);
}

void frmSt::hfg_Scroll(int) {
    txt.SetVisible(false);
}

// Each change is written into the cell at once; emptying the box empties the cell the same way. A
// word typed into the last row opens an empty row below it for the next one.
void frmSt::txt_Change() {
    Grid& grid = hfg(currentGrid_);
    if (grid.Row() < grid.FixedRows()) return;
    grid.SetText(txt.Text());
    KeepBlankLastRow(grid);
    if (currentGrid_ >= FirstWordGrid || !IsReservedAccountCode(grid.Text())) return;
    messageBox(ReservedCodeMessage(grid.Text()), MessageInformation, ApplicationTitle);
    txt.SetText("");
}

// The four tables are rewritten together or not at all; a repeated code keeps the form open.
// When another copy of the program changed or deleted a row shown meanwhile, nothing is written
// and the form stays open on the lists as stored. Messages wait until the lists are unlocked.
void frmSt::Form_Unload(int& cancel) {
    Database& db = AccDb();
    std::optional<std::string> repeated;
    bool unchanged = SaveUnlessChanged([&] {
        Transaction transaction(db, TransactionKind::Writes);
        CheckListsAsShown(db);
        MergeAddedElsewhere(db);
        repeated = RepeatedAccountCode(AccountsOfGrids());
        if (repeated) return;
        SaveWordLists(db);
        transaction.Commit();
    });
    if (repeated) {
        messageBox("科目代號重複: " + *repeated, MessageExclamation, ApplicationTitle);
        cancel = 1;
        return;
    }
    if (unchanged) return;
    cancel = 1;
    txt.SetVisible(false);
    LoadWordLists();
}

void frmSt::CheckListsAsShown(Database& db) const {
    shownAccounts_.CheckNoneChangedOrDeleted(db);
    for (const ShownRows& words : shownWords_)
        words.CheckNoneChangedOrDeleted(db);
}

void frmSt::SaveWordLists(Database& db) {
    RewriteAccounts(db, AccountsOfGrids());
    for (int list = 0; list < 3; ++list)
        RewriteWords(db, AllWordLists[list], WordsOfGrid(hfg(FirstWordGrid + list)));
}

// Rows the editor deleted were read at the Load and so are not taken back. The grids now hold
// every stored row, which are so the rows shown.
void frmSt::MergeAddedElsewhere(Database& db) {
    MergeAccounts(db);
    shownAccounts_.Reread(db);
    for (int list = 0; list < 3; ++list) {
        MergeWords(db, list);
        shownWords_[list].Reread(db);
    }
}

void frmSt::MergeAccounts(Database& db) {
    std::vector<std::string> codes;
    for (const Account& account : ReadAccounts(db)) {
        codes.push_back(account.code);
        bool added =
            std::find(loadedCodes_.begin(), loadedCodes_.end(), account.code) == loadedCodes_.end();
        if (!added || GridsHoldAccount(account.code)) continue;
        hfg(account.income ? IncomeGrid : ExpenseGrid).AddItem(account.code + "\t" + account.name);
    }
    loadedCodes_ = codes;
}

// New words stand first in their list, as the voucher form put them.
void frmSt::MergeWords(Database& db, int list) {
    Grid& grid = hfg(FirstWordGrid + list);
    std::vector<std::string> stored = ReadWords(db, AllWordLists[list]);
    int at = 1;
    for (const std::string& word : AddedSince(loadedWords_[list], stored)) {
        bool held = false;
        for (int r = 1; r < grid.Rows(); ++r)
            held = held || grid.TextMatrix(r, 0) == word;
        if (!held) grid.AddItem(word, at++);
    }
    loadedWords_[list] = stored;
}

bool frmSt::GridsHoldAccount(const std::string& code) const {
    for (int g : {IncomeGrid, ExpenseGrid})
        for (int r = 1; r < hfg(g).Rows(); ++r)
            if (hfg(g).TextMatrix(r, 0) == code) return true;
    return false;
}

// A row whose code was emptied is a deleted account.
std::vector<Account> frmSt::AccountsOfGrids() const {
    std::vector<Account> accounts;
    for (int g : {IncomeGrid, ExpenseGrid}) {
        const Grid& grid = hfg(g);
        for (int r = 1; r < grid.Rows(); ++r)
            if (!grid.TextMatrix(r, 0).empty())
                accounts.push_back({grid.TextMatrix(r, 0), g == IncomeGrid, grid.TextMatrix(r, 1)});
    }
    return accounts;
}

// A word's id is its grid row, so a deleted word leaves a gap.
std::vector<NumberedWord> frmSt::WordsOfGrid(const Grid& grid) const {
    std::vector<NumberedWord> words;
    for (int r = 1; r < grid.Rows(); ++r)
        if (!grid.TextMatrix(r, 0).empty()) words.push_back({r, grid.TextMatrix(r, 0)});
    return words;
}

}  // namespace kiv
