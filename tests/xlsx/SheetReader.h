#pragma once

#include <cmath>
#include <cstdio>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace kiv::test {

// What Excel reads back from the first sheet of an .xlsx (unzipped with the `unzip` tool): cell
// texts (without XML escapes) as Excel shows them, whether a cell is a number and in which number
// format, whether a cell has thin lines on all four sides, and column widths as Excel shows them.
class SheetReader {
  public:
    explicit SheetReader(const std::string& path) : path_(path) {
        std::vector<std::string> strings;
        for (const auto& m : matches(part("xl/sharedStrings.xml"), "<si><t[^>]*>([^<]*)</t>"))
            strings.push_back(m[1]);
        std::string styles = part("xl/styles.xml");
        std::vector<bool> boxedBorders;
        for (const auto& m : matches(styles, "<border>([\\s\\S]*?)</border>|<border/>")) {
            bool all = !m[1].empty();
            for (const char* side : {"left", "right", "top", "bottom"})
                all = all && m[1].find("<" + std::string(side) + " style=\"thin\"") != m[1].npos;
            boxedBorders.push_back(all);
        }
        std::string xfs = matches(styles, "<cellXfs[^>]*>([\\s\\S]*?)</cellXfs>").at(0)[1];
        // Excel's built-in number formats the exports may use, then the workbook's own.
        std::map<std::string, std::string> numberFormats{{"0", "General"}, {"3", "#,##0"}};
        for (const auto& m : matches(styles, "<numFmt [^>]*/>"))
            numberFormats[attribute(m[0], "numFmtId")] = attribute(m[0], "formatCode");
        std::vector<bool> boxedStyles;
        std::vector<std::string> styleFormats;
        for (const auto& m : matches(xfs, "<xf [^>]*>")) {
            boxedStyles.push_back(boxedBorders.at(std::stoi(attribute(m[0], "borderId"))));
            std::string id = attribute(m[0], "numFmtId");
            styleFormats.push_back(numberFormats[id.empty() ? "0" : id]);
        }

        std::string sheet = part("xl/worksheets/sheet1.xml");
        for (const auto& m : matches(sheet, "<col [^>]*/>")) {
            // Excel keeps the width with 5 pixels of padding, at 7 pixels a character.
            double stored = std::stod(attribute(m[0], "width"));
            for (int c = std::stoi(attribute(m[0], "min")); c <= std::stoi(attribute(m[0], "max"));
                 ++c)
                widths_[c] = std::round((stored * 7 - 5) / 7 * 100) / 100;
        }
        for (const auto& m : matches(sheet, "<c ([^>]*?)(/>|>([\\s\\S]*?)</c>)")) {
            Cell& cell = cells_[attribute(m[1], "r")];
            std::string style = attribute(m[1], "s");
            cell.boxed = boxedStyles.at(style.empty() ? 0 : std::stoi(style));
            cell.format = styleFormats.at(style.empty() ? 0 : std::stoi(style));
            auto value = matches(m[3], "<v>([^<]*)</v>");
            if (value.empty()) continue;
            cell.number = attribute(m[1], "t").empty() || attribute(m[1], "t") == "n";
            if (!cell.number)
                cell.text =
                    attribute(m[1], "t") == "s" ? strings.at(std::stoi(value[0][1])) : value[0][1];
            else
                cell.text = cell.format == "#,##0" ? grouped(value[0][1]) : value[0][1];
        }
    }

    bool has(const std::string& cell) const { return cells_.contains(cell); }
    std::string text(const std::string& cell) const {
        return has(cell) ? cells_.at(cell).text : "";
    }
    bool boxed(const std::string& cell) const { return has(cell) && cells_.at(cell).boxed; }
    // Whether the cell holds a number (which a SUM adds), not a text.
    bool number(const std::string& cell) const { return has(cell) && cells_.at(cell).number; }
    // The cell's number format ("General", "#,##0").
    std::string format(const std::string& cell) const {
        return has(cell) ? cells_.at(cell).format : "";
    }
    // -1 when the sheet's default applies.
    double width(int column) const { return widths_.contains(column) ? widths_.at(column) : -1; }

  private:
    struct Cell {
        std::string text;
        bool boxed = false;
        bool number = false;
        std::string format;
    };
    using Matches = std::vector<std::vector<std::string>>;

    std::string part(const std::string& name) const {
        std::string xml;
        FILE* pipe = ::popen(("unzip -p '" + path_ + "' " + name).c_str(), "r");
        char buffer[4096];
        for (size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            xml.append(buffer, n);
        if (pipe) ::pclose(pipe);
        return xml;
    }
    static Matches matches(const std::string& xml, const std::string& pattern) {
        Matches all;
        std::regex re(pattern);
        for (std::sregex_iterator it(xml.begin(), xml.end(), re), end; it != end; ++it)
            all.emplace_back(it->begin(), it->end());
        return all;
    }
    // A whole number as "#,##0" shows it: "-2100" gives "-2,100".
    static std::string grouped(std::string digits) {
        size_t first = digits.starts_with('-') ? 1 : 0;
        for (int at = static_cast<int>(digits.size()) - 3; at > static_cast<int>(first); at -= 3)
            digits.insert(static_cast<size_t>(at), ",");
        return digits;
    }
    static std::string attribute(const std::string& element, const std::string& name) {
        auto found = matches(element, "\\b" + name + "=\"([^\"]*)\"");
        return found.empty() ? "" : found[0][1];
    }

    std::string path_;
    std::map<int, double> widths_;
    std::map<std::string, Cell> cells_;
};

}  // namespace kiv::test
