#pragma once

#include "books/BookForms.h"
#include "books/frmFtr.h"
#include "books/frmTrans.h"
#include "shell/mdM.h"
#include "tests/support/Books.h"
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
        setToday(day(2026, 3, 15));
        host.onEveryModal("frmIoAuto", [](Form& form) { form.Unload(); });
        PeopleDb().Execute("UPDATE company SET co_name = '永建營造'");
    }
    template <class T>
    T& open() {
        host.act([] { Forms::showByName(T::FormName, Modeless); });
        return dynamic_cast<T&>(*Forms::find(T::FormName));
    }
    static std::string books() { return dumpTables(AccDb()); }
};

}  // namespace kiv::test
