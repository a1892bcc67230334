#pragma once

// The fields of one voucher as the voucher form and the generated-voucher form both show them:
// the same controls under the same names, on the same rows. Each form passes itself.

#include <cstdint>
#include <optional>
#include <string>

#include "ledger/Vouchers.h"
#include "platform/forms/Layout.h"

namespace kiv::voucherfields {

inline constexpr const char* Income = "(收入)";
inline constexpr const char* Expense = "(支出)";

// Rows of two columns, each a caption and its field.
inline constexpr int FormWidth = 12480;
inline constexpr int RowStep = 405;
inline constexpr int FieldHeight = 330;
inline constexpr int CaptionWidth = 1140;
inline constexpr int LeftCaption = 120;
inline constexpr int LeftField = 1320;
inline constexpr int LeftFieldWidth = 4440;
inline constexpr int RightCaption = 6000;
inline constexpr int RightField = 7200;
inline constexpr int RightFieldWidth = 5040;
// A caption sits lower than its field by the field's border and margin, so that their texts
// share a line.
inline constexpr int CaptionDrop = 45;
inline constexpr int CaptionHeight = FieldHeight - CaptionDrop;
inline constexpr int ChoiceHeight = 270;
inline constexpr unsigned CaptionLook = RightAligned;

constexpr int rowTop(int row) {
    return 120 + row * RowStep;
}

constexpr int captionTop(int row) {
    return rowTop(row) + CaptionDrop;
}
inline constexpr FieldRows Rows{rowTop(0), RowStep, FieldHeight, CaptionDrop, CaptionWidth};

inline std::string numberText(const std::optional<int64_t>& number) {
    return number ? std::to_string(*number) : "";
}

// The eight rows of fields, from the entry date to the receiver, with the picker of the
// occurrence date beside its label where the form has one. What else a form adds on those rows
// (the choice between staff and vendors) it places itself.
template <class VoucherForm>
void placeVoucherFields(VoucherForm& f, Control* dayPicker = nullptr) {
    applyLayout({
        Rows.caption(f.captions(0), LeftCaption, 0, "輸入日期:"),
        Rows.field(f.lbInDay, LeftField, 0, 3000, ValueField),
        Rows.caption(f.captions(1), RightCaption, 0, "單號:"),
        Rows.field(f.lbNo, RightField, 0, 2400, ValueField),
        {&f.lbStat, nullptr, 9720, captionTop(0), 2520, CaptionHeight, nullptr,
         RightAligned | Bold},

        Rows.caption(f.captions(2), LeftCaption, 1, "發生日期:"),
        Rows.field(f.lbHday, LeftField, 1, 3000, ValueField),
        {dayPicker, nullptr, 4380, rowTop(1), 1380, FieldHeight},
        Rows.caption(f.captions(3), RightCaption, 1, "用途說明:"),
        Rows.field(f.cbUse, RightField, 1, RightFieldWidth),

        Rows.caption(f.captions(4), LeftCaption, 2, "科目代號:"),
        Rows.field(f.cbAcc, LeftField, 2, 1800),
        {&f.lbAcIo, nullptr, 3240, captionTop(2), 1200, CaptionHeight, nullptr, Bold},
        Rows.caption(f.captions(5), RightCaption, 2, "科目名稱:"),
        Rows.field(f.lbAcTxt, RightField, 2, RightFieldWidth, ValueField),

        Rows.caption(f.captions(6), LeftCaption, 3, "金額(含稅):"),
        Rows.field(f.txtCash, LeftField, 3, 1800, RightAligned),
        Rows.caption(f.captions(7), 3240, 3, "有單據:", 900),
        {&f.Check1, nullptr, 4200, rowTop(3) + 30, 300, ChoiceHeight},
        {&f.Frame3, nullptr, RightCaption, rowTop(3), 6240, 360, nullptr, Borderless},
        {&f.invoiceNoCaption, &f.Frame3, 0, CaptionDrop, CaptionWidth, CaptionHeight,
         "單據號碼:", CaptionLook},
        {&f.txtBno, &f.Frame3, 1200, 0, 1560, FieldHeight},
        {&f.taxCaption, &f.Frame3, 2820, CaptionDrop, 540, CaptionHeight, "稅額:", CaptionLook},
        {&f.txtTax, &f.Frame3, 3420, 0, 900, FieldHeight, nullptr, RightAligned},
        {&f.O1(0), &f.Frame3, 4440, 30, 780, ChoiceHeight, "費用"},
        {&f.O1(1), &f.Frame3, 5280, 30, 960, ChoiceHeight, "進銷項"},

        Rows.caption(f.captions(8), LeftCaption, 4, "專案號碼:"),
        Rows.field(f.cbPj, LeftField, 4, 2400),
        Rows.caption(f.captions(9), RightCaption, 4, "專案名稱:"),
        Rows.field(f.lbPjTxt, RightField, 4, RightFieldWidth, ValueField),

        Rows.caption(f.captions(10), LeftCaption, 5, "工程種類:"),
        Rows.field(f.cbWt, LeftField, 5, LeftFieldWidth),
        Rows.caption(f.captions(11), RightCaption, 5, "附 註 一:"),
        Rows.field(f.cbPs1, RightField, 5, RightFieldWidth),

        Rows.caption(f.captions(12), LeftCaption, 6, "申 請 人:"),
        Rows.field(f.cbReq, LeftField, 6, 3000),
        Rows.caption(f.captions(13), RightCaption, 6, "附 註 二:"),
        Rows.field(f.cbPs2, RightField, 6, RightFieldWidth),

        Rows.caption(f.captions(14), LeftCaption, 7, "簽 收 人:"),
        Rows.field(f.cbSin, LeftField, 7, 3000),
    });
}

// The direction label and the account's name in the direction's colour.
template <class VoucherForm>
void showDirection(VoucherForm& f, bool expense) {
    Color colour = expense ? ExpenseRed : IncomeBlue;
    f.lbAcIo.SetForeColor(colour);
    f.lbAcTxt.SetForeColor(colour);
    f.lbAcIo.SetCaption(expense ? Expense : Income);
}

// Every field but the dates, the number and the states. The amount goes in before 有單據 and the
// tax after it: setting the tick runs its Click, which computes the tax afresh, and the stored
// tax must be what shows.
template <class VoucherForm>
void showVoucherFields(VoucherForm& f, const Voucher& v) {
    f.cbUse.SetText(v.use);
    f.txtCash.SetText(numberText(v.amount));
    f.cbAcc.SetText(v.account);
    showDirection(f, v.expense);
    f.lbAcTxt.SetCaption(v.accountName);
    f.cbPs1.SetText(v.note1);
    f.cbPs2.SetText(v.note2);
    f.cbPj.SetText(v.project);
    f.lbPjTxt.SetCaption(v.projectName);
    f.cbWt.SetText(v.workType);
    f.cbReq.SetText(v.applicant);
    f.cbSin.SetText(v.receiver);
    f.Check1.SetValue(v.receipt ? 1 : 0);
    f.txtBno.SetText(v.receiptNo);
    f.txtTax.SetText(numberText(v.tax));
    f.O1(v.sales ? 1 : 0).SetValue(true);
}

// The same fields read back from the controls into `v`; the amount, the tax, the dates, the
// number and the states are the form's to set: each form knows whether a box holds typed text or
// a value it read or wrote itself.
template <class VoucherForm>
void readVoucherFields(const VoucherForm& f, Voucher& v) {
    v.use = f.cbUse.Text();
    v.account = f.cbAcc.Text();
    v.expense = f.lbAcIo.Caption() != Income;
    v.accountName = f.lbAcTxt.Caption();
    v.note1 = f.cbPs1.Text();
    v.note2 = f.cbPs2.Text();
    v.project = f.cbPj.Text();
    v.projectName = f.lbPjTxt.Caption();
    v.workType = f.cbWt.Text();
    v.applicant = f.cbReq.Text();
    v.receiver = f.cbSin.Text();
    v.receipt = f.Check1.Value() == 1;
    v.receiptNo = f.txtBno.Text();
    v.sales = f.O1(1).Value();
}

}  // namespace kiv::voucherfields
