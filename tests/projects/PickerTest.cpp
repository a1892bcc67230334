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

// Closed projects are not listed; with none open the grid holds no number.
TEST_F(PickerTest, ListsOpenProjectsOrderedByNumberAsText) {
    project("A", "甲", true);
    EXPECT_EQ(Forms::get<frmGtPj>().hfg.TextMatrix(1, 1), "");
    Forms::unload<frmGtPj>();
    project("9", "九號工程");
    project("10", "十號工程");
    project("5", "已結案", true);
    AccDb().Execute(
        "UPDATE prj SET tCash = 1500000, cust = '林先生', sinDay = '2026-11-30' "
        "WHERE id = '10'");
    frmGtPj& form = Forms::get<frmGtPj>();
    ASSERT_EQ(form.hfg.Rows(), 3);
    EXPECT_EQ(row(form.hfg, 1),
              (Texts{"", "10", "十號工程", "林先生", "1,500,000", "中華民國 115/11/30"}));
    EXPECT_EQ(row(form.hfg, 2)[1], "9");
    EXPECT_EQ(row(form.hfg, 2)[5], "");
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

// By keyboard: the arrows choose a row, which 確定 then picks, and Enter picks the current row
// as a double click does.
TEST_F(PickerTest, ARowIsPickedByKeyboard) {
    project("A", "甲");
    project("B", "乙");
    project("C", "丙");
    EXPECT_EQ(pickWith([](frmGtPj& f) {
                  f.hfg.userFocus();
                  f.hfg.userKeyDown(Key::Down);
                  f.hfg.userKeyDown(Key::Down);
                  f.hfg.userKeyDown(Key::Up);
                  f.Command1.userClick();
              }),
              2);
    EXPECT_EQ(pickWith([](frmGtPj& f) {
                  f.hfg.userFocus();
                  f.hfg.userKeyDown(Key::Down);
                  f.hfg.userKey(Key::Enter);
                  EXPECT_FALSE(f.Visible());
              }),
              3);
}

// Only a key that moves to another row chooses it: F5, Delete, Home, End, the page keys, Up on the
// first row and a move along the row leave the choice as it was, none at first; once a row was
// reached by the arrows such keys keep it.
TEST_F(PickerTest, AKeyThatMovesNoRowChoosesNone) {
    project("A", "甲");
    project("B", "乙");
    project("C", "丙");
    constexpr int F5 = 116, PageUp = 33, PageDown = 34;
    const int stayingKeys[] = {F5,       Key::Delete, Key::Home,  Key::End, PageUp,
                               PageDown, Key::Up,     Key::Right, Key::Left};
    EXPECT_EQ(pickWith([&](frmGtPj& f) {
                  f.hfg.userFocus();
                  for (int key : stayingKeys)
                      f.hfg.userKeyDown(key);
                  EXPECT_EQ(f.hfg.Row(), 1);
                  f.Command1.userClick();
              }),
              0);
    EXPECT_EQ(pickWith([&](frmGtPj& f) {
                  f.hfg.userFocus();
                  f.hfg.userKeyDown(Key::Down);
                  f.hfg.userKeyDown(Key::Down);
                  f.hfg.userKeyDown(Key::Up);
                  f.hfg.userKeyDown(Key::Up);
                  for (int key : stayingKeys)
                      f.hfg.userKeyDown(key);
                  f.Command1.userClick();
              }),
              1);
}

}  // namespace
