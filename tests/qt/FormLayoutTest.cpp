#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>
#include <functional>
#include <map>

#include "books/BookForms.h"
#include "cheques/ChequeForms.h"
#include "cheques/Cheques.h"
#include "contracts/ContractForms.h"
#include "platform/forms/Clock.h"
#include "platform/forms/ListControls.h"
#include "projects/ProjectForms.h"
#include "shell/frmAccMain.h"
#include "shell/mdM.h"
#include "statistics/StatisticsForms.h"
#include "tests/qt/QtTestSupport.h"
#include "tests/support/ProgramTest.h"
#include "vouchers/VoucherForms.h"

using namespace kiv;

namespace {

// The smallest screen the program is used on: 1024 by 768 pixels.
constexpr ScreenSize SmallScreen{1024 * TwipsPerPixel, 768 * TwipsPerPixel};

struct Rect {
    int left, top, right, bottom;  // twips on the form's client area; right and bottom outside
    bool intersects(const Rect& o) const {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
};

Rect rectOnForm(const Control& control) {
    int left = 0, top = 0;
    for (const Control* c = &control; c; c = c->Container()) {
        left += c->Left();
        top += c->Top();
    }
    return {left, top, left + control.Width(), top + control.Height()};
}

int pixels(int twips) {
    return twips / TwipsPerPixel;
}

// The caption as drawn: without the "&" that marks an access key.
QString plainCaption(const std::string& caption) {
    QString text = QString::fromStdString(caption), shown;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        shown += text[i];
    }
    return shown;
}

// Where a control's widget draws its text, in pixels of the control, as the desktop's style lays
// it out for a widget of that kind and size; and the text it draws there.
struct TextPlace {
    QRect area;
    QString text;
    int alignment = 0;  // 0 left, 1 right, 2 centre
};

template <class Option, class W>
Option optionOf(W& widget) {
    Option option;
    option.initFrom(&widget);
    return option;
}

std::optional<TextPlace> textPlaceOf(const Control& control) {
    QSize size(pixels(control.Width()), pixels(control.Height()));
    QFont font = controlFont(control.FontSize(), control.FontBold());
    auto sized = [&](QWidget& widget) {
        widget.setFont(font);
        widget.resize(size);
    };
    if (auto* label = dynamic_cast<const Label*>(&control)) {
        QLabel widget;
        sized(widget);
        if (label->BorderStyle() == 1) widget.setFrameStyle(QFrame::Panel | QFrame::Sunken);
        return TextPlace{widget.contentsRect(), plainCaption(label->Caption()), label->Alignment()};
    }
    if (auto* button = dynamic_cast<const CommandButton*>(&control)) {
        QPushButton widget;
        sized(widget);
        auto option = optionOf<QStyleOptionButton>(widget);
        QRect area =
            widget.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &widget);
        return TextPlace{area, plainCaption(button->Caption()), 2};
    }
    auto indicated = [&](QWidget& widget, QStyle::SubElement contents, const std::string& text) {
        sized(widget);
        auto option = optionOf<QStyleOptionButton>(widget);
        return TextPlace{widget.style()->subElementRect(contents, &option, &widget),
                         plainCaption(text), 0};
    };
    if (auto* check = dynamic_cast<const CheckBox*>(&control)) {
        QCheckBox widget;
        return indicated(widget, QStyle::SE_CheckBoxContents, check->Caption());
    }
    if (auto* option = dynamic_cast<const OptionButton*>(&control)) {
        QRadioButton widget;
        return indicated(widget, QStyle::SE_RadioButtonContents, option->Caption());
    }
    if (dynamic_cast<const TextBox*>(&control)) {
        QLineEdit widget;
        sized(widget);
        auto option = optionOf<QStyleOptionFrame>(widget);
        option.lineWidth = widget.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option);
        QRect area = widget.style()->subElementRect(QStyle::SE_LineEditContents, &option, &widget);
        // The line editor's own margin inside its contents.
        return TextPlace{area.adjusted(2, 1, -2, -1), {}, 0};
    }
    if (dynamic_cast<const ComboBox*>(&control)) {
        QComboBox widget;
        widget.setEditable(true);
        sized(widget);
        auto option = optionOf<QStyleOptionComboBox>(widget);
        option.editable = true;
        QRect area = widget.style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                    QStyle::SC_ComboBoxEditField, &widget);
        return TextPlace{area.adjusted(2, 1, -2, -1), {}, 0};
    }
    return std::nullopt;
}

// The height the glyphs of a line take, the top of the Chinese characters to the bottom of a
// comma, in pixels: what a box must hold for no digit or comma to lose its bottom.
int inkHeight(const QFont& font) {
    return QFontMetrics(font).tightBoundingRect(QStringLiteral("國1,")).height();
}

// The problems of one shown control's text: cut at its side or bottom, or covered by another
// control drawn above it.
std::vector<std::string> textProblems(const Form& form, const Control& control) {
    std::vector<std::string> problems;
    std::optional<TextPlace> place = textPlaceOf(control);
    if (!place) return problems;
    QFont font = controlFont(control.FontSize(), control.FontBold());
    QFontMetrics metrics(font);
    const std::string name =
        control.Name() + (control.Index() >= 0 ? "(" + std::to_string(control.Index()) + ")" : "");
    const QRect& area = place->area;
    if (area.height() < inkHeight(font))
        problems.push_back(name + " is too low for its font (" + std::to_string(area.height()) +
                           " px)");
    if (place->text.isEmpty()) return problems;
    bool oneLine = area.height() < 2 * metrics.lineSpacing();
    int textWidth = metrics.horizontalAdvance(place->text);
    if (oneLine && textWidth > area.width())
        problems.push_back(name + " cuts \"" + place->text.toStdString() + "\" (" +
                           std::to_string(textWidth) + " px in " + std::to_string(area.width()) +
                           ")");
    // The part of the form the text takes.
    Rect box = rectOnForm(control);
    int shown = std::min(textWidth, area.width());
    int left = place->alignment == 1   ? area.right() + 1 - shown
               : place->alignment == 2 ? area.left() + (area.width() - shown) / 2
                                       : area.left();
    Rect text{box.left + left * TwipsPerPixel, box.top + area.top() * TwipsPerPixel,
              box.left + (left + shown) * TwipsPerPixel,
              box.top + (area.bottom() + 1) * TwipsPerPixel};
    for (Control* other : form.Controls()) {
        if (other == &control || dynamic_cast<Menu*>(other) || !other->IsEffectivelyVisible() ||
            !DrawnAbove(*other, control) || StandingIn(control, other))
            continue;
        if (rectOnForm(*other).intersects(text))
            problems.push_back(name + "'s text is covered by " + other->Name());
    }
    return problems;
}

// A form larger than the screen, or a control cut off at the form's right edge, which the user
// cannot reach or read. (Controls below a form's bottom edge are hidden there on purpose: a form
// that folds away a part of itself.)
std::vector<std::string> placesOffScreen(const Form& form) {
    std::vector<std::string> problems;
    if (form.Width() > SmallScreen.width || form.Height() > SmallScreen.height)
        problems.push_back("the form is " + std::to_string(pixels(form.Width())) + " x " +
                           std::to_string(pixels(form.Height())) + " px");
    for (Control* control : form.Controls()) {
        if (!control->IsEffectivelyVisible() || dynamic_cast<Menu*>(control)) continue;
        Rect place = rectOnForm(*control);
        bool shown = place.left < form.ScaleWidth() && place.top < form.ScaleHeight();
        if (shown && place.right > form.ScaleWidth() + TwipsPerPixel)
            problems.push_back(control->Name() + " is cut off at the form's right edge");
    }
    return problems;
}

// Every form of the program opened on a small screen, over books with a little of everything in
// them, as a user meets it.
class FormLayoutTest : public test::ProgramTest {
  protected:
    void SetUp() override {
        testApplication();
        ProgramTest::SetUp();
        host.setScreenSize(SmallScreen);
        Clock::useFixedTime(Date::fromYmdHms(2026, 3, 15, 9, 30, 0));
        registerVoucherForms();
        registerChequeForms();
        registerBookForms();
        registerProjectForms();
        registerContractForms();
        registerStatisticsForms();
        storeSampleBooks();
        loggedInWith(AllRights);
    }
    void TearDown() override {
        Clock::useSystemTime();
        ProgramTest::TearDown();
    }

    static void storeSampleBooks() {
        PeopleDb().Execute("INSERT INTO super VALUES ('wren', 'x')");
        PeopleDb().Execute(
            "INSERT INTO 員工 (員工編號, 中文姓名, 英文姓名, AccS) VALUES ('01001', '王小明', "
            "'wang', '0')");
        PeopleDb().Execute("INSERT INTO 種 (t_id, t) VALUES (1, '土木'), (2, '水電')");
        PeopleDb().Execute("INSERT INTO 客戶 (客戶編號, 客戶名稱) VALUES ('C1', '林先生')");
        AccDb().Execute("INSERT INTO obank VALUES ('台灣銀行 信義分行', '001-123', '永建營造', 0)");
        AccDb().Execute("INSERT INTO bbank VALUES ('土地銀行', '002-456', '永建營造', 0)");
        AccDb().Execute("INSERT INTO acc VALUES ('5101', 0, '材料費')");
        AccDb().Execute(
            "INSERT INTO prj (id, prj, tCash, cust, final, sinDay) VALUES ('P001', '一號工程', "
            "1500000, '林先生', 0, '2026-03-01')");
        AccDb().Execute(
            "INSERT INTO iof (輸入日期, 單號, 用途說明, 方式, 金額, 科目代號, pay, 科目名稱, "
            "發生日期, 申請人, 專案號碼, 專案名稱) VALUES ('2026-03-10', '1150310001', "
            "'工地水電材料', 1, 1151207004, '5101', 1, '材料費', '2026-03-10', '王小明', "
            "'P001', '一號工程'), ('2026-03-15', '1150315001', '模板租金', -1, 300, '5101', 1, "
            "'材料費', '2026-03-15', '王小明', NULL, NULL)");
        Cheque cheque;
        cheque.number = "KC-0098765";
        cheque.issueDate = Date::fromYmd(2026, 3, 1);
        cheque.dueDate = Date::fromYmd(2026, 3, 14);
        cheque.reminderDate = Date::fromYmd(2026, 3, 10);
        cheque.drawerBank = "土地銀行";
        cheque.drawerAccount = "002-456";
        cheque.payeeBank = "第一銀行 松山分行";
        cheque.payeeAccount = "900-1";
        cheque.drawer = "永建營造";
        cheque.payee = "林先生";
        cheque.amount = 1151207004;
        cheque.voucherNo = "1150310001";
        AddCheque(AccDb(), cheque);
        AccDb().Execute(
            "INSERT INTO ri VALUES ('115031001', '一號工程合約', '2026-03-01', '林先生', "
            "'林小姐', '02-23456789', '1,000,000', '50,000', '0', '1,050,000', '', 'Q1', "
            "'K1', '一號工程', 'P001', '土木', '5,000', 0, '0')");
        AccDb().Execute(
            "INSERT INTO ri期 VALUES ('115031001', 1, '1,050,000', '2026-03-27', '100.00%', "
            "NULL, '', '', NULL, 0, '', '', 0)");
    }

    // What a form needs handed to it before it opens, as the form that opens it does.
    void prepare(const std::string& name) {
        if (name == "frmIoAuto") {
            AutoVoucherFromCashing = true;
            CashingVoucherNo = "1150310001";
        }
        if (name == "frmBill") {
            ShowOneRecord = true;
            ChequeVoucherNo = "1150310001";
        }
        // The account addition and the settlement dialog read the voucher form that opens them.
        if (name == "frmAdAcc" || name == "frmMach") Forms::getByName("frmIo")->Show();
        if (name == "frmMach" || name == "frmMchIo") {
            Forms::getByName("frmRio")->Show();
            SettleReceivable = true;
            SettleIsInstalment = true;
            SettleAmount = "1,050,000";
            SettlePeriod = 1;
        }
        if (name == "frmRioser") Forms::getByName("frmRio")->Show();
        if (name == "frmPjVSrIO") Forms::getByName("frmPj")->Show();
    }

    // The buttons that change a form's shape, pressed once the form has been checked as it
    // opened, to check it again: the adding views of the staff and contract forms, the work-type
    // editor's name box.
    static std::vector<std::string> reshapingButtons(const std::string& name) {
        if (name == "frmSta" || name == "frmRio") return {"cmdAdd"};
        if (name == "frmEm") return {"cmdNew"};
        if (name == "frmIo") return {"cmdNck"};
        return {};
    }

    // Opens each form in turn, checks it with `check` and puts everything away again.
    void forEveryForm(const std::function<void(Form&)>& check) {
        std::vector<std::string> names = Forms::registeredNames();
        ASSERT_GT(names.size(), 25u);
        for (const std::string& name : names) {
            SCOPED_TRACE(name);
            host.act([&] {
                // A generated voucher is written inside its caller's transaction.
                std::optional<Transaction> caller;
                if (name == "frmIoAuto") caller.emplace(AccDb(), TransactionKind::Writes);
                prepare(name);
                Form* form = Forms::getByName(name);
                if (!form) return;
                form->Show();
                // The launcher bar is looked at as it unfolds under the mouse.
                if (name == frmAccMain::FormName) form->SetHeight(frmAccMain::UnfoldedHeight);
                if (form->IsUnloaded()) ADD_FAILURE() << name << " closed as it opened";
                if (!form->IsUnloaded()) check(*form);
                for (const std::string& button : reshapingButtons(name)) {
                    SCOPED_TRACE(button);
                    form->FindControl(button)->userClick();
                    check(*form);
                }
            });
            Forms::discardAll();
            ResetSharedState();
            loggedInWith(AllRights);
        }
        for (const auto& message : host.messages())
            ADD_FAILURE() << "a form said: " << message.text;
    }
};

// Tab reaches a control only where the form shows it: its top left corner, with the places of the
// frames and pages that hold it added, inside the form's client area. No stop lies beyond it.
TEST_F(FormLayoutTest, TabGoesThroughEveryFormInTheOrderItsLayoutReads) {
    forEveryForm([](Form& form) {
        const auto shown = [&form](const Control& control) {
            const Rect place = rectOnForm(control);
            return place.left < form.ScaleWidth() && place.top < form.ScaleHeight();
        };
        std::vector<Control*> reading;
        for (Control* control : form.ReadingOrder())
            if (control->TabStop() && control->CanTakeFocus() && shown(*control))
                reading.push_back(control);
        std::vector<Control*> walked;
        for (Control* control : form.TabOrder()) {
            EXPECT_TRUE(shown(*control)) << control->Name() << " is a Tab stop beyond the edges";
            if (std::find(reading.begin(), reading.end(), control) != reading.end())
                walked.push_back(control);
        }
        auto names = [](const std::vector<Control*>& controls) {
            std::string text;
            for (Control* c : controls)
                text += c->Name() + (c->Index() >= 0 ? std::to_string(c->Index()) : "") + " ";
            return text;
        };
        EXPECT_EQ(names(walked), names(reading));
    });
}

TEST_F(FormLayoutTest, EveryCaptionFitsItsControlAndNothingCoversIt) {
    forEveryForm([](Form& form) {
        for (Control* control : form.Controls())
            if (control->IsEffectivelyVisible())
                for (const std::string& problem : textProblems(form, *control))
                    ADD_FAILURE() << problem;
    });
}

TEST_F(FormLayoutTest, EveryFormFitsASmallScreen) {
    forEveryForm([](Form& form) {
        for (const std::string& problem : placesOffScreen(form))
            ADD_FAILURE() << problem;
    });
}

}  // namespace
