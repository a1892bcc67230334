#include <gtest/gtest.h>

#include "platform/forms/AmountEntry.h"
#include "tests/support/TestHost.h"

using namespace kiv;

namespace {

class AmountForm : public Form {
  public:
    AmountForm() : Form("amountForm") {
        txtAmount.Change = [this] { LiveThousandsFormat(txtAmount); };
        txtAmount.KeyPress = [](int& key) { AmountKeyFilter(key); };
    }
    TextBox txtAmount{*this, "txtAmount"};
};

TEST(AmountEntryTest, OnlyDigitsWithOrWithoutSeparatorsAreGrouped) {
    TestHost host;
    AmountForm form;
    struct Case {
        const char* text;
        const char* shown;
    } cases[] = {
        {"1234567", "1,234,567"},
        {"12,34", "1,234"},
        {"007", "7"},
        {"000", "0"},
        {"1234567890123456789", "1,234,567,890,123,456,789"},
        {"1/2", "1/2"},
        {"-5", "-5"},
        {"12.5", "12.5"},
        {"", ""},
    };
    for (const Case& c : cases) {
        form.txtAmount.userReplaceText(c.text);
        EXPECT_EQ(form.txtAmount.Text(), c.shown) << c.text;
    }
}

TEST(AmountEntryTest, PastedTextPassesTheKeyFilterCharacterByCharacter) {
    TestHost host;
    AmountForm form;
    form.txtAmount.userPaste("12:3/4 5");
    EXPECT_EQ(form.txtAmount.Text(), "12,345");
    EXPECT_EQ(host.beeps(), 3);
}

}  // namespace
