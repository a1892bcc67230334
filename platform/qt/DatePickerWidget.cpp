#include "platform/qt/DatePickerWidget.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>
#include <QToolTip>
#include <QVBoxLayout>

#include "platform/qt/QtLook.h"

namespace kiv {

DatePickerWidget::DatePickerWidget(FormWindow& window, DatePicker& picker, QWidget* parent)
    : QWidget(parent), ControlBinding(window, picker, *this), picker_(picker) {
    setFocusPolicy(Qt::StrongFocus);
}

namespace {

QDate qtDate(const Date& date) {
    return QDate(date.year(), date.month(), date.day());
}

}  // namespace

// The calendar that is open follows the model too, so that the date a form sets is the one the
// user sees picked.
void DatePickerWidget::show(Property property) {
    if (property != Property::Value && property != Property::Style) return;
    if (calendar_) showModelOnCalendar();
    update();
}

void DatePickerWidget::showModelOnCalendar() {
    calendar_->setDateRange(qtDate(picker_.MinDate()), qtDate(picker_.MaxDate()));
    calendar_->setSelectedDate(qtDate(picker_.Value()));
}

QRect DatePickerWidget::textArea() const {
    return QRect(4, 0, buttonRect().left() - 6, height());
}

QRect DatePickerWidget::buttonRect() const {
    int side = std::min(height(), 18);
    return QRect(width() - side - 2, 2, side, height() - 4).intersected(rect());
}

bool DatePickerWidget::textCut() const {
    if (!control() || buttonRect().left() <= 8) return false;
    return fontMetrics().horizontalAdvance(qs(picker_.DisplayText())) > textArea().width();
}

void DatePickerWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.lineWidth = 1;
    frame.state |= QStyle::State_Sunken;
    painter.fillRect(rect(), palette().color(isEnabled() ? QPalette::Base : QPalette::Window));
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &frame, &painter, this);
    QRect button = buttonRect();
    if (button.left() > 8 && control()) {
        // A date too wide for the box ends in an ellipsis; the whole date is the tooltip.
        QRect area = textArea();
        painter.setPen(palette().color(isEnabled() ? QPalette::Text : QPalette::Mid));
        painter.drawText(
            area, Qt::AlignVCenter | Qt::AlignLeft,
            fontMetrics().elidedText(qs(picker_.DisplayText()), Qt::ElideRight, area.width()));
    }
    QStyleOptionButton arrowButton;
    arrowButton.initFrom(this);
    arrowButton.rect = button;
    style()->drawControl(QStyle::CE_PushButtonBevel, &arrowButton, &painter, this);
    QStyleOption arrow;
    arrow.initFrom(this);
    arrow.rect = button.adjusted(3, 3, -3, -3);
    style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, &painter, this);
}

QCalendarWidget* DatePickerWidget::calendar() const {
    return popup_ && popup_->isVisible() ? calendar_ : nullptr;
}

void DatePickerWidget::openCalendar() {
    if (!control() || !isEnabled()) return;
    if (!popup_) {
        popup_ = new QWidget(this, Qt::Popup);
        auto* layout = new QVBoxLayout(popup_);
        layout->setContentsMargins(1, 1, 1, 1);
        calendar_ = new QCalendarWidget(popup_);
        // The month and day names in Traditional Chinese, the week from Sunday, as the
        // desktop's own calendar shows them.
        calendar_->setLocale(
            QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan));
        calendar_->setFirstDayOfWeek(Qt::Sunday);
        calendar_->setGridVisible(true);
        calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
        layout->addWidget(calendar_);
        connect(calendar_, &QCalendarWidget::clicked, this, [this](QDate date) { pickDate(date); });
        connect(calendar_, &QCalendarWidget::activated, this,
                [this](QDate date) { pickDate(date); });
    }
    {
        Updating guard(updating_);
        showModelOnCalendar();
    }
    popup_->adjustSize();
    popup_->move(mapToGlobal(QPoint(std::max(0, width() - popup_->width()), height())));
    popup_->show();
    calendar_->setFocus();
}

void DatePickerWidget::pickDate(const QDate& date) {
    if (updating_) return;
    if (popup_) popup_->hide();
    Date picked = Date::fromYmdHms(date.year(), date.month(), date.day(), picker_.Value().hour(),
                                   picker_.Value().minute(), picker_.Value().second());
    userAction([&](Control& c) { static_cast<DatePicker&>(c).userPick(picked); });
    update();
}

bool DatePickerWidget::filter(QObject* watched, QEvent* event) {
    if (!control() || watched != this) return false;
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        openCalendar();
        return true;
    }
    if (event->type() == QEvent::ToolTip) {
        QString shown = qs(picker_.DisplayText());
        if (fontMetrics().horizontalAdvance(shown) <= textArea().width()) return false;
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), shown, this);
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        bool opens = key->key() == Qt::Key_F4 || key->key() == Qt::Key_Space ||
                     (key->key() == Qt::Key_Down && (key->modifiers() & Qt::AltModifier));
        if (opens) {
            openCalendar();
            return true;
        }
        bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        bool picked = false;
        if (enter && userAction([&](Control& c) {
                picked = static_cast<DatePicker&>(c).userEnterOverCell();
            }) &&
            picked)
            return true;
    }
    return ControlBinding::filter(watched, event);
}

}  // namespace kiv
