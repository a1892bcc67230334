#pragma once

// The word lists the vouchers pick from: the accounts (acc) and the three lists of words, uses
// (use) and the two notes (ps1, ps2). A word's id is its place in its list.

#include <optional>
#include <string>
#include <vector>

#include "platform/db/Database.h"
#include "platform/db/ShownRows.h"

namespace kiv {

enum class WordList { Uses, Notes1, Notes2 };
inline constexpr WordList AllWordLists[] = {WordList::Uses, WordList::Notes1, WordList::Notes2};

struct Account {
    std::string code;
    bool income = false;
    std::string name;
    friend bool operator==(const Account&, const Account&) = default;
};

// A word with the id it is stored under.
struct NumberedWord {
    int id = 0;
    std::string word;
};

// The codes "0000" and "9999" belong to the vouchers the system makes for transfers.
bool IsReservedAccountCode(const std::string& code);
// "不可使用 c\r\nc 科目代號系統保留使用".
std::string ReservedCodeMessage(const std::string& code);

// Every account, income first, each side in code order.
std::vector<Account> ReadAccounts(Database& db);
bool AccountExists(Database& db, const std::string& code);
void AddAccount(Database& db, const Account& account);

// A list's words in id order; a Null word reads "".
std::vector<std::string> ReadWords(Database& db, WordList list);
bool WordExists(Database& db, WordList list, const std::string& word);
// Puts the word first in its list: it takes id 0, then every id of the list goes up by 1.
void AddWordAtTop(Database& db, WordList list, const std::string& word);

// The accounts, and a list's words, as the word editor shows them, for its save to check that no
// other copy of the program changed or deleted any of them meanwhile.
ShownRows ShownAccounts(Database& db);
ShownRows ShownWords(Database& db, WordList list);

// The first code that stands more than once, if any.
std::optional<std::string> RepeatedAccountCode(const std::vector<Account>& accounts);
// Empties acc and writes the accounts; the caller holds the transaction.
void RewriteAccounts(Database& db, const std::vector<Account>& accounts);
// Empties the list and writes the words under their ids; the caller holds the transaction.
void RewriteWords(Database& db, WordList list, const std::vector<NumberedWord>& words);

// The entries of `stored` that `loaded` lacks, in stored order.
std::vector<std::string> AddedSince(const std::vector<std::string>& loaded,
                                    const std::vector<std::string>& stored);

}  // namespace kiv
