#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/contracts/ContractBook.h"

using namespace kiv;

namespace {

class ContractAmountTest : public test::ContractBook {
  protected:
    // The contract form adding a new contract, its header empty.
    frmRio& adding() {
        frmRio& f = openForm();
        host.click(f.cmdAdd);
        return f;
    }

    // The user selects what the box holds and types over it (an empty text empties the box).
    void retype(TextBox& box, const std::string& text) {
        host.focus(box);
        host.act([&] { box.SelectAll(); });
        if (text.empty())
            host.pressKey(box, Key::Backspace);
        else
            host.type(box, text);
    }

    static std::string amounts(const frmRio& f) {
        return f.txtAm.Text() + "|" + f.lbTax.Caption() + "|" + f.txtComi.Text() + "|" +
               f.txtLet.Text() + "|" + f.txtTal.Text();
    }

    static void expectCaretAtEnd(const TextBox& box) {
        EXPECT_EQ(box.SelStart(), static_cast<int>(box.Text().size())) << box.Text();
        EXPECT_EQ(box.SelLength(), 0);
    }
};

TEST_F(ContractAmountTest, TheWorkedSequenceOfAmountDiscountAndDeferredCommission) {
    frmRio& f = adding();
    const std::vector<std::string> shown{
        "1|0|||1",          "10|1|||11",           "100|5|||105",
        "1,000|50|||1,050", "10,000|500|||10,500", "100,000|5,000|||105,000"};
    for (size_t i = 0; i < shown.size(); ++i) {
        host.type(f.txtAm, std::string(i == 0 ? "1" : "0"));
        EXPECT_EQ(amounts(f), shown[i]);
        expectCaretAtEnd(f.txtAm);
    }
    host.type(f.txtLet, "2000");
    EXPECT_EQ(amounts(f), "100,000|5,000||2,000|103,000");
    expectCaretAtEnd(f.txtLet);
    host.type(f.txtComi, "1000");
    EXPECT_EQ(amounts(f), "100,000|5,000|1,000|2,000|103,000") << "the commission waits";
    retype(f.txtLet, "2000");
    EXPECT_EQ(amounts(f), "100,000|5,000|1,000|2,000|102,000");
}

TEST_F(ContractAmountTest, ATypedTotalGivesTheAmountAndTheTaxBack) {
    struct Case {
        const char* commission;
        const char* discount;
        const char* shown;
    };
    for (const Case& c : {Case{"", "", "100,000|5,000|||105,000"},
                          Case{"1000", "2000", "102,857|5,143|1,000|2,000|105,000"}}) {
        frmRio& f = adding();
        host.type(f.txtComi, c.commission);
        host.type(f.txtLet, c.discount);
        retype(f.txtTal, "105000");
        EXPECT_EQ(amounts(f), c.shown);
        expectCaretAtEnd(f.txtTal);
        host.click(f.cmdCen);
    }
}

TEST_F(ContractAmountTest, TheTaxRoundsHalvesAwayFromZero) {
    frmRio& f = adding();
    for (auto [amount, shown] : {std::pair{"10", "10|1|||11"}, std::pair{"50", "50|3|||53"},
                                 std::pair{"30", "30|2|||32"}, std::pair{"29", "29|1|||30"}}) {
        retype(f.txtAm, amount);
        EXPECT_EQ(amounts(f), shown);
    }
}

TEST_F(ContractAmountTest, EmptiedBoxesAndANegativeTotal) {
    frmRio& f = adding();
    host.type(f.txtAm, "100000");
    retype(f.txtAm, "");
    EXPECT_EQ(amounts(f), "|5,000|||105,000") << "an emptied amount leaves tax and total";

    retype(f.txtTal, "105000");
    retype(f.txtTal, "");
    EXPECT_EQ(amounts(f), "0|0|||") << "an emptied total leaves nothing to derive";
    host.focus(f.txtNa);
    EXPECT_EQ(f.txtTal.Text(), "");

    retype(f.txtAm, "1000");
    host.type(f.txtComi, "3000");
    host.type(f.txtLet, "2000");
    EXPECT_EQ(amounts(f), "1,000|50|3,000|2,000|-3,950");
    retype(f.txtLet, "");
    EXPECT_EQ(amounts(f), "1,000|50|3,000||-1,950") << "an emptied discount counts 0";
}

TEST_F(ContractAmountTest, AmountBoxesTakeDigitsAndBackspaceOnlyWithABeepForTheRest) {
    frmRio& f = openForm();
    host.click(f.cmdEdit);
    for (TextBox* box : {&f.txtAm, &f.txtComi, &f.txtLet, &f.txtTal, &f.txtfnLet}) {
        retype(*box, "");
        const int before = host.beeps();
        host.type(*box, "1/:a-.,2");
        EXPECT_EQ(box->Text(), "12") << box->Name();
        EXPECT_EQ(host.beeps() - before, 6) << box->Name();
        host.pressKey(*box, Key::Backspace);
        EXPECT_EQ(box->Text(), "1") << box->Name();
        EXPECT_EQ(host.beeps() - before, 6) << box->Name();
    }
}

TEST_F(ContractAmountTest, TheTotalIsFormattedWhenItIsLeft) {
    frmRio& f = adding();
    host.focus(f.txtTal);
    host.act([&] {
        f.LastAmountBox.clear();
        f.txtTal.SetText("1234.5");
    });
    EXPECT_EQ(f.txtTal.Text(), "1234.5");
    host.focus(f.txtNa);
    EXPECT_EQ(f.txtTal.Text(), "1234.5") << "no amount: kept as typed for the save to refuse";
    host.act([&] { f.txtTal.SetText("1234567890123456"); });
    host.focus(f.txtTal);
    host.focus(f.txtNa);
    EXPECT_EQ(f.txtTal.Text(), "1,234,567,890,123,456") << "every digit, not rounded";
    EXPECT_EQ(f.txtAm.Text(), "") << "the program's write recomputed nothing";
}

TEST_F(ContractAmountTest, AContractShownAfterTypingKeepsItsStoredAmounts) {
    AccDb().Execute(
        "INSERT INTO ri (id, 收名稱, 銷貨金額, 稅金, 佣金, 合計, fnLet, 無發票, Let) VALUES "
        "('115120601', '甲', '100,000', '4,000', '1,000', '90,000', '', 0, '3,000'), "
        "('115120602', '乙', '200,000', '9,000', '', '150,000', '', 0, '')");
    frmRio& f = openForm();
    EXPECT_EQ(amounts(f), "200,000|9,000|||150,000");
    host.click(f.cmdEdit);
    retype(f.txtTal, "105000");
    EXPECT_EQ(amounts(f), "100,000|5,000|||105,000");
    host.click(f.cmdCen);
    EXPECT_EQ(amounts(f), "200,000|9,000|||150,000");

    host.click(f.cmdEdit);
    retype(f.txtAm, "5");
    host.click(f.cmdCen);
    host.scroll(f.FSB, 0);
    EXPECT_EQ(amounts(f), "100,000|4,000|1,000|3,000|90,000");

    host.click(f.cmdEdit);
    retype(f.txtLet, "7");
    host.click(f.cmdCen);
    host.click(f.cmdAdd);
    EXPECT_EQ(amounts(f), "||||") << "a new contract starts empty, not at 0";
}

TEST_F(ContractAmountTest, ATextThatIsNoAmountIsKeptAndComputesNothing) {
    frmRio& f = adding();
    host.focus(f.txtAm);
    host.act([&] { f.txtAm.SetText("1,000abc"); });
    EXPECT_EQ(amounts(f), "1,000abc||||");
}

// The results form as the user closes it without a pick.
class SearchResultsStandIn : public Form {
  public:
    static constexpr const char* FormName = "frmRioser";
    SearchResultsStandIn() : Form(FormName) {}
};

TEST_F(ContractAmountTest, EnterInTheSearchTextStartsTheSearchWithItsChecks) {
    Forms::registerForm<SearchResultsStandIn>();
    host.onEveryModal("frmRioser", [](Form& results) { results.Unload(); });
    frmRio& f = openForm();
    host.pick(f.cbSer, 4);
    host.expectMessage("請輸入查詢字串");
    host.pressKey(f.txtSer, Key::Enter);
    EXPECT_TRUE(host.modalShows().empty());
    host.type(f.txtSer, "油漆");
    host.pressKey(f.txtSer, Key::Enter);
    EXPECT_EQ(host.modalShows(), (std::vector<std::string>{"frmRioser"}));
    EXPECT_EQ(f.txtSer.Text(), "油漆");
    host.type(f.txtSer, "x");
    EXPECT_EQ(host.modalShows().size(), 1u) << "other keys only type";
}

}  // namespace
