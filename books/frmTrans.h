#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/db/Date.h"
#include "platform/forms/ControlArray.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Grid.h"
#include "platform/forms/ListControls.h"

namespace kiv {

// A transfer's texts, checks and legs; one leg is one generated voucher with its two postings.
struct TransferPlan;
struct TransferLeg;

// 轉帳處理: moves money between cash and the company's accounts, each leg through a generated
// voucher and one cash and one bank posting, and lists the cash book or one account's book over a
// range of days.
class frmTrans : public Form {
  public:
    static constexpr const char* FormName = "frmTrans";
    frmTrans();

    void Form_Load() override;
    void Form_Resize() override;
    void cbBnk_Click();
    void cbABnk_Click();
    void txtCash_Change();
    void txtCash_KeyPress(int& KeyAscii);
    void cmdToBank_Click();
    void cmdToCash_Click();
    void Command1_Click();
    void Command2_Click();
    void cmdSCh_Click();
    void cmdSBnk_Click();
    void cmdSABnk_Click();
    void cmdPxls_Click();

    // The captions beside the fields.
    ControlArray<Label> captions{*this, "captions", 6};
    ComboBox cbBnk{*this, "cbBnk", -1, ComboBox::Flavor::Forms2};
    Label lbBnkBala{*this, "lbBnkBala"};
    Label lbBid{*this, "lbBid"};
    Label lbU{*this, "lbU"};
    ComboBox cbABnk{*this, "cbABnk", -1, ComboBox::Flavor::Forms2};
    Label lbABnkBala{*this, "lbABnkBala"};
    Label lbAbid{*this, "lbAbid"};
    Label lbAu{*this, "lbAu"};
    Label lbCashBala{*this, "lbCashBala"};
    TextBox txtCash{*this, "txtCash"};
    CommandButton cmdToBank{*this, "cmdToBank"};
    CommandButton cmdToCash{*this, "cmdToCash"};
    CommandButton Command1{*this, "Command1"};
    CommandButton Command2{*this, "Command2"};
    Label lbSt{*this, "lbSt"};
    DatePicker dtpSt{*this, "dtpSt"};
    Label lbEd{*this, "lbEd"};
    DatePicker dtpEd{*this, "dtpEd"};
    CommandButton cmdSCh{*this, "cmdSCh"};
    CommandButton cmdSBnk{*this, "cmdSBnk"};
    CommandButton cmdSABnk{*this, "cmdSABnk"};
    CommandButton cmdPxls{*this, "cmdPxls"};
    Grid hfg{*this, "hfg"};

    // Kept by the balance display for the listing, which adds them to an account's balances.
    int64_t OrdinaryOpeningAmount = 0;
    int64_t ChequeOpeningAmount = 0;
    // The book of the last listing: "現金帳", or bank + "-" + account.
    std::string BookCaption;

  private:
    // The books a listing shows: the cheque account of cbABnk, the ordinary account of cbBnk or
    // the cash book.
    enum class Book { Cheque, Ordinary, Cash };

    void LayOut();
    void WireEvents();
    void FillOrdinaryAccountCombo();
    void FillChequeAccountCombo();
    void ShowCashBalance();
    void ShowAccountBalances();
    void ShowChequeAccountBalance();
    void ShowBalances();
    void FollowFileChanges();
    void ShowFirstCashDay();

    void RunTransfer(const TransferPlan& transfer);
    void RefuseAmount(const char* message);
    bool WriteLegs(const std::vector<TransferLeg>& legs, int64_t amount);
    bool MakeLeg(const TransferLeg& leg, int64_t amount);
    static std::string AccountOf(const ComboBox& box);

    // The file's changes counted by a look taken before the three balance labels were last all
    // read: while it has not moved, the labels are the file's.
    uint64_t balancesSeen_ = 0;

    void ListBook(Book book);
    void SetBookHeader();
    void ShowPriorBalance(Book book, const Date& start);
    void FillBookRows(Book book, const Date& start, const Date& end);
    int64_t OpeningAmountOf(Book book) const;
};

}  // namespace kiv
