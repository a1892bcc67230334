#include "platform/report/PrintPreview.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>

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
        preview.exec();
    }
};

}  // namespace

void installPrintPreview() {
    static PrintPreviewOutput output;
    setReportOutput(&output);
}

}  // namespace kiv
