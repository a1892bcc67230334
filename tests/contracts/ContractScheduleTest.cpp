#include <gtest/gtest.h>

#include "shell/Schema.h"
#include "tests/contracts/ContractBook.h"

using namespace kiv;

namespace {

class ContractScheduleTest : public test::ContractBook {};

TEST_F(ContractScheduleTest, GridsShowTheScheduleAndReceiptsOnlyForSettledRows) {
    contract("ri", "115120601");
    instalment("115120601", 1, "300,000", "30.00%", true, "300000");
    instalment("115120601", 2, "700,000", "70.00%", false, "1");
    frmRio& f = openForm();
    EXPECT_EQ(f.hfg1.Rows(), 3);
    EXPECT_EQ(f.hfg.TextMatrix(2, 0) + "|" + f.hfg.TextMatrix(1, 2), "第2期|115/12/27");
    EXPECT_EQ(
        f.hfg1.TextMatrix(1, 0) + "|" + f.hfg1.TextMatrix(1, 1) + "|" + f.hfg1.TextMatrix(1, 2),
        "300,000|115/12/20|支票");
    EXPECT_EQ(f.hfg1.TextMatrix(2, 0), "") << "an open row shows no receipt";
    EXPECT_EQ(f.lbACC.Caption(), "300,000");
}

TEST_F(ContractScheduleTest, AddingInstalmentsFollowsTheLabelAndShareRules) {
    contract("ri", "115120601");
    frmRio& f = openForm();
    host.click(f.cmdAc);
    EXPECT_EQ(f.hfg.Rows(), 2);
    EXPECT_EQ(f.hfg.TextMatrix(1, 0), "第1期");
    EXPECT_TRUE(f.InstalmentsEditing);
    host.expectMessage("無法新增\r\n請先完成先前期數的預付金額");
    host.click(f.cmdAc);
    host.act([&] {
        f.hfg.SetTextMatrix(1, 1, "1");
        f.hfg.SetTextMatrix(1, 3, "0.08%");
    });
    host.click(f.cmdAc);
    EXPECT_EQ(f.hfg.Rows(), 3);
    EXPECT_EQ(f.hfg1.Rows(), 3);
    EXPECT_EQ(f.hfg.TextMatrix(2, 0), "第2期");
    host.act([&] {
        f.hfg.SetTextMatrix(2, 1, "1");
        f.hfg.SetTextMatrix(2, 3, "86.07%");
    });
    host.click(f.cmdAc);
    host.act([&] {
        f.hfg.SetTextMatrix(3, 1, "1");
        f.hfg.SetTextMatrix(3, 3, "13.84%");
    });
    host.click(f.cmdAc);  // 99.99 %: a fourth is allowed
    EXPECT_EQ(f.hfg.Rows(), 5);
    host.act([&] {
        f.hfg.SetTextMatrix(4, 1, "1");
        f.hfg.SetTextMatrix(3, 3, "13.85%");
    });
    host.expectMessage("無法新增\r\n所有期數已包含所有金額");
    host.click(f.cmdAc);
    EXPECT_EQ(f.hfg.Rows(), 5);
    host.click(f.cmdAM);
    host.click(f.cmdAM);
    EXPECT_EQ(f.HfgAM.TextMatrix(2, 0), "追加2");
    EXPECT_EQ(f.hfgAm1.Rows(), 3);
    host.click(f.cmdM);
    EXPECT_EQ(f.hfgM.TextMatrix(1, 0), "追減1");
}

TEST_F(ContractScheduleTest, TotalsOfAContractWithAdditionsReductionsAndDiscount) {
    contract("ri", "115120601");
    instalment("115120601", 1, "300,000", "30.00%", true, "300,000");
    AccDb().Execute(
        "INSERT INTO ri加 (id, 期別, 金額, 實收金, 處理) VALUES ('115120601', 1, '50,000', '', 0), "
        "('115120601', 2, '20,000', '20,000', 1)");
    AccDb().Execute("INSERT INTO ri減 (id, 期別, 金額) VALUES ('115120601', 1, '10,000')");
    AccDb().Execute("UPDATE ri SET fnLet = '5,000'");
    frmRio& f = openForm();
    EXPECT_EQ(f.lbCC.Caption(), "1,000,000");
    EXPECT_EQ(f.lbAC.Caption(), "70,000");
    EXPECT_EQ(f.lbMC.Caption(), "10,000");
    EXPECT_EQ(f.lbTAC.Caption(), "1,055,000");
    EXPECT_EQ(f.lbACC.Caption(), "320,000");
    EXPECT_EQ(f.lbBC.Caption(), "735,000");
    EXPECT_EQ(f.lbACP.Caption(), "30.33%");
    EXPECT_EQ(f.lbBCP.Caption(), "69.67%");
    host.act([&] { f.txtfnLet.SetText("1,234.6"); });
    EXPECT_EQ(f.lbTAC.Caption(), "1,058,765");
}

TEST_F(ContractScheduleTest, SavesRewriteRowsAndKeepSettlementsMadeMeanwhile) {
    contract("ri", "115120601");
    instalment("115120601", 1, "300", "30.00%");
    frmRio& f = openForm();
    // Settled from the voucher form while the contract is shown.
    AccDb().Execute("UPDATE ri期 SET 實收金 = '300', 處理 = 1");
    host.click(f.cmdAc);
    host.act([&] {
        f.hfg.SetTextMatrix(2, 1, "700");
        f.hfg.SetTextMatrix(2, 2, "100/01/05");
    });
    host.click(f.cmdAcSv);
    EXPECT_EQ(rows(AccDb(), "SELECT 期別, 預付金, 預付日, 實收金, 處理 FROM ri期 ORDER BY 期別"),
              (Texts{"1|300|2026/12/27|300|True", "2|700|2011/01/05||False"}));
    EXPECT_FALSE(f.cmdAcSv.Enabled());
    EXPECT_FALSE(f.InstalmentsEditing);
    // An instalment without its date is refused, nothing written.
    host.click(f.cmdAc);
    host.act([&] { f.hfg.SetTextMatrix(3, 1, "5"); });
    host.expectMessage("請填入金額及應付日期");
    host.act([&] { f.SaveInstalments(); });
    EXPECT_EQ(rows(AccDb(), "SELECT 期別 FROM ri期").size(), 2u);
    // The blank row of an emptied grid is no row.
    host.click(f.cmdAmSv);
    host.click(f.cmdMsv);
    EXPECT_TRUE(rows(AccDb(),
                     "SELECT * FROM ri加 UNION ALL SELECT id, 期別, 金額, 0, 0, 0, 0, "
                     "0, 0, 0, 0, 0, 0, 0 FROM ri減")
                    .empty());
    // Each write of a schedule save failed in turn leaves the tables as they were.
    host.act([&] { f.hfg.SetRows(3); });
    const std::string before = test::dumpTables(AccDb());
    for (int n = 1; n <= 3; ++n) {
        writefault::failWrite(n);
        host.answerMessage(AnswerOk);
        host.act([&] { f.SaveInstalments(); });
        writefault::clear();
        EXPECT_EQ(test::dumpTables(AccDb()), before) << n;
    }
}

// Copy B of the program adds a row to a schedule that copy A shows: A's save of that grid, which
// rewrites the whole schedule, writes nothing, and the grid shows the rows as stored.
TEST_F(ContractScheduleTest, AScheduleChangedByAnotherCopyIsNotOverwritten) {
    contract("ri", "115120601");
    auto copyB = Database::open(AccDb().path(), accSchema());
    frmRio& f = openForm();
    struct Case {
        const char* what;
        CommandButton& add;
        CommandButton& save;
        Grid& grid;
        int amountCol;
        Sql change;
        const bool& editing;
    };
    const Case cases[] = {
        {"instalments", f.cmdAc, f.cmdAcSv, f.hfg, 1,
         "INSERT INTO ri期 (id, 期別, 預付金, 預付日, 佔總價比例, 處理) VALUES ('115120601', 1, "
         "'7,000', '2026-12-30', '0.70%', 0)",
         f.InstalmentsEditing},
        {"additions", f.cmdAM, f.cmdAmSv, f.HfgAM, 3,
         "INSERT INTO ri加 (id, 期別, 金額, 處理) VALUES ('115120601', 1, '7,000', 0)",
         f.AdditionsEditing},
        {"reductions", f.cmdM, f.cmdMsv, f.hfgM, 3,
         "INSERT INTO ri減 (id, 期別, 金額) VALUES ('115120601', 1, '7,000')", f.ReductionsEditing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host.click(c.add);
        host.act([&] {
            c.grid.SetTextMatrix(1, c.amountCol, "1,000");
            c.grid.SetTextMatrix(1, 2, "115/12/31");
            c.save.SetEnabled(true);
        });
        copyB->Execute(c.change);
        const std::string stored = test::dumpTables(AccDb());
        host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
        host.click(c.save);
        EXPECT_EQ(test::dumpTables(AccDb()), stored);
        EXPECT_EQ(c.grid.Rows(), 2);
        EXPECT_EQ(c.grid.TextMatrix(1, c.amountCol), "7,000");
        EXPECT_FALSE(c.editing);
        EXPECT_FALSE(c.save.Enabled());
    }
    EXPECT_EQ(f.lbAC.Caption() + "|" + f.lbMC.Caption(), "7,000|7,000");
}

TEST_F(ContractScheduleTest, PayableSchedulesGoToThePayableTables) {
    contract("ro", "115120601");
    contract("ri", "115120601");
    frmRio& f = openForm();
    host.click(f.optO);
    host.click(f.cmdM);
    host.act([&] { f.hfgM.SetTextMatrix(1, 3, "1,000"); });
    host.click(f.cmdMsv);
    EXPECT_EQ(rows(AccDb(), "SELECT id, 期別, 金額 FROM ro減"), (Texts{"115120601|1|1,000"}));
    EXPECT_TRUE(rows(AccDb(), "SELECT id FROM ri減").empty());
}

TEST_F(ContractScheduleTest, TheSwitchTurnsTheWholeFormAndShowsTheSidesLastContract) {
    contract("ri", "115120601");
    contract("ri", "115120602");
    frmRio& f = openForm();
    EXPECT_EQ(f.frme.BackColor(), 0xFFC0C0u);
    host.click(f.cmdAc);
    host.expectMessage("期數修改中是否儲存?", AnswerNo);
    host.click(f.optO);
    for (Grid* grid : {&f.hfg, &f.hfg1, &f.HfgAM, &f.hfgAm1, &f.hfgM})
        EXPECT_EQ(grid->BackColorFixed(), 0xC0C0FFu);
    EXPECT_EQ(f.lb1(1).Caption(), "已付");
    EXPECT_EQ(f.hfg.TextMatrix(0, 1), "應付金額");
    EXPECT_EQ(f.cbCna.ListCount(), 1);
    EXPECT_EQ(f.lbNo.Caption(), "");  // no payable
    contract("ro", "115120605");
    host.click(f.optI);
    host.click(f.optO);
    EXPECT_EQ(f.lbNo.Caption(), "115120605");  // exactly one
    contract("ro", "115120607");
    host.click(f.optI);
    EXPECT_EQ(f.lbNo.Caption(), "115120602");
    host.click(f.optO);
    EXPECT_EQ(f.lbNo.Caption(), "115120607");
    EXPECT_EQ(f.FSB.Value(), 1);
    EXPECT_EQ(f.NavigatorPosition, 1);
}

}  // namespace
