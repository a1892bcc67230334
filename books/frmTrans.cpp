#include "books/frmTrans.h"

#include <optional>

#include "books/BookGrid.h"
#include "ledger/BankBook.h"
#include "ledger/CashBook.h"
#include "platform/db/Database.h"
#include "platform/db/Format.h"
#include "platform/forms/AmountEntry.h"
#include "platform/forms/Clock.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Host.h"
#include "platform/forms/Layout.h"
#include "platform/forms/UnsavedInput.h"
#include "platform/xlsx/GridCopy.h"
#include "platform/xlsx/Workbook.h"
#include "shell/mdM.h"

namespace kiv {

struct TransferLeg {
    bool toCash;           // TransferToCash
    bool toChequeAccount;  // TransferToChequeAccount, read only when money leaves cash
    bool chequeAccount;    // the account of cbABnk, else of cbBnk
    bool cashIncome;       // the cash row's incom; the bank row goes the other way
    const char* cashMemo;  // after the bank name
    const char* bankMemo;
};

struct AccountChoice {
    ComboBox* box;
    const char* missing;
};

struct TransferPlan {
    std::string question;
    std::vector<AccountChoice> accounts;
    const Label* tested;
    std::string shortage;
    bool shortageStops;
    std::vector<TransferLeg> legs;
    std::string completion;
};

namespace {

// A balance shown below zero in red, any other in blue.
Color balanceColor(std::string_view shown) {
    return shown.starts_with("-") ? ExpenseRed : IncomeBlue;
}

constexpr int PickOnly = 2;
constexpr const char* LineBreak = "\r\n";

constexpr TransferLeg CashToOrdinary{false, false, false, false, "(現金存款 乙存)", "現金存款"};
constexpr TransferLeg OrdinaryToCash{true, false, false, true, "(銀行取款)", "取款轉現金"};
constexpr TransferLeg CashToCheque{
    false, true, true, false, "(現金存款 甲存)", "現金存款(支票存款)"};

// The accounts and their balances at the top, the amount and the four transfers, then the range
// of days with the listing's buttons, and the listing.
constexpr int FormWidth = 11640;
constexpr int FieldHeight = 330;
constexpr int CaptionDrop = 45;
constexpr int ButtonHeight = 420;
constexpr int GridTop = 2700;
constexpr int GridHeight = 5400;
constexpr int FormHeight = GridTop + GridHeight + 120;

constexpr int rowTop(int row) {
    return 120 + row * 420;
}
constexpr FieldRows Rows{rowTop(0), 420, FieldHeight, CaptionDrop};

constexpr BookColumn BookColumns[] = {
    {"項 次", 500},  {"日 期", 1200}, {"單  號", 1200}, {"摘    要", 4500},
    {"收 入", 1000}, {"支 出", 1000}, {"結 餘", 1000},  {"說 明", 900},
};
constexpr int AmountInColumn = 4, AmountOutColumn = 5, BalanceColumn = 6;

constexpr const char* CashBookCaption = "現金帳";
constexpr int WorkbookStartRow = 3;

using AccountRows = std::vector<std::vector<std::string>>;

void fillAccounts(ComboBox& box, Recordset rs) {
    AccountRows accounts;
    for (; !rs.Eof(); rs.MoveNext())
        accounts.push_back(
            {rs.Fields("bank").text(), rs.Fields("id").text(), rs.Fields("user").text()});
    box.Clear();
    box.SetListRows(static_cast<int>(accounts.size()));
    box.SetRows(std::move(accounts));
}

// An account's opening amount, Null counting nothing; nullopt when the list does not hold it.
std::optional<int64_t> openingAmount(Recordset rs) {
    if (rs.Eof()) return std::nullopt;
    const Value& amount = rs.Fields(0);
    return amount.isNull() || amount.text().empty() ? 0 : amount.wholeNumber();
}

std::optional<int64_t> ordinaryOpening(const ComboBox& box) {
    return openingAmount(AccDb().OpenRecordset("SELECT cash FROM obank WHERE bank = ? AND id = ?",
                                               box.Text(), box.Value()));
}

std::optional<int64_t> chequeOpening(const ComboBox& box) {
    return openingAmount(AccDb().OpenRecordset("SELECT ps FROM bbank WHERE bank = ? AND id = ?",
                                               box.Text(), box.Value()));
}

// A day beyond the picker's calendar (a login date set far out) leaves the picker where it was.
void showOn(DatePicker& picker, const Date& day) {
    if (picker.InRange(day)) picker.SetValue(day);
}

}  // namespace

frmTrans::frmTrans() : Form(FormName) {
    SetCaption("轉帳處理");
    SetBorderStyle(1);
    SetMaxButton(false);
    SetClientSize(FormWidth, FormHeight);
    LayOut();
    for (ComboBox* box : {&cbBnk, &cbABnk}) {
        box->SetColumnCount(3);
        box->SetTextColumn(1);
        box->SetBoundColumn(2);
        box->SetStyle(PickOnly);
    }
    txtCash.SetAlignment(1);
    cmdPxls.SetVisible(false);
    WireEvents();
}

void frmTrans::LayOut() {
    applyLayout({
        Rows.caption(captions(0), 120, 0, 3960, "公司往來銀行(一般存款帳戶-乙存) 餘額："),
        Rows.field(lbBnkBala, 4140, 0, 1440, RightAligned | ValueField),
        Rows.field(cbBnk, 5700, 0, 2400),
        Rows.field(lbBid, 8220, 0, 1680, ValueField),
        Rows.field(lbU, 10020, 0, 1500, ValueField),
        Rows.caption(captions(1), 120, 1, 3960, "公司往來銀行(一般存款帳戶-甲存) 餘額："),
        Rows.field(lbABnkBala, 4140, 1, 1440, RightAligned | ValueField),
        Rows.field(cbABnk, 5700, 1, 2400),
        Rows.field(lbAbid, 8220, 1, 1680, ValueField),
        Rows.field(lbAu, 10020, 1, 1500, ValueField),
        Rows.caption(captions(2), 120, 2, 3960, "現金餘額："),
        Rows.field(lbCashBala, 4140, 2, 1440, RightAligned | ValueField),
        Rows.caption(captions(3), 5700, 2, 1200, "轉帳金額："),
        Rows.field(txtCash, 6960, 2, 1800, RightAligned),

        {&cmdToBank, nullptr, 120, rowTop(3) + 60, 2700, ButtonHeight, "現金轉一般存款"},
        {&cmdToCash, nullptr, 2940, rowTop(3) + 60, 2700, ButtonHeight, "一般存款轉現金"},
        {&Command1, nullptr, 5760, rowTop(3) + 60, 2700, ButtonHeight, "現金轉支票存款"},
        {&Command2, nullptr, 8580, rowTop(3) + 60, 2940, ButtonHeight, "一般存款轉支票存款"},

        Rows.caption(captions(4), 120, 5, 1080, "查詢日期："),
        Rows.field(lbSt, 1200, 5, 1800, ValueField),
        Rows.field(dtpSt, 3000, 5, 300),
        {&captions(5), nullptr, 3360, rowTop(5) + CaptionDrop, 300, FieldHeight - CaptionDrop, "～",
         Centred},
        Rows.field(lbEd, 3720, 5, 1800, ValueField),
        Rows.field(dtpEd, 5520, 5, 300),
        {&cmdSCh, nullptr, 5940, rowTop(5) - 45, 1320, ButtonHeight, "查詢現金帳"},
        {&cmdSBnk, nullptr, 7320, rowTop(5) - 45, 1320, ButtonHeight, "查詢銀行存款"},
        {&cmdSABnk, nullptr, 8700, rowTop(5) - 45, 1320, ButtonHeight, "查詢支票存款"},
        {&cmdPxls, nullptr, 10080, rowTop(5) - 45, 1440, ButtonHeight, "印報表(Excel)"},

        {&hfg, nullptr, 120, GridTop, FormWidth - 240, GridHeight},
    });
}

void frmTrans::WireEvents() {
    cbBnk.Click = [this] { cbBnk_Click(); };
    cbABnk.Click = [this] { cbABnk_Click(); };
    txtCash.Change = [this] { txtCash_Change(); };
    txtCash.KeyPress = [this](int& key) { txtCash_KeyPress(key); };
    cmdToBank.Click = [this] { cmdToBank_Click(); };
    cmdToCash.Click = [this] { cmdToCash_Click(); };
    Command1.Click = [this] { Command1_Click(); };
    Command2.Click = [this] { Command2_Click(); };
    PickIntoLabel(dtpSt, lbSt);
    PickIntoLabel(dtpEd, lbEd);
    cmdSCh.Click = [this] { cmdSCh_Click(); };
    cmdSBnk.Click = [this] { cmdSBnk_Click(); };
    cmdSABnk.Click = [this] { cmdSABnk_Click(); };
    cmdPxls.Click = [this] { cmdPxls_Click(); };
}

// An empty list is left unchosen: its labels stay empty and its transfers refuse. The balances
// are read after a look at the file.
void frmTrans::Form_Load() {
    balancesSeen_ = AccDb().ChangesSoFar();
    FillOrdinaryAccountCombo();
    FillChequeAccountCombo();
    if (cbBnk.ListCount() > 0) cbBnk.SetListIndex(0);
    if (cbABnk.ListCount() > 0) cbABnk.SetListIndex(0);
    ShowCashBalance();
    ShowFirstCashDay();
}

void frmTrans::Form_Resize() {
    SetTop(0);
    SetLeft((screenWidth() - Width()) / 2);
}

void frmTrans::FillOrdinaryAccountCombo() {
    fillAccounts(cbBnk, AccDb().OpenRecordset("SELECT bank, id, user FROM obank ORDER BY rowid"));
}

void frmTrans::FillChequeAccountCombo() {
    fillAccounts(cbABnk, AccDb().OpenRecordset("SELECT bank, id, user FROM bbank ORDER BY rowid"));
}

void frmTrans::cbBnk_Click() {
    lbBid.SetCaption(cbBnk.Value());
    lbU.SetCaption(cbBnk.Column(2));
    ShowAccountBalances();
}

void frmTrans::cbABnk_Click() {
    lbAbid.SetCaption(cbABnk.Value());
    lbAu.SetCaption(cbABnk.Column(2));
    ShowChequeAccountBalance();
}

void frmTrans::ShowCashBalance() {
    lbCashBala.SetCaption(AmountText(CashBalance(AccDb())));
}

// An account its list does not hold leaves its labels as they were.
void frmTrans::ShowAccountBalances() {
    if (std::optional<int64_t> opening = ordinaryOpening(cbBnk)) {
        OrdinaryOpeningAmount = *opening;
        lbBnkBala.SetCaption(AmountText(
            AccountBalance(AccDb(), AccountKind::Ordinary, cbBnk.Text(), cbBnk.Value())));
    }
    ShowChequeAccountBalance();
}

void frmTrans::ShowChequeAccountBalance() {
    if (std::optional<int64_t> opening = chequeOpening(cbABnk)) {
        ChequeOpeningAmount = *opening;
        lbABnkBala.SetCaption(AmountText(
            AccountBalance(AccDb(), AccountKind::Cheque, cbABnk.Text(), cbABnk.Value())));
    }
}

void frmTrans::ShowBalances() {
    balancesSeen_ = AccDb().ChangesSoFar();
    ShowCashBalance();
    ShowAccountBalances();
}

// A transfer's checks read the labels: what another copy, or another form of this one, posted
// since they were read is read into them first. A file that did not change is not read again.
void frmTrans::FollowFileChanges() {
    if (AccDb().ChangesSoFar() != balancesSeen_) ShowBalances();
}

void frmTrans::txtCash_Change() {
    LiveThousandsFormat(txtCash);
}

void frmTrans::txtCash_KeyPress(int& KeyAscii) {
    AmountKeyFilter(KeyAscii);
}

std::string frmTrans::AccountOf(const ComboBox& box) {
    return box.Text() + box.Value();
}

void frmTrans::cmdToBank_Click() {
    const std::string& amount = txtCash.Text();
    RunTransfer({"確定由現金轉帳到\r\n" + AccountOf(cbBnk) + "\r\n金額  " + amount,
                 {{&cbBnk, "請選取銀行帳戶"}},
                 &lbCashBala,
                 "現金餘額不足\r\n是否轉帳？",
                 false,
                 {CashToOrdinary},
                 "轉帳完成\r\n已從現金帳存款現金 " + amount + " 至 " + cbBnk.Text()});
}

void frmTrans::cmdToCash_Click() {
    const std::string& amount = txtCash.Text();
    RunTransfer({"確定由" + AccountOf(cbBnk) + "\r\n轉帳到現金\r\n金額  " + amount,
                 {{&cbBnk, "請選取銀行帳戶"}},
                 &lbBnkBala,
                 "銀行帳戶餘額不足\r\n是否轉帳？",
                 false,
                 {OrdinaryToCash},
                 "轉帳完成\r\n已從" + cbBnk.Text() + "領取現金 " + amount + " 至現金帳"});
}

void frmTrans::Command1_Click() {
    const std::string& amount = txtCash.Text();
    RunTransfer({"確定由現金轉帳到\r\n" + AccountOf(cbABnk) + "\r\n金額  " + amount,
                 {{&cbABnk, "請選取銀行帳戶"}},
                 &lbCashBala,
                 "現金餘額不足\r\n是否轉帳？",
                 false,
                 {CashToCheque},
                 "轉帳完成\r\n已從現金帳存款現金 " + amount + " 至 " + AccountOf(cbABnk)});
}

void frmTrans::Command2_Click() {
    const std::string& amount = txtCash.Text();
    RunTransfer({"確定由" + AccountOf(cbBnk) + "轉帳到\r\n" + AccountOf(cbABnk) + "\r\n金額  " +
                     amount + "\r\n此動作會將金額轉入現金,再轉入支票銀行",
                 {{&cbBnk, "請選取轉出銀行帳戶"}, {&cbABnk, "請選取轉入銀行帳戶"}},
                 &lbBnkBala,
                 "銀行餘額不足\r\n無法轉帳",
                 true,
                 {OrdinaryToCash, CashToCheque},
                 "轉帳完成\r\n已從一般存款銀行" + AccountOf(cbBnk) + "轉帳\r\n金額" + amount +
                     "\r\n 至 " + AccountOf(cbABnk)});
}

// Nothing is written before the legs; a refusal changes nothing. A voucher form holding typed
// input refuses the transfer before anything is asked, since the transfer closes it; one browsing
// or with an entry begun and nothing typed is closed. An amount that is
// not a whole number is refused before anything is asked, so that no other reading of it is ever
// posted.
void frmTrans::RunTransfer(const TransferPlan& transfer) {
    if (!MayCloseForOtherAction("frmIo")) return;
    if (txtCash.Text().empty()) return RefuseAmount("請輸入轉帳金額");
    // The transfer's vouchers take the amount: it is refused beyond what a voucher holds.
    AmountReading typed = TypedAmount(txtCash, "轉帳金額", {.mostDigits = 12}, ApplicationTitle);
    if (typed.refused()) return;
    std::optional<int64_t> amount = typed.amount;
    if (messageBox(transfer.question, MessageYesNoDefaultNo, ApplicationTitle) != AnswerYes) return;
    if (*amount == 0) return RefuseAmount("轉帳金額不可為 0");
    for (const AccountChoice& choice : transfer.accounts) {
        if (!choice.box->Text().empty()) continue;
        messageBox(choice.missing, MessageExclamation, ApplicationTitle);
        choice.box->SetFocus();
        return;
    }
    FollowFileChanges();
    if (AmountOf(transfer.tested->Caption()) < *amount) {
        if (transfer.shortageStops) {
            messageBox(transfer.shortage, MessagePlain, ApplicationTitle);
            return;
        }
        if (messageBox(transfer.shortage, MessageYesNoDefaultNo, ApplicationTitle) != AnswerYes)
            return;
    }
    const bool written = WriteLegs(transfer.legs, *amount);
    ShowBalances();
    if (!written) return;
    messageBox(transfer.completion, MessageInformation, ApplicationTitle);
    UnloadUnlessUnsaved("frmIo");
}

// Every leg's voucher, cash row and bank row are one transaction, held across the generated-voucher
// form's shows: a failure anywhere leaves the books as they were, and under BEGIN IMMEDIATE no
// other copy of the program posts between the read of a book's last row and the append. False
// when nothing was written.
bool frmTrans::WriteLegs(const std::vector<TransferLeg>& legs, int64_t amount) {
    try {
        Transaction transfer(AccDb(), TransactionKind::Writes);
        for (const TransferLeg& leg : legs)
            if (!MakeLeg(leg, amount)) return false;
        transfer.Commit();
        return true;
    } catch (const std::exception& failure) {
        messageBox(std::string("轉帳失敗，資料未變更\r\n") + failure.what(), MessageExclamation,
                   ApplicationTitle);
        return false;
    }
}

void frmTrans::RefuseAmount(const char* message) {
    messageBox(message, MessageExclamation, ApplicationTitle);
    txtCash.SetFocus();
    txtCash.SelectAll();
}

// The voucher is written by the generated-voucher form while it opens, inside the caller's
// transaction; the two postings follow. False when no voucher was written (the form is
// missing), and nothing is posted.
bool frmTrans::MakeLeg(const TransferLeg& leg, int64_t amount) {
    AutoVoucherNo.clear();
    {
        HandOver<bool> transfer(AutoVoucherFromCashing, false);
        HandOver<bool> toCash(TransferToCash, leg.toCash);
        std::optional<HandOver<bool>> toCheque;
        if (!leg.toCash) toCheque.emplace(TransferToChequeAccount, leg.toChequeAccount);
        if (!Forms::showByName("frmIoAuto", Modal)) return false;
    }
    if (AutoVoucherNo.empty()) return false;
    const ComboBox& account = leg.chequeAccount ? cbABnk : cbBnk;
    Date today = Clock::today().dateOnly();
    Database& db = AccDb();
    PostCashBookRow(db,
                    {leg.cashIncome, today, amount, account.Text() + leg.cashMemo, AutoVoucherNo});
    PostBankBookRow(db, {account.Text(), account.Value(), amount, !leg.cashIncome, today,
                         leg.bankMemo, AutoVoucherNo});
    return true;
}

// The range runs from the first cash posting's day to the latest's, the end picker on today.
void frmTrans::ShowFirstCashDay() {
    Date today = Clock::today().dateOnly();
    Recordset first = AccDb().OpenRecordset("SELECT day FROM cash ORDER BY day LIMIT 1");
    if (first.Eof() || first.Fields("day").isNull()) {
        ShowDate(lbSt, today);
        ShowDate(lbEd, today);
        showOn(dtpSt, today);
        showOn(dtpEd, today);
        return;
    }
    Date firstDay = first.Fields("day").date().dateOnly();
    Recordset last = AccDb().OpenRecordset("SELECT day FROM cash ORDER BY day DESC LIMIT 1");
    ShowDate(lbSt, firstDay);
    showOn(dtpSt, firstDay);
    ShowDate(lbEd, last.Fields("day").date());
    showOn(dtpEd, today);
}

void frmTrans::cmdSCh_Click() {
    ListBook(Book::Cash);
}

void frmTrans::cmdSBnk_Click() {
    ListBook(Book::Ordinary);
}

void frmTrans::cmdSABnk_Click() {
    ListBook(Book::Cheque);
}

// The range is read from the labels, which show what the listing covers.
void frmTrans::ListBook(Book book) {
    std::optional<Date> start = DateOfLabel(lbSt), end = DateOfLabel(lbEd);
    if (!start || !end) return;
    if (*start > *end) {
        messageBox("起始日不可大於截止日", MessageExclamation, ApplicationTitle);
        return;
    }
    hfg.Clear();
    hfg.SetRows(2);
    SetBookHeader();
    ShowPriorBalance(book, *start);
    FillBookRows(book, *start, *end);
    const ComboBox& box = book == Book::Cheque ? cbABnk : cbBnk;
    BookCaption = book == Book::Cash ? CashBookCaption : box.Text() + "-" + box.Value();
    cmdPxls.SetVisible(true);
}

void frmTrans::SetBookHeader() {
    SetBookColumns(hfg, BookColumns);
}

int64_t frmTrans::OpeningAmountOf(Book book) const {
    switch (book) {
        case Book::Cheque:
            return ChequeOpeningAmount;
        case Book::Ordinary:
            return OrdinaryOpeningAmount;
        case Book::Cash:
            return 0;
    }
    return 0;
}

// What the book held when the range begins: the balance of the last posting of any earlier day,
// not only of the day before. The postings are walked back from the newest ("+day" keeps the
// date index out), which stops at the first earlier one, instead of sorting every earlier day.
void frmTrans::ShowPriorBalance(Book book, const Date& start) {
    const ComboBox& box = book == Book::Cheque ? cbABnk : cbBnk;
    Recordset last =
        book == Book::Cash
            ? AccDb().OpenRecordset("SELECT bala FROM cash WHERE +day < ? ORDER BY id DESC LIMIT 1",
                                    start)
            : AccDb().OpenRecordset(
                  "SELECT bala FROM bank WHERE +day < ? AND Bid = ? AND bank = ? "
                  "ORDER BY id DESC LIMIT 1",
                  start, box.Value(), box.Text());
    int64_t prior = last.Eof() ? 0 : last.Fields("bala").wholeNumber();
    hfg.SetTextMatrix(1, 0, "1");
    hfg.SetTextMatrix(1, 1, ShownDate(start.addDays(-1)));
    hfg.SetTextMatrix(1, 3, "之前餘額");
    hfg.SetTextMatrix(1, BalanceColumn, AmountText(prior + OpeningAmountOf(book)));
}

// Postings in the order they were made; a day's postings with a time of day belong to that day.
void frmTrans::FillBookRows(Book book, const Date& start, const Date& end) {
    const ComboBox& box = book == Book::Cheque ? cbABnk : cbBnk;
    Date after = end.addDays(1);
    Recordset rs = book == Book::Cash
                       ? AccDb().OpenRecordset(
                             "SELECT day, cash, memo, lno, bala, incom FROM cash "
                             "WHERE day >= ? AND day < ? ORDER BY id",
                             start, after)
                       : AccDb().OpenRecordset(
                             "SELECT day, cash, memo, lno, bala, incom FROM bank "
                             "WHERE day >= ? AND day < ? AND Bid = ? AND bank = ? ORDER BY id",
                             start, after, box.Value(), box.Text());
    if (rs.Eof()) return;
    hfg.SetRedraw(false);
    int64_t opening = OpeningAmountOf(book);
    // The fields are found by name once for all the rows; the grid grows by half again when full
    // and is cut to the rows read at the end.
    const int day = rs.FieldIndex("day"), number = rs.FieldIndex("lno"),
              memo = rs.FieldIndex("memo"), income = rs.FieldIndex("incom"),
              amount = rs.FieldIndex("cash"), balance = rs.FieldIndex("bala");
    int row = 2;
    for (; !rs.Eof(); rs.MoveNext(), ++row) {
        if (row >= hfg.Rows()) hfg.SetRows(row + row / 2 + 1);
        hfg.SetTextMatrix(row, 0, std::to_string(row));
        hfg.SetTextMatrix(row, 1, ShownDate(rs.Fields(day).date()));
        hfg.SetTextMatrix(row, 2, rs.FieldText(number));
        hfg.SetTextMatrix(row, 3, rs.FieldText(memo));
        hfg.SetTextMatrix(row, rs.Fields(income).boolean() ? AmountInColumn : AmountOutColumn,
                          AmountText(rs.Fields(amount).wholeNumber()));
        const std::string shown = AmountText(rs.Fields(balance).wholeNumber() + opening);
        hfg.SetTextMatrixInColor(row, BalanceColumn, shown, balanceColor(shown));
    }
    hfg.SetRows(row);
    const int last = row - 1;
    SetCellsAlignment(hfg, 2, 2, last, 3, LeftAlignment);
    SetCellsForeColor(hfg, 1, AmountInColumn, last, AmountInColumn, IncomeBlue);
    SetCellsForeColor(hfg, 1, AmountOutColumn, last, AmountOutColumn, ExpenseRed);
    // The balance before the range takes its colour here, the others took theirs with their
    // text; the current cell ends on the last balance.
    SetCellForeColor(hfg, 1, BalanceColumn, balanceColor(hfg.CellText(1, BalanceColumn)));
    hfg.SetRow(last);
    hfg.SetCol(BalanceColumn);
    hfg.SetRedraw(true);
}

// The grid as shown, under the company's name and the book's caption.
void frmTrans::cmdPxls_Click() {
    Workbook book = CopyGridToWorkbook(hfg, {CompanyName() + "：餘額明細", BookCaption},
                                       WorkbookStartRow, GridWidths::DefaultAsSheet);
    showWorkbook(book, "餘額明細");
}

}  // namespace kiv
