#include "vouchers/frmAdAcc.h"

#include "platform/forms/Forms.h"
#include "platform/forms/Host.h"
#include "platform/forms/Layout.h"
#include "shell/mdM.h"
#include "vouchers/VoucherFields.h"
#include "vouchers/WordLists.h"
#include "vouchers/frmIo.h"

namespace kiv {

using namespace voucherfields;

frmAdAcc::frmAdAcc() : Form(FormName) {
    SetCaption("新增科目");
    SetBorderStyle(3);
    SetMaxButton(false);
    SetMinButton(false);
    SetClientSize(4200, 2100);
    SetCentreOnOwner(true);
    applyLayout({
        {&captions(0), nullptr, 120, 195, 1080, 285, "科目代號:", RightAligned},
        {&lbAccNo, nullptr, 1260, 150, 1500, 330, nullptr, ValueField},
        {&captions(1), nullptr, 120, 615, 1080, 285, "科目名稱:", RightAligned},
        {&txtAcc, nullptr, 1260, 570, 2760, 330},
        {&captions(2), nullptr, 120, 1035, 1080, 285, "借  /  貸:", RightAligned},
        {&Ot1(0), nullptr, 1260, 1020, 1080, 270, "(收入)"},
        {&Ot1(1), nullptr, 2460, 1020, 1080, 270, "(支出)"},
        {&Command1, nullptr, 1260, 1500, 1080, 390, "確定"},
        {&Command2, nullptr, 2460, 1500, 1080, 390, "取消"},
    });
    Ot1(0).SetForeColor(IncomeBlue);
    Ot1(1).SetForeColor(ExpenseRed);
    Ot1(0).SetValue(true);
    txtAcc.SetForeColor(IncomeBlue);
    for (int i = 0; i < 2; ++i)
        Ot1(i).Click = [this, i] { Ot1_Click(i); };
    Command1.SetDefault(true);
    Command2.SetCancel(true);
    Command1.Click = [this] { Command1_Click(); };
    Command2.Click = [this] { Command2_Click(); };
}

// The voucher form opened this dialog and stays loaded under it.
frmIo& frmAdAcc::VoucherForm() const {
    return Forms::loadedForm<frmIo>();
}

// The side follows the colour of the voucher form's direction label, which a new voucher shows
// before it has a caption.
void frmAdAcc::Form_Load() {
    frmIo& io = VoucherForm();
    lbAccNo.SetCaption(io.cbAcc.Text());
    if (io.lbAcIo.ForeColor() == ExpenseRed) Ot1(1).SetValue(true);
}

// The voucher form shows the side at once; a cancel leaves the colours as they are.
void frmAdAcc::Ot1_Click(int) {
    Color colour = Ot1(0).Value() ? IncomeBlue : ExpenseRed;
    txtAcc.SetForeColor(colour);
    VoucherForm().lbAcIo.SetForeColor(colour);
    VoucherForm().lbAcTxt.SetForeColor(colour);
}

void frmAdAcc::Command1_Click() {
    if (txtAcc.Text().empty()) {
        messageBox("請填入科目名稱", MessageExclamation, NoTitle);
        return;
    }
    const bool income = Ot1(0).Value();
    AddAccount(AccDb(), {lbAccNo.Caption(), income, txtAcc.Text()});
    VoucherForm().lbAcIo.SetCaption(income ? Income : Expense);
    VoucherForm().lbAcTxt.SetCaption(txtAcc.Text());
    Unload();
}

void frmAdAcc::Command2_Click() {
    Unload();
}

}  // namespace kiv
