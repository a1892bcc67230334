#pragma once

#include <string>

#include "contracts/ContractForms.h"
#include "contracts/frmRio.h"
#include "platform/db/WriteFault.h"
#include "platform/forms/Clock.h"
#include "projects/ProjectForms.h"
#include "projects/frmGtPj.h"
#include "shell/mdM.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/TableDump.h"

namespace kiv::test {

// Fresh books on ROC 115/12/06 (2026-12-06) with customers, vendors and the contract form.
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

    // A stored contract header with its total; `table` is "ri" or "ro".
    static void contract(const std::string& table, const std::string& id,
                         const std::string& total = "1,000,000") {
        Database& db = AccDb();
        db.Execute("INSERT INTO " + db.Table(table) +
                       " (id, 收名稱, 簽約日, 合計, 稅金, fnLet, 無發票, Let) "
                       "VALUES (?, ?, '2026-11-30', ?, '0', '', 0, '0')",
                   id, "合約" + id, total);
    }
    static void instalment(const std::string& id, int period, const std::string& amount,
                           const std::string& share, bool settled = false,
                           const std::string& received = "") {
        AccDb().Execute(
            "INSERT INTO ri期 (id, 期別, 預付金, 預付日, 佔總價比例, 發票號碼, 實收金, 實收日, "
            "現金, "
            "支票號碼, 收支單號, 處理) VALUES (?, ?, ?, '2026-12-27', ?, '', ?, ?, 0, 'CK1', "
            "'1151206001', ?)",
            id, period, amount, share, received,
            settled ? Value(Date::fromYmd(2026, 12, 20)) : Value(), settled);
    }

    frmRio& openForm() {
        frmRio& form = Forms::get<frmRio>();
        form.Show();
        return form;
    }

    Texts contracts(const char* which = "ri") {
        return rows(AccDb(), "SELECT id, 合計 FROM " + AccDb().Table(which) + " ORDER BY id");
    }

    static Date day(int y, int m, int d) { return Date::fromYmd(y, m, d); }
};

}  // namespace kiv::test
