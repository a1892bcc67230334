#include "platform/report/Template.h"

#include <charconv>
#include <cmath>

namespace kiv {

namespace {

struct Token {
    std::string text;
    bool quoted = false;
};

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// Reads a quoted string starting at the opening quote; `at` ends past the closing one.
std::string quotedString(std::string_view line, size_t& at, int lineNo) {
    std::string text;
    for (++at; at < line.size(); ++at) {
        char c = line[at];
        if (c == '"') {
            ++at;
            if (at < line.size() && !isBlank(line[at]) && line[at] != ';')
                throw TemplateError(lineNo, "text right after a closing quote");
            return text;
        }
        if (c == '\\') {
            if (++at == line.size() || (line[at] != '"' && line[at] != '\\'))
                throw TemplateError(lineNo, "only \\\" and \\\\ may follow a backslash");
            c = line[at];
        }
        text += c;
    }
    throw TemplateError(lineNo, "a string without its closing quote");
}

std::vector<Token> tokenize(std::string_view line, int lineNo) {
    std::vector<Token> tokens;
    size_t at = 0;
    while (true) {
        while (at < line.size() && isBlank(line[at]))
            ++at;
        if (at == line.size() || line[at] == ';') return tokens;
        if (line[at] == '"') {
            tokens.push_back({quotedString(line, at, lineNo), true});
            continue;
        }
        size_t start = at;
        while (at < line.size() && !isBlank(line[at]) && line[at] != ';') {
            if (line[at] == '"') throw TemplateError(lineNo, "a quote inside a word");
            ++at;
        }
        tokens.push_back({std::string(line.substr(start, at - start)), false});
    }
}

// One statement of the template: its words and the line they stand on.
class Statement {
  public:
    Statement(std::vector<Token> tokens, int line) : tokens_(std::move(tokens)), line_(line) {}

    int line() const { return line_; }
    const std::string& keyword() const { return tokens_[0].text; }
    size_t size() const { return tokens_.size(); }

    void expectSize(size_t min, size_t max) const {
        if (tokens_.size() < min || tokens_.size() > max)
            fail("wrong number of values for " + keyword());
    }
    [[noreturn]] void fail(const std::string& reason) const { throw TemplateError(line_, reason); }

    const std::string& word(size_t i) const {
        if (tokens_[i].quoted) fail("a word expected, not a string");
        return tokens_[i].text;
    }
    const std::string& string(size_t i) const {
        if (!tokens_[i].quoted) fail("a quoted string expected");
        return tokens_[i].text;
    }
    // A size in millimetres or points; never negative, and above zero when `positive`.
    double number(size_t i, bool positive = false) const {
        const std::string& text = word(i);
        double value = 0;
        auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
            fail("not a number: " + text);
        if (value < 0 || (positive && value == 0)) fail("out of range: " + text);
        return value;
    }
    Align align(size_t i) const {
        const std::string& text = word(i);
        if (text == "L") return Align::Left;
        if (text == "C") return Align::Center;
        if (text == "R") return Align::Right;
        fail("alignment must be L, C or R");
    }
    int columnNumber(std::string_view digits) const {
        int value = -1;
        auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
            value < 0)
            fail("not a column number");
        return value;
    }

  private:
    std::vector<Token> tokens_;
    int line_;
};

class Parser {
  public:
    Template parse(std::string_view text) {
        if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
        int lineNo = 0;
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string_view::npos) end = text.size();
            ++lineNo;
            auto tokens = tokenize(text.substr(start, end - start), lineNo);
            if (!tokens.empty()) statement(Statement(std::move(tokens), lineNo));
            start = end + 1;
        }
        if (!versionSeen_) throw TemplateError(1, "the template does not start with rpt 1");
        checkBandsFitThePage();
        return template_;
    }

  private:
    void statement(const Statement& s) {
        if (!versionSeen_) return version(s);
        const std::string& keyword = s.word(0);
        if (keyword == "page") return page(s);
        if (keyword == "font") return font(s);
        if (keyword == "band") return band(s);
        if (keyword == "text" || keyword == "field" || keyword == "line" || keyword == "box") {
            if (!band_) s.fail(keyword + " outside a band");
            band_->items.push_back(item(s));
            return;
        }
        s.fail("unknown statement " + keyword);
    }

    void version(const Statement& s) {
        if (s.word(0) != "rpt") s.fail("the template does not start with rpt 1");
        s.expectSize(2, 2);
        if (s.word(1) != "1") s.fail("unknown template version " + s.word(1));
        versionSeen_ = true;
    }

    void page(const Statement& s) {
        s.expectSize(4, 4);
        if (pageSeen_ || band_) s.fail("page must come once, before the bands");
        template_.pageWidth = s.number(1, true);
        template_.pageHeight = s.number(2, true);
        template_.margin = s.number(3);
        if (2 * template_.margin >= std::min(template_.pageWidth, template_.pageHeight))
            s.fail("the margins leave no room on the page");
        pageSeen_ = true;
    }

    void font(const Statement& s) {
        s.expectSize(2, 3);
        font_.size = s.number(1, true);
        font_.bold = s.size() == 3;
        if (font_.bold && s.word(2) != "bold") s.fail("only bold may follow the font size");
    }

    void band(const Statement& s) {
        s.expectSize(3, 4);
        const std::string& kind = s.word(1);
        std::optional<Band>* slot = kind == "header"    ? &template_.header
                                    : kind == "detail"  ? &template_.detail
                                    : kind == "summary" ? &template_.summary
                                    : kind == "footer"  ? &template_.footer
                                                        : nullptr;
        if (!slot) s.fail("unknown band " + kind);
        if (slot->has_value()) s.fail("a second " + kind + " band");
        bool overRows = slot == &template_.detail || slot == &template_.summary;
        s.expectSize(overRows ? 4 : 3, overRows ? 4 : 3);
        Band band;
        band.line = s.line();
        if (overRows) band.table = s.word(2);
        band.height = s.number(overRows ? 3 : 2, true);
        *slot = std::move(band);
        band_ = &**slot;
        bandHasRows_ = overRows;
    }

    Item item(const Statement& s) {
        const std::string& keyword = s.keyword();
        if (keyword == "line") {
            s.expectSize(5, 5);
            return LineItem{s.number(1), s.number(2), s.number(3), s.number(4)};
        }
        if (keyword == "box") {
            s.expectSize(5, 5);
            return BoxItem{s.number(1), s.number(2), s.number(3, true), s.number(4, true)};
        }
        if (keyword == "text") {
            s.expectSize(6, 6);
            return TextItem{s.number(1), s.number(2), s.number(3, true),
                            s.align(4),  font_,       s.string(5)};
        }
        s.expectSize(6, 7);
        FieldItem field{s.number(1),  s.number(2), s.number(3, true),
                        s.align(4),   font_,       reference(s, s.word(5)),
                        std::nullopt, s.line()};
        if (s.size() == 7) field.nullText = s.string(6);
        return field;
    }

    FieldRef reference(const Statement& s, const std::string& text) const {
        using Kind = FieldRef::Kind;
        if (text == "@page") return {Kind::Page, "", "", 0};
        if (text == "@pages") return {Kind::Pages, "", "", 0};
        if (size_t hash = text.find('#'); hash != std::string::npos) {
            int column = s.columnNumber(std::string_view(text).substr(hash + 1));
            if (hash > 0) return {Kind::TableColumn, text.substr(0, hash), "", column};
            if (!bandHasRows_) s.fail("#n only in a detail or summary band");
            return {Kind::Column, "", "", column};
        }
        size_t dot = text.find('.');
        if (dot == std::string::npos || dot == 0 || dot + 1 == text.size())
            s.fail("unknown field " + text);
        return {Kind::TableField, text.substr(0, dot), text.substr(dot + 1), 0};
    }

    // A band taller than what the header leaves of a page could never be placed.
    void checkBandsFitThePage() const {
        double header = template_.header ? template_.header->height : 0;
        if (header > template_.bodyHeight())
            throw TemplateError(template_.header->line, "the header does not fit on a page");
        for (const auto* band : {&template_.detail, &template_.summary, &template_.footer})
            if (*band && header + (*band)->height > template_.bodyHeight())
                throw TemplateError((*band)->line, "the band does not fit on a page");
    }

    Template template_;
    Band* band_ = nullptr;
    bool bandHasRows_ = false;
    bool versionSeen_ = false;
    bool pageSeen_ = false;
    Font font_;
};

}  // namespace

std::string FieldRef::key() const {
    return kind == Kind::TableField ? table + "." + field : table + "#" + std::to_string(column);
}

Template parseTemplate(std::string_view text) {
    return Parser().parse(text);
}

}  // namespace kiv
