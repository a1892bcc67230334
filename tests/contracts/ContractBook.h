#pragma once

#include <functional>
#include <string>
#include <utility>

#include "contracts/ContractForms.h"
#include "contracts/frmRio.h"
#include "platform/db/WriteFault.h"
#include "projects/ProjectForms.h"
#include "tests/support/Books.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/TableDump.h"

namespace kiv::test {

// Another copy's write between the reads of one load: `meanwhile` runs once, the first time the
// grid takes `rows` rows while it is filled, after the rows were counted and before they are read.
struct WhenGridTakesRows : ControlObserver {
    Grid& grid;
    int rows;
    std::function<void()> meanwhile;
    bool done = false;
    WhenGridTakesRows(Grid& grid, int rows, std::function<void()> meanwhile)
        : grid(grid), rows(rows), meanwhile(std::move(meanwhile)) {
        grid.addObserver(this);
    }
    ~WhenGridTakesRows() override { grid.removeObserver(this); }
    void propertyChanged(Control&, Property property) override {
        if (done || property != Property::Layout || grid.Rows() != rows) return;
        done = true;
        meanwhile();
    }
};

// Fresh books on ROC 115/12/06 (2026-12-06) with customers, a vendor and the contract forms.
class ContractBook : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        Clock::useFixedTime(Date::fromYmdHms(2026, 12, 6, 9, 0, 0));
        registerContractForms();
        registerProjectForms();
        loggedInWith(AllRights);
        PeopleDb().Execute(
            "INSERT INTO 客戶 (客戶編號, 客戶名稱, 連絡人, 電話1) VALUES ('C2', '乙公司', "
            "'王先生', "
            "'02;23456789'), ('C1', '甲公司', '林小姐', '03;1234567'), ('C3', NULL, 'x', ''), "
            "('C4', '甲公司', '', '')");
        PeopleDb().Execute(
            "INSERT INTO 廠商 (廠商編號, 廠商名稱, 連絡人, 電話1) VALUES ('V1', '丙工程行', "
            "'陳先生', '04;7654321')");
    }
    // A write failure a test set up never outlives it.
    void TearDown() override {
        writefault::clear();
        ProgramTest::TearDown();
    }

    frmRio& openForm() {
        frmRio& form = Forms::get<frmRio>();
        form.Show();
        return form;
    }
    Texts contracts(const char* table = "ri") {
        return rows(AccDb(), "SELECT id, 合計 FROM " + AccDb().Table(table) + " ORDER BY id");
    }
    // The settlement fields of every row of a schedule table, in order.
    Texts settlements(const std::string& table) {
        Database& db = AccDb();
        if (table.ends_with("期"))
            return rows(db,
                        "SELECT id, 期別, 預付金, 實收金, 實收日, 現金, 支票號碼, 收支單號, 處理 "
                        "FROM " +
                            db.Table(table) + " ORDER BY id, 期別");
        return rows(db,
                    "SELECT id, 期別, 金額, 實收金, 實收日, 現金, 支票號碼, 收支單號, 處理 FROM " +
                        db.Table(table) + " ORDER BY id, 期別");
    }
};

}  // namespace kiv::test
