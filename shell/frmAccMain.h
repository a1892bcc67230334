#pragma once

#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Menu.h"

namespace kiv {

// The start form: a narrow, top-most column of buttons at the top edge of the screen. Its toggle
// logs the user in, insists on the company's bank accounts and folds or unfolds the column; every
// other button opens one module's main form.
class frmAccMain : public Form {
  public:
    static constexpr const char* FormName = "frmAccMain";
    static constexpr int FoldedHeight = 900;
    static constexpr int UnfoldedHeight = 3585;
    frmAccMain();

    void Form_Load() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override;
    void cmdM_Click();
    void cmdM_MouseDown(int Button, int Shift, float X, float Y);
    void cmdIo_Click();
    void cmdTag_Click();
    void cmdBill_Click();
    void cmdPj_Click();
    void cmdSer_Click();
    void cmdreIo_Click();
    void cmdSys_Click();
    void cmdExit_Click();
    void mSta_Click();
    void mCsh_Click();
    void mLW_Click();
    void mSec_Click();
    void mPer_Click();
    void mCom_Click();
    void mTrans_Click();

    CommandButton cmdM{*this, "cmdM"};
    CommandButton cmdIo{*this, "cmdIo"};
    CommandButton cmdTag{*this, "cmdTag"};
    CommandButton cmdBill{*this, "cmdBill"};
    CommandButton cmdPj{*this, "cmdPj"};
    CommandButton cmdSer{*this, "cmdSer"};
    CommandButton cmdreIo{*this, "cmdreIo"};
    CommandButton cmdSys{*this, "cmdSys"};
    CommandButton cmdExit{*this, "cmdExit"};
    Menu mSys{*this, "mSys", "系統"};
    Menu mSta{*this, "mSta", "詞庫"};
    Menu mLine1{*this, "mLine1", "-"};
    Menu mCsh{*this, "mCsh", "預估資金流量表"};
    Menu mLine2{*this, "mLine2", "-"};
    Menu mLW{*this, "mLW", "期間損益表"};
    Menu mLine3{*this, "mLine3", "-"};
    Menu mSec{*this, "mSec", "權限設定"};
    Menu mLine4{*this, "mLine4", "-"};
    Menu mPer{*this, "mPer", "員工資料"};
    Menu mLine5{*this, "mLine5", "-"};
    Menu mCom{*this, "mCom", "公司資料"};
    Menu mLine6{*this, "mLine6", "-"};
    Menu mTrans{*this, "mTrans", "轉帳處理"};

  private:
    void GateButtonsByRights();
    void RequireBankAccounts(const char* table, const char* message);
    bool RefusedWhileVoucherFormOpen();
    void OpenModule(const char* formName);
    void Fold();
};

}  // namespace kiv
