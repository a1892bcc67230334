#include <gtest/gtest.h>

#include <algorithm>

#include "tests/contracts/ContractBook.h"

using namespace kiv;
using namespace kiv::test;

namespace {

class ContractKeyboardTest : public ContractBook {
  protected:
    static bool tabStop(const frmRio& f, const Control& control) {
        std::vector<Control*> order = f.TabOrder();
        return std::find(order.begin(), order.end(), &control) != order.end();
    }
};

// While a contract is added the form is shorter than its schedules: what lies below its edge is
// no Tab stop, so that the focus never goes out of sight; the full form has them again.
TEST_F(ContractKeyboardTest, TheSchedulesBelowTheShortFormsEdgeAreNoTabStops) {
    frmRio& f = openForm();
    ASSERT_TRUE(tabStop(f, f.schedules.cmdAc));
    host.click(f.cmdAdd);
    for (Control* below : std::initializer_list<Control*>{&f.schedules.hfg, &f.schedules.cmdAc,
                                                          &f.schedules.cmdAcSv, &f.schedules.HfgAM,
                                                          &f.schedules.cmdMsv, &f.schedules.hfgM})
        EXPECT_FALSE(tabStop(f, *below)) << below->Name();
    for (Control* shown : std::initializer_list<Control*>{&f.txtNa, &f.cmdSv, &f.cmdAll})
        EXPECT_TRUE(tabStop(f, *shown)) << shown->Name();
    host.click(f.cmdCen);
    EXPECT_TRUE(tabStop(f, f.schedules.cmdAc));
}

}  // namespace
