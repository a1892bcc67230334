#include <gtest/gtest.h>

#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
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
}

}  // namespace
}  // namespace kiv
