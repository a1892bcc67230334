#include <gtest/gtest.h>

#include "tests/projects/ProjectBook.h"

using namespace kiv;

namespace {

class PickerTest : public test::ProjectBook {
  protected:
    // The contract form's way: a modal show, then the row handed back.
    int pickWith(std::function<void(frmGtPj&)> script) {
        host.onModal<frmGtPj>(std::move(script));
        Forms::showByName("frmGtPj", Modal);
        return PickedProjectRow;
    }
};

TEST_F(PickerTest, ListsOpenProjectsOrderedByNumberAsText) {
    project("9", "九號工程");
    project("10", "十號工程");
    project("5", "已結案", true);
    AccDb().Execute(
        "UPDATE prj SET tCash = 1500000, cust = '林先生', sinDay = '2026-11-30' "
        "WHERE id = '10'");
    frmGtPj& form = Forms::get<frmGtPj>();
    EXPECT_EQ(form.Caption(), "選取專案");
    ASSERT_EQ(form.hfg.Rows(), 3);
    EXPECT_EQ(form.hfg.Cols(), 6);
    const Texts header{"", "專案編號", "專案名稱", "業主名稱", "總金額", "簽約日"};
    for (int col = 0; col < 6; ++col)
        EXPECT_EQ(form.hfg.TextMatrix(0, col), header[col]);
    EXPECT_EQ(form.hfg.TextMatrix(1, 1), "10");
    EXPECT_EQ(form.hfg.TextMatrix(1, 3), "林先生");
    EXPECT_EQ(form.hfg.TextMatrix(1, 4), "1,500,000");
    EXPECT_EQ(form.hfg.TextMatrix(1, 5), "中華民國 115/11/30");
    EXPECT_EQ(form.hfg.TextMatrix(2, 1), "9");
    EXPECT_EQ(form.hfg.TextMatrix(2, 5), "");
    EXPECT_EQ(form.hfg.ColWidth(2), 3000);
}

TEST_F(PickerTest, ThePickIsHandedBackAcrossShowsAndCancelOrTheCloseBoxGiveNone) {
    project("A", "甲");
    project("B", "乙");
    project("C", "丙");
    EXPECT_EQ(pickWith([this](frmGtPj& f) { host.click(f.Command1); }), 0);
    EXPECT_EQ(pickWith([this](frmGtPj& f) {
                  host.clickCell(f.hfg, 2, 1);
                  host.click(f.Command1);
              }),
              2);
    ASSERT_NE(Forms::find("frmGtPj"), nullptr);
    EXPECT_EQ(Forms::get<frmGtPj>().hfg.TextMatrix(2, 2), "乙");
    // A project added meanwhile is not listed while the picker stays loaded.
    project("0", "新");
    EXPECT_EQ(pickWith([this](frmGtPj& f) {
                  EXPECT_EQ(f.hfg.Rows(), 4);
                  host.click(f.Command1);
              }),
              2);
    EXPECT_EQ(pickWith([this](frmGtPj& f) {
                  host.clickCell(f.hfg, 3, 1);
                  host.click(f.Command2);
              }),
              0);
    EXPECT_EQ(Forms::find("frmGtPj"), nullptr);
    EXPECT_EQ(pickWith([this](frmGtPj& f) {
                  EXPECT_EQ(f.hfg.Rows(), 5);
                  host.dblClickCell(f.hfg, 4, 2);
              }),
              4);
    EXPECT_EQ(Forms::get<frmGtPj>().hfg.TextMatrix(4, 1), "C");
    EXPECT_EQ(pickWith([this](frmGtPj& f) {
                  host.clickCell(f.hfg, 1, 1);
                  host.closeByFrame(f);
              }),
              0);
    EXPECT_EQ(Forms::find("frmGtPj"), nullptr);
}

TEST_F(PickerTest, WithNoOpenProjectNothingIsListed) {
    project("A", "甲", true);
    frmGtPj& form = Forms::get<frmGtPj>();
    for (int row = 1; row < form.hfg.Rows(); ++row)
        EXPECT_EQ(form.hfg.TextMatrix(row, 1), "");
}

}  // namespace
