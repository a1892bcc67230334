#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace kiv {

class Database;

// A table, view or field name that the database holds, in double quotes. Only a Database makes
// one, after finding the name in its schema, so a name typed by a user cannot smuggle SQL in.
class Identifier {
  public:
    const std::string& quoted() const { return quoted_; }

  private:
    friend class Database;
    explicit Identifier(std::string quoted) : quoted_(std::move(quoted)) {}
    std::string quoted_;
};

// The text of one SQL statement, made only of string literals and checked identifiers: a value
// can reach SQLite only as a bound parameter, never pasted into the text. Joining a std::string
// does not compile.
class Sql {
  public:
    // Only a literal (or a constant array) converts: for anything else reading its last character
    // is no constant expression, and the call does not compile.
    template <std::size_t N>
    consteval Sql(const char (&text)[N]) : literal_(text, N - 1) {
        if (text[N - 1] != '\0') throw "SQL text must end where its literal ends";
    }

    std::string_view text() const { return joined_ ? std::string_view(*joined_) : literal_; }

    Sql& operator+=(const Sql& tail) { return append(tail.text()); }
    Sql& operator+=(const Identifier& name) { return append(name.quoted()); }

  private:
    Sql& append(std::string_view tail);

    std::string_view literal_;
    // The text once something was joined; shared by copies until one of them grows.
    std::shared_ptr<std::string> joined_;
};

inline Sql operator+(Sql head, const Sql& tail) {
    return head += tail;
}
inline Sql operator+(Sql head, const Identifier& name) {
    return head += name;
}
inline Sql operator+(const Identifier& name, const Sql& tail) {
    Sql joined("");
    joined += name;
    return joined += tail;
}

}  // namespace kiv
