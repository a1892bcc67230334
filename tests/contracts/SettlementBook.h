#pragma once

#include <string>

#include "ledger/Vouchers.h"
#include "platform/forms/ControlArray.h"
#include "platform/forms/Controls.h"
#include "tests/contracts/ContractBook.h"

namespace kiv::test {

// The voucher form as the settlement dialog reads it, by name.
class VoucherFormStandIn : public Form {
  public:
    static constexpr const char* FormName = "frmIo";
    VoucherFormStandIn() : Form(FormName) {}
    TextBox txtCash{*this, "txtCash"};
    Label lbHday{*this, "lbHday"};
    ControlArray<OptionButton> optA{*this, "optA", 3};
    Label lbNo{*this, "lbNo"};
};

// Contracts with schedules, vouchers and cheques to settle them with.
class SettlementBook : public ContractBook {
  protected:
    // A schedule row of table `table` ("ri期", "ri加", "ro期", "ro加") planned at `amount`, open
    // unless `voucherNo` is given.
    static void scheduleRow(const std::string& table, const std::string& id, int period,
                            const std::string& amount, const std::string& voucherNo = "") {
        Database& db = AccDb();
        const bool settled = !voucherNo.empty();
        const Value day = settled ? Value(Date::fromYmd(2026, 1, 2)) : Value();
        if (table.ends_with("期"))
            db.Execute("INSERT INTO " + db.Table(table) +
                           " (id, 期別, 預付金, 預付日, 佔總價比例, 送帳日, 發票號碼, 實收金, "
                           "實收日, 現金, 支票號碼, 收支單號, 處理) VALUES (?, ?, ?, "
                           "'2026-04-01', '50.00%', NULL, 'INV', ?, ?, ?, ?, ?, ?)",
                       id, period, amount, settled ? amount : "", day, settled,
                       settled ? "OLD" : "", voucherNo, settled);
        else
            db.Execute("INSERT INTO " + db.Table(table) +
                           " (id, 期別, 報價單號, 合約單號, 金額, 預付日, 送帳日, 發票號碼, "
                           "實收金, 實收日, 現金, 支票號碼, 收支單號, 處理) VALUES (?, ?, 'Q', "
                           "'K', ?, '2026-04-01', NULL, 'INV', ?, ?, ?, ?, ?, ?)",
                       id, period, amount, settled ? amount : "", day, settled,
                       settled ? "OLD" : "", voucherNo, settled);
    }

    static void voucher(const std::string& no, bool expense, int64_t amount, int state,
                        const std::string& projectNo = "P1", const std::string& project = "大樓",
                        const Date& day = Date::fromYmd(2026, 3, 15)) {
        AccDb().Execute(
            "INSERT INTO iof (輸入日期, 單號, 用途說明, 方式, 金額, 科目代號, pay, 科目名稱, "
            "專案號碼, 專案名稱, 工程種類, 發生日期, 申請人, 簽收, 附註一) VALUES (?, ?, "
            "'工程款', ?, ?, '4101', ?, '工程收入', ?, ?, '土木', ?, '王', '李', NULL)",
            day, no, state, amount, expense, projectNo, project, day);
    }

    static void cheque(const std::string& chequeNo, const std::string& voucherNo) {
        AccDb().Execute("INSERT INTO bill (票據號碼, 收支單號, 方式) VALUES (?, ?, 0)", chequeNo,
                        voucherNo);
    }

    // The settlement fields of every row of a schedule table, in order.
    Texts settlements(const std::string& table) {
        Database& db = AccDb();
        if (table.ends_with("期"))
            return rows(db,
                        "SELECT id, 期別, 預付金, 實收金, 實收日, 現金, 支票號碼, 收支單號, "
                        "處理 FROM " +
                            db.Table(table) + " ORDER BY id, 期別");
        return rows(db,
                    "SELECT id, 期別, 金額, 實收金, 實收日, 現金, 支票號碼, 收支單號, 處理 FROM " +
                        db.Table(table) + " ORDER BY id, 期別");
    }

    // The voucher form showing a signed voucher.
    VoucherFormStandIn& voucherForm(const std::string& no, const std::string& amount, bool cash,
                                    const std::string& day = "中華民國 115 年 03 月 15 日") {
        Forms::registerForm<VoucherFormStandIn>();
        auto& form = Forms::get<VoucherFormStandIn>();
        host.act([&] {
            form.txtCash.SetText(amount);
            form.lbHday.SetCaption(day);
            form.optA(cash ? 0 : 1).SetValue(true);
            form.lbNo.SetCaption(no);
        });
        return form;
    }
};

}  // namespace kiv::test
