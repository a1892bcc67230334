#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "shell/Schema.h"
#include "tests/contracts/ContractBook.h"

using namespace kiv;

namespace {

class ContractSaveTest : public test::ContractBook {
  protected:
    // Adds a receivable contract signed on the picked date with this total.
    void addContract(frmRio& f, const std::string& total) {
        host.click(f.cmdAdd);
        host.pickDate(f.DTP, day(2026, 12, 1));
        host.type(f.txtNa, "新合約");
        host.type(f.txtTal, total);
        host.click(f.cmdSv);
    }
    Texts instalments() {
        return rows(
            AccDb(),
            "SELECT id, 期別, 預付金, 預付日, 佔總價比例, 實收金, 處理 FROM ri期 ORDER BY id, "
            "期別");
    }
};

TEST_F(ContractSaveTest, NumbersRunByDayAndKindAndStopAtTheHundredth) {
    frmRio& f = openForm();
    addContract(f, "1000");
    addContract(f, "2000");
    EXPECT_EQ(contracts(), (Texts{"115120601|1,000", "115120602|2,000"}));
    EXPECT_EQ(f.lbNo.Caption(), "115120602");
    EXPECT_EQ(rows(AccDb(), "SELECT 稅金, 簽約日 FROM ri"),
              (Texts{"48|2026/12/01", "95|2026/12/01"}));
    host.click(f.optO);
    addContract(f, "5");
    EXPECT_EQ(contracts("ro"), (Texts{"115120601|5"}));
    AccDb().Execute("INSERT INTO ri (id) VALUES ('115120609')");
    host.click(f.optI);
    addContract(f, "9");
    EXPECT_EQ(contracts().back(), "115120610|9");
    AccDb().Execute("INSERT INTO ri (id) VALUES ('115120699')");
    host.expectMessage("本日應收付帳款已達 99 筆\n無法再新增");
    host.click(f.cmdAdd);
    EXPECT_EQ(f.lbStat.Caption(), "瀏覽");
}

TEST_F(ContractSaveTest, ANewContractTakesTheNumberOfTheDayItIsSaved) {
    frmRio& f = openForm();
    host.click(f.cmdAdd);
    EXPECT_EQ(f.lbNo.Caption(), "115120601");
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
TEST_F(ContractSaveTest, TwoCopiesSavingAtOnceTakeNumbersOfTheirOwn) {
    frmRio& f = openForm();
    host.click(f.cmdAdd);
    host.pickDate(f.DTP, day(2026, 12, 1));
    std::promise<void> lockTaken;
    std::future<void> bHoldsTheLock = lockTaken.get_future();
    std::thread copyB([path = AccDb().path(), &lockTaken] {
        auto db = Database::open(path, accSchema());
        Transaction transaction(*db, true);
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

TEST_F(ContractSaveTest, AChangedTotalRewritesTheSharesOfTheInstalments) {
    contract("ri", "115120601", "1,000");
    instalment("115120601", 1, "300", "30.00%", true, "300");
    instalment("115120601", 2, "700", "70.00%");
    frmRio& f = openForm();
    host.click(f.cmdEdit);
    host.act([&] { f.txtTal.SetText(""); });
    host.type(f.txtTal, "2000");
    host.expectMessage("因您修改了總價,所以應收付期數的佔總價比例已變更");
    host.click(f.cmdSv);
    EXPECT_EQ(instalments(), (Texts{"115120601|1|300|2026/12/27|15.00%|300|True",
                                    "115120601|2|700|2026/12/27|35.00%||False"}));
    EXPECT_EQ(contracts(), (Texts{"115120601|2,000"}));
    EXPECT_EQ(f.hfg.TextMatrix(1, 3), "15.00%");
    EXPECT_EQ(f.lbStat.Caption(), "瀏覽");
    // The same total again rewrites nothing and says nothing.
    host.click(f.cmdEdit);
    host.click(f.cmdSv);
    EXPECT_TRUE(host.messages().size() == 1);
}

TEST_F(ContractSaveTest, ATotalChangeIsRefusedWholeWhenTheInstalmentsCannotFollow) {
    contract("ri", "115120601", "1,000");
    instalment("115120601", 1, "300", "30.00%");
    frmRio& f = openForm();
    const std::string before = test::dumpTables(AccDb());
    host.click(f.cmdEdit);
    host.click(f.cmdAc);
    host.act([&] { f.txtTal.SetText("5,000"); });
    host.expectMessage("請填入金額及應付日期");
    host.click(f.cmdSv);
    EXPECT_EQ(f.lbStat.Caption(), "修改中");
    host.act([&] { f.hfg.SetRows(2); });
    host.act([&] { f.txtTal.SetText(""); });
    host.expectMessage("合計為 0,無法計算期數的佔總價比例");
    host.click(f.cmdSv);
    EXPECT_EQ(test::dumpTables(AccDb()), before);
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
TEST_F(ContractSaveTest, AHeaderChangedByAnotherCopyIsNotOverwritten) {
    contract("ri", "115120601", "1,000");
    instalment("115120601", 1, "300", "30.00%");
    auto copyB = Database::open(AccDb().path(), accSchema());
    frmRio& f = openForm();
    struct Case {
        const char* what;
        Sql change;
        int instalmentRows;
    };
    const Case cases[] = {
        {"the remarks", "UPDATE ri SET 備註 = '乙'", 1},
        {"an instalment added",
         "INSERT INTO ri期 (id, 期別, 預付金, 預付日, 佔總價比例, 處理) VALUES ('115120601', 2, "
         "'700', '2026-12-30', '70.00%', 0)",
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host.click(f.cmdEdit);
        host.act([&] { f.txtPs.SetText("甲"); });
        host.act([&] { f.txtTal.SetText("2,000"); });
        copyB->Execute(c.change);
        const std::string stored = test::dumpTables(AccDb());
        host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
        host.click(f.cmdSv);
        EXPECT_EQ(test::dumpTables(AccDb()), stored);
        EXPECT_EQ(f.lbStat.Caption(), "瀏覽");
        EXPECT_EQ(f.txtPs.Text() + "|" + f.txtTal.Text(), "乙|1,000");
        EXPECT_EQ(f.hfg.Rows(), c.instalmentRows + 1);
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

TEST_F(ContractSaveTest, TakingAProjectSplitsTheTotalForAReceivable) {
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
    pick(1);
    const auto header = [&] {
        return f.txtNa.Text() + "|" + f.lbPjNo.Caption() + "|" + f.cbCna.Text() + "|" +
               f.txtAm.Text() + "|" + f.lbTax.Caption() + "|" + f.txtTal.Text();
    };
    EXPECT_EQ(header(), "一號工程|P1|乙公司|1,000,000|50,000|1,050,000");
    EXPECT_EQ(f.lbSin.Caption(), "中華民國 115/11/30");
    EXPECT_EQ(f.txtCcnt.Text(), "王先生");
    EXPECT_EQ(f.txtPs.Text(), "");
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
    EXPECT_EQ(
        f.lbPjNo.Caption() + "|" + f.cbCna.Text() + "|" + f.txtAm.Text() + "|" + f.txtTal.Text(),
        "P1||5|5");
}

TEST_F(ContractSaveTest, DeleteRemovesTheContractWithAllItsRowsOnYesOnly) {
    contract("ri", "115120601");
    contract("ri", "115120602");
    instalment("115120601", 1, "100", "10.00%");
    instalment("115120602", 1, "100", "10.00%");
    AccDb().Execute("INSERT INTO ri加 (id, 期別, 金額) VALUES ('115120602', 1, '5')");
    AccDb().Execute("INSERT INTO ri減 (id, 期別, 金額) VALUES ('115120602', 1, '5')");
    frmRio& f = openForm();
    const std::string before = test::dumpTables(AccDb());
    host.expectMessage("確定刪除此應收付帳款?\n如果選取是,會將此應收付帳款全部資料刪除", AnswerNo);
    host.click(f.cmdDel);
    host.expectMessage("確定刪除此應收付帳款?\n如果選取是,會將此應收付帳款全部資料刪除",
                       AnswerCancel);
    host.click(f.cmdDel);
    EXPECT_EQ(test::dumpTables(AccDb()), before);
    // Each write failed in turn leaves every table as it was.
    for (int n = 1; n <= 4; ++n) {
        writefault::failWrite(n);
        host.answerMessage(AnswerYes);
        host.answerMessage(AnswerOk);
        host.click(f.cmdDel);
        writefault::clear();
        EXPECT_EQ(test::dumpTables(AccDb()), before) << n;
    }
    host.answerMessage(AnswerYes);
    host.click(f.cmdDel);
    EXPECT_EQ(host.messages().back().style, 35);
    EXPECT_EQ(contracts(), (Texts{"115120601|1,000,000"}));
    EXPECT_EQ(rows(AccDb(),
                   "SELECT id FROM ri期 UNION ALL SELECT id FROM ri加 UNION ALL "
                   "SELECT id FROM ri減"),
              (Texts{"115120601"}));
    EXPECT_EQ(f.lbNo.Caption() + f.hfg.TextMatrix(1, 1) + f.HfgAM.TextMatrix(1, 3), "");
    // The deleted contract's schedule cannot be saved back under no number.
    host.expectMessage("找不到此應收付帳款");
    host.click(f.cmdAmSv);
    EXPECT_EQ(rows(AccDb(), "SELECT id FROM ri加"), Texts{});
}

}  // namespace
