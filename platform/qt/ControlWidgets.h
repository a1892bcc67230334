#pragma once

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include "platform/forms/Controls.h"
#include "platform/qt/ControlBinding.h"

namespace kiv {

class FormWindow;

// Makes the widget of a control, a child of `parent`; null for a control that has none (a menu).
ControlBinding* makeControlWidget(FormWindow& window, Control& control, QWidget* parent);

class LabelWidget : public QLabel, public ControlBinding {
  public:
    LabelWidget(FormWindow& window, Label& label, QWidget* parent);

  protected:
    void show(Property property) override;
    void applyColors() override;
    bool filter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void showCaption();
    Label& label_;
    // The caption is shown cut short; the box is lower than the font's line.
    bool cut_ = false;
    bool low_ = false;
};

class CommandButtonWidget : public QPushButton, public ControlBinding {
  public:
    CommandButtonWidget(FormWindow& window, CommandButton& button, QWidget* parent);

  protected:
    void show(Property property) override;
    void applyColors() override;
    bool filter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    CommandButton& button_;
};

// A check box or an option button. The model decides the new state (and raises Click); Qt only
// asks. The whole control takes the click, not only the box and the caption.
template <class Button>
class ModelButton : public Button, public ControlBinding {
  public:
    ModelButton(FormWindow& window, Control& control, QWidget* parent)
        : Button(parent), ControlBinding(window, control, *this) {
        this->setFocusPolicy(Qt::TabFocus);
        this->setAutoFillBackground(true);
    }

  protected:
    void nextCheckState() override {
        if (userAction([](Control& c) { c.userClick(); })) show(Property::Value);
    }
    bool hitButton(const QPoint& point) const override { return this->rect().contains(point); }
};

class CheckBoxWidget : public ModelButton<QCheckBox> {
  public:
    CheckBoxWidget(FormWindow& window, CheckBox& box, QWidget* parent);

  protected:
    void show(Property property) override;

  private:
    CheckBox& box_;
};

class OptionButtonWidget : public ModelButton<QRadioButton> {
  public:
    OptionButtonWidget(FormWindow& window, OptionButton& option, QWidget* parent);

  protected:
    void show(Property property) override;
    bool filter(QObject* watched, QEvent* event) override;

  private:
    OptionButton& option_;
};

class FrameWidget : public QGroupBox, public ControlBinding {
  public:
    FrameWidget(FormWindow& window, Frame& frame, QWidget* parent);

  protected:
    void show(Property property) override;

  private:
    Frame& frame_;
};

class PictureBoxWidget : public QFrame, public ControlBinding {
  public:
    PictureBoxWidget(FormWindow& window, PictureBox& picture, QWidget* parent);

  protected:
    void show(Property property) override;

  private:
    PictureBox& picture_;
};

class ScrollBarWidget : public QScrollBar, public ControlBinding {
  public:
    ScrollBarWidget(FormWindow& window, FlatScrollBar& bar, QWidget* parent);

  protected:
    void show(Property property) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void takeValue(int value);
    FlatScrollBar& bar_;
};

}  // namespace kiv
