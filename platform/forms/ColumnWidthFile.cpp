#include "platform/forms/ColumnWidthFile.h"

#include <charconv>
#include <fstream>
#include <optional>
#include <string_view>

#include "platform/forms/Grid.h"
#include "platform/forms/ProgramFolder.h"

namespace kiv {

namespace {

// A width is a whole number of twips, never negative. Older files carry a blank before each number
// and end their lines with CR LF.
std::optional<int> widthOfLine(std::string_view line) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!line.empty() && blank(line.front()))
        line.remove_prefix(1);
    while (!line.empty() && blank(line.back()))
        line.remove_suffix(1);
    int width = 0;
    auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), width);
    if (line.empty() || error != std::errc() || end != line.data() + line.size()) return {};
    return width;
}

}  // namespace

ColumnWidthFile::ColumnWidthFile(std::string name, int columns)
    : name_(std::move(name)), columns_(columns) {}

std::string ColumnWidthFile::path() const {
    return programFile(name_);
}

void ColumnWidthFile::Load(Grid& grid) const {
    std::ifstream file(path(), std::ios::binary);
    std::string line;
    for (int col = 0; col < columns_ && std::getline(file, line); ++col) {
        std::optional<int> width = widthOfLine(line);
        if (width && *width >= 0 && col < grid.Cols()) grid.SetSavedColWidth(col, *width);
    }
}

void ColumnWidthFile::Load(Grid& grid, const std::vector<int>& defaults) const {
    std::ifstream file(path(), std::ios::binary);
    std::string line;
    for (int col = 0; col < columns_ && col < grid.Cols(); ++col) {
        std::optional<int> width;
        if (file && std::getline(file, line)) width = widthOfLine(line);
        bool hasDefault = col < static_cast<int>(defaults.size());
        if (width && *width >= -1 && !(hasDefault && *width == defaults[col]))
            grid.SetSavedColWidth(col, *width);
        else if (hasDefault)
            grid.SetColWidth(col, defaults[col]);
    }
}

bool ColumnWidthFile::Save(const Grid& grid) const {
    std::ofstream file(path(), std::ios::binary | std::ios::trunc);
    for (int col = 0; col < columns_; ++col)
        file << (col < grid.Cols() ? grid.ColWidth(col) : -1) << "\n";
    file.close();
    return static_cast<bool>(file);
}

}  // namespace kiv
