#include "shell/frmFirstStart.h"

#include "platform/forms/Host.h"
#include "shell/mdM.h"

namespace kiv {

frmFirstStart::frmFirstStart() : Form(FormName) {
    SetCaption("設定超級使用者密碼");
    SetBorderStyle(3);
    SetClientSize(4800, 2400);
    SetCentreOnScreen(true);
    Label1.SetCaption("使用者名稱: ");
    Label1.Move(240, 270, 1320, 300);
    txtName.Move(1620, 240, 2880, 330);
    txtName.SetText(SuperUserName);
    txtName.SetLocked(true);
    txtName.SetTabStop(false);
    Label2.SetCaption("新  密  碼: ");
    Label2.Move(240, 750, 1320, 300);
    txtNp.Move(1620, 720, 2880, 330);
    txtNp.SetPasswordChar("*");
    Label3.SetCaption("確定密碼 : ");
    Label3.Move(240, 1230, 1320, 300);
    txtCp.Move(1620, 1200, 2880, 330);
    txtCp.SetPasswordChar("*");
    cmdOK.SetCaption("確定");
    cmdOK.Move(1620, 1770, 1320, 420);
    cmdOK.SetDefault(true);
    cmdCancel.SetCaption("取消");
    cmdCancel.Move(3180, 1770, 1320, 420);
    cmdCancel.SetCancel(true);
    txtNp.SetTabIndex(0);

    cmdOK.Click = [this] { cmdOK_Click(); };
    cmdCancel.Click = [this] { cmdCancel_Click(); };
}

void frmFirstStart::cmdOK_Click() {
    if (txtNp.Text().empty()) {
        messageBox("密碼不可空白", 48, "Mora III");
        txtNp.SetFocus();
        return;
    }
    if (txtNp.Text() != txtCp.Text()) {
        messageBox("新密碼與確定密碼不同", 48, "Mora III");
        txtCp.SetFocus();
        txtCp.SelectAll();
        return;
    }
    Transaction transaction(PeopleDb());
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
