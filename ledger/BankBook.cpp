#include "ledger/BankBook.h"

#include <optional>

namespace kiv {

namespace {

struct LastPosting {
    int64_t id = 0;
    int64_t balance = 0;
};

LastPosting lastPosting(Database& db, const std::string& bank, const std::string& account) {
    Recordset last = db.OpenRecordset(
        "SELECT id, bala FROM bank WHERE bank = ? AND Bid = ? ORDER BY id DESC LIMIT 1", bank,
        account);
    if (last.Eof()) return {};
    return {last.Fields("id").wholeNumber(), last.Fields("bala").wholeNumber()};
}

// An opening amount left empty counts nothing, as an account that is not listed does.
int64_t wholeOrZero(const Value& amount) {
    if (amount.isNull() || amount.text().empty()) return 0;
    return amount.wholeNumber();
}

int64_t openingAmount(Database& db, AccountKind kind, const std::string& bank,
                      const std::string& account) {
    Recordset opening =
        kind == AccountKind::Ordinary
            ? db.OpenRecordset("SELECT cash FROM obank WHERE bank = ? AND id = ?", bank, account)
            : db.OpenRecordset("SELECT ps FROM bbank WHERE bank = ? AND id = ?", bank, account);
    return opening.Eof() ? 0 : wholeOrZero(opening.Fields(0));
}

}  // namespace

int64_t PostBankBookRow(Database& db, const BankEntry& entry) {
    Transaction transaction(db, TransactionKind::Writes);
    LastPosting last = lastPosting(db, entry.bank, entry.account);
    int64_t id = last.id + 1;
    Recordset row = db.OpenRecordset("SELECT * FROM bank WHERE rowid = 0");
    row.AddNew();
    row.SetField("id", id);
    row.SetField("Bid", entry.account);
    row.SetField("bank", entry.bank);
    row.SetField("incom", entry.income);
    row.SetField("day", entry.day);
    row.SetField("cash", entry.amount);
    row.SetField("memo", entry.memo);
    row.SetField("lno", entry.number);
    row.SetField("bala", entry.income ? last.balance + entry.amount : last.balance - entry.amount);
    row.Update();
    transaction.Commit();
    return id;
}

int64_t AccountBalance(Database& db, AccountKind kind, const std::string& bank,
                       const std::string& account) {
    return openingAmount(db, kind, bank, account) + lastPosting(db, bank, account).balance;
}

}  // namespace kiv
