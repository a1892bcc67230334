#pragma once

#include <string>
#include <vector>

#include "platform/forms/ControlArray.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Grid.h"
#include "vouchers/WordLists.h"

namespace kiv {

// 詞庫: the accounts, the uses and the two notes the vouchers pick from, edited in place through
// one text box laid over the clicked cell and written back when the form closes.
class frmSt : public Form {
  public:
    static constexpr const char* FormName = "frmSt";
    frmSt();

    void Form_Load() override;
    void Form_Unload(int& cancel) override;
    void hfg_MouseDown(int Index, int Button, int Shift, float X, float Y);
    void hfg_Scroll(int Index);
    void txt_Change();

    Frame frm{*this, "frm"};
    ControlArray<Label> sideCaptions{*this, "sideCaptions", 2};
    ControlArray<Grid> hfg{*this, "hfg", 5};
    TextBox txt{*this, "txt"};

    // Grids 0 and 1 hold the income and expense accounts, 2 to 4 the word lists.
    static constexpr int IncomeGrid = 0, ExpenseGrid = 1, FirstWordGrid = 2;

  private:
    void LoadWordLists();
    void LoadGrid(int index, const std::vector<std::vector<std::string>>& rows);
    void SaveWordLists(Database& db);
    void CheckListsAsShown(Database& db) const;
    void MergeAddedElsewhere(Database& db);
    void MergeAccounts(Database& db);
    void MergeWords(Database& db, int list);
    bool GridsHoldAccount(const std::string& code) const;
    std::vector<Account> AccountsOfGrids() const;
    std::vector<NumberedWord> WordsOfGrid(const Grid& grid) const;

    int currentGrid_ = 0;
    // The lists as shown: the save writes only while no other copy of the program changed or
    // deleted any of their rows; rows added meanwhile are taken in.
    ShownRows shownAccounts_;
    ShownRows shownWords_[3];
    // What the tables held when the lists were read: rows added since by the voucher form are
    // merged into the grids before the rewrite, so that closing this form does not lose them.
    std::vector<std::string> loadedCodes_;
    std::vector<std::string> loadedWords_[3];
};

}  // namespace kiv
