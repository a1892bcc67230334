#pragma once

#include <vector>

#include "ledger/Journal.h"
#include "platform/db/Date.h"
#include "platform/forms/ControlArray.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Grid.h"
#include "platform/forms/ListControls.h"

namespace kiv {

// Journal vouchers: up to ten lines of account, side, summary and amount, numbered by day and
// stored only when the debits equal the credits. The caption carries the state.
class frmTag : public Form {
  public:
    static constexpr const char* FormName = "frmTag";
    static constexpr int LineCount = 10;
    frmTag();

    void Form_Load() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override;
    void cmdAdd_Click();
    void cmdEdit_Click();
    void cmdCencel_Click();
    void cmdSv_Click();
    void hfg_MouseUp(int button, int shift, float x, float y);
    void t_Change();
    void cbBL_Click();
    void ca_Click();
    void lst_Click();

    void SetJournalGridLayout();
    void HideTagEditors();
    void SumDebitCredit();
    void PlaceCellEditor();
    void SaveJournalVoucher();
    bool LineAmountsAreAmounts();

    ControlArray<Label> Label1{*this, "Label1", 4};
    Label lbInDay{*this, "lbInDay"};
    Label lbNo{*this, "lbNo"};
    Grid hfg{*this, "hfg"};
    TextBox t{*this, "t"};
    CommandButton ca{*this, "ca"};
    ComboBox cbBL{*this, "cbBL"};
    ListBox lst{*this, "lst"};
    TextBox txtB{*this, "txtB"};
    TextBox txtL{*this, "txtL"};
    CommandButton cmdAdd{*this, "cmdAdd"};
    CommandButton cmdEdit{*this, "cmdEdit"};
    CommandButton cmdSv{*this, "cmdSv"};
    CommandButton cmdCencel{*this, "cmdCencel"};

  private:
    std::vector<JournalLine> Lines() const;
    bool StoreShownVoucher();
    void ShowStoredVoucher();
    void SetEntering(bool entering);
    void CoverCell(Control& editor, int widthLeft);
    int editRow_ = 0;
    int editCol_ = 0;
    Date voucherDay_;
    // The lines stored under the number shown, as they were when it was taken or last saved: an
    // edit replaces them only while no other copy of the program changed them.
    ShownRows shownLines_;
    // The exact totals of the last sum, compared by the save.
    int64_t debit_ = 0;
    int64_t credit_ = 0;
};

}  // namespace kiv
