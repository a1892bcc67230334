#pragma once

#include <string>

#include "books/BookForms.h"
#include "books/frmFtr.h"
#include "books/frmTrans.h"
#include "platform/forms/Clock.h"
#include "shell/mdM.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/TableDump.h"
#include "vouchers/VoucherForms.h"

namespace kiv::test {

// Fresh books on 2026-03-15 with the book forms and the real generated-voucher form, which the
// user closes as soon as it shows.
class BooksBook : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        registerVoucherForms();
        registerBookForms();
        Clock::useFixedTime(Date::fromYmdHms(2026, 3, 15, 9, 30, 0));
        host.onEveryModal("frmIoAuto", [](Form& form) { form.Unload(); });
        PeopleDb().Execute("UPDATE company SET co_name = '永建營造'");
    }

    static Date day(int y, int m, int d) { return Date::fromYmd(y, m, d); }

    static void addCashRow(int id, bool income, const Date& on, int64_t amount,
                           const std::string& memo, const std::string& number, int64_t balance) {
        AccDb().Execute("INSERT INTO cash VALUES (?, ?, ?, ?, ?, ?, ?)", id, income, on, amount,
                        memo, number, balance);
    }
    static void addBankRow(int id, const std::string& bank, const std::string& account, bool income,
                           const Date& on, int64_t amount, int64_t balance) {
        AccDb().Execute("INSERT INTO bank VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)", id, account, bank,
                        income, on, amount, "兌現", "N" + std::to_string(id), balance);
    }
    static void addOrdinary(const std::string& bank, const std::string& account, int64_t opening) {
        AccDb().Execute("INSERT INTO obank VALUES (?, ?, '永建營造', ?)", bank, account, opening);
    }
    static void addChequeAccount(const std::string& bank, const std::string& account,
                                 int64_t opening) {
        AccDb().Execute("INSERT INTO bbank VALUES (?, ?, '永建營造', ?)", bank, account, opening);
    }

    template <class T>
    T& open() {
        host.act([] { Forms::showByName(T::FormName, Modeless); });
        return dynamic_cast<T&>(*Forms::find(T::FormName));
    }

    static Texts gridRow(const Grid& grid, int row) {
        Texts cells;
        for (int col = 0; col < grid.Cols(); ++col)
            cells.push_back(grid.TextMatrix(row, col));
        return cells;
    }
    static Texts gridColumn(const Grid& grid, int col) {
        Texts cells;
        for (int row = 1; row < grid.Rows(); ++row)
            cells.push_back(grid.TextMatrix(row, col));
        return cells;
    }

    static std::string books() { return dumpTables(AccDb()); }
};

}  // namespace kiv::test
