#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "books/BookForms.h"
#include "books/frmTrans.h"
#include "contracts/ContractForms.h"
#include "contracts/Settlements.h"
#include "contracts/frmRio.h"
#include "platform/db/Amount.h"
#include "platform/forms/AmountEntry.h"
#include "platform/forms/Clock.h"
#include "projects/ProjectForms.h"
#include "projects/frmPj.h"
#include "shell/frmCom.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/TableDump.h"
#include "vouchers/VoucherForms.h"
#include "vouchers/frmIo.h"
#include "vouchers/frmTag.h"

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

TEST(AmountEntryTest, OnlyAmountsAreGroupedAndEveryDigitIsKept) {
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
        {"12,,3", "12,,3"},
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

// A separator is taken only between two digits, wherever it stands among them, and only where
// the box shows separators; one at either end, alone or beside the minus makes the text no amount.
// A box refuses such a text at the save, names the field and puts the user on it.
TEST(AmountEntryTest, ASeparatorIsTakenOnlyBetweenTwoDigits) {
    const AmountRule withMinus{.negativeAllowed = true};
    for (AmountRule rule : {AmountRule{}, withMinus, VoucherAmountRule})
        for (const char* text :
             {"1,000,", ",1000", ",", "1,000 ,", " ,1000", "-,1000", "1,000,-"}) {
            AmountReading reading = ReadAmount(text, rule);
            EXPECT_EQ(reading.fault, AmountFault::NotAmount) << text;
            EXPECT_FALSE(reading.amount) << text;
        }
    for (AmountRule rule : {AmountRule{}, withMinus})
        for (const char* text : {"1,00,0", "1,000", "1000", " 1,000 "})
            EXPECT_EQ(ReadAmount(text, rule).amount, 1000) << text;
    EXPECT_EQ(ReadAmount("-1,00,0", withMinus).amount, -1000);
    EXPECT_EQ(ReadAmount("1,00,0", VoucherAmountRule).fault, AmountFault::NotAmount);

    TestHost host;
    AmountForm form;
    form.Show();
    for (const char* text : {"1,000,", ",1000"}) {
        form.txtAmount.userReplaceText(text);
        EXPECT_EQ(form.txtAmount.Text(), text) << "left as typed";
        host.expectMessage("總金額欄位只能輸入數字");
        EXPECT_TRUE(TypedAmount(form.txtAmount, "總金額").refused()) << text;
        EXPECT_EQ(host.messages().back().style, 48);
        EXPECT_EQ(form.ActiveControl(), &form.txtAmount);
        EXPECT_EQ(form.txtAmount.SelLength(), static_cast<int>(std::string(text).size()));
    }
    form.txtAmount.userReplaceText("1,00,0");
    EXPECT_EQ(form.txtAmount.Text(), "1,000");
    EXPECT_EQ(TypedAmount(form.txtAmount, "總金額").amount, 1000);
}

TEST(AmountEntryTest, PastedTextPassesTheKeyFilterCharacterByCharacter) {
    TestHost host;
    AmountForm form;
    form.txtAmount.userPaste("12:3/4 5");
    EXPECT_EQ(form.txtAmount.Text(), "12,345");
    EXPECT_EQ(host.beeps(), 3);
}

// What is read back from a shown or stored amount, and the roundings of the tax and the shares,
// all in whole numbers: no digit is lost where a double would round.
TEST(AmountEntryTest, StoredAmountsTaxAndSharesAreExactWholeNumbers) {
    for (auto [text, amount] : {std::pair<const char*, int64_t>{"1,234", 1234},
                                {"-2,500", -2500},
                                {"12abc", 12},
                                {"9500.5", 9501},
                                {"-9500.5", -9501},
                                {"999,999,999,999,999", 999999999999999},
                                {"", 0},
                                {"abc", 0},
                                {"12345678901234567890", 0}})
        EXPECT_EQ(AmountOf(text), amount) << text;
    for (auto [net, tax] : {std::pair<int64_t, int64_t>{10, 1},
                            {30, 2},
                            {50, 3},
                            {-10, -1},
                            {9, 0},
                            {999999999999999, 50000000000000}})
        EXPECT_EQ(FivePercentTax(net), tax) << net;
    EXPECT_EQ(NetOfFivePercentTax(105000), 100000);
    EXPECT_EQ(NetOfFivePercentTax(999999999999999), 952380952380951);
    EXPECT_EQ(ShareText(ShareOf(1, 3)), "33.33%");
    EXPECT_EQ(ShareText(ShareOf(2, 3)), "66.67%");
    EXPECT_EQ(PartOfShare(999999999999999, 3333), 333300000000000);
    EXPECT_EQ(AmountText(Value("1234567890123456")), "1,234,567,890,123,456");
    EXPECT_EQ(AmountText(Value("12abc")), "12abc");
}

// The program with every subsystem's forms on 2026-12-06: a cash book, an ordinary and a cheque
// account, an income account, a contract with one instalment, one addition and one reduction.
class AmountEntryTableTest : public test::ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        registerVoucherForms();
        registerBookForms();
        registerProjectForms();
        registerContractForms();
        Clock::useFixedTime(Date::fromYmdHms(2026, 12, 6, 9, 0, 0));
        loggedInWith(AllRights);
        AccDb().Execute("INSERT INTO acc VALUES ('4101', 1, '工程收入')");
        AccDb().Execute("INSERT INTO use VALUES (1, '工程款')");
        AccDb().Execute(
            "INSERT INTO cash VALUES (1, 1, '2026-12-01', 9000, '期初', '1151201001', 9000)");
        AccDb().Execute("INSERT INTO obank VALUES ('台灣銀行', '001', '本公司', 1000)");
        AccDb().Execute("INSERT INTO bbank VALUES ('土地銀行', '002', '本公司', 1000)");
        AccDb().Execute(
            "INSERT INTO ri (id, 收名稱, 簽約日, 銷貨金額, 稅金, 佣金, 合計, fnLet, 無發票, Let) "
            "VALUES ('115120601', '甲', '2026-11-30', '100', '5', '', '105', '', 0, '')");
        AccDb().Execute(
            "INSERT INTO ri期 (id, 期別, 預付金, 預付日, 佔總價比例, 處理) VALUES ('115120601', "
            "1, '105', '2026-12-27', '100.00%', 0)");
        AccDb().Execute("INSERT INTO ri加 (id, 期別, 金額) VALUES ('115120601', 1, '10')");
        AccDb().Execute("INSERT INTO ri減 (id, 期別, 金額) VALUES ('115120601', 1, '10')");
    }

    // One place where an amount is typed: how the user gets there and types (over the key
    // filter, as a drop or an input method would), how the form saves a text it refuses, how it
    // saves one it takes (answering what it then asks), and what it stored.
    struct Entry {
        const char* name;
        std::string field;
        int digits;
        std::function<void(const std::string&)> type;
        std::function<void()> save;
        std::function<void()> accept;
        std::function<std::string()> stored;
        // The refusal is said in the input box's next prompt rather than in a message box.
        bool refusedInPrompt = false;
        // A negative amount is one the field holds (a contract total below zero, an overdrawn
        // account's opening amount, a project total).
        bool negativeAllowed = false;
    };

    frmRio& shownContract() {
        frmRio& form = Forms::get<frmRio>();
        form.Show();
        return form;
    }
    void typeIntoHeader(TextBox frmRio::*box, const std::string& text) {
        frmRio& form = shownContract();
        host.click(form.cmdEdit);
        host.act([&] { (form.*box).userReplaceText(text); });
    }
    void typeIntoCell(CommandButton ContractSchedules::*edit, Grid ContractSchedules::*grid,
                      int col, TextBox ContractSchedules::*editor, const std::string& text) {
        ContractSchedules& schedules = shownContract().schedules;
        host.click(schedules.*edit);
        host.mouseUpCell(schedules.*grid, 1, col, LeftButton);
        host.act([&] { (schedules.*editor).userReplaceText(text); });
    }
    static std::string contractField(const char* table, const char* field) {
        return AccDb()
            .OpenRecordset("SELECT " + AccDb().Field(table, field) + " FROM " +
                           AccDb().Table(table) + " WHERE id = '115120601'")
            .Fields(0)
            .text();
    }
    void saveContractHeader() { host.click(Forms::get<frmRio>().cmdSv); }
    frmIo& voucherAdding() {
        frmIo& form = Forms::get<frmIo>();
        host.click(form.cmdAdd);
        host.type(form.cbUse, "工程款");
        host.pick(form.cbAcc, 0);
        return form;
    }
    frmTag& journalLines(const std::string& debit, const std::string& credit) {
        frmTag& form = Forms::get<frmTag>();
        host.click(form.cmdAdd);
        for (auto [row, side, amount] : {std::tuple{1, 0, debit}, std::tuple{2, 1, credit}}) {
            host.clickCell(form.hfg, row, 3);
            host.pick(form.cbBL, side);
            host.clickCell(form.hfg, row, 5);
            host.act([&] { form.t.userReplaceText(amount); });
        }
        return form;
    }

    std::vector<Entry> entries() {
        auto click = [this](CommandButton& button) { host.click(button); };
        auto header = [this](const char* name, const char* field, TextBox frmRio::*box,
                             const char* stored) {
            return Entry{name,
                         field,
                         15,
                         [this, box](const std::string& text) { typeIntoHeader(box, text); },
                         [this] { saveContractHeader(); },
                         [this] { saveContractHeader(); },
                         [stored] { return contractField("ri", stored); }};
        };
        Entry total = header("contract total", "合計", &frmRio::txtTal, "合計");
        total.negativeAllowed = true;
        total.accept = [this] {
            host.answerMessage(AnswerOk);  // the instalments' shares follow the new total
            saveContractHeader();
        };
        Entry bank{"bank opening amount",
                   "公司往來銀行(一般存款帳戶) 第 1 列的金額",
                   15,
                   [this](const std::string& text) {
                       frmCom& form = Forms::get<frmCom>();
                       host.mouseDownCell(form.hfg(0), 1, 3, LeftButton);
                       host.act([&] { form.txt.userReplaceText(text); });
                   },
                   [this] { host.closeByFrame(Forms::get<frmCom>()); },
                   [this] { host.closeByFrame(Forms::get<frmCom>()); },
                   [] { return rows(AccDb(), "SELECT cash FROM obank").at(0); }};
        bank.negativeAllowed = true;
        return {
            {"voucher amount", "金額", 12,
             [this](const std::string& text) {
                 frmIo& form = voucherAdding();
                 host.act([&] { form.txtCash.userReplaceText(text); });
             },
             [=] { click(Forms::get<frmIo>().cmdSv); }, [=] { click(Forms::get<frmIo>().cmdSv); },
             [] { return rows(AccDb(), "SELECT 金額 FROM iof ORDER BY 單號 DESC").at(0); }},
            {"voucher tax", "稅額", 12,
             [this](const std::string& text) {
                 frmIo& form = voucherAdding();
                 host.type(form.txtCash, "1000");
                 host.click(form.Check1);
                 host.act([&] { form.txtTax.userReplaceText(text); });
             },
             [=] { click(Forms::get<frmIo>().cmdSv); }, [=] { click(Forms::get<frmIo>().cmdSv); },
             [] { return rows(AccDb(), "SELECT 稅額 FROM iof ORDER BY 單號 DESC").at(0); }},
            {"transfer amount", "轉帳金額", 12,
             [this](const std::string& text) {
                 frmTrans& form = Forms::get<frmTrans>();
                 host.act([&] { form.txtCash.userReplaceText(text); });
             },
             [=] { click(Forms::get<frmTrans>().cmdToBank); },
             [this] {
                 host.answerMessage(AnswerNo);  // the question is the last step before writing
                 host.click(Forms::get<frmTrans>().cmdToBank);
             },
             [this] { return host.messages().back().text; }},
            header("contract amount", "銷貨金額", &frmRio::txtAm, "銷貨金額"),
            header("contract commission", "佣金", &frmRio::txtComi, "佣金"),
            header("contract discount", "折讓", &frmRio::txtLet, "Let"),
            total,
            header("contract discount outstanding", "未收折讓", &frmRio::txtfnLet, "fnLet"),
            {"instalment cell", "第1期的應收金額", 15,
             [this](const std::string& text) {
                 typeIntoCell(&ContractSchedules::cmdEc, &ContractSchedules::hfg, 1,
                              &ContractSchedules::txt, text);
             },
             [=] { click(Forms::get<frmRio>().schedules.cmdAcSv); },
             [=] { click(Forms::get<frmRio>().schedules.cmdAcSv); },
             [] { return contractField("ri期", "預付金"); }},
            {"addition cell", "追加1的應收金額", 15,
             [this](const std::string& text) {
                 typeIntoCell(&ContractSchedules::cmdEa, &ContractSchedules::HfgAM, 3,
                              &ContractSchedules::txtA, text);
             },
             [=] { click(Forms::get<frmRio>().schedules.cmdAmSv); },
             [=] { click(Forms::get<frmRio>().schedules.cmdAmSv); },
             [] { return contractField("ri加", "金額"); }},
            {"reduction cell", "追減1的金額", 15,
             [this](const std::string& text) {
                 typeIntoCell(&ContractSchedules::cmdEm, &ContractSchedules::hfgM, 3,
                              &ContractSchedules::txtM, text);
             },
             [=] { click(Forms::get<frmRio>().schedules.cmdMsv); },
             [=] { click(Forms::get<frmRio>().schedules.cmdMsv); },
             [] { return contractField("ri減", "金額"); }},
            {"project total", "總金額", 15,
             [this](const std::string& text) {
                 frmPj& form = Forms::get<frmPj>();
                 host.click(form.cmdAdd);
                 host.type(form.txtPjNo, "P001");
                 host.type(form.txtPjN, "一號工程");
                 host.act([&] { form.txtCash.userReplaceText(text); });
             },
             [=] { click(Forms::get<frmPj>().cmdSv); },
             [this] {
                 host.answerMessage(AnswerYes);  // a new project keeps its number and name
                 host.click(Forms::get<frmPj>().cmdSv);
             },
             [] { return rows(AccDb(), "SELECT tCash FROM prj").at(0); }, false, true},
            bank,
            {"journal line", "第 1 行的金額", 15,
             [this](const std::string& text) { journalLines(text, "12"); },
             [=] { click(Forms::get<frmTag>().cmdSv); }, [=] { click(Forms::get<frmTag>().cmdSv); },
             [] { return rows(AccDb(), "SELECT 金額 FROM tag ORDER BY rowid").at(0); }},
            {"settled amount", "沖帳金額", 15,
             [this](const std::string& text) {
                 host.answerMessage(AnswerYes);  // the amounts differ: settle all the same
                 host.answerInput(text);
             },
             [this] {
                 host.answerInput("");  // the prompt that refuses is left empty: nothing settles
                 host.act([&] { settled_ = AskSettledAmount(20, 10).value_or("(none)"); });
             },
             [this] { host.act([&] { settled_ = AskSettledAmount(20, 10).value_or("(none)"); }); },
             [this] { return settled_; }, true},
        };
    }

    // The message that refused the text: a box's or cell's message, the settlement's prompt.
    std::string refusal(const Entry& entry) {
        if (!entry.refusedInPrompt)
            return host.messages().empty() ? "" : host.messages().back().text;
        const std::string prompt = host.inputs().back().prompt;
        return prompt.substr(prompt.find('\n') + 1);
    }

    std::string settled_;
};

// Every text that is no amount is refused by every entry with a message naming the field, and
// nothing is stored; an amount longer than the entry takes is refused, never rounded, and a minus
// where the field holds no negative amount.
TEST_F(AmountEntryTableTest, EveryAmountEntryRefusesWhatIsNoAmountAndStoresNothing) {
    const std::string sixteen = "1234567890123456", twenty = "12345678901234567890";
    const std::string before = test::dumpTables(AccDb());
    for (const Entry& entry : entries()) {
        for (const std::string& text :
             {std::string("abc"), std::string("-5"), std::string("12,,3"), std::string("１２３"),
              std::string("100.001"), std::string("1e400"), std::string("1,000,"),
              std::string(",1000"), sixteen, twenty}) {
            if (text == "-5" && entry.negativeAllowed) continue;
            SCOPED_TRACE(std::string(entry.name) + " " + text);
            host.clearMessages();
            entry.type(text);
            if (!entry.refusedInPrompt) host.answerMessage(AnswerOk);
            entry.save();
            // The settlement asks again for a number: "必須是數字".
            std::string expected =
                entry.refusedInPrompt ? "必須是數字" : entry.field + "欄位只能輸入數字";
            if (text == "-5") expected = entry.field + "不可為負數";
            if (text == sixteen || text == twenty)
                expected = entry.field + "不可超過" + std::to_string(entry.digits) + "位數";
            EXPECT_EQ(refusal(entry), expected);
            EXPECT_EQ(test::dumpTables(AccDb()), before);
            Forms::discardAll();
        }
    }
}

TEST_F(AmountEntryTableTest, AnAmountWithBlanksAroundIsTakenAsItsNumber) {
    for (const Entry& entry : entries()) {
        SCOPED_TRACE(entry.name);
        host.clearMessages();
        entry.type("  12");
        entry.accept();
        const std::string stored = entry.stored();
        if (std::string(entry.name) == "transfer amount")
            EXPECT_EQ(stored, "確定由現金轉帳到\r\n台灣銀行001\r\n金額  12");
        else if (std::string(entry.name) == "journal line" || entry.refusedInPrompt)
            EXPECT_EQ(stored, "  12") << "kept as typed";
        else
            EXPECT_EQ(stored, "12");
        Forms::discardAll();
    }
}

// Where the field holds a negative amount (a contract total below zero, an overdrawn opening
// amount, a project total) a typed minus is taken and stored as that number.
TEST_F(AmountEntryTableTest, AFieldThatHoldsANegativeAmountTakesATypedMinus) {
    int negativeEntries = 0;
    for (const Entry& entry : entries()) {
        if (!entry.negativeAllowed) continue;
        SCOPED_TRACE(entry.name);
        ++negativeEntries;
        host.clearMessages();
        entry.type("-1,234");
        entry.accept();
        // The contract's total is stored as its box shows it, the others as numbers.
        EXPECT_EQ(entry.stored(), entry.name == std::string("contract total") ? "-1,234" : "-1234");
        Forms::discardAll();
    }
    EXPECT_EQ(negativeEntries, 3);
}

// A share cell takes 0 to 100 with at most two decimals; anything else is refused at the save of
// the instalments, naming the row, and nothing is stored.
TEST_F(AmountEntryTableTest, AShareCellTakesZeroToAHundredWithTwoDecimalsAtMost) {
    const std::string before = test::dumpTables(AccDb());
    for (const char* text : {"abc", "-5", "12,,3", "１２３", "100.001", "1e400", "100.01",
                             "1234567890123456", "33.335"}) {
        SCOPED_TRACE(text);
        host.clearMessages();
        typeIntoCell(&ContractSchedules::cmdEc, &ContractSchedules::hfg, 3,
                     &ContractSchedules::txtsc, text);
        host.expectMessage("第1期的佔總價比例必須是 0 到 100 之間、最多兩位小數的百分比");
        host.click(Forms::get<frmRio>().schedules.cmdAcSv);
        EXPECT_EQ(test::dumpTables(AccDb()), before);
        Forms::discardAll();
    }
    typeIntoCell(&ContractSchedules::cmdEc, &ContractSchedules::hfg, 3, &ContractSchedules::txtsc,
                 "100.00");
    host.click(Forms::get<frmRio>().schedules.cmdAcSv);
    EXPECT_EQ(contractField("ri期", "佔總價比例"), "100.00%");
}

}  // namespace
