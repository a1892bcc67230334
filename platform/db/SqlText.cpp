#include "platform/db/SqlText.h"

#include <vector>

#include "platform/db/Numbers.h"
#include "platform/db/Utf8.h"

namespace kiv {

namespace {

enum class TokenKind { Word, QuotedName, String, Number, Parameter, Punct };

struct Token {
    TokenKind kind;
    size_t begin;
    size_t end;
    int depth;  // parentheses around the token
};

bool isWordByte(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '$' || c >= 0x80;
}

// The end of a quoted run starting at `pos` (the opening quote), or npos when it is not closed.
// A doubled closing quote stands for itself.
size_t quotedEnd(std::string_view sql, size_t pos, char close) {
    for (size_t i = pos + 1; i < sql.size(); ++i) {
        if (sql[i] != close) continue;
        if (close != ']' && i + 1 < sql.size() && sql[i + 1] == close) {
            ++i;
            continue;
        }
        return i + 1;
    }
    return std::string_view::npos;
}

// The tokens of the text without blanks and comments; nullopt when a quote or comment is not
// closed (SQLite then reports the fault itself).
std::optional<std::vector<Token>> tokenize(std::string_view sql) {
    std::vector<Token> tokens;
    int depth = 0;
    size_t i = 0;
    while (i < sql.size()) {
        char c = sql[i];
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f') {
            ++i;
        } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
            size_t eol = sql.find('\n', i);
            i = eol == std::string_view::npos ? sql.size() : eol;
        } else if (c == '/' && i + 1 < sql.size() && sql[i + 1] == '*') {
            size_t close = sql.find("*/", i + 2);
            if (close == std::string_view::npos) return std::nullopt;
            i = close + 2;
        } else if (c == '\'' || c == '"' || c == '`' || c == '[') {
            size_t end = quotedEnd(sql, i, c == '[' ? ']' : c);
            if (end == std::string_view::npos) return std::nullopt;
            tokens.push_back(
                {c == '\'' ? TokenKind::String : TokenKind::QuotedName, i, end, depth});
            i = end;
        } else if (IsDigit(c) || (c == '.' && i + 1 < sql.size() && IsDigit(sql[i + 1]))) {
            size_t end = i + 1;
            while (end < sql.size() &&
                   (isWordByte(sql[end]) || sql[end] == '.' ||
                    ((sql[end] == '+' || sql[end] == '-') && (sql[end - 1] | 0x20) == 'e')))
                ++end;
            tokens.push_back({TokenKind::Number, i, end, depth});
            i = end;
        } else if (c == '?' || c == ':' || c == '@' || c == '$') {
            size_t end = i + 1;
            while (end < sql.size() && isWordByte(sql[end]))
                ++end;
            tokens.push_back({TokenKind::Parameter, i, end, depth});
            i = end;
        } else if (isWordByte(c)) {
            size_t end = i + 1;
            while (end < sql.size() && isWordByte(sql[end]))
                ++end;
            tokens.push_back({TokenKind::Word, i, end, depth});
            i = end;
        } else {
            if (c == ')') --depth;
            tokens.push_back({TokenKind::Punct, i, i + 1, c == ')' ? depth + 1 : depth});
            if (c == '(') ++depth;
            ++i;
        }
    }
    if (depth != 0) return std::nullopt;
    return tokens;
}

std::string unquote(std::string_view text) {
    if (text.empty()) return {};
    char open = text.front();
    if (open != '"' && open != '`' && open != '[' && open != '\'') return std::string(text);
    char close = open == '[' ? ']' : open;
    std::string name;
    for (size_t i = 1; i + 1 < text.size(); ++i) {
        name += text[i];
        if (text[i] == close && close != ']') ++i;
    }
    return name;
}

// Walks the tokens of one statement.
class QueryReader {
  public:
    QueryReader(std::string_view sql, std::vector<Token> tokens)
        : sql_(sql), tokens_(std::move(tokens)) {}

    std::optional<KeysetQuery> read();

  private:
    struct OrderTerm {
        std::string expression;
        bool descending = false;
        std::string nulls;  // "FIRST", "LAST" or empty
    };

    std::string_view text(const Token& t) const { return sql_.substr(t.begin, t.end - t.begin); }
    std::string_view text(size_t from, size_t to) const {
        return from >= to ? std::string_view() : sql_.substr(from, to - from);
    }
    bool atEnd() const { return pos_ >= tokens_.size(); }
    const Token& current() const { return tokens_[pos_]; }
    bool isWord(size_t i, std::string_view word) const {
        return i < tokens_.size() && tokens_[i].kind == TokenKind::Word &&
               sameIdentifier(text(tokens_[i]), word);
    }
    bool isPunct(size_t i, char c) const {
        return i < tokens_.size() && tokens_[i].kind == TokenKind::Punct &&
               sql_[tokens_[i].begin] == c;
    }
    bool isName(size_t i) const {
        return i < tokens_.size() &&
               (tokens_[i].kind == TokenKind::Word || tokens_[i].kind == TokenKind::QuotedName);
    }

    bool readColumns();
    bool readColumn(size_t first, size_t last);
    bool readTable();
    bool readClauses();
    bool readOrderTerms(size_t first, size_t last);
    bool usesAnAlias(size_t from) const;
    KeysetQuery build() const;

    std::string_view sql_;
    std::vector<Token> tokens_;
    size_t pos_ = 0;

    size_t columnsBegin_ = 0, columnsEnd_ = 0;
    std::vector<std::string> aliases_;
    size_t tableToken_ = 0;
    size_t fromEnd_ = 0;  // just past the table and its alias
    std::string qualifier_;
    size_t whereBegin_ = std::string_view::npos;  // the WHERE keyword
    size_t orderBegin_ = std::string_view::npos;  // the ORDER keyword
    size_t statementEnd_ = 0;
    bool limited_ = false;
    std::vector<OrderTerm> order_;
};

const char* const clauseWords[] = {"WHERE", "ORDER",  "LIMIT",     "GROUP",   "HAVING", "WINDOW",
                                   "UNION", "EXCEPT", "INTERSECT", "JOIN",    "INNER",  "LEFT",
                                   "RIGHT", "FULL",   "CROSS",     "NATURAL", "OUTER",  "INDEXED",
                                   "NOT",   "ON",     "USING",     "AS"};

bool isClauseWord(std::string_view word) {
    for (const char* w : clauseWords)
        if (sameIdentifier(word, w)) return true;
    return false;
}

std::optional<KeysetQuery> QueryReader::read() {
    if (!isWord(pos_, "SELECT")) return std::nullopt;
    ++pos_;
    if (isWord(pos_, "DISTINCT")) return std::nullopt;
    if (isWord(pos_, "ALL")) ++pos_;
    if (!readColumns() || !readTable() || !readClauses()) return std::nullopt;
    return build();
}

bool QueryReader::readColumns() {
    size_t first = pos_;
    columnsBegin_ = atEnd() ? sql_.size() : current().begin;
    for (; !atEnd(); ++pos_) {
        if (current().depth != 0) return false;  // a function or a sub-query among the columns
        if (isWord(pos_, "FROM")) break;
        if (isPunct(pos_, ',')) {
            if (!readColumn(first, pos_)) return false;
            first = pos_ + 1;
        }
    }
    if (atEnd() || !readColumn(first, pos_)) return false;
    columnsEnd_ = tokens_[pos_ - 1].end;
    ++pos_;
    return true;
}

// One column: "*", "t.*", "name" or "t.name", with an optional alias.
bool QueryReader::readColumn(size_t first, size_t last) {
    if (first >= last) return false;
    if (last - first == 1 && isPunct(first, '*')) return true;
    if (last - first == 3 && isName(first) && isPunct(first + 1, '.') && isPunct(first + 2, '*'))
        return true;
    size_t nameToken = first;
    size_t i = first + 1;
    if (!isName(first)) return false;
    if (isPunct(i, '.')) {
        if (!isName(i + 1)) return false;
        nameToken = i + 1;
        i += 2;
    }
    if (i == last) return true;
    if (isWord(i, "AS")) ++i;
    if (i + 1 != last) return false;
    if (!isName(i) && tokens_[i].kind != TokenKind::String) return false;
    std::string alias = unquote(text(tokens_[i]));
    if (!sameIdentifier(alias, unquote(text(tokens_[nameToken])))) aliases_.push_back(alias);
    return true;
}

bool QueryReader::readTable() {
    if (!isName(pos_) || isPunct(pos_ + 1, '.')) return false;
    tableToken_ = pos_++;
    if (isWord(pos_, "AS")) {
        if (!isName(pos_ + 1)) return false;
        ++pos_;
    }
    if (isName(pos_) && !(current().kind == TokenKind::Word && isClauseWord(text(current())))) {
        qualifier_ = std::string(text(current()));
        ++pos_;
    } else {
        qualifier_ = std::string(text(tokens_[tableToken_]));
    }
    fromEnd_ = tokens_[pos_ - 1].end;
    return true;
}

// What may follow the table: WHERE, ORDER BY and LIMIT at the top level, nothing that joins,
// groups or combines.
bool QueryReader::readClauses() {
    statementEnd_ = sql_.size();
    if (isWord(pos_, "WHERE"))
        whereBegin_ = pos_;
    else if (!atEnd() && !isWord(pos_, "ORDER") && !isWord(pos_, "LIMIT") && !isPunct(pos_, ';'))
        return false;
    size_t orderTerms = 0;
    size_t orderEnd = 0;
    for (size_t i = pos_; i < tokens_.size(); ++i) {
        const Token& t = tokens_[i];
        if (t.depth != 0) continue;
        if (isPunct(i, ';')) {
            if (i + 1 != tokens_.size()) return false;
            statementEnd_ = t.begin;
            break;
        }
        if (t.kind != TokenKind::Word) continue;
        std::string_view word = text(t);
        if (sameIdentifier(word, "GROUP") || sameIdentifier(word, "HAVING") ||
            sameIdentifier(word, "WINDOW") || sameIdentifier(word, "UNION") ||
            sameIdentifier(word, "EXCEPT") || sameIdentifier(word, "INTERSECT"))
            return false;
        if (sameIdentifier(word, "ORDER") && isWord(i + 1, "BY") &&
            orderBegin_ == std::string_view::npos) {
            orderBegin_ = i;
            orderTerms = i + 2;
        }
        if (sameIdentifier(word, "LIMIT")) {
            limited_ = true;
            orderEnd = i;
        }
    }
    if (orderBegin_ != std::string_view::npos) {
        size_t last = orderEnd > orderTerms ? orderEnd : tokens_.size();
        while (last > orderTerms && tokens_[last - 1].begin >= statementEnd_)
            --last;
        if (!readOrderTerms(orderTerms, last)) return false;
    }
    return !usesAnAlias(pos_);
}

bool QueryReader::readOrderTerms(size_t first, size_t last) {
    size_t termBegin = first;
    for (size_t i = first; i <= last; ++i) {
        if (i < last && !(isPunct(i, ',') && tokens_[i].depth == 0)) continue;
        size_t end = i;
        if (end <= termBegin) return false;
        OrderTerm term;
        if (end - termBegin >= 3 && isWord(end - 2, "NULLS") &&
            (isWord(end - 1, "FIRST") || isWord(end - 1, "LAST"))) {
            term.nulls = isWord(end - 1, "FIRST") ? "FIRST" : "LAST";
            end -= 2;
        }
        if (end - termBegin >= 2 && (isWord(end - 1, "ASC") || isWord(end - 1, "DESC"))) {
            term.descending = isWord(end - 1, "DESC");
            --end;
        }
        // "ORDER BY 2" names a column by its number, which a keyset cannot follow.
        if (end - termBegin == 1 && tokens_[termBegin].kind == TokenKind::Number) return false;
        term.expression = std::string(text(tokens_[termBegin].begin, tokens_[end - 1].end));
        order_.push_back(term);
        termBegin = i + 1;
    }
    return true;
}

// SQLite lets WHERE and ORDER BY name a column by its alias; the key statement has no aliases.
bool QueryReader::usesAnAlias(size_t from) const {
    for (size_t i = from; i < tokens_.size(); ++i) {
        if (!isName(i)) continue;
        std::string name = unquote(text(tokens_[i]));
        for (const auto& alias : aliases_)
            if (sameIdentifier(name, alias)) return true;
    }
    return false;
}

KeysetQuery QueryReader::build() const {
    KeysetQuery q;
    q.table = unquote(text(tokens_[tableToken_]));
    std::string rowid = qualifier_ + ".rowid";
    std::string columns = std::string(text(columnsBegin_, columnsEnd_));
    std::string from = " FROM " + std::string(text(tokens_[tableToken_].begin, fromEnd_));
    size_t filterEnd =
        orderBegin_ != std::string_view::npos ? tokens_[orderBegin_].begin : statementEnd_;
    std::string filter = whereBegin_ != std::string_view::npos
                             ? " " + std::string(text(tokens_[whereBegin_].begin, filterEnd))
                             : "";
    // The order keys the rowid does not already give. A key that binds a value of its own is left
    // out: among the columns it would change the numbers of the query's parameters.
    std::string keys, sameKeys;
    for (const auto& term : order_) {
        if (sameIdentifier(term.expression, "rowid") || sameIdentifier(term.expression, rowid) ||
            term.expression.find_first_of("?:@$") != std::string::npos)
            continue;
        keys += ", " + term.expression;
        sameKeys += " AND (" + term.expression + ") IS ?";
        ++q.orderKeys;
    }
    if (q.orderKeys > 0) q.sameRowSql = "SELECT 1" + from + " WHERE " + rowid + " = ?" + sameKeys;
    std::string rest;
    if (limited_ || order_.empty()) {
        // Without an order there is no last row to find from the end; with a LIMIT the rows
        // depend on the order as written, so the statement is kept as it is.
        rest = std::string(text(fromEnd_, statementEnd_));
    } else {
        // The rowid breaks ties, so that the reverse order is exactly the forward one backwards.
        std::string forward, reverse;
        for (const auto& term : order_) {
            forward += term.expression + (term.descending ? " DESC" : "") +
                       (term.nulls.empty() ? "" : " NULLS " + term.nulls) + ", ";
            reverse += term.expression + (term.descending ? "" : " DESC") +
                       (term.nulls.empty()      ? ""
                        : term.nulls == "FIRST" ? " NULLS LAST"
                                                : " NULLS FIRST") +
                       ", ";
        }
        rest = filter + " ORDER BY " + forward + rowid;
        q.tailSql = "SELECT " + rowid + ", " + columns + keys + from + filter + " ORDER BY " +
                    reverse + rowid + " DESC LIMIT ?";
        q.tailKeySql = "SELECT " + rowid + from + filter + " ORDER BY " + reverse + rowid +
                       " DESC LIMIT ? OFFSET ?";
    }
    q.keySql = "SELECT " + rowid + from + rest;
    q.streamSql = "SELECT " + rowid + ", " + columns + keys + from + rest;
    std::string placeholders;
    for (int i = 0; i < KeysetQuery::pageSize; ++i)
        placeholders += i == 0 ? "?" : ", ?";
    q.pageSql = "SELECT " + rowid + ", " + columns + keys + from + " WHERE " + rowid + " IN (" +
                placeholders + ")";
    return q;
}

}  // namespace

std::string quoteIdentifier(std::string_view name) {
    std::string quoted = "\"";
    for (char c : name) {
        quoted += c;
        if (c == '"') quoted += '"';
    }
    return quoted + "\"";
}

bool sameIdentifier(std::string_view a, std::string_view b) {
    return equalsNoCase(a, b);
}

std::optional<KeysetQuery> keysetQueryOf(std::string_view sql) {
    auto tokens = tokenize(sql);
    if (!tokens) return std::nullopt;
    return QueryReader(sql, std::move(*tokens)).read();
}

}  // namespace kiv
