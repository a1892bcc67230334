#include "platform/report/PrintPreview.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>

#include "platform/forms/Host.h"
#include "platform/report/PagePainter.h"
#include "platform/report/ReportOutput.h"

namespace kiv {

namespace {

class PrintPreviewOutput : public ReportOutput {
  public:
    void print(const PrintJob& job) override {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageLayout(pageLayoutOf(job.pages));
        // The page model places everything from the paper's edge.
        printer.setFullPage(true);
        printer.setDocName(QFileInfo(QString::fromStdString(job.templateFile)).baseName());
        QPrintPreviewDialog preview(&printer);
        preview.setWindowTitle(QString::fromUtf8("預覽列印"));
        // Large enough to read a page without zooming first.
        if (QScreen* screen = QGuiApplication::primaryScreen())
            preview.resize(screen->availableGeometry().size() * 0.8);
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested,
                         [&job](QPrinter* target) { paintPages(job.pages, *target); });
        if (preview.exec() == QDialog::Accepted) tellWhereAFileWent(printer);
    }

  private:
    // The preview closes once it has printed; a print into a file says where the file went, so
    // that the user can find it.
    static void tellWhereAFileWent(const QPrinter& printer) {
        if (printer.outputFormat() != QPrinter::PdfFormat || printer.outputFileName().isEmpty())
            return;
        std::string path = QFileInfo(printer.outputFileName()).absoluteFilePath().toStdString();
        messageBox("已列印至檔案：\n" + path, 64, ApplicationTitle);
    }
};

}  // namespace

void installPrintPreview() {
    static PrintPreviewOutput output;
    setReportOutput(&output);
}

}  // namespace kiv
