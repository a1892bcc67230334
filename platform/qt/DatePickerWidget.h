#pragma once

#include <QWidget>

#include "platform/forms/Controls.h"
#include "platform/qt/ControlBinding.h"

class QCalendarWidget;

namespace kiv {

// A date picker: a box showing the date as the model formats it (ROC years with the custom
// format) and a drop-down button that opens a month calendar. A date clicked in the calendar is
// the user's pick. Shrunk to its button it shows the button only.
class DatePickerWidget : public QWidget, public ControlBinding {
  public:
    DatePickerWidget(FormWindow& window, DatePicker& picker, QWidget* parent);

    void openCalendar();
    // The open calendar, or null.
    QCalendarWidget* calendar() const;
    // True when the box shows its date with an ellipsis, too narrow for the whole of it. Shrunk to
    // its button the box shows no date, which is not a cut one.
    bool textCut() const;

  protected:
    void show(Property property) override;
    bool filter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    QRect buttonRect() const;
    QRect textArea() const;
    void showModelOnCalendar();
    void pickDate(const QDate& date);

    DatePicker& picker_;
    QWidget* popup_ = nullptr;
    QCalendarWidget* calendar_ = nullptr;
};

}  // namespace kiv
