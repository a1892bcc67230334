#include "shell/frmAccMain.h"

#include "platform/forms/Clock.h"
#include "platform/forms/DateLabel.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Host.h"
#include "shell/OlderFiles.h"
#include "shell/mdM.h"

namespace kiv {

namespace {

struct BarButton {
    CommandButton frmAccMain::*button;
    const char* caption;
    int top;
    int height;
    Color backColor;
};

const BarButton BarButtons[] = {
    {&frmAccMain::cmdM, "", 0, 600, SystemColor::ButtonFace},
    {&frmAccMain::cmdIo, "收支單", 600, 330, 0xFFFFFF},
    {&frmAccMain::cmdTag, "傳票", 930, 330, 0xE0E0E0},
    {&frmAccMain::cmdBill, "票 據", 1260, 330, 0xFFC0C0},
    {&frmAccMain::cmdPj, "專 案", 1590, 330, 0xC0E0FF},
    {&frmAccMain::cmdSer, "統 計", 1920, 330, 0x80FF80},
    {&frmAccMain::cmdreIo, "應收付", 2235, 330, 0x80FFFF},
    {&frmAccMain::cmdSys, "系 統", 2580, 330, 0xC0FFC0},
    {&frmAccMain::cmdExit, "結 束", 2895, 330, 0xC0C0FF},
};

constexpr int BarWidth = 675;

}  // namespace

frmAccMain::frmAccMain() : Form(FormName) {
    SetBorderStyle(4);
    SetMinButton(false);
    SetMaxButton(false);
    SetWidth(BarWidth);
    SetHeight(FoldedHeight);
    for (const BarButton& b : BarButtons) {
        CommandButton& button = this->*b.button;
        button.SetCaption(b.caption);
        button.Move(0, b.top, BarWidth, b.height);
        button.SetStyle(1);
        button.SetBackColor(b.backColor);
    }
    cmdSer.SetToolTipText("收支單查詢");
    mSys.SetVisible(false);
    for (Menu* entry : {&mSta, &mLine1, &mCsh, &mLine2, &mLW, &mLine3, &mSec, &mLine4, &mPer,
                        &mLine5, &mCom, &mLine6, &mTrans})
        mSys.AddEntry(*entry);

    cmdM.Click = [this] { cmdM_Click(); };
    cmdM.MouseDown = [this](int b, int s, float x, float y) { cmdM_MouseDown(b, s, x, y); };
    cmdIo.Click = [this] { cmdIo_Click(); };
    cmdTag.Click = [this] { cmdTag_Click(); };
    cmdBill.Click = [this] { cmdBill_Click(); };
    cmdPj.Click = [this] { cmdPj_Click(); };
    cmdSer.Click = [this] { cmdSer_Click(); };
    cmdreIo.Click = [this] { cmdreIo_Click(); };
    cmdSys.Click = [this] { cmdSys_Click(); };
    cmdExit.Click = [this] { cmdExit_Click(); };
    mSta.Click = [this] { mSta_Click(); };
    mCsh.Click = [this] { mCsh_Click(); };
    mLW.Click = [this] { mLW_Click(); };
    mSec.Click = [this] { mSec_Click(); };
    mPer.Click = [this] { mPer_Click(); };
    mCom.Click = [this] { mCom_Click(); };
    mTrans.Click = [this] { mTrans_Click(); };
}

void frmAccMain::Form_Load() {
    cmdM.SetToolTipText("Ver:2.5 Build:951227 今天是" + ShownDate(Clock::today()));
    SetTopMost(true);
    SetTop(-290);
    SetLeft(screenWidth() - Width() - 5265 - 900);
    SetHeight(FoldedHeight);
    try {
        OpenDatabases();
    } catch (const std::exception& error) {
        messageBox(error.what(), MessageCritical, ApplicationTitle);
        endProgramInFailure();
    }
    UpgradeOlderFiles();
}

// Closing the bar through its frame ends the program, as its exit button does.
void frmAccMain::Form_QueryUnload(int&, int unloadMode) {
    if (unloadMode == UnloadByFrame) cmdExit_Click();
}

void frmAccMain::cmdM_Click() {
    if (!LoggedIn) {
        Forms::showByName("frmLogin", Modal);
        if (!LoggedIn) return;
        GateButtonsByRights();
    }
    RequireBankAccounts("obank", "請先建立公司往來銀行資料(一般存款)");
    RequireBankAccounts("bbank", "請先建立公司往來銀行資料(支票存款)");
    if (Height() != FoldedHeight)
        Fold();
    else
        SetHeight(UnfoldedHeight);
}

// Folded, the bar shows only its toggle: the keyboard leaves the buttons it hides, so that a key
// pressed on the bar never works a button out of sight.
void frmAccMain::Fold() {
    SetHeight(FoldedHeight);
    if (ActiveControl() != &cmdM) cmdM.SetFocus();
}

// Until the list has a row, the company form comes back after every close.
void frmAccMain::RequireBankAccounts(const char* table, const char* message) {
    while (AccDb().OpenRecordset("SELECT * FROM " + AccDb().Table(table)).Eof()) {
        messageBox(message, MessageInformation, CapitalsTitle);
        Forms::showByName("frmCom", Modal);
    }
}

void frmAccMain::cmdM_MouseDown(int Button, int, float, float) {
    if (Button != RightButton) return;
    SetTop(Top() != -300 ? -300 : -830);
}

void frmAccMain::GateButtonsByRights() {
    cmdIo.SetEnabled(RightsOf(RightVoucherEdit, RightVoucherSettle) != "0000");
    cmdBill.SetEnabled(RightsOf(RightBillQuery, RightBillBrowse) != "0000");
    cmdPj.SetEnabled(RightsOf(RightProjectEdit, RightProjectReport) != "00");
    cmdSer.SetEnabled(RightsOf(RightStatisticsAll, RightStatisticsSingle) != "00");
    cmdreIo.SetEnabled(HasRight(RightContracts));
}

bool frmAccMain::RefusedWhileVoucherFormOpen() {
    if (!VoucherFormOpen) return false;
    messageBox("請先關閉收支單作業", MessageInformation, ApplicationTitle);
    return true;
}

void frmAccMain::OpenModule(const char* formName) {
    if (Forms::showByName(formName, Modeless)) Fold();
}

void frmAccMain::cmdIo_Click() {
    OpenModule("frmIo");
}

void frmAccMain::cmdTag_Click() {
    Forms::showByName("frmTag", Modal);
}

void frmAccMain::cmdBill_Click() {
    if (!RefusedWhileVoucherFormOpen()) OpenModule("frmBB");
}

void frmAccMain::cmdPj_Click() {
    if (!RefusedWhileVoucherFormOpen()) OpenModule("frmPj");
}

void frmAccMain::cmdSer_Click() {
    if (!RefusedWhileVoucherFormOpen()) OpenModule("frmCash");
}

void frmAccMain::cmdreIo_Click() {
    if (!RefusedWhileVoucherFormOpen()) OpenModule("frmRio");
}

void frmAccMain::cmdSys_Click() {
    if (RefusedWhileVoucherFormOpen()) return;
    // The entries in the order of their rights, from the word lists to the transfers.
    Menu* entries[] = {&mSta, &mCsh, &mLW, &mSec, &mPer, &mCom, &mTrans};
    for (int i = 0; i < 7; ++i)
        entries[i]->SetEnabled(HasRight(RightWordLists + i));
    PopupMenu(mSys);
}

void frmAccMain::cmdExit_Click() {
    endProgram();
}

void frmAccMain::mSta_Click() {
    OpenModule("frmSt");
}
void frmAccMain::mCsh_Click() {
    OpenModule("frmFtr");
}
void frmAccMain::mLW_Click() {
    OpenModule("frmLW");
}
void frmAccMain::mSec_Click() {
    OpenModule("frmSec");
}
void frmAccMain::mPer_Click() {
    OpenModule("frmSta");
}
void frmAccMain::mCom_Click() {
    OpenModule("frmCom");
}
void frmAccMain::mTrans_Click() {
    OpenModule("frmTrans");
}

}  // namespace kiv
