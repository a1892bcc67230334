#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTimer>

#include "platform/report/PagePainter.h"
#include "platform/report/PrintPreview.h"
#include "tests/report/PrintBook.h"

namespace kiv {
namespace {

TEST(PrintPreview, ShowsTheReportsPagesInQtsPreviewWindow) {
    ensureApplication();
    test::PrintBook book;
    book.fill("ptio",
              std::vector<std::string>(40, "115/01/05|1150105001|材料費|工地水電材料|12,000"));
    installPrintPreview();

    int pages = 0;
    QString title;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        title = dialog->windowTitle();
        pages = dialog->findChild<QPrintPreviewWidget*>()->pageCount();
        EXPECT_FALSE(dialog->grab().isNull());
        dialog->reject();
    });
    EXPECT_FALSE(book.print("io"));
    EXPECT_EQ(title.toStdString(), "預覽列印");
    EXPECT_EQ(pages, 2);

    // Printed into a file, the preview closes and says where the file is.
    const QString pdf = QString::fromStdString(book.file("收支單.pdf"));
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
        dialog->printer()->setOutputFileName(pdf);
        dialog->findChild<QPrintPreviewWidget*>()->print();
        dialog->accept();
    });
    book.host().answerMessage(AnswerOk);
    EXPECT_FALSE(book.print("io"));
    EXPECT_EQ(book.host().messageTexts(),
              std::vector<std::string>{"已列印至檔案：\n" + pdf.toStdString()});
    EXPECT_TRUE(QFile::exists(pdf));
}

}  // namespace
}  // namespace kiv
