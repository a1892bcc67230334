#include "shell/frmFirstStart.h"

#include "platform/forms/Host.h"
#include "platform/forms/Layout.h"
#include "shell/mdM.h"

namespace kiv {

frmFirstStart::frmFirstStart() : Form(FormName) {
    SetCaption("設定超級使用者密碼");
    SetBorderStyle(3);
    SetClientSize(4800, 2400);
    SetCentreOnScreen(true);
    applyLayout({
        {&Label1, nullptr, 240, 270, 1320, 300, "使用者名稱: "},
        {&txtName, nullptr, 1620, 240, 2880, 330},
        {&Label2, nullptr, 240, 750, 1320, 300, "新  密  碼: "},
        {&txtNp, nullptr, 1620, 720, 2880, 330},
        {&Label3, nullptr, 240, 1230, 1320, 300, "確定密碼 : "},
        {&txtCp, nullptr, 1620, 1200, 2880, 330},
        {&cmdOK, nullptr, 1620, 1770, 1320, 420, "確定"},
        {&cmdCancel, nullptr, 3180, 1770, 1320, 420, "取消"},
    });
    // The name is fixed: only the super user's password is set here.
    txtName.SetText(SuperUserName);
    txtName.SetLocked(true);
    txtName.SetTabStop(false);
    txtNp.SetPasswordChar("*");
    txtCp.SetPasswordChar("*");
    cmdOK.SetDefault(true);
    cmdCancel.SetCancel(true);
    txtNp.SetTabIndex(0);

    cmdOK.Click = [this] { cmdOK_Click(); };
    cmdCancel.Click = [this] { cmdCancel_Click(); };
}

void frmFirstStart::cmdOK_Click() {
    if (txtNp.Text().empty()) {
        messageBox("密碼不可空白", MessageExclamation, SuiteTitle);
        txtNp.SetFocus();
        return;
    }
    if (txtNp.Text() != txtCp.Text()) {
        messageBox("新密碼與確定密碼不同", MessageExclamation, SuiteTitle);
        txtCp.SetFocus();
        txtCp.SelectAll();
        return;
    }
    Transaction transaction(PeopleDb(), TransactionKind::Writes);
    PeopleDb().Execute("DELETE FROM super WHERE super_id = ?", txtName.Text());
    PeopleDb().Execute("INSERT INTO super (super_id, super_pass) VALUES (?, ?)", txtName.Text(),
                       txtNp.Text());
    transaction.Commit();
    Unload();
}

// Without the super user nobody could log in, so leaving this dialog ends the program.
void frmFirstStart::Form_QueryUnload(int&, int unloadMode) {
    if (unloadMode == UnloadByFrame) cmdCancel_Click();
}

void frmFirstStart::cmdCancel_Click() {
    endProgram();
}

}  // namespace kiv
