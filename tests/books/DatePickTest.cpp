#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "books/BookForms.h"
#include "books/frmFtr.h"
#include "books/frmTrans.h"
#include "cheques/ChequeForms.h"
#include "cheques/frmBB.h"
#include "contracts/ContractForms.h"
#include "contracts/frmRio.h"
#include "platform/db/Format.h"
#include "platform/forms/Clock.h"
#include "platform/forms/DateLabel.h"
#include "projects/ProjectForms.h"
#include "projects/frmPj.h"
#include "projects/frmPjVSrIO.h"
#include "shell/frmSta.h"
#include "statistics/StatisticsForms.h"
#include "statistics/frmCash.h"
#include "tests/support/ProgramTest.h"
#include "vouchers/VoucherForms.h"
#include "vouchers/frmIo.h"

using namespace kiv;

namespace {

// Every form with a date picker, on 2026-12-06.
class DatePickTest : public test::ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        registerVoucherForms();
        registerChequeForms();
        registerBookForms();
        registerProjectForms();
        registerContractForms();
        registerStatisticsForms();
        Clock::useFixedTime(Date::fromYmdHms(2026, 12, 6, 9, 0, 0));
        loggedInWith(AllRights);
        AccDb().Execute(
            "INSERT INTO ri (id, 收名稱, 簽約日, 合計, 稅金, fnLet, 無發票, Let) VALUES "
            "('115120601', '甲', '2026-11-30', '105', '5', '', 0, '')");
        AccDb().Execute(
            "INSERT INTO ri期 (id, 期別, 預付金, 佔總價比例, 處理) VALUES ('115120601', 1, "
            "'105', '100.00%', 0)");
        PeopleDb().Execute("INSERT INTO 員工 (員工編號, 中文姓名) VALUES ('10001', '王小明')");
    }

    // A picker and what its pick writes, reached as the user reaches it.
    struct Picker {
        const char* name;
        std::function<DatePicker&()> open;
        std::function<std::string()> written;
        std::function<void()> clear;
        std::function<std::string(const Date&)> expected = [](const Date& day) {
            return ShownDate(day);
        };
    };

    template <class F>
    F& shown() {
        F& form = Forms::get<F>();
        form.Show();
        return form;
    }
    template <class F>
    static Picker beside(const char* name, DatePicker F::*picker, Label F::*label,
                         std::function<void(F&)> prepare = {}) {
        return {name,
                [picker, prepare]() -> DatePicker& {
                    F& form = Forms::get<F>();
                    form.Show();
                    if (prepare) prepare(form);
                    return form.*picker;
                },
                [label] { return (Forms::get<F>().*label).Caption(); },
                [label] { (Forms::get<F>().*label).SetCaption(""); }};
    }

    std::vector<Picker> pickers() {
        auto projectEditing = [this](frmPj& form) { host.click(form.cmdAdd); };
        auto contractAdding = [this](frmRio& form) { host.click(form.cmdAdd); };
        auto contractRange = [this](frmRio& form) { host.pick(form.cbSer, 5); };
        Picker instalmentDue{"contract instalment due date",
                             [this]() -> DatePicker& {
                                 frmRio& form = shown<frmRio>();
                                 host.click(form.schedules.cmdEc);
                                 host.mouseUpCell(form.schedules.hfg, 1, 2, LeftButton);
                                 return form.schedules.dtpi;
                             },
                             [] { return Forms::get<frmRio>().schedules.hfg.TextMatrix(1, 2); },
                             [] { Forms::get<frmRio>().schedules.hfg.SetTextMatrix(1, 2, ""); },
                             [](const Date& day) { return GridRocDate(day); }};
        // The contract search's range is the short date, Gregorian, as its results read it.
        const auto shortDate = [](const Date& day) { return shortDateText(day); };
        Picker searchStart = beside<frmRio>("contract search start", &frmRio::dtpSerS,
                                            &frmRio::lbSerS, contractRange);
        searchStart.expected = shortDate;
        Picker searchEnd =
            beside<frmRio>("contract search end", &frmRio::dtpSerE, &frmRio::lbSerE, contractRange);
        searchEnd.expected = shortDate;
        Picker voucherDay = beside<frmIo>("voucher day", &frmIo::DTP1, &frmIo::lbHday,
                                          [this](frmIo& form) { host.click(form.cmdAdd); });
        voucherDay.expected = [](const Date& day) { return LongRocDate(day); };
        Picker birthday{"staff birthday",
                        [this]() -> DatePicker& {
                            frmSta& form = shown<frmSta>();
                            host.click(form.cmdAdd);
                            return form.DTP1;
                        },
                        [] { return Forms::get<frmSta>().T13.Text(); },
                        [] { Forms::get<frmSta>().T13.SetText(""); },
                        [](const Date& day) {
                            return std::to_string(day.year() - 1911) + "/" +
                                   std::to_string(day.month()) + "/" + std::to_string(day.day());
                        }};
        // The project form writes a picked date without the era.
        auto project = [&](const char* name, DatePicker frmPj::*picker, Label frmPj::*label) {
            Picker p = beside<frmPj>(name, picker, label, projectEditing);
            p.expected = [](const Date& day) { return GridRocDate(day); };
            return p;
        };
        return {
            beside<frmTrans>("book listing start", &frmTrans::dtpSt, &frmTrans::lbSt),
            beside<frmTrans>("book listing end", &frmTrans::dtpEd, &frmTrans::lbEd),
            beside<frmFtr>("forecast end", &frmFtr::DTP, &frmFtr::lbEd),
            beside<frmBB>("cheque list start", &frmBB::DTP1, &frmBB::lbSt),
            beside<frmBB>("cheque list end", &frmBB::DTP2, &frmBB::lbEd),
            beside<frmCash>("voucher query start", &frmCash::DTP1, &frmCash::lbSt),
            beside<frmCash>("voucher query end", &frmCash::DTP2, &frmCash::lbEd),
            project("project start", &frmPj::DTP1, &frmPj::lbSt),
            project("project end", &frmPj::DTP2, &frmPj::lbEd),
            project("project signing", &frmPj::DTP3, &frmPj::lbSin),
            beside<frmRio>("contract signing", &frmRio::DTP, &frmRio::lbSin, contractAdding),
            searchStart,
            searchEnd,
            instalmentDue,
            voucherDay,
            birthday,
        };
    }
};

// The date the picker already shows raises no Change; picking it still writes what the picker
// writes, so that no label keeps another day than the one the user picked.
TEST_F(DatePickTest, PickingTheDateThePickerShowsWritesItsLabel) {
    for (const Picker& p : pickers()) {
        SCOPED_TRACE(p.name);
        DatePicker& picker = p.open();
        host.act([&] { p.clear(); });
        const Date day = picker.Value();
        host.pickDate(picker, day);
        EXPECT_EQ(p.written(), p.expected(day));
        Forms::discardAll();
    }
}

TEST_F(DatePickTest, APickerBesideALabelShowsTheLabelsCalendar) {
    ProjectReportMode = true;
    frmPjVSrIO& report = Forms::get<frmPjVSrIO>();
    host.pickDate(report.DTP1, Date::fromYmd(2027, 3, 31));
    EXPECT_EQ(report.lbSt.Caption(), "中華民國 116/03/31");
    EXPECT_EQ(report.DTP1.DisplayText(), "中華民國 116/03/31");
}

}  // namespace
