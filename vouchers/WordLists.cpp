#include "vouchers/WordLists.h"

#include <algorithm>
#include <set>

namespace kiv {

namespace {

struct WordTable {
    Sql selectAll;
    Sql find;
    Sql insertFirst;
    Sql shift;
    Sql insert;
    Sql deleteAll;
};

// SQLite checks a unique id row by row, so the shift would pass through duplicates: the lists
// keep no unique index on id.
const WordTable& tableOf(WordList list) {
    static const WordTable tables[] = {
        {"SELECT use FROM use ORDER BY id", "SELECT use FROM use WHERE use = ?",
         "INSERT INTO use (id, use) VALUES (0, ?)", "UPDATE use SET id = id + 1",
         "INSERT INTO use (id, use) VALUES (?, ?)", "DELETE FROM use"},
        {"SELECT ps FROM ps1 ORDER BY id", "SELECT ps FROM ps1 WHERE ps = ?",
         "INSERT INTO ps1 (id, ps) VALUES (0, ?)", "UPDATE ps1 SET id = id + 1",
         "INSERT INTO ps1 (id, ps) VALUES (?, ?)", "DELETE FROM ps1"},
        {"SELECT ps FROM ps2 ORDER BY id", "SELECT ps FROM ps2 WHERE ps = ?",
         "INSERT INTO ps2 (id, ps) VALUES (0, ?)", "UPDATE ps2 SET id = id + 1",
         "INSERT INTO ps2 (id, ps) VALUES (?, ?)", "DELETE FROM ps2"},
    };
    return tables[static_cast<int>(list)];
}

}  // namespace

bool IsReservedAccountCode(const std::string& code) {
    return code == "0000" || code == "9999";
}

std::string ReservedCodeMessage(const std::string& code) {
    return "不可使用 " + code + "\r\n" + code + " 科目代號系統保留使用";
}

std::vector<Account> ReadAccounts(Database& db) {
    std::vector<Account> accounts;
    Recordset rs = db.OpenRecordset("SELECT id, incom, acc FROM acc ORDER BY incom DESC, id");
    for (; !rs.Eof(); rs.MoveNext())
        accounts.push_back(
            {rs.Fields("id").text(), rs.Fields("incom").boolean(), rs.Fields("acc").text()});
    return accounts;
}

bool AccountExists(Database& db, const std::string& code) {
    return !db.OpenRecordset("SELECT id FROM acc WHERE id = ?", code).Eof();
}

void AddAccount(Database& db, const Account& account) {
    db.Execute("INSERT INTO acc (id, incom, acc) VALUES (?, ?, ?)", account.code, account.income,
               account.name);
}

std::vector<std::string> ReadWords(Database& db, WordList list) {
    std::vector<std::string> words;
    for (Recordset rs = db.OpenRecordset(tableOf(list).selectAll); !rs.Eof(); rs.MoveNext())
        words.push_back(rs.Fields(0).text());
    return words;
}

bool WordExists(Database& db, WordList list, const std::string& word) {
    return !db.OpenRecordset(tableOf(list).find, word).Eof();
}

void AddWordAtTop(Database& db, WordList list, const std::string& word) {
    const WordTable& t = tableOf(list);
    Transaction transaction(db, TransactionKind::Writes);
    db.Execute(t.insertFirst, word);
    db.Execute(t.shift);
    transaction.Commit();
}

ShownRows ShownAccounts(Database& db) {
    return ShownRows(db, "SELECT id, incom, acc FROM acc ORDER BY incom DESC, id, acc");
}

ShownRows ShownWords(Database& db, WordList list) {
    return ShownRows(db, tableOf(list).selectAll);
}

std::optional<std::string> RepeatedAccountCode(const std::vector<Account>& accounts) {
    std::set<std::string> seen;
    for (const Account& account : accounts)
        if (!seen.insert(account.code).second) return account.code;
    return std::nullopt;
}

void RewriteAccounts(Database& db, const std::vector<Account>& accounts) {
    db.Execute("DELETE FROM acc");
    for (const Account& account : accounts)
        AddAccount(db, account);
}

void RewriteWords(Database& db, WordList list, const std::vector<NumberedWord>& words) {
    const WordTable& t = tableOf(list);
    db.Execute(t.deleteAll);
    for (const NumberedWord& w : words)
        db.Execute(t.insert, w.id, w.word);
}

std::vector<std::string> AddedSince(const std::vector<std::string>& loaded,
                                    const std::vector<std::string>& stored) {
    std::vector<std::string> added;
    for (const std::string& entry : stored)
        if (std::find(loaded.begin(), loaded.end(), entry) == loaded.end()) added.push_back(entry);
    return added;
}

}  // namespace kiv
