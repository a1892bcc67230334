#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <thread>

#include "platform/forms/UnsavedInput.h"
#include "projects/frmGtPj.h"
#include "shell/Schema.h"
#include "tests/contracts/ContractBook.h"
#include "tests/support/WriteFaults.h"

using namespace kiv;
using namespace kiv::test;

namespace {

// The contract form's header: moving between contracts, adding, editing, the amounts, saving and
// deleting.
class ContractFormTest : public ContractBook {
  protected:
    // The user selects what the box holds and types over it (an empty text empties the box).
    void retype(TextBox& box, const std::string& text) {
        host.focus(box);
        host.act([&] { box.SelectAll(); });
        if (text.empty())
            host.pressKey(box, Key::Backspace);
        else
            host.type(box, text);
    }
    frmRio& adding() {
        frmRio& f = openForm();
        host.click(f.cmdAdd);
        return f;
    }
    // Adds a receivable contract signed on the picked date with this total.
    void addContract(frmRio& f, const std::string& total) {
        host.click(f.cmdAdd);
        host.pickDate(f.DTP, day(2026, 12, 1));
        host.type(f.txtNa, "新合約");
        host.type(f.txtTal, total);
        host.click(f.cmdSv);
    }
    Texts instalments() {
        return rows(AccDb(),
                    "SELECT id, 期別, 預付金, 預付日, 佔總價比例, 實收金, 處理 FROM ri期 ORDER BY "
                    "id, 期別");
    }
    static std::string amounts(const frmRio& f) {
        return f.txtAm.Text() + "|" + f.lbTax.Caption() + "|" + f.txtComi.Text() + "|" +
               f.txtLet.Text() + "|" + f.txtTal.Text();
    }
    static void expectBrowsing(frmRio& f) {
        EXPECT_EQ(f.lbStat.Caption(), "瀏覽");
        EXPECT_TRUE(f.cmdAdd.Enabled() && f.FSB.Visible() && f.optI.Enabled() &&
                    f.fmeSer.Enabled());
        EXPECT_FALSE(f.cmdSv.Enabled() || f.frme.Enabled() || f.txtfnLet.Enabled() ||
                     f.cmdAll.Visible());
    }
};

TEST_F(ContractFormTest, OpensOnTheLastContractAndStepsInNumberOrder) {
    AddContract("ri", "11512010");
    AddContract("ri", "11512002", "500,000");
    AddContract("ro", "11512099");
    frmRio& f = openForm();
    expectBrowsing(f);
    EXPECT_EQ(f.lbNo.Caption() + "|" + f.lbSin.Caption(), "11512010|中華民國 115/11/30");
    EXPECT_EQ(f.FSB.Max(), 1);
    host.scroll(f.FSB, 0);
    EXPECT_EQ(f.lbNo.Caption() + "|" + f.txtTal.Text() + "|" + f.lbCC.Caption(),
              "11512002|500,000|500,000");
}

TEST_F(ContractFormTest, AddingShowsTheCompactViewAndCancelRestores) {
    AddContract("ri", "11512001");
    AddContract("ri", "11512003");
    frmRio& f = openForm();
    host.scroll(f.FSB, 0);
    host.click(f.cmdAdd);
    EXPECT_EQ(f.lbStat.Caption() + "|" + f.lbNo.Caption(), "新增中|115120601");
    EXPECT_EQ(f.Height(), frmRio::CompactHeight);
    EXPECT_FALSE(f.FSB.Visible() || f.optI.Enabled() || f.cmdAdd.Enabled());
    EXPECT_FALSE(f.cmdSer.IsEffectivelyEnabled()) << "no search while the header is edited";
    host.click(f.cmdCen);
    expectBrowsing(f);
    EXPECT_EQ(f.lbNo.Caption(), "11512003");
    // An edit cancelled gives back the stored header and keeps the grids.
    host.click(f.cmdEdit);
    EXPECT_TRUE(f.txtfnLet.Enabled());
    host.act([&] { f.txtNa.SetText("改過"); });
    host.click(f.schedules.cmdAM);
    host.click(f.cmdCen);
    EXPECT_EQ(f.txtNa.Text() + "|" + f.schedules.HfgAM.TextMatrix(1, 0), "合約11512003|追加1");
}

TEST_F(ContractFormTest, TheCompactBarAsksWhetherToSave) {
    frmRio& f = openForm();
    host.click(f.cmdAll);  // browsing: nothing
    host.click(f.cmdAdd);
    host.expectMessage("是否儲存?", AnswerYes);
    host.expectMessage("請填入簽約日期");
    host.click(f.cmdAll);
    EXPECT_EQ(f.lbStat.Caption(), "新增中");
    EXPECT_EQ(f.Height(), frmRio::FullHeight);
    host.click(f.cmdCen);
    host.click(f.cmdAdd);
    host.expectMessage("是否儲存?", AnswerCancel);
    host.click(f.cmdAll);
    expectBrowsing(f);
    EXPECT_TRUE(contracts().empty());
}

// Yes to the question for a grid that cannot be stored is refused and stops the move and the change
// of kind: the edits stay on their contract. No drops them. Once they can be stored, Yes stores
// them on the kind shown, though the option of the other kind is already chosen when its switch
// asks.
TEST_F(ContractFormTest, PendingGridEditsAreAskedBeforeAMove) {
    AddContract("ri", "11512001");
    AddContract("ri", "11512002");
    AddContract("ro", "11512002");
    frmRio& f = openForm();
    host.click(f.schedules.cmdAc);
    const std::function<void()> moves[] = {[&] { host.scroll(f.FSB, 0); },
                                           [&] { host.click(f.optO); }};
    for (const auto& move : moves) {
        host.expectMessage("期數修改中是否儲存?", AnswerYes);
        host.expectMessage("請填入金額及應付日期");
        move();
        EXPECT_EQ(f.lbNo.Caption(), "11512002");
        EXPECT_TRUE(f.optI.Value() && !f.optO.Value() && f.schedules.InstalmentsEditing);
        EXPECT_EQ(f.schedules.hfg.TextMatrix(1, 0), "第1期");
    }
    host.act([&] {
        f.schedules.hfg.SetTextMatrix(1, 1, "700");
        f.schedules.hfg.SetTextMatrix(1, 2, "115/12/27");
    });
    host.expectMessage("期數修改中是否儲存?", AnswerYes);
    host.click(f.optO);
    EXPECT_EQ(rows(AccDb(), "SELECT id, 預付金 FROM ri期"), Texts{"11512002|700"});
    EXPECT_TRUE(rows(AccDb(), "SELECT * FROM ro期").empty());
    EXPECT_TRUE(f.optO.Value() && !f.schedules.InstalmentsEditing);

    host.click(f.optI);
    host.click(f.schedules.cmdAc);
    host.click(f.schedules.cmdEa);
    host.expectMessage("期數修改中是否儲存?", AnswerNo);
    host.expectMessage("追加修改中是否儲存?", AnswerNo);
    host.scroll(f.FSB, 0);
    EXPECT_FALSE(f.schedules.cmdAcSv.Enabled() || f.schedules.cmdAmSv.Enabled());
    EXPECT_FALSE(f.schedules.InstalmentsEditing || f.schedules.AdditionsEditing);
    EXPECT_EQ(rows(AccDb(), "SELECT count(*) FROM ri期"), Texts{"1"});
    host.click(f.schedules.cmdAM);
    f.Unload();  // closing asks nothing
}

// The same question when the save Yes asks for is refused because copy B changed the instalments
// meanwhile: the move and the change of kind stop, the user is told once, and the instalments show
// as stored on the contract shown. No drops the edits, and no cell editor stays over the grids
// shown next.
TEST_F(ContractFormTest, AMoveStopsWhenItsSaveIsRefusedAndLeavesNoEditorAfterNo) {
    AddContract("ri", "11512001");
    AddContract("ri", "11512002");
    AddScheduleRow("ri期", "11512002", 1, "700,000", "", "70.00%");
    AddContract("ro", "11512002");
    auto copyB = Database::open(AccDb().path(), accSchema());
    frmRio& f = openForm();
    const auto typeInvoice = [&] {
        host.click(f.schedules.cmdEc);
        host.mouseUpCell(f.schedules.hfg, 1, 5, LeftButton);
        ASSERT_TRUE(f.schedules.txt.Visible());
        host.type(f.schedules.txt, "inv9");
    };
    const std::function<void()> moves[] = {[&] { host.scroll(f.FSB, 0); },
                                           [&] { host.click(f.optO); }};
    for (const auto& move : moves) {
        typeInvoice();
        copyB->Execute("UPDATE ri期 SET 發票號碼 = 'B' || 發票號碼");
        const std::string leftByB = dumpTables(AccDb());
        host.expectMessage("期數修改中是否儲存?", AnswerYes);
        host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
        move();
        EXPECT_EQ(dumpTables(AccDb()), leftByB);
        EXPECT_EQ(f.lbNo.Caption(), "11512002");
        EXPECT_TRUE(f.optI.Value() && !f.optO.Value());
        EXPECT_EQ(f.schedules.hfg.TextMatrix(1, 5), rows(AccDb(), "SELECT 發票號碼 FROM ri期")[0]);
        EXPECT_FALSE(f.schedules.InstalmentsEditing || f.schedules.txt.Visible());
    }
    for (const auto& move : moves) {
        typeInvoice();
        host.expectMessage("期數修改中是否儲存?", AnswerNo);
        move();
        EXPECT_FALSE(f.schedules.InstalmentsEditing || f.schedules.txt.Visible());
        host.click(f.optI);
        host.scroll(f.FSB, 1);
    }
    EXPECT_EQ(rows(AccDb(), "SELECT 發票號碼 FROM ri期"), Texts{"BBINV"});
}

// A header being edited or pending grid edits keep another form's action from closing the form.
TEST_F(ContractFormTest, UnsavedInputKeepsTheFormFromBeingClosedByAnotherForm) {
    AddContract("ri", "11512001");
    frmRio& f = openForm();
    const auto closedByAnotherForm = [&] {
        bool closed = false;
        host.act([&] { closed = UnloadUnlessUnsaved("frmRio"); });
        return closed;
    };
    host.click(f.cmdEdit);
    host.expectMessage("請先關閉應收付帳款作業");
    EXPECT_FALSE(closedByAnotherForm());
    host.click(f.cmdCen);
    host.click(f.schedules.cmdEa);
    host.expectMessage("請先關閉應收付帳款作業");
    EXPECT_FALSE(closedByAnotherForm());
    EXPECT_EQ(Forms::find("frmRio"), &f);
    host.click(f.schedules.cmdAmSv);
    EXPECT_TRUE(closedByAnotherForm());
}

TEST_F(ContractFormTest, TheCounterpartyFillsContactAndTelephone) {
    frmRio& f = openForm();
    EXPECT_EQ(f.cbCna.ListCount(), 3) << "a nameless customer is no counterparty";
    host.click(f.cmdAdd);
    host.pick(f.cbCna, 1);
    EXPECT_EQ(f.txtCcnt.Text() + "|" + f.txtCtel.Text(), "王先生|02-23456789");
    host.act([&] { f.cbCna.SetText("不在名單"); });
    host.act([&] { f.cbCna_Click(); });
    EXPECT_EQ(f.txtCcnt.Text(), "王先生");
}

TEST_F(ContractFormTest, OpeningOnOneContractHidesNavigationAndAMissingOneShowsNothing) {
    AddContract("ro", "11512005");
    AddContract("ro", "11512009");
    AddContract("ri", "11512005");
    AddScheduleRow("ri期", "11512005", 1, "100");
    HandOver<bool> mode(OpenContractMode, true);
    {
        HandOver<std::string> no(OpenContractNo, "11512005");
        frmRio& f = openForm();
        EXPECT_TRUE(f.optO.Value());
        EXPECT_EQ(f.lbNo.Caption() + "|" + f.Label4.Caption(), "11512005|廠 商 名 稱:");
        for (Control* c : std::initializer_list<Control*>{&f.FSB, &f.cmdAdd, &f.cmdEdit, &f.cmdDel,
                                                          &f.cmdSv, &f.fmeSer})
            EXPECT_FALSE(c->Visible()) << c->Name();
        f.Unload();
    }
    HandOver<bool> side(OpenContractIsReceivable, true);
    HandOver<std::string> no(OpenContractNo, "99999999");
    frmRio& f = openForm();
    EXPECT_EQ(f.lbNo.Caption() + f.txtNa.Text() + f.schedules.hfg.TextMatrix(1, 1), "");
    EXPECT_EQ(f.schedules.hfg.Rows(), 2);
}

TEST_F(ContractFormTest, TypedAmountsGiveTaxAndTotalAndATypedTotalGivesThemBack) {
    frmRio& f = adding();
    const Texts shown{"1|0|||1",          "10|1|||11",           "100|5|||105",
                      "1,000|50|||1,050", "10,000|500|||10,500", "100,000|5,000|||105,000"};
    for (size_t i = 0; i < shown.size(); ++i) {
        host.type(f.txtAm, std::string(i == 0 ? "1" : "0"));
        EXPECT_EQ(amounts(f), shown[i]);
        EXPECT_EQ(f.txtAm.SelStart(), static_cast<int>(f.txtAm.Text().size()));
    }
    host.type(f.txtLet, "2000");
    EXPECT_EQ(amounts(f), "100,000|5,000||2,000|103,000");
    host.type(f.txtComi, "1000");
    EXPECT_EQ(amounts(f), "100,000|5,000|1,000|2,000|103,000") << "the commission waits";
    retype(f.txtLet, "2000");
    EXPECT_EQ(amounts(f), "100,000|5,000|1,000|2,000|102,000");
    retype(f.txtTal, "105000");
    EXPECT_EQ(amounts(f), "102,857|5,143|1,000|2,000|105,000");
    // Halves of the tax round away from zero.
    for (auto [amount, tax] : {std::pair{"10", "10|1"}, std::pair{"50", "50|3"},
                               std::pair{"30", "30|2"}, std::pair{"29", "29|1"}}) {
        retype(f.txtAm, amount);
        EXPECT_EQ(f.txtAm.Text() + "|" + f.lbTax.Caption(), tax);
    }
}

TEST_F(ContractFormTest, EmptiedBoxesAndANegativeTotal) {
    frmRio& f = adding();
    host.type(f.txtAm, "100000");
    retype(f.txtAm, "");
    EXPECT_EQ(amounts(f), "|5,000|||105,000") << "an emptied amount leaves tax and total";
    retype(f.txtTal, "105000");
    retype(f.txtTal, "");
    EXPECT_EQ(amounts(f), "0|0|||") << "an emptied total leaves nothing to derive";
    retype(f.txtAm, "1000");
    host.type(f.txtComi, "3000");
    host.type(f.txtLet, "2000");
    EXPECT_EQ(amounts(f), "1,000|50|3,000|2,000|-3,950");
    retype(f.txtLet, "");
    EXPECT_EQ(amounts(f), "1,000|50|3,000||-1,950") << "an emptied discount counts 0";
}

TEST_F(ContractFormTest, AmountBoxesTakeDigitsOnlyAndOtherTextIsKeptAsItIs) {
    frmRio& f = openForm();
    host.click(f.cmdEdit);
    for (TextBox* box : {&f.txtAm, &f.txtComi, &f.txtLet, &f.txtTal, &f.txtfnLet}) {
        retype(*box, "");
        const int before = host.beeps();
        host.type(*box, "1/:a-.,2");
        host.pressKey(*box, Key::Backspace);
        EXPECT_EQ(box->Text(), "1") << box->Name();
        EXPECT_EQ(host.beeps() - before, 6) << box->Name();
    }
    host.click(f.cmdCen);
    host.click(f.cmdAdd);
    host.focus(f.txtAm);
    host.act([&] { f.txtAm.SetText("1,000abc"); });
    EXPECT_EQ(amounts(f), "1,000abc||||") << "no amount: nothing is computed from it";
    // A total the program writes recomputes nothing; one that is no amount is kept when left.
    host.focus(f.txtTal);
    host.act([&] {
        f.LastAmountBox.clear();
        f.txtTal.SetText("1234.5");
    });
    host.focus(f.txtNa);
    EXPECT_EQ(f.txtTal.Text() + "|" + f.txtAm.Text(), "1234.5|1,000abc");
    host.act([&] { f.txtTal.SetText("1234567890123456"); });
    host.focus(f.txtTal);
    host.focus(f.txtNa);
    EXPECT_EQ(f.txtTal.Text(), "1,234,567,890,123,456") << "every digit, not rounded";
}

TEST_F(ContractFormTest, AContractShownAfterTypingKeepsItsStoredAmounts) {
    AccDb().Execute(
        "INSERT INTO ri (id, 收名稱, 銷貨金額, 稅金, 佣金, 合計, fnLet, 無發票, Let) VALUES "
        "('115120601', '甲', '100,000', '4,000', '1,000', '90,000', '', 0, '3,000'), "
        "('115120602', '乙', '200,000', '9,000', '', '150,000', '', 0, '')");
    frmRio& f = openForm();
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

TEST_F(ContractFormTest, NumbersRunByDayAndKindAndStopAtTheHundredth) {
    frmRio& f = openForm();
    addContract(f, "1000");
    addContract(f, "2000");
    EXPECT_EQ(contracts(), (Texts{"115120601|1,000", "115120602|2,000"}));
    EXPECT_EQ(rows(AccDb(), "SELECT 稅金, 簽約日 FROM ri"),
              (Texts{"48|2026/12/01", "95|2026/12/01"}));
    host.click(f.optO);
    addContract(f, "5");
    EXPECT_EQ(contracts("ro"), (Texts{"115120601|5"}));
    AccDb().Execute("INSERT INTO ri (id) VALUES ('115120609')");
    host.click(f.optI);
    addContract(f, "9");
    EXPECT_EQ(contracts().back(), "115120610|9");
    EXPECT_EQ(f.lbNo.Caption(), "115120610");
    AccDb().Execute("INSERT INTO ri (id) VALUES ('115120699')");
    host.expectMessage("本日應收付帳款已達 99 筆\n無法再新增");
    host.click(f.cmdAdd);
    EXPECT_EQ(f.lbStat.Caption(), "瀏覽");
}

TEST_F(ContractFormTest, ANewContractTakesTheNumberOfTheDayItIsSaved) {
    frmRio& f = openForm();
    host.click(f.cmdAdd);
    Clock::useFixedTime(Date::fromYmdHms(2026, 12, 7, 0, 1, 0));
    host.pickDate(f.DTP, day(2026, 12, 1));
    host.click(f.cmdSv);
    EXPECT_EQ(contracts(), (Texts{"115120701|"}));
    // A 100th of the day is refused at the save too, the mode kept.
    host.click(f.cmdAdd);
    host.pickDate(f.DTP, day(2026, 12, 1));
    AccDb().Execute("INSERT INTO ri (id) VALUES ('115120799')");
    host.expectMessage("本日應收付帳款已達 99 筆\n無法再新增");
    host.click(f.cmdSv);
    EXPECT_EQ(f.lbStat.Caption(), "新增中");
    EXPECT_EQ(contracts(), (Texts{"115120701|", "115120799|"}));
}

// Copy B stores a contract while copy A saves one. A takes its number under the write lock that
// stores its row, so once B's is stored: each gets a number of its own.
TEST_F(ContractFormTest, TwoCopiesSavingAtOnceTakeNumbersOfTheirOwn) {
    frmRio& f = openForm();
    host.click(f.cmdAdd);
    host.pickDate(f.DTP, day(2026, 12, 1));
    std::promise<void> lockTaken;
    std::future<void> bHoldsTheLock = lockTaken.get_future();
    std::thread copyB([path = AccDb().path(), &lockTaken] {
        auto db = Database::open(path, accSchema());
        Transaction transaction(*db, TransactionKind::Writes);
        db->Execute("INSERT INTO ri (id, 合計) VALUES ('115120601', 'B')");
        lockTaken.set_value();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        transaction.Commit();
    });
    bHoldsTheLock.wait();
    host.click(f.cmdSv);
    copyB.join();
    EXPECT_TRUE(host.messages().empty());
    EXPECT_EQ(contracts(), (Texts{"115120601|B", "115120602|"}));
    EXPECT_EQ(f.lbNo.Caption(), "115120602");
}

TEST_F(ContractFormTest, AChangedTotalRewritesTheSharesOfTheInstalmentsOrNothing) {
    AddContract("ri", "115120601", "1,000");
    AddScheduleRow("ri期", "115120601", 1, "300", "1151206001", "30.00%");
    AddScheduleRow("ri期", "115120601", 2, "700", "", "70.00%");
    frmRio& f = openForm();
    host.click(f.cmdEdit);
    host.act([&] { f.txtTal.SetText(""); });
    host.type(f.txtTal, "2000");
    host.expectMessage("因您修改了總價,所以應收付期數的佔總價比例已變更");
    host.click(f.cmdSv);
    EXPECT_EQ(instalments(), (Texts{"115120601|1|300|2026/12/27|15.00%|300|True",
                                    "115120601|2|700|2026/12/27|35.00%||False"}));
    EXPECT_EQ(contracts(), (Texts{"115120601|2,000"}));
    EXPECT_EQ(f.schedules.hfg.TextMatrix(1, 3) + "|" + f.lbStat.Caption(), "15.00%|瀏覽");
    // The same total again rewrites nothing and says nothing.
    host.click(f.cmdEdit);
    host.click(f.cmdSv);
    EXPECT_EQ(host.messages().size(), 1u);
    // Refused whole when the instalments cannot follow.
    const std::string before = dumpTables(AccDb());
    host.click(f.cmdEdit);
    host.click(f.schedules.cmdAc);
    host.act([&] { f.txtTal.SetText("5,000"); });
    host.expectMessage("請填入金額及應付日期");
    host.click(f.cmdSv);
    EXPECT_EQ(f.lbStat.Caption(), "修改中");
    host.act([&] { f.schedules.hfg.SetRows(3); });
    host.act([&] { f.txtTal.SetText(""); });
    host.expectMessage("合計為 0,無法計算期數的佔總價比例");
    host.click(f.cmdSv);
    EXPECT_EQ(dumpTables(AccDb()), before);
    // Deleted meanwhile: nothing is written.
    AccDb().Execute("DELETE FROM ri");
    AccDb().Execute("DELETE FROM ri期");
    host.expectMessage("找不到此應收付帳款");
    host.click(f.cmdSv);
    EXPECT_TRUE(contracts().empty());
}

// Copy B of the program changes the contract while copy A edits its header: A's save writes
// nothing and A is shown what B stored. A new total would rewrite the instalments too, so an
// instalment B added counts as well.
TEST_F(ContractFormTest, AHeaderChangedByAnotherCopyIsNotOverwritten) {
    AddContract("ri", "115120601", "1,000");
    AddScheduleRow("ri期", "115120601", 1, "300", "", "30.00%");
    auto copyB = Database::open(AccDb().path(), accSchema());
    frmRio& f = openForm();
    struct Change {
        Sql sql;
        int instalmentRows;
    };
    const Change changes[] = {
        {"UPDATE ri SET 備註 = '乙'", 1},
        {"INSERT INTO ri期 (id, 期別, 預付金, 預付日, 佔總價比例, 處理) VALUES ('115120601', 2, "
         "'700', '2026-12-30', '70.00%', 0)",
         2},
    };
    for (const Change& change : changes) {
        host.click(f.cmdEdit);
        host.act([&] { f.txtPs.SetText("甲"); });
        host.act([&] { f.txtTal.SetText("2,000"); });
        copyB->Execute(change.sql);
        const std::string stored = dumpTables(AccDb());
        host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
        host.click(f.cmdSv);
        EXPECT_EQ(dumpTables(AccDb()), stored);
        EXPECT_EQ(f.lbStat.Caption() + "|" + f.txtPs.Text() + "|" + f.txtTal.Text(),
                  "瀏覽|乙|1,000");
        EXPECT_EQ(f.schedules.hfg.Rows(), change.instalmentRows + 1);
    }
    // Saved from what is shown now, the new total rescales both instalments.
    host.click(f.cmdEdit);
    host.act([&] { f.txtTal.SetText("2,000"); });
    host.expectMessage("因您修改了總價,所以應收付期數的佔總價比例已變更");
    host.click(f.cmdSv);
    EXPECT_EQ(rows(AccDb(), "SELECT 備註, 合計 FROM ri"), Texts{"乙|2,000"});
    EXPECT_EQ(instalments(), (Texts{"115120601|1|300|2026/12/27|15.00%||False",
                                    "115120601|2|700|2026/12/30|35.00%||False"}));
}

TEST_F(ContractFormTest, TakingAProjectSplitsTheTotalForAReceivable) {
    AccDb().Execute(
        "INSERT INTO prj (id, prj, tCash, cust, final, sinDay) VALUES ('P1', '一號工程', 1050000, "
        "'乙公司', 0, '2026-11-30'), ('P2', '二號工程', 1000, '甲公司', 0, NULL), ('P3', '三號', "
        "10, '', 0, NULL)");
    AccDb().Execute("INSERT INTO w4pj VALUES ('P1', '土木'), ('P1', '油漆')");
    frmRio& f = openForm();
    host.click(f.cmdAdd);
    host.type(f.txtPs, "舊備註");
    const auto pick = [&](int row) {
        host.onModal<frmGtPj>([this, row](frmGtPj& p) {
            host.clickCell(p.hfg, row, 1);
            host.click(p.Command1);
        });
        host.click(f.cmdPj);
    };
    const auto header = [&] {
        return f.txtNa.Text() + "|" + f.lbPjNo.Caption() + "|" + f.cbCna.Text() + "|" +
               f.txtAm.Text() + "|" + f.lbTax.Caption() + "|" + f.txtTal.Text();
    };
    pick(1);
    EXPECT_EQ(header(), "一號工程|P1|乙公司|1,000,000|50,000|1,050,000");
    EXPECT_EQ(f.lbSin.Caption() + "|" + f.txtCcnt.Text() + "|" + f.txtPs.Text(),
              "中華民國 115/11/30|王先生|");
    EXPECT_EQ(f.cbWork.ListCount(), 2);
    pick(2);  // an empty name or customer keeps what was there
    EXPECT_EQ(header(), "一號工程|P2|乙公司|952|48|1,000");
    pick(3);
    EXPECT_EQ(f.txtAm.Text() + "|" + f.lbTax.Caption(), "10|0");
    // A payable takes the project only.
    host.click(f.cmdCen);
    host.click(f.optO);
    host.click(f.cmdAdd);
    host.type(f.txtAm, "5");
    pick(1);
    EXPECT_EQ(header(), "一號工程|P1||5|0|5");
}

TEST_F(ContractFormTest, DeleteRemovesTheContractWithAllItsRowsOnYesOnly) {
    const char* question = "確定刪除此應收付帳款?\n如果選取是,會將此應收付帳款全部資料刪除";
    AddContract("ri", "115120601");
    AddContract("ri", "115120602");
    for (const char* table : {"ri期", "ri加"})
        for (const char* id : {"115120601", "115120602"})
            AddScheduleRow(table, id, 1, "100");
    AccDb().Execute("INSERT INTO ri減 (id, 期別, 金額) VALUES ('115120602', 1, '5')");
    frmRio& f = openForm();
    const std::string before = dumpTables(AccDb());
    for (int answer : {AnswerNo, AnswerCancel}) {
        host.expectMessage(question, answer);
        host.click(f.cmdDel);
    }
    EXPECT_EQ(dumpTables(AccDb()), before);
    ExpectEachWriteFailureLeavesTheBooks(
        host, {&AccDb()},
        [&] {
            host.forgetAnswers();
            host.answerMessage(AnswerYes);
            host.answerMessage(AnswerOk);
            host.click(f.cmdDel);
        },
        [&] { EXPECT_NE(host.messages().back().text, question) << "the failure was not told"; });
    EXPECT_EQ(contracts(), (Texts{"115120601|1,000,000"}));
    EXPECT_EQ(rows(AccDb(),
                   "SELECT id FROM ri期 UNION ALL SELECT id FROM ri加 UNION ALL "
                   "SELECT id FROM ri減"),
              (Texts{"115120601", "115120601"}));
    EXPECT_EQ(
        f.lbNo.Caption() + f.schedules.hfg.TextMatrix(1, 1) + f.schedules.HfgAM.TextMatrix(1, 3),
        "");
    // The deleted contract's schedule cannot be saved back under no number.
    host.expectMessage("找不到此應收付帳款");
    host.click(f.schedules.cmdAmSv);
    EXPECT_EQ(rows(AccDb(), "SELECT id FROM ri加"), Texts{"115120601"});
}

// A rule for what may be typed judges the boxes typed into: an older file's negative commission
// does not keep the remarks from being saved, and is stored back as it stands; one typed is
// judged.
TEST_F(ContractFormTest, ASaveChecksOnlyTheAmountsTyped) {
    AccDb().Execute(
        "INSERT INTO ri (id, 收名稱, 簽約日, 銷貨金額, 稅金, 佣金, 合計, fnLet, 無發票, Let) "
        "VALUES ('115120601', '甲', '2026-11-30', '1000', '50', '-500', '1,550', NULL, 0, "
        "'0')");
    frmRio& f = openForm();
    host.click(f.cmdEdit);
    host.type(f.txtPs, "備註");
    host.click(f.cmdSv);
    EXPECT_EQ(rows(AccDb(), "SELECT 備註, 銷貨金額, 佣金, 合計, typeof(fnLet), Let FROM ri"),
              Texts{"備註|1000|-500|1,550|null|0"});
    host.click(f.cmdEdit);
    host.focus(f.txtLet);
    host.act([&] { f.txtLet.SetText("1x"); });  // pasted
    host.expectMessage("折讓欄位只能輸入數字");
    host.click(f.cmdSv);
    EXPECT_EQ(f.lbStat.Caption(), "修改中");
}

}  // namespace
