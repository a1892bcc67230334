#pragma once

#include <string>
#include <vector>

#include "platform/forms/ControlArray.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Grid.h"
#include "platform/forms/ListControls.h"
#include "platform/forms/Menu.h"

namespace kiv {

// A form with a control of every kind, laid out as the program's forms are. Its handlers record
// what they saw.
class frmQtSample : public Form {
  public:
    static constexpr const char* FormName = "frmQtSample";
    frmQtSample() : Form(FormName) {
        SetCaption("收支單 - 範例");
        Move(1200, 900, 11400, 7800);
        wireEvents();
        buildLayout();
    }

    void Form_Load() override { fill(); }
    void Form_QueryUnload(int& cancel, int mode) override {
        events.push_back("QueryUnload " + std::to_string(mode));
        cancel = refuseClose ? 1 : 0;
    }

    Label lbTitle{*this, "lbTitle"};
    Label lbAcIo{*this, "lbAcIo"};
    TextBox txtCash{*this, "txtCash"};
    TextBox txtPw{*this, "txtPw"};
    TextBox T19{*this, "T19"};
    CheckBox ck{*this, "ck"};
    Frame fme{*this, "fme"};
    ControlArray<OptionButton> optA{*this, "optA", 3};
    PictureBox P1{*this, "P1"};
    ComboBox cbAcc{*this, "cbAcc", -1, ComboBox::Flavor::Forms2};
    ComboBox cbDay{*this, "cbDay"};
    ListBox lstWt{*this, "lstWt"};
    DatePicker DTP{*this, "DTP"};
    FlatScrollBar FSB{*this, "FSB"};
    Grid hfg{*this, "hfg"};
    // The cell editor laid over the grid.
    TextBox txt{*this, "txt"};
    CommandButton cmdSv{*this, "cmdSv"};
    CommandButton cmdCencel{*this, "cmdCencel"};
    CommandButton cmdM{*this, "cmdM"};
    Menu md{*this, "md"};
    Menu mdel{*this, "mdel", "刪除"};
    Menu ml{*this, "ml", "-"};
    Menu mMach{*this, "mMach", "機具"};

    std::vector<std::string> events;
    bool refuseClose = false;

  private:
    void record(const std::string& event) { events.push_back(event); }

    void wireEvents() {
        txtCash.KeyPress = [this](int& key) {
            record("txtCash_KeyPress " + std::to_string(key));
            if (key != 8 && (key < '0' || key > '9')) key = 0;
        };
        txtCash.Change = [this] { record("txtCash_Change " + txtCash.Text()); };
        ck.Click = [this] { record("ck_Click " + std::to_string(ck.Value())); };
        optA.forEach([this](OptionButton& option) {
            option.Click = [this, index = option.Index()] {
                record("optA_Click " + std::to_string(index));
            };
        });
        cbAcc.Click = [this] { record("cbAcc_Click " + cbAcc.Text()); };
        cbDay.Click = [this] { record("cbDay_Click " + std::to_string(cbDay.ListIndex())); };
        lstWt.Click = [this] { record("lstWt_Click " + std::to_string(lstWt.ListIndex())); };
        DTP.Change = [this] { record("DTP_Change " + DTP.Value().iso()); };
        FSB.Change = [this] { record("FSB_Change " + std::to_string(FSB.Value())); };
        hfg.Click = [this] { record("hfg_Click " + cell(hfg.MouseRow(), hfg.MouseCol())); };
        hfg.DblClick = [this] { record("hfg_DblClick " + cell(hfg.MouseRow(), hfg.MouseCol())); };
        hfg.KeyDown = [this](int& key, int) {
            record("hfg_KeyDown " + std::to_string(key) + " row " + std::to_string(hfg.Row()));
        };
        hfg.Scroll = [this] { record("hfg_Scroll " + std::to_string(hfg.TopRow())); };
        cmdSv.Click = [this] { record("cmdSv_Click"); };
        cmdCencel.Click = [this] { record("cmdCencel_Click"); };
        cmdM.Click = [this] { record("cmdM_Click"); };
        mMach.Click = [this] { record("mMach_Click"); };
    }

    std::string cell(int row, int col) { return std::to_string(row) + "," + std::to_string(col); }

    void buildLayout() {
        lbTitle.Move(240, 120, 4200, 360);
        lbTitle.SetFontSize(14);
        lbTitle.SetFontBold(true);
        lbTitle.SetForeColor(0x800000);
        lbAcIo.Move(4560, 180, 1200, 300);
        lbAcIo.SetForeColor(255);
        lbAcIo.SetBackColor(0xC0C0FF);
        lbAcIo.SetBorderStyle(1);
        txtCash.Move(240, 600, 2400, 330);
        txtCash.SetAlignment(1);
        txtPw.Move(2760, 600, 1800, 330);
        txtPw.SetPasswordChar("*");
        T19.Move(240, 1020, 4320, 900);
        T19.SetMultiLine(true);
        ck.Move(4680, 600, 1800, 300);
        fme.Move(240, 2040, 2760, 1320);
        optA.forEach([this](OptionButton& option) {
            option.SetContainer(&fme);
            option.Move(180, 300 + option.Index() * 300, 2400, 270);
        });
        P1.Move(3120, 2040, 1440, 1320);
        P1.SetBackColor(0xFFC0C0);
        cbAcc.Move(4680, 1440, 1800, 330);
        cbAcc.SetColumnCount(3);
        cbAcc.SetTextColumn(3);
        cbAcc.SetBoundColumn(2);
        cbAcc.SetListRows(20);
        cbDay.Move(4680, 1860, 1800, 330);
        cbDay.SetStyle(2);
        lstWt.Move(4680, 2280, 1800, 1080);
        lstWt.SetStyle(1);
        DTP.Move(6720, 600, 2040, 330);
        DTP.SetCustomFormat("gg ee/mm/dd");
        FSB.Move(6720, 1020, 2040, 255);
        FSB.SetMax(9);
        hfg.Move(240, 3480, 8520, 3000);
        txt.SetVisible(false);
        cmdSv.Move(9000, 600, 1800, 450);
        cmdSv.SetDefault(true);
        cmdCencel.Move(9000, 1140, 1800, 450);
        cmdCencel.SetCancel(true);
        cmdM.Move(9000, 1680, 1800, 450);
        cmdM.SetStyle(1);
        cmdM.SetBackColor(0xC0FFC0);
        md.SetVisible(false);
        md.AddEntry(mdel);
        md.AddEntry(ml);
        md.AddEntry(mMach);
    }

    void fill() {
        lbTitle.SetCaption("收支單 輸入");
        lbAcIo.SetCaption("(支出)");
        T19.SetText("第一行\r\n第二行");
        ck.SetCaption("已簽核");
        cmdSv.SetCaption("存檔");
        cmdCencel.SetCaption("取消");
        cmdM.SetCaption("選單");
        fme.SetCaption("付款方式");
        const char* ways[] = {"現金", "支票", "轉帳"};
        optA.forEach([&](OptionButton& option) { option.SetCaption(ways[option.Index()]); });
        cbAcc.SetRows({{"1", "1101", "現金"}, {"1", "1102", "銀行存款"}, {"5", "5101", "材料費"}});
        for (const char* day : {"零天", "一天", "二天", "三天"})
            cbDay.AddItem(day);
        for (const char* work : {"土木", "水電", "油漆"})
            lstWt.AddItem(work);
        DTP.SetValue(Date::fromYmd(2026, 12, 6));
        fillGrid();
    }

    void fillGrid() {
        hfg.SetCols(6);
        hfg.SetRows(12);
        hfg.SetColWidth(0, 300);
        hfg.SetColWidth(1, 1200);
        hfg.SetColWidth(2, 1500);
        hfg.SetColWidth(5, 0);
        hfg.SetMergeCells(4);
        hfg.SetMergeRow(0, true);
        const char* headers[] = {"", "日期", "科目", "收入", "收入", "鍵"};
        for (int c = 0; c < 6; ++c)
            hfg.SetTextMatrix(0, c, headers[c]);
        for (int r = 1; r < hfg.Rows(); ++r) {
            hfg.SetTextMatrix(r, 0, std::to_string(r));
            hfg.SetTextMatrix(r, 1,
                              "115/12/" + std::to_string(r < 10 ? 0 : 1) + std::to_string(r % 10));
            hfg.SetTextMatrix(r, 2, r % 2 ? "材料費" : "工資");
            hfg.SetTextMatrix(r, 3, std::to_string(r * 1500));
            hfg.SetTextMatrix(r, 4, r % 3 == 0 ? "-300" : "");
            hfg.SetRow(r);
            hfg.SetCol(3);
            hfg.SetCellForeColor(r % 3 == 0 ? 255 : 0xFF0000);
            if (r % 4 == 0) {
                hfg.SetCellBackColor(0xC0FFFF);
                hfg.SetCellFontBold(true);
            }
        }
        hfg.SetRow(1);
        hfg.SetCol(1);
        hfg.SetBackColorFixed(0xC0C0FF);
    }
};

}  // namespace kiv
