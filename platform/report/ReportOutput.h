#pragma once

#include <string>
#include <vector>

#include "platform/report/PageModel.h"
#include "platform/report/ReportData.h"

namespace kiv {

// One run of a report: the template it came from, the rows it read and its pages.
struct PrintJob {
    std::string templateFile;
    ReportData data;
    PageModel pages;
};

// Where a report goes once it is laid out: the real program shows it in a print preview, a
// headless run writes it into a PDF.
class ReportOutput {
  public:
    virtual ~ReportOutput() = default;
    virtual void print(const PrintJob& job) = 0;
};

// Sends every report from now on to `output`; nullptr goes back to the default output.
void setReportOutput(ReportOutput* output);
ReportOutput& reportOutput();

// Writes each report into a PDF file of its own and keeps what it printed, so that headless runs
// and tests can see the template, the rows read, the pages and the file.
class PdfReportOutput : public ReportOutput {
  public:
    struct Printed {
        PrintJob job;
        std::string pdfPath;
    };

    // The PDFs go into `folder`; "" is a folder of this process in the temporary folder.
    explicit PdfReportOutput(std::string folder = "");

    void print(const PrintJob& job) override;

    const std::vector<Printed>& printed() const { return printed_; }

  private:
    std::string newPdfPath(const std::string& templateFile);

    std::string folder_;
    std::vector<Printed> printed_;
};

// The output reports go to until another is set: a PdfReportOutput.
PdfReportOutput& defaultReportOutput();

}  // namespace kiv
