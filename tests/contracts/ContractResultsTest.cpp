#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "contracts/frmRioser.h"
#include "tests/contracts/ContractBook.h"
#include "tests/xlsx/SheetReader.h"

using namespace kiv;
using namespace kiv::test;

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
                   Value signedOn = day(2026, 11, 30), Value projectNo = Value(),
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

// An instalment ("期"), an addition ("加") or a reduction ("減") of the schedule.
struct Row {
    std::string id;
    int period;
    std::string amount;
    Date due = day(2026, 12, 1);
    Value sent = Value();
    Value settled = false;
};
void storeRow(bool receivable, const char* part, const Row& r) {
    const std::string table = side(receivable, part);
    if (std::string(part) == "減")
        return store(table, {{"id", r.id}, {"期別", r.period}, {"金額", r.amount}});
    store(table, {{"id", r.id},
                  {"期別", r.period},
                  {std::string(part) == "期" ? "預付金" : "金額", r.amount},
                  {"預付日", r.due},
                  {"送帳日", r.sent},
                  {"實收金", ""},
                  {"處理", r.settled}});
}

// The grid's rows, each its cells from column 1 on joined by "|".
Texts gridRows(const Grid& grid) {
    Texts rows;
    for (int r = 0; r < grid.Rows(); ++r) {
        std::string row;
        for (const std::string& cell : GridRow(grid, r, 1))
            row += cell + "|";
        rows.push_back(row.substr(0, row.size() - 1));
    }
    return rows;
}

// The search of the contract form and the results it opens.
class ContractResultsTest : public ContractBook {
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
    Texts results(bool receivable, int kind, const std::string& text = "") {
        Texts rows;
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
    // Whether the date range is shown, each of its five controls alike.
    static bool rangeShown(const frmRio& f) {
        const bool shown = f.lbSerS.Visible();
        for (const Control* c :
             std::initializer_list<const Control*>{&f.lbSerE, &f.dtpSerS, &f.dtpSerE, &f.lbse6})
            EXPECT_EQ(c->Visible(), shown) << c->Name();
        return shown;
    }
};

TEST_F(ContractResultsTest, EachKindShowsItsInputsAndTheProjectSearchKeepsThePrevious) {
    Clock::useFixedTime(Date::fromYmdHms(2024, 2, 15, 9, 0, 0));
    frmRio& f = openForm();
    EXPECT_EQ(f.cbSer.List(4), "應收帳款全文檢索");
    host.pick(f.cbSer, 4);
    host.click(f.optOser);
    EXPECT_EQ(f.cbSer.List(4) + "|" + f.cbSer.List(6), "應付帳款全文檢索|專案查詢");
    EXPECT_EQ(f.cbSer.ListIndex(), 0);
    EXPECT_FALSE(f.txtSer.Visible() || rangeShown(f)) << "kind 0 asks for nothing";
    host.act([&] { f.txtSer.SetText("油漆"); });
    host.pick(f.cbSer, 4);
    EXPECT_TRUE(f.txtSer.Visible() && !rangeShown(f));
    EXPECT_EQ(f.ActiveControl(), &f.txtSer);
    EXPECT_EQ(f.txtSer.SelText(), "油漆");
    host.pick(f.cbSer, 6);
    EXPECT_TRUE(f.txtSer.Visible());
    host.pick(f.cbSer, 5);
    EXPECT_TRUE(!f.txtSer.Visible() && rangeShown(f));
    // The range is the short date, Gregorian, as the results read it.
    EXPECT_EQ(f.lbSerS.Caption() + "|" + f.lbSerE.Caption(), "2024/02/01|2024/02/29");
    host.pickDate(f.dtpSerS, day(2023, 12, 25));
    host.pick(f.cbSer, 6);
    EXPECT_TRUE(rangeShown(f));
    EXPECT_EQ(f.lbSerS.Caption(), "2023/12/25");
    host.pick(f.cbSer, 5);  // chosen again: the month again
    EXPECT_EQ(f.lbSerS.Caption(), "2024/02/01");
    host.pickDate(f.dtpSerS, day(2023, 12, 25));  // the day the picker shows: a pick all the same
    EXPECT_EQ(f.lbSerS.Caption(), "2023/12/25");
    for (int kind = 0; kind <= 3; ++kind) {
        host.pick(f.cbSer, kind);
        EXPECT_FALSE(f.txtSer.Visible() || rangeShown(f)) << kind;
    }
}

// The results form as the user closes it without a pick.
class SearchResultsStandIn : public Form {
  public:
    static constexpr const char* FormName = "frmRioser";
    SearchResultsStandIn() : Form(FormName) {}
};

TEST_F(ContractResultsTest, ASearchWithoutItsTextOrDatesIsRefusedAndEnterStartsIt) {
    Forms::registerForm<SearchResultsStandIn>();
    host.onEveryModal("frmRioser", [](Form& results) { results.Unload(); });
    frmRio& f = openForm();
    host.pick(f.cbSer, 4);
    host.focus(f.cmdSer);
    host.expectMessage("請輸入查詢字串");
    host.click(f.cmdSer);
    EXPECT_EQ(f.ActiveControl(), &f.txtSer);
    host.expectMessage("請輸入查詢字串");
    host.pressKey(f.txtSer, Key::Enter);
    host.pick(f.cbSer, 5);
    host.act([&] { f.lbSerE.SetCaption(""); });
    host.expectMessage("請輸入查詢日期");
    host.click(f.cmdSer);
    EXPECT_TRUE(host.modalShows().empty());
    host.pick(f.cbSer, 4);
    host.type(f.txtSer, "油漆");
    host.pressKey(f.txtSer, Key::Enter);
    EXPECT_EQ(host.modalShows(), Texts{"frmRioser"});
    host.type(f.txtSer, "x");
    EXPECT_EQ(host.modalShows().size(), 1u) << "other keys only type";
}

TEST_F(ContractResultsTest, ScheduleSearchesListInstalmentsThenAdditionsOnEitherSide) {
    for (bool r : {true, false}) {
        SCOPED_TRACE(r ? "receivable" : "payable");
        // A: instalment 1 due today, 2 due tomorrow with its bill sent, 3 settled with its bill
        // sent; an addition due yesterday. B: additions only, one due, one with its bill sent.
        storeContract(r, "115010101");
        storeContract(r, "115010102");
        storeRow(r, "期", {"115010101", 1, "30,000", day(2026, 12, 6)});
        storeRow(r, "期", {"115010101", 2, "30,000", day(2026, 12, 7), day(2026, 12, 1)});
        storeRow(r, "期", {"115010101", 3, "40,000", day(2026, 11, 1), day(2026, 10, 1), true});
        storeRow(r, "加", {"115010101", 1, "1,500", day(2026, 12, 5)});
        storeRow(r, "加", {"115010102", 1, "2,000", day(2026, 12, 1)});
        storeRow(r, "加", {"115010102", 2, "500", day(2026, 12, 20), day(2026, 12, 2)});
        const std::string who = r ? "甲公司" : "丙工程行";
        const std::string a = "115010101|合約115010101|115/11/30|" + who + "||02-1234|";
        const std::string b = "115010102|合約115010102|115/11/30|" + who + "||02-1234|";
        const Texts due{std::string("應收付號碼|應收付名稱|簽約日期|") +
                            (r ? "客戶名稱" : "廠商名稱") +
                            "|聯絡人|電話|應收付期別|應收付金額|應收付日期",
                        a + "第1期|30,000|115/12/06", a + "追加1|1,500|115/12/05",
                        b + "追加1|2,000|115/12/01", "||||||合   計：|33,500|"};
        EXPECT_EQ(results(r, 0), due);
        EXPECT_EQ(results(r, 2), due);
        search(r, 3, [&](frmRioser& f) {
            const Texts sent{gridRows(f.hfg)[0], a + "第2期|30,000|115/12/07|否",
                             a + "第3期|40,000|115/11/01|是", b + "追加2|500|115/12/20|否",
                             "||||||合   計：|70,500||"};
            EXPECT_EQ(gridRows(f.hfg), sent);
            EXPECT_EQ(f.hfg.TextMatrix(0, 10), "已收付");
            EXPECT_TRUE(totalsColoured(f.hfg, 4));
        });
    }
}

TEST_F(ContractResultsTest, EmptyAndSingleResultsGetNoTotalsRow) {
    storeContract(true, "115010101");
    const Texts none = results(true, 0);
    ASSERT_EQ(none.size(), 2u);
    EXPECT_EQ(none[1].substr(0, 10), "無資料|");
    // An addition alone is listed in row 1, and one row is not totalled.
    storeRow(true, "加", {"115010101", 1, "9,000"});
    search(true, 0, [](frmRioser& f) {
        ASSERT_EQ(f.hfg.Rows(), 2);
        EXPECT_EQ(f.hfg.TextMatrix(1, 7), "追加1");
    });
    const Texts one = results(true, 1);
    EXPECT_EQ(Texts(one.begin() + 1, one.end()), Texts{"||||||||"});
}

// Due is total + additions - reductions; settled is what the settled rows planned, not what was
// actually received; open may go below zero.
TEST_F(ContractResultsTest, OpenContractsCarryTheirTotalsOnEitherSide) {
    for (bool r : {true, false}) {
        SCOPED_TRACE(r ? "receivable" : "payable");
        storeContract(r, "115010101", "100,000");
        storeRow(r, "期", {"115010101", 1, "60,000", day(2026, 12, 1), Value(), true});
        storeRow(r, "期", {"115010101", 2, "40,000"});
        storeRow(r, "加", {"115010101", 1, "12,345", day(2026, 12, 1), Value(), true});
        storeRow(r, "減", {"115010101", 1, "5,000"});
        storeContract(r, "115010102", "10,000");
        storeRow(r, "期", {"115010102", 1, "20,000", day(2026, 12, 1), Value(), true});
        storeRow(r, "加", {"115010102", 1, "1,000"});
        storeContract(r, "115010103", "");  // additions only: not listed
        storeRow(r, "加", {"115010103", 1, "1,000"});
        storeContract(r, "115010104");  // everything settled: not listed
        storeRow(r, "期", {"115010104", 1, "100,000", day(2026, 12, 1), Value(), true});
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
    storeContract(true, "115030101", "1,000", day(2026, 3, 1));
    storeContract(true, "115031001", "2,000", Date::fromYmdHms(2026, 3, 10, 15, 0, 0));
    storeContract(true, "115033101", "3,000", day(2026, 3, 31));
    storeContract(true, "115040101", "4,000", day(2026, 4, 1));
    storeContract(false, "115031002", "5,000", day(2026, 3, 10));
    auto within = [&](bool r, Date from, Date to) {
        frmRio& f = openForm();
        host.click(r ? f.optIser : f.optOser);
        host.pick(f.cbSer, 5);
        host.pickDate(f.dtpSerS, from);
        host.pickDate(f.dtpSerE, to);
        Texts ids;
        search(r, 5, [&](frmRioser& res) {
            for (int row = 1; row < res.hfg.Rows(); ++row)
                ids.push_back(res.hfg.TextMatrix(row, 1) + res.hfg.TextMatrix(row, 7));
        });
        return ids;
    };
    EXPECT_EQ(within(true, day(2026, 3, 1), day(2026, 3, 31)),
              (Texts{"1150301011,000", "1150310012,000", "1150331013,000", "6,000"}));
    EXPECT_EQ(within(true, day(2026, 3, 10), day(2026, 3, 10)), Texts{"1150310012,000"});
    EXPECT_EQ(within(true, day(2026, 4, 1), day(2026, 3, 1)), Texts{""});
    EXPECT_EQ(within(false, day(2026, 3, 1), day(2026, 3, 31)), Texts{"1150310025,000"});
}

TEST_F(ContractResultsTest, FullTextMatchesStoredTextsLiterallyButForTheWildcards) {
    storeContract(true, "115030102", "1,000", day(2026, 3, 10));
    AccDb().Execute(
        "UPDATE ri SET 收名稱 = '油漆工程', 聯絡人 = 'O''Neil 油漆', 備註 = '100% 油漆' "
        "WHERE id = '115030102'");
    storeContract(true, "115030101", "2,000");
    AccDb().Execute("UPDATE ri SET 聯絡人 = 'paint 油漆' WHERE id = '115030101'");
    storeContract(false, "115030103", "3,000");
    const Texts found = results(true, 4, "油漆");
    EXPECT_EQ(Texts(found.begin() + 1, found.end()),
              (Texts{"115030101|合約115030101|在 (聯絡人) 有  -->    paint 油漆",
                     "115030102|油漆工程|在 (收名稱) 有  -->    油漆工程",
                     "115030102|油漆工程|在 (聯絡人) 有  -->    O'Neil 油漆",
                     "115030102|油漆工程|在 (備註) 有  -->    100% 油漆"}));
    EXPECT_EQ(results(true, 4, "03-1")[1], "115030102|油漆工程|在 (簽約日) 有  -->    2026-03-10");
    EXPECT_EQ(results(true, 4, "o'n")[1], "115030102|油漆工程|在 (聯絡人) 有  -->    O'Neil 油漆");
    EXPECT_EQ(results(true, 4, "PAINT").size(), 2u);
    EXPECT_EQ(results(true, 4, "0%").size(), 2u) << "% is a character";
    EXPECT_EQ(results(true, 4, "1_0").back(), "|找不到資料|");
    EXPECT_EQ(results(true, 4, "油?").size(), 5u);
    // Every field holding a value: id 收名稱 簽約日 客戶名 電話 合計 無發票 and the others set.
    const Texts all = results(false, 4, "*");
    ASSERT_EQ(all.size(), 8u);
    EXPECT_EQ(all[7], "115030103|合約115030103|在 (無發票) 有  -->    0");
}

TEST_F(ContractResultsTest, ProjectsAreListedByNumberAndNameAndTheFirstIsTotalled) {
    storeContract(true, "115010101", "1,000", day(2026, 1, 1), "P1", "一期");
    storeContract(true, "115010102", "2,000", day(2026, 1, 1), "P1", "一期");
    storeContract(true, "115010103", "4,000", day(2026, 1, 1), "P1", "二期");
    storeContract(true, "115010104", "8,000", day(2026, 1, 1));
    search(true, 6, [&](frmRioser& f) {
        ASSERT_EQ(f.cbPj.ListCount(), 3);
        EXPECT_EQ(
            f.cbPj.List(0, 0) + f.cbPj.List(0, 1) + "|" + f.cbPj.List(1, 1) + f.cbPj.List(2, 1),
            "|一期二期");
        EXPECT_EQ(f.cbPj.ListIndex(), 0);
        EXPECT_EQ(gridRows(f.hfg).size(), 2u) << "the project without a number lists its one";
        EXPECT_EQ(f.hfg.TextMatrix(1, 1), "115010104");
        host.pick(f.cbPj, 1);
        EXPECT_EQ(gridRows(f.hfg).back(),
                  "115010102|合約115010102|115/01/01|甲公司||02-1234|2,000|0|2,000");
        EXPECT_EQ(f.hfg.Rows(), 3) << "a project chosen later gets no totals row";
        host.pick(f.cbPj, 2);
        EXPECT_EQ(f.hfg.Rows(), 2);
        EXPECT_EQ(f.hfg.TextMatrix(1, 7), "4,000");
    });
    // Two contracts under the first project: totalled at load, and again at every load.
    AccDb().Execute("UPDATE ri SET 專id = 'P0', 專名 = '總案' WHERE id = '115010104'");
    storeContract(true, "115010105", "16,000", day(2026, 1, 1), "P0", "總案");
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
        EXPECT_EQ(gridRows(f.hfg).back(), "||||||||");
    });
}

TEST_F(ContractResultsTest, APickShowsThePickedContractOnTheSideSearched) {
    storeContract(true, "115010101", "1,000");
    storeRow(true, "期", {"115010101", 1, "1,000"});
    storeContract(true, "115010102", "2,000");
    storeRow(true, "期", {"115010102", 1, "2,000"});
    storeContract(false, "115010103", "3,000");
    storeRow(false, "期", {"115010103", 1, "3,000"});
    AccDb().Execute("UPDATE ro期 SET 實收金 = '800', 處理 = 1");
    frmRio& f = openForm();
    host.act([&] { f.optO.SetValue(true); });
    search(true, 0, [&](frmRioser& r) {
        host.dblClickCell(r.hfg, 0, 1);
        EXPECT_TRUE(Forms::isLoaded<frmRioser>()) << "the header row picks nothing";
        host.dblClickCell(r.hfg, 2, 3);
        EXPECT_FALSE(Forms::isLoaded<frmRioser>());
    });
    EXPECT_TRUE(f.optI.Value());
    EXPECT_EQ(f.lbNo.Caption() + "|" + f.lbCC.Caption(), "115010102|2,000");
    // A pick of the kind already chosen raises no switch: it is shown all the same.
    search(true, 0, [&](frmRioser& r) { host.dblClickCell(r.hfg, 1, 1); });
    EXPECT_EQ(f.lbNo.Caption() + "|" + f.lbCC.Caption(), "115010101|1,000");
    // The totals row hands back no number, nor does closing: the contract shown stays.
    search(true, 0, [&](frmRioser& r) { host.dblClickCell(r.hfg, 3, 1); });
    search(false, 0, [](frmRioser&) {});
    EXPECT_EQ(f.lbNo.Caption(), "115010101");
    EXPECT_TRUE(PickedContractNo.empty());
    // A payable pick turns the form to payables and shows that contract with its receipts.
    search(
        false, 4, [&](frmRioser& r) { host.dblClickCell(r.hfg, 1, 1); }, "3,000");
    EXPECT_TRUE(f.optO.Value());
    EXPECT_EQ(f.lbNo.Caption() + "|" + f.schedules.hfg.TextMatrix(1, 1) + "|" +
                  f.schedules.hfg1.TextMatrix(1, 0) + "|" + f.lbBC.Caption(),
              "115010103|3,000|800|2,200");
    // A contract deleted before its pick shows an empty form without a message.
    search(true, 0, [&](frmRioser& r) {
        AccDb().Execute("DELETE FROM ri WHERE id = '115010102'");
        AccDb().Execute("DELETE FROM ri期 WHERE id = '115010102'");
        host.dblClickCell(r.hfg, 2, 1);
    });
    EXPECT_EQ(
        f.lbNo.Caption() + f.txtNa.Text() + f.txtTal.Text() + f.schedules.hfg.TextMatrix(1, 1), "");
    EXPECT_TRUE(host.messages().empty());
}

// A pick asks about pending grid edits as a move does. A refused save keeps the contract shown
// with its edits, whether the pick is of its kind or of the other; No drops them, and the picked
// contract shows with no grid left in editing.
TEST_F(ContractResultsTest, APickAsksAboutPendingEditsAndARefusedSaveStopsIt) {
    storeContract(true, "115010101");
    storeContract(true, "115010102");
    storeContract(false, "115010103");
    frmRio& f = openForm();
    host.click(f.schedules.cmdAc);
    const auto pick = [&](bool receivable, int row) {
        search(
            receivable, 4, [&](frmRioser& r) { host.dblClickCell(r.hfg, row, 1); }, "合約");
    };
    for (bool receivable : {true, false}) {
        SCOPED_TRACE(receivable);
        host.expectMessage("期數修改中是否儲存?", AnswerYes);
        host.expectMessage("請填入金額及應付日期");
        pick(receivable, 1);
        EXPECT_EQ(f.lbNo.Caption(), "115010102");
        EXPECT_TRUE(f.optI.Value() && f.schedules.InstalmentsEditing);
        EXPECT_EQ(f.schedules.hfg.TextMatrix(1, 0), "第1期");
    }
    host.expectMessage("期數修改中是否儲存?", AnswerNo);
    pick(true, 1);
    EXPECT_EQ(f.lbNo.Caption(), "115010101");
    EXPECT_FALSE(f.schedules.InstalmentsEditing || f.schedules.cmdAcSv.Enabled());
    EXPECT_EQ(f.schedules.hfg.TextMatrix(1, 0), "");
}

TEST_F(ContractResultsTest, TheWorkbookCarriesTheTitlesAndTheGridFromRowFour) {
    PeopleDb().Execute("UPDATE company SET co_name = '永建營造'");
    storeContract(true, "115030101", "1,000", day(2006, 1, 1), "P1", "一期");
    storeContract(true, "115030102", "2,000", day(2006, 12, 31), "P1", "一期");
    frmRio& f = openForm();
    host.pick(f.cbSer, 5);
    host.pickDate(f.dtpSerS, day(2006, 1, 1));
    host.pickDate(f.dtpSerE, day(2006, 12, 31));
    auto exportFrom = [&](int kind, const std::string& text = "") {
        search(
            true, kind, [&](frmRioser& r) { host.click(r.cmdPxls); }, text);
        return SheetReader(host.openedFiles().back());
    };
    SheetReader dated = exportFrom(5);
    EXPECT_EQ(dated.text("A1"), "永建營造：應收付查詢結果");
    EXPECT_EQ(dated.text("A2"), "應收帳款合約日期查詢：2006/01/01～2006/12/31");
    EXPECT_FALSE(dated.has("A3"));
    EXPECT_EQ(dated.text("B5") + "|" + dated.text("H7"), "115030101|3,000");
    EXPECT_TRUE(dated.boxed("A4") && dated.boxed("J7"));
    EXPECT_FALSE(dated.boxed("J8") || dated.boxed("K7"));
    EXPECT_EQ(exportFrom(6).text("A2"), "專案查詢  專案：一期");
    EXPECT_EQ(exportFrom(4, "一").text("A2"), "應收帳款全文檢索");
}

}  // namespace
