#include "platform/xlsx/Workbook.h"

#include <fcntl.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string_view>

#include "platform/db/Amount.h"
#include "platform/db/Format.h"
#include "platform/db/Utf8.h"
#include "platform/forms/Clock.h"
#include "platform/forms/Host.h"

namespace kiv {

namespace fs = std::filesystem;

namespace {

// Excel's own limits.
constexpr int MaxRows = 1048576;
constexpr int MaxColumns = 16384;

void checkCell(int row, int column) {
    if (row < 1 || row > MaxRows || column < 1 || column > MaxColumns)
        throw std::out_of_range("no such cell in a sheet: row " + std::to_string(row) +
                                ", column " + std::to_string(column));
}

void check(lxw_error error, const std::string& path) {
    if (error != LXW_NO_ERROR)
        throw std::runtime_error("無法寫入活頁簿 " + path + ": " + lxw_strerror(error));
}

// Excel keeps 15 significant digits of a number; a longer amount stays a text so that none is lost.
constexpr size_t MostNumberDigits = 15;

// Whether a cell's text is an amount as the lists show one ("2,100", "-400", "0"): a minus only
// in front, no leading zero, a separator before every group of three digits and nowhere else. A
// code or number without separators ("4101", "115030101", "001") is no amount and stays a text.
bool isAmountText(std::string_view text) {
    bool negative = text.starts_with('-');
    if (negative) text.remove_prefix(1);
    if (text.empty() || (text[0] == '0' && (text.size() > 1 || negative))) return false;
    size_t digits = 0;
    size_t groupLength = 0;
    bool grouped = false;
    for (char c : text) {
        if (c == ',') {
            if (groupLength == 0 || groupLength > 3 || (grouped && groupLength != 3)) return false;
            grouped = true;
            groupLength = 0;
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            ++digits;
            ++groupLength;
        } else {
            return false;
        }
    }
    return groupLength > 0 && groupLength <= 3 && (!grouped || groupLength == 3) &&
           digits <= MostNumberDigits;
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The documents folder the desktop names in user-dirs.dirs ("$HOME/…" or an absolute path).
std::string xdgDocumentsFolder(const std::string& home) {
    std::string config = environment("XDG_CONFIG_HOME");
    if (config.empty()) config = home + "/.config";
    std::ifstream file(config + "/user-dirs.dirs");
    const std::string key = "XDG_DOCUMENTS_DIR=\"";
    for (std::string line; std::getline(file, line);) {
        if (!line.starts_with(key) || !line.ends_with('"')) continue;
        std::string value = line.substr(key.size(), line.size() - key.size() - 1);
        if (value.starts_with("$HOME")) value = home + value.substr(5);
        return value.starts_with('/') ? value : "";
    }
    return "";
}

bool isFolder(const std::string& path) {
    std::error_code error;
    return !path.empty() && fs::is_directory(path, error);
}

// The program's folder in the desktop's documents folder (else in ~/Documents, made when the home
// has none), where the user finds what the program wrote; made when missing. "" when there is no
// home to hold it or it cannot be made.
std::string documentsFolder() {
    std::string home = environment("HOME");
    if (!isFolder(home)) return "";
    std::string documents = xdgDocumentsFolder(home);
    if (!isFolder(documents)) documents = home + "/Documents";
    fs::path folder = fs::path(documents) / ApplicationTitle;
    std::error_code error;
    fs::create_directories(folder, error);
    return isFolder(folder.string()) ? folder.string() : "";
}

// The title as part of a file name: no path separators or control characters, not too long.
std::string fileNamePart(const std::string& title) {
    std::string part;
    for (char c : characterLeft(trimmed(title), 80))
        part += (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) ? '_' : c;
    return part.empty() ? "活頁簿" : part;
}

// Creates a file of a name not yet taken in `folder`, so that no other writer can take it
// either; "" when the folder cannot be written.
std::string reserveNewFile(const std::string& folder, const std::string& base) {
    for (int n = 1; n < 1000; ++n) {
        std::string name = base + (n == 1 ? "" : " (" + std::to_string(n) + ")") + ".xlsx";
        std::string path = (fs::path(folder) / name).string();
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
        if (errno != EEXIST) return "";
    }
    return "";
}

// Saves the book in the first folder that takes it.
std::string saveAsNewFile(const Workbook& book, const std::string& title) {
    std::string base = fileNamePart(title) + " " + Format(Clock::now(), "yyyy-mm-dd hhnnss");
    std::string lastError = "沒有可寫入的資料夾";
    for (const auto& folder : {documentsFolder(), fs::temp_directory_path().string()}) {
        if (folder.empty()) continue;
        std::string path = reserveNewFile(folder, base);
        if (path.empty()) continue;
        try {
            book.save(path);
            return path;
        } catch (const std::runtime_error& error) {
            lastError = error.what();
            std::error_code ignored;
            fs::remove(path, ignored);
        }
    }
    throw std::runtime_error(lastError);
}

}  // namespace

void Workbook::setCell(int row, int column, const std::string& text) {
    checkCell(row, column);
    cells_[{row, column}] = text;
}

std::string Workbook::cell(int row, int column) const {
    auto found = cells_.find({row, column});
    return found == cells_.end() ? "" : found->second;
}

void Workbook::setColumnWidth(int column, double width) {
    checkCell(1, column);
    widths_[column] = width;
}

void Workbook::addBorders(const CellRange& range) {
    checkCell(range.firstRow, range.firstColumn);
    checkCell(range.lastRow, range.lastColumn);
    if (range.lastRow < range.firstRow || range.lastColumn < range.firstColumn)
        throw std::invalid_argument("a bordered range ends before it starts");
    borders_.push_back(range);
}

bool Workbook::bordered(int row, int column) const {
    for (const auto& r : borders_)
        if (row >= r.firstRow && row <= r.lastRow && column >= r.firstColumn &&
            column <= r.lastColumn)
            return true;
    return false;
}

void Workbook::save(const std::string& path) const {
    lxw_workbook* book = workbook_new(path.c_str());
    if (!book) throw std::runtime_error("無法建立活頁簿 " + path);
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    // Thin lines on every side of every cell of a range are its edges and its inside lines.
    lxw_format* thin = workbook_add_format(book);
    format_set_border(thin, LXW_BORDER_THIN);
    // An amount is a number shown as the list shows it, so that a sum in the sheet adds it.
    lxw_format* amount = workbook_add_format(book);
    format_set_num_format(amount, "#,##0");
    lxw_format* thinAmount = workbook_add_format(book);
    format_set_border(thinAmount, LXW_BORDER_THIN);
    format_set_num_format(thinAmount, "#,##0");

    lxw_error error = LXW_NO_ERROR;
    for (const auto& [column, width] : widths_)
        if (!error) error = worksheet_set_column(sheet, column - 1, column - 1, width, nullptr);
    for (const auto& [at, text] : cells_) {
        if (error) break;
        bool boxed = bordered(at.first, at.second);
        if (isAmountText(text))
            error = worksheet_write_number(sheet, at.first - 1, at.second - 1,
                                           static_cast<double>(AmountOf(text)),
                                           boxed ? thinAmount : amount);
        else
            error = worksheet_write_string(sheet, at.first - 1, at.second - 1, text.c_str(),
                                           boxed ? thin : nullptr);
    }
    for (const auto& r : borders_)
        for (int row = r.firstRow; row <= r.lastRow; ++row)
            for (int column = r.firstColumn; column <= r.lastColumn; ++column)
                if (!error && !cells_.contains({row, column}))
                    error = worksheet_write_blank(sheet, row - 1, column - 1, thin);

    lxw_error closed = workbook_close(book);
    check(error ? error : closed, path);
}

std::string columnLetters(int column) {
    std::string letters;
    for (; column > 0; column = (column - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (column - 1) % 26));
    return letters;
}

std::string showWorkbook(const Workbook& book, const std::string& title) {
    std::string path = saveAsNewFile(book, title);
    if (!openWithDesktop(path))
        messageBox("找不到可開啟活頁簿的程式，檔案已存於：\n" + path, 64, ApplicationTitle);
    return path;
}

}  // namespace kiv
