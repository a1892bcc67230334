#include "platform/report/Report.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "platform/db/Database.h"
#include "platform/forms/Host.h"
#include "platform/report/DefaultTemplates.h"
#include "platform/report/Layout.h"
#include "platform/report/ReportOutput.h"

namespace kiv {

namespace fs = std::filesystem;

namespace {

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The template's text. A missing template that the program ships is written again from the
// one built in; when the folder cannot take it, the built-in text prints all the same.
std::optional<std::string> templateText(const std::string& path) {
    std::error_code error;
    if (fs::exists(path, error)) {
        auto text = readFile(path);
        if (!text) messageBox("無法讀取報表範本: " + path, MessageCritical, CapitalsTitle);
        return text;
    }
    auto builtIn = builtInTemplate(fs::path(path).stem().string());
    if (!builtIn) {
        messageBox("找不到報表範本: " + path, MessageCritical, CapitalsTitle);
        return std::nullopt;
    }
    std::ofstream(path, std::ios::binary) << *builtIn;
    return std::string(*builtIn);
}

// The template reads several tables one statement after another: one transaction keeps them
// one state of the file. With a fill, it is the transaction that writes them.
ReportData readInOneTransaction(const Template& report, Database& db,
                                const std::function<void()>& fill) {
    Transaction transaction(db, fill ? TransactionKind::Writes : TransactionKind::Reads);
    if (fill) fill();
    ReportData data = readReportData(report, db);
    transaction.Commit();
    return data;
}

}  // namespace

void Report::SetDataFiles(int index, Database& db) {
    if (index != 0) throw std::out_of_range("a report reads data file 0 only");
    dataFile_ = &db;
}

Database* Report::DataFiles(int index) const {
    return index == 0 ? dataFile_ : nullptr;
}

void Report::SetAction(int action) {
    action_ = action;
    if (action == 1) run(nullptr);
}

void Report::PrintFilledBy(const std::function<void()>& fill) {
    run(fill);
}

void Report::run(const std::function<void()>& fill) {
    if (!dataFile_) throw std::logic_error("the report was given no data file");
    auto text = templateText(reportFileName_);
    if (!text) return;
    PrintJob job{reportFileName_, {}, {}};
    try {
        Template report = parseTemplate(*text);
        job.data = readInOneTransaction(report, *dataFile_, fill);
        job.pages = layOut(report, job.data);
    } catch (const TemplateError& error) {
        // The user knows the template by its file's name; the folder is the program's own.
        std::string file = fs::path(reportFileName_).filename().string();
        messageBox("報表範本錯誤: " + file + " 第 " + std::to_string(error.line()) + " 行",
                   MessageCritical, CapitalsTitle);
        return;
    }
    reportOutput().print(job);
}

}  // namespace kiv
