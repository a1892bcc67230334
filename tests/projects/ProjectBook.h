#pragma once

#include <string>
#include <vector>

#include "platform/forms/Forms.h"
#include "projects/ProjectForms.h"
#include "projects/frmEm.h"
#include "projects/frmGtPj.h"
#include "projects/frmPj.h"
#include "shell/mdM.h"
#include "tests/support/Books.h"
#include "tests/support/ProgramTest.h"

namespace kiv::test {

// A book with work types, staff and customers, and the project forms registered.
class ProjectBook : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        setToday(day(2026, 12, 6));
        registerProjectForms();
        loggedInWith(AllRights);
    }

    static void workTypes(const std::vector<std::string>& names) {
        int id = 0;
        for (const std::string& name : names)
            PeopleDb().Execute("INSERT INTO 種 (t_id, t) VALUES (?, ?)", ++id, name);
    }
    static void project(const std::string& id, const std::string& name, bool closed = false,
                        const std::vector<std::string>& types = {}) {
        AccDb().Execute("INSERT INTO prj (id, prj, tCash, cust, final) VALUES (?, ?, 1000, '', ?)",
                        id, name, closed);
        for (const std::string& w : types)
            AccDb().Execute("INSERT INTO w4pj (pj_id, w) VALUES (?, ?)", id, w);
    }
    static void voucher(const std::string& no, const std::string& projectNo, bool expense,
                        int amount, int state, const std::string& workType,
                        const Date& day = Date::fromYmd(2026, 12, 1)) {
        AccDb().Execute(
            "INSERT INTO iof (輸入日期, 單號, 方式, 金額, pay, 專案號碼, 專案名稱, 工程種類, "
            "發生日期) "
            "VALUES (?, ?, ?, ?, ?, ?, '', ?, ?)",
            day, no, state, amount, expense, projectNo, workType, day);
    }

    Texts projects() { return rows(AccDb(), "SELECT * FROM prj ORDER BY rowid"); }
    Texts projectTypes(const std::string& id) {
        return rows(AccDb(), "SELECT w FROM w4pj WHERE pj_id = ? ORDER BY rowid", id);
    }
    Texts typeList() { return rows(PeopleDb(), "SELECT t_id, t FROM 種 ORDER BY rowid"); }

    // The user empties the box, then types.
    void retype(TextBox& box, const std::string& text) {
        host.act([&] { box.SetText(""); });
        host.type(box, text);
    }

    static Date day(int y, int m, int d) { return test::day(y, m, d); }
    static Texts row(const Grid& grid, int r) { return GridRow(grid, r); }
    static Texts column(const Grid& grid, int c) { return GridColumn(grid, c); }
};

}  // namespace kiv::test
