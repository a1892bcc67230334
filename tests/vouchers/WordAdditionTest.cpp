#include <gtest/gtest.h>

#include "tests/vouchers/VoucherBook.h"
#include "vouchers/frmAdAcc.h"

using namespace kiv;

namespace {

constexpr Color Blue = 0xFF0000;

class WordAdditionTest : public test::VoucherBook {
  protected:
    void SetUp() override {
        VoucherBook::SetUp();
        clearWordLists();
    }
    // Types into the box and leaves it for the amount box, as the user tabs on.
    void typeAndLeave(frmIo& form, ComboBox& box, const std::string& text) {
        host.type(box, text);
        host.focus(form.txtCash);
    }
    // The dialog's script: the name typed, the side clicked when asked, then 確定.
    void addAccountAs(const std::string& name, int side = -1) {
        host.onModal<frmAdAcc>([name, side, this](frmAdAcc& dialog) {
            if (side >= 0) host.click(dialog.Ot1(side));
            host.type(dialog.txtAcc, name);
            host.click(dialog.Command1);
        });
    }
    Texts accountList(frmIo& form) {
        Texts list;
        for (int i = 0; i < form.cbAcc.ListCount(); ++i)
            list.push_back(form.cbAcc.List(i, 0) + form.cbAcc.List(i, 1));
        return list;
    }
};

TEST_F(WordAdditionTest, AMissingWordGoesToTheTopOfEachOfItsThreeLists) {
    struct Case {
        ComboBox frmIo::*box;
        const char* question;
        Sql stored;
    };
    AccDb().Execute("INSERT INTO use VALUES (1, '甲'), (2, '乙'), (3, '丙')");
    AccDb().Execute("INSERT INTO ps1 VALUES (1, '甲'), (2, '乙'), (3, '丙')");
    AccDb().Execute("INSERT INTO ps2 VALUES (1, '甲'), (2, '乙'), (3, '丙')");
    frmIo& form = openForm();
    host.click(form.cmdAdd);
    for (const Case& c :
         {Case{&frmIo::cbUse, "沒有此用途說明是否加入?", "SELECT id, use FROM use ORDER BY id"},
          Case{&frmIo::cbPs1, "沒有此附註一是否加入?", "SELECT id, ps FROM ps1 ORDER BY id"},
          Case{&frmIo::cbPs2, "沒有此附註二是否加入?", "SELECT id, ps FROM ps2 ORDER BY id"}}) {
        ComboBox& box = form.*c.box;
        host.expectMessage(c.question, AnswerYes);
        typeAndLeave(form, box, "O'Neil 的 50%");
        EXPECT_EQ(rows(AccDb(), c.stored), (Texts{"1|O'Neil 的 50%", "2|甲", "3|乙", "4|丙"}));
        EXPECT_EQ(box.List(0), "O'Neil 的 50%");
        // A word the list holds asks nothing.
        host.focus(box);
        host.focus(form.txtCash);
    }
}

TEST_F(WordAdditionTest, NoWritesNothingAndKeepsTheTypedWord) {
    frmIo& form = openForm();
    host.click(form.cmdAdd);
    host.expectMessage("沒有此用途說明是否加入?", AnswerNo);
    typeAndLeave(form, form.cbUse, "新用途");
    EXPECT_TRUE(rows(AccDb(), "SELECT * FROM use").empty());
    EXPECT_EQ(form.cbUse.Text(), "新用途");
    EXPECT_TRUE(form.txtCash.HasFocus());
}

TEST_F(WordAdditionTest, AKnownAccountAsksNothingAndNoKeepsTheFocusInTheBox) {
    frmIo& form = openForm();
    host.click(form.cmdAdd);
    typeAndLeave(form, form.cbAcc, "5102");
    EXPECT_TRUE(host.messages().empty());
    host.expectMessage("沒有此科目是否加入?", AnswerNo);
    host.type(form.cbAcc, "9");
    host.focus(form.txtCash);
    EXPECT_EQ(host.messages().back().style, 292);
    EXPECT_TRUE(form.cbAcc.HasFocus());
    // A reserved code is neither asked for nor created.
    host.expectMessage("不可使用 9999\r\n9999 科目代號系統保留使用");
    form.cbAcc.SetText("");
    typeAndLeave(form, form.cbAcc, "9999");
    EXPECT_TRUE(form.cbAcc.HasFocus());
    EXPECT_EQ(rows(AccDb(), "SELECT count(*) FROM acc"), Texts{"2"});
}

TEST_F(WordAdditionTest, TheDialogTakesItsSideFromTheDirectionColourAndRecoloursAtOnce) {
    AccDb().Execute(
        "INSERT INTO iof (單號, 方式, pay, 科目代號, 科目名稱, 建議方式) VALUES "
        "('A1', -1, 1, '5102', '材料費', -1)");
    frmIo& form = openForm();
    host.click(form.cmdAdd);
    // A new voucher keeps the red of the expense shown last.
    host.onModal<frmAdAcc>([&](frmAdAcc& dialog) {
        EXPECT_EQ(dialog.lbAccNo.Caption(), "6001");
        EXPECT_TRUE(dialog.Ot1(1).Value());
        host.click(dialog.Ot1(0));
        EXPECT_EQ(form.lbAcTxt.ForeColor(), Blue);
        host.click(dialog.Command2);
    });
    host.expectMessage("沒有此科目是否加入?", AnswerYes);
    typeAndLeave(form, form.cbAcc, "6001");
    EXPECT_EQ(form.lbAcIo.ForeColor(), Blue);
    EXPECT_EQ(rows(AccDb(), "SELECT count(*) FROM acc"), Texts{"2"});
}

// The dialog opens over the voucher form that asked, not at the screen's corner.
TEST_F(WordAdditionTest, TheAccountDialogOpensOverTheMiddleOfTheVoucherForm) {
    frmIo& form = openForm();
    form.Show();
    host.click(form.cmdAdd);
    host.onModal<frmAdAcc>([&](frmAdAcc& dialog) {
        EXPECT_NEAR(dialog.Left() + dialog.Width() / 2, form.Left() + form.Width() / 2, 1);
        EXPECT_NEAR(dialog.Top() + dialog.Height() / 2, form.Top() + form.Height() / 2, 1);
        host.click(dialog.Command2);
    });
    host.expectMessage("沒有此科目是否加入?", AnswerYes);
    typeAndLeave(form, form.cbAcc, "6001");
}

TEST_F(WordAdditionTest, ANewAccountIsListedInItsPlaceAndShownOnTheVoucher) {
    frmIo& form = openForm();
    host.click(form.cmdAdd);
    addAccountAs("利息收入", 0);
    host.expectMessage("沒有此科目是否加入?", AnswerYes);
    typeAndLeave(form, form.cbAcc, "4001");
    EXPECT_EQ(rows(AccDb(), "SELECT * FROM acc WHERE id = '4001'"), Texts{"4001|True|利息收入"});
    EXPECT_EQ(form.lbAcTxt.Caption(), "利息收入");
    EXPECT_EQ(accountList(form), (Texts{"(收入)4001", "(收入)4101", "      (支出)5102"}));

    host.focus(form.cbAcc);
    form.cbAcc.SetText("");
    addAccountAs("工資", 1);
    host.expectMessage("沒有此科目是否加入?", AnswerYes);
    typeAndLeave(form, form.cbAcc, "5001");
    EXPECT_EQ(form.lbAcIo.Caption(), "(支出)");
    EXPECT_EQ(accountList(form),
              (Texts{"(收入)4001", "(收入)4101", "      (支出)5001", "      (支出)5102"}));
}

TEST_F(WordAdditionTest, AnEmptyNameIsRefusedAndTheDialogStaysOpen) {
    frmIo& form = openForm();
    host.click(form.cmdAdd);
    host.onModal<frmAdAcc>([&](frmAdAcc& dialog) {
        host.expectMessage("請填入科目名稱");
        host.click(dialog.Command1);
        EXPECT_FALSE(dialog.IsUnloaded());
        host.click(dialog.Command2);
    });
    host.expectMessage("沒有此科目是否加入?", AnswerYes);
    typeAndLeave(form, form.cbAcc, "6001");
    EXPECT_EQ(rows(AccDb(), "SELECT count(*) FROM acc"), Texts{"2"});
}

// A firm that starts with empty lists enters its first voucher by creating the account and the
// use as it types them.
TEST_F(WordAdditionTest, ANewFirmSavesItsFirstVoucherFromEmptyLists) {
    AccDb().Execute("DELETE FROM acc");
    frmIo& form = openForm();
    host.click(form.cmdAdd);
    addAccountAs("材料費", 1);
    host.expectMessage("沒有此科目是否加入?", AnswerYes);
    typeAndLeave(form, form.cbAcc, "5101");
    host.expectMessage("沒有此用途說明是否加入?", AnswerYes);
    typeAndLeave(form, form.cbUse, "工地材料");
    host.type(form.txtCash, "3000");
    host.click(form.cmdSv);
    EXPECT_EQ(host.messageTexts().size(), 2u);
    EXPECT_EQ(rows(AccDb(), "SELECT 用途說明, 科目代號, 科目名稱, pay, 金額 FROM iof"),
              Texts{"工地材料|5101|材料費|True|3000"});
    EXPECT_EQ(rows(AccDb(), "SELECT id, use FROM use"), Texts{"1|工地材料"});
}

}  // namespace
