#include "shell/frmLogin.h"

#include "platform/db/Numbers.h"
#include "platform/forms/Clock.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Host.h"
#include "platform/forms/Layout.h"
#include "shell/mdM.h"

namespace kiv {

namespace {

// The super user's password; "" when the row is missing or holds none, which never matches.
std::string superPassword() {
    Recordset rs =
        PeopleDb().OpenRecordset("SELECT super_pass FROM super WHERE super_id = ?", SuperUserName);
    return rs.Eof() ? "" : rs.Fields(0).text();
}

// A fresh install has neither a super user's password nor any staff: it asks for the password.
bool needsFirstStart() {
    if (!superPassword().empty()) return false;
    return PeopleDb().OpenRecordset("SELECT 1 FROM 員工 LIMIT 1").Eof();
}

}  // namespace

frmLogin::frmLogin() : Form(FormName) {
    SetCaption("登入");
    SetBorderStyle(3);
    SetClientSize(5100, 2520);
    SetCentreOnScreen(true);
    applyLayout({
        {&Label1, nullptr, 240, 270, 1500, 300, "使用者名稱(&U):"},
        {&txtUserName, nullptr, 1800, 240, 3000, 330},
        {&Label2, nullptr, 240, 750, 1500, 300, "密碼(&P):"},
        {&txtPassword, nullptr, 1800, 720, 3000, 330},
        {&cmdOK, nullptr, 1800, 1260, 1380, 420, "確定"},
        {&cmdCancel, nullptr, 3420, 1260, 1380, 420, "取消"},
        {&Label3, nullptr, 240, 1950, 1200, 300, "今天日期是:"},
        {&lbToday, nullptr, 1440, 1950, 2900, 300},
        {&DTP, nullptr, 4440, 1890, 360, 360},
    });
    txtPassword.SetPasswordChar("*");
    cmdCancel.SetCancel(true);
    lbToday.SetForeColor(0xFF0000);

    cmdOK.Click = [this] { cmdOK_Click(); };
    cmdCancel.Click = [this] { cmdCancel_Click(); };
    DTP.Change = [this] { DTP_Change(); };
    txtUserName.KeyPress = [this](int& key) { txtUserName_KeyPress(key); };
    txtPassword.KeyPress = [this](int& key) { txtPassword_KeyPress(key); };
}

void frmLogin::Form_Load() {
    DTP.SetValue(Clock::today());
    lbToday.SetCaption(LongRocDate(DTP.Value()));
    failures_ = 0;
    if (needsFirstStart()) {
        Forms::showByName("frmFirstStart", Modal);
        txtUserName.SetText(SuperUserName);
        txtPassword.SetFocus();
    }
}

// Leaving the dialog through its frame or Esc is the cancel button: without a login the program
// has nothing to offer.
void frmLogin::Form_QueryUnload(int&, int unloadMode) {
    if (unloadMode == UnloadByFrame) cmdCancel_Click();
}

void frmLogin::DTP_Change() {
    lbToday.SetCaption(LongRocDate(DTP.Value()));
    Clock::setToday(DTP.Value());
    txtUserName.SetFocus();
}

void frmLogin::txtUserName_KeyPress(int& keyAscii) {
    if (keyAscii != Key::Enter) return;
    txtPassword.SetFocus();
    txtPassword.SelectAll();
}

void frmLogin::txtPassword_KeyPress(int& keyAscii) {
    if (keyAscii == Key::Enter) cmdOK_Click();
}

void frmLogin::cmdOK_Click() {
    if (!tryLogin()) {
        loginFailed();
        return;
    }
    LoggedIn = true;
    // The dialog is out of sight before the reminder shows, so that nothing of the reminder or of
    // what it opens lies under it.
    Hide();
    if (Forms::isRegistered("frmArm")) Forms::showByName("frmArm", Modal);
    Unload();
}

bool frmLogin::tryLogin() {
    const std::string& name = txtUserName.Text();
    const std::string& password = txtPassword.Text();
    std::string superPass = superPassword();
    if (!superPass.empty() && password == superPass && name == SuperUserName) {
        UserRights = AllRights;
        return true;
    }
    // Names that differ only in letter case are different users; of several staff with the same
    // name, the one first by staff number is compared.
    Recordset rs = PeopleDb().OpenRecordset(
        "SELECT 中文姓名, 英文姓名, pass, AccS FROM 員工 WHERE 英文姓名 = ? COLLATE BINARY "
        "ORDER BY 員工編號, rowid",
        name);
    if (rs.Eof()) return false;
    if (rs.Fields("英文姓名").text() != name || rs.Fields("pass").text() != password) return false;
    UserRights = static_cast<int32_t>(roundHalfToEven(leadingNumber(rs.Fields("AccS").text())));
    return true;
}

void frmLogin::loginFailed() {
    messageBox("使用者名稱或密碼錯誤，請重新輸入!", MessageCritical, "登入");
    txtUserName.SetFocus();
    txtUserName.SelectAll();
    LoggedIn = false;
    if (++failures_ >= 3) {
        messageBox("錯誤三次,結束系統", MessageCritical, SuiteTitle);
        endProgram();
    }
}

void frmLogin::cmdCancel_Click() {
    Hide();
    endProgram();
}

}  // namespace kiv
