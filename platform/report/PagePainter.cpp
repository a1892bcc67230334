#include "platform/report/PagePainter.h"

#include <QApplication>
#include <QFile>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <stdexcept>

#include "platform/forms/Control.h"

namespace kiv {

namespace {

constexpr double ThinLineMm = 0.25;

Qt::Alignment alignmentOf(Align align) {
    switch (align) {
        case Align::Center:
            return Qt::AlignHCenter;
        case Align::Right:
            return Qt::AlignRight;
        default:
            return Qt::AlignLeft;
    }
}

class PagePainter {
  public:
    PagePainter(QPainter& painter, double dotsPerInch)
        : painter_(painter), dotsPerMm_(dotsPerInch / 25.4) {}

    void paint(const Page& page) {
        QPen pen(Qt::black);
        pen.setWidthF(ThinLineMm * dotsPerMm_);
        painter_.setPen(pen);
        painter_.setBrush(Qt::NoBrush);
        for (const auto& line : page.lines)
            painter_.drawLine(QPointF(at(line.x1), at(line.y1)), QPointF(at(line.x2), at(line.y2)));
        for (const auto& box : page.boxes)
            painter_.drawRect(rect(box.x, box.y, box.width, box.height));
        for (const auto& text : page.texts)
            paint(text);
    }

  private:
    double at(double mm) const { return mm * dotsPerMm_; }
    QRectF rect(double x, double y, double width, double height) const {
        return QRectF(at(x), at(y), at(width), at(height));
    }

    // One line in its box, cut off at the box's edges rather than wrapped.
    void paint(const PageText& text) {
        QFont font(DefaultFontFamily);
        font.setPointSizeF(text.font.size);
        font.setBold(text.font.bold);
        // Shaping swaps in digit glyphs the PDF cannot map back to characters ("AB1001" would
        // copy out as "AB"); Chinese and Latin text need none.
        font.setStyleStrategy(QFont::PreferNoShaping);
        painter_.setFont(font);
        QRectF box = rect(text.x, text.y, text.width, text.height);
        QString line = QString::fromStdString(text.text);
        // A text too wide for its box shows its beginning, whatever its alignment.
        bool fits = QFontMetricsF(font, painter_.device()).horizontalAdvance(line) <= box.width();
        painter_.save();
        painter_.setClipRect(box);
        painter_.drawText(box,
                          (fits ? alignmentOf(text.align) : Qt::AlignLeft) | Qt::AlignVCenter |
                              Qt::TextSingleLine,
                          line);
        painter_.restore();
    }

    QPainter& painter_;
    double dotsPerMm_;
};

}  // namespace

QPageLayout pageLayoutOf(const PageModel& model) {
    // Printers know landscape pages as turned portrait ones.
    bool landscape = model.width > model.height;
    QSizeF portrait(std::min(model.width, model.height), std::max(model.width, model.height));
    return QPageLayout(QPageSize(portrait, QPageSize::Millimeter),
                       landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(),
                       QPageLayout::Millimeter);
}

void paintPages(const PageModel& model, QPagedPaintDevice& device) {
    QPainter painter(&device);
    painter.setRenderHint(QPainter::Antialiasing);
    PagePainter pagePainter(painter, device.logicalDpiX());
    for (size_t i = 0; i < model.pages.size(); ++i) {
        if (i > 0) device.newPage();
        pagePainter.paint(model.pages[i]);
    }
}

void ensureApplication() {
    if (QCoreApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "kiv";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

void writePdf(const PageModel& model, const std::string& path) {
    ensureApplication();
    QString file = QString::fromStdString(path);
    {
        QPdfWriter writer(file);
        writer.setCreator("Kiv");
        writer.setPageLayout(pageLayoutOf(model));
        paintPages(model, writer);
    }
    if (!QFile::exists(file) || QFile(file).size() == 0)
        throw std::runtime_error("無法寫入報表檔 " + path);
}

}  // namespace kiv
