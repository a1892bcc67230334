#include <gtest/gtest.h>

#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTimer>

#include "platform/report/PrintPreview.h"
#include "platform/report/Report.h"
#include "tests/report/PrintBook.h"

namespace kiv {
namespace {

QApplication& application() {
    static int argc = 1;
    static char name[] = "test_report";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qApp) new QApplication(argc, argv);
    return *qobject_cast<QApplication*>(qApp);
}

TEST(PrintPreview, ShowsTheReportsPagesInQtsPreviewWindow) {
    application();
    test::PrintBook book;
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 40; ++i)
        rows.push_back({"115/01/05", "1150105001", "材料費", "工地水電材料", "12,000"});
    book.fill("ptio", rows);
    installPrintPreview();

    int pages = 0;
    QString title;
    QImage shot;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        title = dialog->windowTitle();
        auto* preview = dialog->findChild<QPrintPreviewWidget*>();
        ASSERT_TRUE(preview);
        pages = preview->pageCount();
        shot = dialog->grab().toImage();
        shot.save(QString::fromStdString(book.file("preview.png")));
        dialog->reject();
    });
    Report crtp;
    crtp.SetDataFiles(0, book.pt());
    crtp.SetReportFileName(programFile("io.rpt"));
    crtp.SetAction(1);

    EXPECT_EQ(title.toStdString(), "預覽列印");
    EXPECT_EQ(pages, 2);
    EXPECT_FALSE(shot.isNull());
    EXPECT_TRUE(book.printed().empty());
}

}  // namespace
}  // namespace kiv
