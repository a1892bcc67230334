#include "platform/report/PrintPreview.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeySequence>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>

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
        reachByKeyboard(preview);
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested,
                         [&job](QPrinter* target) { paintPages(job.pages, *target); });
        if (preview.exec() == QDialog::Accepted) tellWhereAFileWent(printer);
    }

    // The preview's tool buttons take no focus of their own: Tab reaches them, and Ctrl+P prints
    // as the print button does (the dialog names that button as its translation gives it).
    static void reachByKeyboard(QPrintPreviewDialog& preview) {
        for (QToolBar* bar : preview.findChildren<QToolBar*>())
            for (QToolButton* button : bar->findChildren<QToolButton*>())
                button->setFocusPolicy(Qt::TabFocus);
        const QString print = QCoreApplication::translate("QPrintPreviewDialog", "Print");
        for (QAction* action : preview.findChildren<QAction*>())
            if (action->text() == print) {
                action->setShortcut(QKeySequence::Print);
                action->setShortcutContext(Qt::WindowShortcut);
                preview.addAction(action);
            }
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
