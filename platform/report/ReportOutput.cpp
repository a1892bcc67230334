#include "platform/report/ReportOutput.h"

#include <unistd.h>

#include <filesystem>

#include "platform/report/PagePainter.h"

namespace kiv {

namespace fs = std::filesystem;

namespace {

ReportOutput*& currentOutput() {
    static ReportOutput* output = nullptr;
    return output;
}

}  // namespace

void setReportOutput(ReportOutput* output) {
    currentOutput() = output;
}

ReportOutput& reportOutput() {
    return currentOutput() ? *currentOutput() : defaultReportOutput();
}

PdfReportOutput& defaultReportOutput() {
    static PdfReportOutput output;
    return output;
}

PdfReportOutput::PdfReportOutput(std::string folder) : folder_(std::move(folder)) {}

std::string PdfReportOutput::newPdfPath(const std::string& templateFile) {
    fs::path folder =
        folder_.empty() ? fs::temp_directory_path() / ("kiv-reports-" + std::to_string(::getpid()))
                        : fs::path(folder_);
    fs::create_directories(folder);
    std::string stem = fs::path(templateFile).stem().string();
    for (int n = 1;; ++n) {
        fs::path path = folder / (stem + "-" + std::to_string(n) + ".pdf");
        if (!fs::exists(path)) return path.string();
    }
}

void PdfReportOutput::print(const PrintJob& job) {
    std::string path = newPdfPath(job.templateFile);
    writePdf(job.pages, path);
    printed_.push_back({job, path});
}

}  // namespace kiv
