#include <QImage>
#include <set>

#include "tests/qt/QtTestSupport.h"
#include "tests/qt/SampleForm.h"

using namespace kiv;

namespace {

// Screenshots go to the build folder (where the test program is), one PNG per form.
std::string screenshotPath(const std::string& formName) {
    return utf8(QCoreApplication::applicationDirPath()) + "/screenshots/" + formName + ".png";
}

class ScreenshotTest : public QtTest {};

TEST_F(ScreenshotTest, TheSampleFormWithEveryControlKindIsDrawn) {
    frmQtSample& form = Forms::get<frmQtSample>();
    form.Show();
    std::string path = screenshotPath(frmQtSample::FormName);
    saveFormScreenshot(form, path);

    QImage image(QString::fromStdString(path));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(form.ScaleWidth() / 15, form.ScaleHeight() / 15));
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            colours.insert(image.pixel(x, y));
    // The face, white boxes, black text, the blue and red amounts, the coloured headers, the
    // anti-aliased Chinese glyphs.
    EXPECT_GT(colours.size(), 40u);

    // The red "(支出)" label's glyphs and its pink back colour are where the label is.
    QRect label(form.lbAcIo.Left() / 15, form.lbAcIo.Top() / 15, form.lbAcIo.Width() / 15,
                form.lbAcIo.Height() / 15);
    int red = 0, pink = 0;
    for (int y = label.top(); y <= label.bottom(); ++y)
        for (int x = label.left(); x <= label.right(); ++x) {
            QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 80 && c.blue() < 80) ++red;
            if (c == QColor(255, 192, 192)) ++pink;
        }
    EXPECT_GT(red, 10);
    EXPECT_GT(pink, 100);
}

TEST_F(ScreenshotTest, AFormWithoutAWindowCannotBePhotographed) {
    class frmPlain : public Form {
      public:
        frmPlain() : Form("frmPlain") {}
    } plain;
    EXPECT_THROW(saveFormScreenshot(plain, screenshotPath("frmPlain")), std::logic_error);
}

}  // namespace
