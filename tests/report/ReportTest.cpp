#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/report/DefaultTemplates.h"
#include "platform/report/PagePainter.h"
#include "platform/report/PrintPreview.h"
#include "tests/report/PrintBook.h"

namespace kiv {
namespace {

// One voucher as the voucher form writes it into ptios: an expense of 12,000 with a receipt.
const std::string voucher =
    "中華民國 115 年 03 月 06 日|1150306001|現金|工地水電材料|P11501|信義路辦公大樓|水電|5102|"
    "(支出)|材料費|12,000|第一期|追加|王小明|李大華|中華民國 115 年 03 月 05 日|AB12345678|571|"
    "進銷項|壹萬貳仟  元整";

std::string fileText(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

std::set<std::string> pageTexts(const PageModel& model) {
    std::set<std::string> texts;
    for (const auto& page : model.pages)
        for (const auto& text : page.texts)
            texts.insert(text.text);
    return texts;
}

class ReportTest : public ::testing::Test {
  protected:
    void expectRefused(const std::string& name, const std::string& message) {
        book.host().answerMessage(AnswerOk);
        EXPECT_FALSE(book.print(name));
        ASSERT_FALSE(book.host().messages().empty());
        EXPECT_EQ(book.host().messages().back().text, message);
        EXPECT_EQ(book.host().messages().back().style, 16);
        EXPECT_EQ(book.host().messages().back().title, std::optional<std::string>("KIV"));
    }
    test::PrintBook book;
};

// Each shipped template, missing from the folder, is written from its default and prints every
// column of its table, on one page when the table is empty; the settings stay for the next run.
TEST_F(ReportTest, DefaultTemplatesPrintEveryFieldOfTheirTable) {
    book.fill("ptios", {voucher});
    book.pt().Execute("UPDATE company SET co_name = '大安營造有限公司'");
    const std::map<std::string, std::string> tables = {{"ios", "ptios"}, {"jios", "ptios"},
                                                       {"bill", "pt"},   {"bi", "bi"},
                                                       {"bo", "bo"},     {"io", "ptio"}};
    ASSERT_EQ(builtInTemplates().size(), tables.size());
    std::string pdf;
    for (const auto& [name, table] : tables) {
        Template t = parseTemplate(*builtInTemplate(name));
        ASSERT_TRUE(t.detail) << name;
        EXPECT_EQ(t.detail->table, table);
        // The cheque list's rows already hold its summary: no second one from biSum.
        EXPECT_TRUE(name != "bi" || !t.summary);
        std::set<int> columns;
        for (const auto& item : t.detail->items)
            if (const auto* field = std::get_if<FieldItem>(&item))
                columns.insert(field->ref.column);
        EXPECT_EQ(columns.size(), book.pt().FieldNames(table).size()) << name;
        const auto* printed = book.print(name);
        ASSERT_TRUE(printed) << name;
        EXPECT_EQ(printed->job.pages.pages.size(), 1u) << name;
        EXPECT_EQ(fileText(book.file(name + ".rpt")), std::string(*builtInTemplate(name)));
        if (name == "ios") pdf = printed->pdfPath;
        if (table != "ptios") continue;
        // The vouchers' title is Null in a new print file.
        auto texts = pageTexts(printed->job.pages);
        std::istringstream fields(voucher + "|收支單|大安營造有限公司");
        for (std::string field; std::getline(fields, field, '|');)
            EXPECT_TRUE(texts.contains(field)) << name << field;
    }
    book.crtp().SetAction(1);
    ASSERT_EQ(book.printed().size(), tables.size() + 1);
    EXPECT_EQ(book.printed().back().job.templateFile, book.file("jios.rpt"));
    // The PDF is A5 in the CJK font, and its texts read back, digits and capitals included.
    EXPECT_NE(test::commandOutput("pdfinfo '" + pdf + "'").find("(A5)"), std::string::npos);
    std::string text = test::pdfText(pdf);
    for (const char* expected :
         {"收支單", "大安營造有限公司", "1150306001", "12,000", "壹萬貳仟  元整", "AB12345678"})
        EXPECT_TRUE(test::pdfHolds(text, expected)) << expected;
}

TEST_F(ReportTest, AnEditedTemplateIsKeptAMissingOrFaultyOneIsRefusedAndNothingPrints) {
    const std::string edited = "rpt 1\nband header 10\ntext 0 0 50 L \"自訂\"\n";
    std::ofstream(book.file("io.rpt")) << edited;
    const auto* printed = book.print("io");
    ASSERT_TRUE(printed);
    EXPECT_EQ(pageTexts(printed->job.pages), std::set<std::string>{"自訂"});
    EXPECT_EQ(fileText(book.file("io.rpt")), edited);

    expectRefused("nothing", "找不到報表範本: " + book.file("nothing.rpt"));
    EXPECT_FALSE(std::filesystem::exists(book.file("nothing.rpt")));
    std::ofstream(book.file("bo.rpt")) << "rpt 1\n; list\nband detail bo 7\nfield 0 0 9 X #1\n";
    expectRefused("bo", "報表範本錯誤: bo.rpt 第 4 行");
    // A column the print table lacks is the template's fault too.
    std::ofstream(book.file("bo.rpt")) << "rpt 1\nband detail bo 7\nfield 0 0 9 L #10\n";
    expectRefused("bo", "報表範本錯誤: bo.rpt 第 3 行");
    EXPECT_EQ(book.printed().size(), 1u);
}

TEST_F(ReportTest, ThePreviewShowsTheReportsPagesInQtsPreviewWindow) {
    ensureApplication();
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

// The preview's print button is reached by Tab, and Ctrl+P opens the printing as it does.
TEST_F(ReportTest, ThePreviewPrintsByKeyboard) {
    ensureApplication();
    book.fill("ptio", {"115/01/05|1150105001|材料費|工地水電材料|12,000"});
    installPrintPreview();
    bool reachedByTab = false;
    QString asked;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        const QString print = QCoreApplication::translate("QPrintPreviewDialog", "Print");
        QToolButton* button = nullptr;
        for (QToolButton* candidate : dialog->findChildren<QToolButton*>())
            if (candidate->defaultAction() && candidate->defaultAction()->text() == print)
                button = candidate;
        ASSERT_TRUE(button);
        for (QWidget* w = dialog->nextInFocusChain(); w != dialog; w = w->nextInFocusChain())
            if (w == button && (w->focusPolicy() & Qt::TabFocus)) reachedByTab = true;
        dialog->activateWindow();
        QApplication::processEvents();
        QTimer::singleShot(0, [&] {
            QWidget* shown = QApplication::activeModalWidget();
            if (shown && shown != dialog) {
                asked = shown->metaObject()->className();
                shown->close();
            }
        });
        QTest::keyClick(dialog, Qt::Key_P, Qt::ControlModifier);
        dialog->reject();
    });
    EXPECT_FALSE(book.print("io"));
    EXPECT_TRUE(reachedByTab);
    EXPECT_EQ(asked.toStdString(), "QPrintDialog");
}

}  // namespace
}  // namespace kiv
