#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "contracts/frmRioser.h"
#include "platform/db/Database.h"
#include "tests/contracts/ContractBook.h"
#include "tests/xlsx/SheetReader.h"

using namespace kiv;

namespace {

constexpr Color Yellow = 0xC0FFFF;

std::string side(bool receivable, const char* part = "") {
    return std::string(receivable ? "ri" : "ro") + part;
}

// One stored row of any contract table, the fields not named left to their defaults.
void store(const std::string& table, std::vector<std::pair<const char*, Value>> fields) {
    Recordset rs = AccDb().OpenTable(table);
    rs.AddNew();
    for (const auto& [name, value] : fields)
        rs.SetField(name, value);
    rs.Update();
}

void storeContract(bool receivable, const std::string& id, const std::string& total = "100,000",
                   Value signedOn = Date::fromYmd(2026, 11, 30), Value projectNo = Value(),
                   Value projectName = Value()) {
    store(side(receivable), {{"id", id},
                             {"收名稱", "合約" + id},
                             {"簽約日", signedOn},
                             {"客戶名", receivable ? "甲公司" : "丙工程行"},
                             {"電話", "02-1234"},
                             {"合計", total},
                             {"專id", projectNo},
                             {"專名", projectName}});
}

struct Row {
    std::string id;
    int period;
    std::string amount;
    Date due;
    Value sent = Value();
    Value settled = false;
    std::string received = "";
};

// An instalment ("期") or an addition ("加") of the schedule.
void storeRow(bool receivable, const char* part, const Row& r) {
    store(side(receivable, part), {{"id", r.id},
                                   {"期別", r.period},
                                   {std::string(part) == "期" ? "預付金" : "金額", r.amount},
                                   {"預付日", r.due},
                                   {"送帳日", r.sent},
                                   {"實收金", r.received},
                                   {"處理", r.settled}});
}
void storeInstalment(bool receivable, const Row& r) {
    storeRow(receivable, "期", r);
}
void storeAddition(bool receivable, const Row& r) {
    storeRow(receivable, "加", r);
}

void storeReduction(bool receivable, const std::string& id, const std::string& amount) {
    store(side(receivable, "減"), {{"id", id}, {"期別", 1}, {"金額", amount}});
}

// The grid's rows, each its cells from column 1 on joined by "|".
std::vector<std::string> gridRows(const Grid& grid) {
    std::vector<std::string> rows;
    for (int r = 0; r < grid.Rows(); ++r) {
        std::string row;
        for (int c = 1; c < grid.Cols(); ++c)
            row += (c > 1 ? "|" : "") + grid.TextMatrix(r, c);
        rows.push_back(row);
    }
    return rows;
}

class ContractResultsTest : public test::ContractBook {
  protected:
    // Starts the search from the contract form and lets `inspect` look at (and act in) the
    // results; they are closed afterwards unless a pick closed them.
    frmRio& search(bool receivable, int kind, const std::function<void(frmRioser&)>& inspect,
                   const std::string& text = "") {
        frmRio& f = openForm();
        host.click(receivable ? f.optIser : f.optOser);
        if (f.cbSer.ListIndex() != kind) host.pick(f.cbSer, kind);
        if (!text.empty()) host.act([&] { f.txtSer.SetText(text); });
        host.onModal("frmRioser", [inspect](Form& form) {
            inspect(static_cast<frmRioser&>(form));
            if (Forms::isLoaded<frmRioser>()) form.Unload();
        });
        host.click(f.cmdSer);
        return f;
    }

    std::vector<std::string> results(bool receivable, int kind, const std::string& text = "") {
        std::vector<std::string> rows;
        search(
            receivable, kind, [&](frmRioser& r) { rows = gridRows(r.hfg); }, text);
        return rows;
    }

    static bool totalsColoured(const Grid& grid, int row) {
        if (grid.BackColorAt(row, 0) == Yellow) return false;
        for (int c = 1; c < grid.Cols(); ++c)
            if (grid.BackColorAt(row, c) != Yellow) return false;
        return true;
    }

    // A: instalment 1 due today, 2 due tomorrow with its bill sent, 3 settled with its bill sent;
    // an addition due yesterday. B: additions only, one due, one with its bill sent.
    static void scheduleBook(bool r) {
        storeContract(r, "115010101");
        storeContract(r, "115010102");
        storeInstalment(r, {"115010101", 1, "30,000", Date::fromYmd(2026, 12, 6)});
        storeInstalment(
            r, {"115010101", 2, "30,000", Date::fromYmd(2026, 12, 7), Date::fromYmd(2026, 12, 1)});
        storeInstalment(r, {"115010101", 3, "40,000", Date::fromYmd(2026, 11, 1),
                            Date::fromYmd(2026, 10, 1), true});
        storeAddition(r, {"115010101", 1, "1,500", Date::fromYmd(2026, 12, 5)});
        storeAddition(r, {"115010102", 1, "2,000", Date::fromYmd(2026, 12, 1)});
        storeAddition(
            r, {"115010102", 2, "500", Date::fromYmd(2026, 12, 20), Date::fromYmd(2026, 12, 2)});
    }
};

TEST_F(ContractResultsTest, ScheduleSearchesListInstalmentsThenAdditionsOnEitherSide) {
    for (bool r : {true, false}) {
        SCOPED_TRACE(r ? "receivable" : "payable");
        scheduleBook(r);
        const std::string who = r ? "甲公司" : "丙工程行";
        const std::string a = "115010101|合約115010101|115/11/30|" + who + "||02-1234|";
        const std::string b = "115010102|合約115010102|115/11/30|" + who + "||02-1234|";
        const std::vector<std::string> due{
            std::string("應收付號碼|應收付名稱|簽約日期|") + (r ? "客戶名稱" : "廠商名稱") +
                "|聯絡人|電話|應收付期別|應收付金額|應收付日期",
            a + "第1期|30,000|115/12/06", a + "追加1|1,500|115/12/05", b + "追加1|2,000|115/12/01",
            "||||||合   計：|33,500|"};
        EXPECT_EQ(results(r, 0), due);
        EXPECT_EQ(results(r, 2), due);
        search(r, 3, [&](frmRioser& f) {
            EXPECT_EQ(gridRows(f.hfg),
                      (std::vector<std::string>{gridRows(f.hfg)[0], a + "第2期|30,000|115/12/07|否",
                                                a + "第3期|40,000|115/11/01|是",
                                                b + "追加2|500|115/12/20|否",
                                                "||||||合   計：|70,500||"}));
            EXPECT_EQ(f.hfg.TextMatrix(0, 10), "已收付");
            EXPECT_TRUE(totalsColoured(f.hfg, 4));
        });
    }
}

TEST_F(ContractResultsTest, EmptyAndSingleResultsGetNoTotalsRow) {
    storeContract(true, "115010101");
    search(true, 0, [](frmRioser& f) {
        EXPECT_EQ(f.hfg.Rows(), 2);
        EXPECT_EQ(f.hfg.TextMatrix(1, 1), "無資料");
    });
    // An addition alone is listed in row 1, and one row is not totalled.
    storeAddition(true, {"115010101", 1, "9,000", Date::fromYmd(2026, 12, 1)});
    search(true, 0, [](frmRioser& f) {
        ASSERT_EQ(f.hfg.Rows(), 2);
        EXPECT_EQ(f.hfg.TextMatrix(1, 7), "追加1");
    });
    EXPECT_EQ(results(true, 1), (std::vector<std::string>{results(true, 1)[0], "||||||||"}));
}

// Due is total + additions - reductions; settled is what the settled rows planned, not what was
// actually received; open may go below zero.
TEST_F(ContractResultsTest, OpenContractsCarryTheirTotalsOnEitherSide) {
    for (bool r : {true, false}) {
        SCOPED_TRACE(r ? "receivable" : "payable");
        storeContract(r, "115010101", "100,000");
        storeInstalment(r,
                        {"115010101", 1, "60,000", Date::fromYmd(2026, 12, 1), Value(), true, "1"});
        storeInstalment(r, {"115010101", 2, "40,000", Date::fromYmd(2026, 12, 1)});
        storeAddition(r, {"115010101", 1, "12,345", Date::fromYmd(2026, 12, 1), Value(), true});
        storeReduction(r, "115010101", "5,000");
        storeContract(r, "115010102", "10,000");
        storeInstalment(r, {"115010102", 1, "20,000", Date::fromYmd(2026, 12, 1), Value(), true});
        storeAddition(r, {"115010102", 1, "1,000", Date::fromYmd(2026, 12, 1)});
        storeContract(r, "115010103", "");  // additions only: not listed
        storeAddition(r, {"115010103", 1, "1,000", Date::fromYmd(2026, 12, 1)});
        storeContract(r, "115010104");  // everything settled: not listed
        storeInstalment(r, {"115010104", 1, "100,000", Date::fromYmd(2026, 12, 1), Value(), true});
        search(r, 1, [&](frmRioser& f) {
            auto rows = gridRows(f.hfg);
            ASSERT_EQ(rows.size(), 4u);
            EXPECT_EQ(rows[0].substr(rows[0].rfind("電話")),
                      "電話|應收付總額|已收付總額|未收付總額");
            EXPECT_EQ(rows[1].substr(0, 9), "115010101");
            EXPECT_EQ(rows[1].substr(rows[1].rfind("1234|")), "1234|107,345|72,345|35,000");
            EXPECT_EQ(rows[2].substr(rows[2].rfind("1234|")), "1234|11,000|20,000|-9,000");
            EXPECT_EQ(rows[3], "|||||合   計：|118,345|92,345|26,000");
            EXPECT_TRUE(totalsColoured(f.hfg, 3));
        });
    }
}

TEST_F(ContractResultsTest, SigningDateRangeIncludesBothEnds) {
    storeContract(true, "115030101", "1,000", Date::fromYmd(2026, 3, 1));
    storeContract(true, "115031001", "2,000", Date::fromYmdHms(2026, 3, 10, 15, 0, 0));
    storeContract(true, "115033101", "3,000", Date::fromYmd(2026, 3, 31));
    storeContract(true, "115040101", "4,000", Date::fromYmd(2026, 4, 1));
    storeContract(false, "115031002", "5,000", Date::fromYmd(2026, 3, 10));
    auto within = [&](bool r, Date from, Date to) {
        frmRio& f = openForm();
        host.click(r ? f.optIser : f.optOser);
        host.pick(f.cbSer, 5);
        host.pickDate(f.dtpSerS, from);
        host.pickDate(f.dtpSerE, to);
        std::vector<std::string> ids;
        search(r, 5, [&](frmRioser& res) {
            for (int row = 1; row < res.hfg.Rows(); ++row)
                ids.push_back(res.hfg.TextMatrix(row, 1) + res.hfg.TextMatrix(row, 7));
        });
        return ids;
    };
    EXPECT_EQ(
        within(true, Date::fromYmd(2026, 3, 1), Date::fromYmd(2026, 3, 31)),
        (std::vector<std::string>{"1150301011,000", "1150310012,000", "1150331013,000", "6,000"}));
    EXPECT_EQ(within(true, Date::fromYmd(2026, 3, 10), Date::fromYmd(2026, 3, 10)),
              (std::vector<std::string>{"1150310012,000"}));
    EXPECT_EQ(within(true, Date::fromYmd(2026, 4, 1), Date::fromYmd(2026, 3, 1)),
              (std::vector<std::string>{""}));
    EXPECT_EQ(within(false, Date::fromYmd(2026, 3, 1), Date::fromYmd(2026, 3, 31)),
              (std::vector<std::string>{"1150310025,000"}));
}

TEST_F(ContractResultsTest, FullTextMatchesStoredTextsLiterallyButForTheWildcards) {
    storeContract(true, "115030102", "1,000", Date::fromYmd(2026, 3, 10));
    AccDb().Execute(
        "UPDATE ri SET 收名稱 = '油漆工程', 聯絡人 = 'O''Neil 油漆', 備註 = '100% 油漆' "
        "WHERE id = '115030102'");
    storeContract(true, "115030101", "2,000");
    AccDb().Execute("UPDATE ri SET 聯絡人 = 'paint 油漆' WHERE id = '115030101'");
    storeContract(false, "115030103", "3,000");
    search(
        true, 4,
        [](frmRioser& f) {
            EXPECT_EQ(
                gridRows(f.hfg),
                (std::vector<std::string>{
                    gridRows(f.hfg)[0], "115030101|合約115030101|在 (聯絡人) 有  -->    paint 油漆",
                    "115030102|油漆工程|在 (收名稱) 有  -->    油漆工程",
                    "115030102|油漆工程|在 (聯絡人) 有  -->    O'Neil 油漆",
                    "115030102|油漆工程|在 (備註) 有  -->    100% 油漆"}));
        },
        "油漆");
    EXPECT_EQ(results(true, 4, "03-1")[1], "115030102|油漆工程|在 (簽約日) 有  -->    2026-03-10");
    EXPECT_EQ(results(true, 4, "o'n")[1], "115030102|油漆工程|在 (聯絡人) 有  -->    O'Neil 油漆");
    EXPECT_EQ(results(true, 4, "PAINT").size(), 2u);
    EXPECT_EQ(results(true, 4, "0%").size(), 2u) << "% is a character";
    EXPECT_EQ(results(true, 4, "1_0").back(), "|找不到資料|");
    EXPECT_EQ(results(true, 4, "油?").size(), 5u);
    // Every field holding a value: id 收名稱 簽約日 客戶名 電話 合計 無發票 and the others set.
    const auto all = results(false, 4, "*");
    EXPECT_EQ(all.size(), 8u);
    EXPECT_EQ(all[7], "115030103|合約115030103|在 (無發票) 有  -->    0");
}

TEST_F(ContractResultsTest, ProjectsAreListedByNumberAndNameAndTheFirstIsTotalled) {
    storeContract(true, "115010101", "1,000", Date::fromYmd(2026, 1, 1), "P1", "一期");
    storeContract(true, "115010102", "2,000", Date::fromYmd(2026, 1, 1), "P1", "一期");
    storeContract(true, "115010103", "4,000", Date::fromYmd(2026, 1, 1), "P1", "二期");
    storeContract(true, "115010104", "8,000", Date::fromYmd(2026, 1, 1));
    search(true, 6, [&](frmRioser& f) {
        EXPECT_TRUE(f.cbPj.Visible());
        ASSERT_EQ(f.cbPj.ListCount(), 3);
        EXPECT_EQ(f.cbPj.List(0, 0) + f.cbPj.List(0, 1), "");
        EXPECT_EQ(f.cbPj.List(1, 1) + f.cbPj.List(2, 1), "一期二期");
        EXPECT_EQ(f.cbPj.ListIndex(), 0);
        EXPECT_EQ(gridRows(f.hfg).size(), 2u) << "the project without a number lists its one";
        EXPECT_EQ(f.hfg.TextMatrix(1, 1), "115010104");
        host.pick(f.cbPj, 1);
        EXPECT_EQ(f.cbPj.Text(), "一期");
        EXPECT_EQ(gridRows(f.hfg).back(),
                  "115010102|合約115010102|115/01/01|甲公司||02-1234|2,000|0|2,000");
        EXPECT_EQ(f.hfg.Rows(), 3) << "a project chosen later gets no totals row";
        host.pick(f.cbPj, 2);
        EXPECT_EQ(f.hfg.Rows(), 2);
        EXPECT_EQ(f.hfg.TextMatrix(1, 7), "4,000");
    });
    // Two contracts under the first project: totalled at load, and again at every load.
    AccDb().Execute("UPDATE ri SET 專id = 'P0', 專名 = '總案' WHERE id = '115010104'");
    storeContract(true, "115010105", "16,000", Date::fromYmd(2026, 1, 1), "P0", "總案");
    for (int time = 0; time < 2; ++time)
        search(true, 6, [&](frmRioser& f) {
            EXPECT_EQ(f.cbPj.Text(), "總案");
            EXPECT_EQ(gridRows(f.hfg).back(), "|||||合   計：|24,000|0|24,000");
            EXPECT_TRUE(totalsColoured(f.hfg, 3));
        });
    // No payable contract at all: one empty entry, chosen, and one empty row.
    search(false, 6, [](frmRioser& f) {
        EXPECT_EQ(f.cbPj.ListCount(), 1);
        EXPECT_EQ(f.cbPj.ListIndex(), 0);
        EXPECT_EQ(f.hfg.TextMatrix(0, 4), "廠商名稱");
        EXPECT_EQ(gridRows(f.hfg).back(), "||||||||");
    });
}

TEST_F(ContractResultsTest, APickHandsTheContractToTheContractFormOnTheSideSearched) {
    storeContract(true, "115010101", "1,000");
    storeInstalment(true, {"115010101", 1, "1,000", Date::fromYmd(2026, 12, 1)});
    storeContract(true, "115010102", "2,000");
    storeInstalment(true, {"115010102", 1, "2,000", Date::fromYmd(2026, 12, 1)});
    storeContract(false, "115010103", "3,000");
    frmRio& f = openForm();
    host.act([&] { f.optO.SetValue(true); });
    search(true, 0, [&](frmRioser& r) {
        host.dblClickCell(r.hfg, 0, 1);
        EXPECT_TRUE(Forms::isLoaded<frmRioser>()) << "the header row picks nothing";
        host.dblClickCell(r.hfg, 2, 3);
        EXPECT_FALSE(Forms::isLoaded<frmRioser>());
    });
    EXPECT_EQ(PickedContractNo, "115010102");
    EXPECT_TRUE(f.optI.Value());
    EXPECT_EQ(f.lbNo.Caption(), "115010102");
    EXPECT_EQ(f.lbCC.Caption(), "2,000");
    // The totals row hands back no number: the contract shown stays.
    search(true, 0, [&](frmRioser& r) { host.dblClickCell(r.hfg, 3, 1); });
    EXPECT_EQ(PickedContractNo, "");
    EXPECT_EQ(f.lbNo.Caption(), "115010102");
    // A payable search sets optO.
    search(
        false, 4, [&](frmRioser& r) { host.dblClickCell(r.hfg, 1, 1); }, "3,000");
    EXPECT_TRUE(f.optO.Value());
    EXPECT_EQ(f.lbNo.Caption(), "115010103");
}

TEST_F(ContractResultsTest, TheWorkbookCarriesTheTitlesAndTheGridFromRowFour) {
    PeopleDb().Execute("UPDATE company SET co_name = '永建營造'");
    storeContract(true, "115030101", "1,000", Date::fromYmd(2026, 3, 1), "P1", "一期");
    storeContract(true, "115030102", "2,000", Date::fromYmd(2026, 3, 2), "P1", "一期");
    frmRio& f = openForm();
    host.pick(f.cbSer, 5);
    host.pickDate(f.dtpSerS, Date::fromYmd(2026, 3, 1));
    host.pickDate(f.dtpSerE, Date::fromYmd(2026, 3, 31));
    auto exportFrom = [&](int kind, const std::string& text = "") {
        search(
            true, kind, [&](frmRioser& r) { host.click(r.cmdPxls); }, text);
        return test::SheetReader(host.openedFiles().back());
    };
    test::SheetReader dated = exportFrom(5);
    EXPECT_EQ(dated.text("A1"), "永建營造：應收付查詢結果");
    EXPECT_EQ(dated.text("A2"), "應收帳款合約日期查詢：中華民國 115/03/01～中華民國 115/03/31");
    EXPECT_FALSE(dated.has("A3"));
    EXPECT_EQ(dated.text("B5"), "115030101");
    EXPECT_EQ(dated.text("H7"), "3,000");
    EXPECT_NEAR(dated.width(2), 1000 / 90.0, 0.05);
    EXPECT_EQ(dated.width(8), -1);
    EXPECT_TRUE(dated.boxed("A4") && dated.boxed("J7"));
    EXPECT_FALSE(dated.boxed("J8") || dated.boxed("K7"));

    EXPECT_EQ(exportFrom(6).text("A2"), "專案查詢  專案：一期");
    test::SheetReader found = exportFrom(4, "一");
    EXPECT_EQ(found.text("A2"), "應收帳款全文檢索");
    EXPECT_NEAR(found.width(4), 100, 0.01);
    EXPECT_TRUE(found.boxed("D5") && !found.boxed("E5"));
}

}  // namespace
