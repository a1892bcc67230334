#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/db/Database.h"
#include "platform/db/Date.h"
#include "platform/db/Value.h"

// The shared module: the three open databases, the login state, the values that forms hand to one
// another around a modal show, and the shared text, number and date functions.
namespace kiv {

// The three databases in the program's folder, opened once at start and kept for the whole run.
Database& AccDb();  // acc.mdb: the books
Database&
PeopleDb();           // zove3.mdb: staff, rights, customers, vendors, counties, work types, company
Database& PrintDb();  // pt.mdb: the tables that feed the printed reports
// Opens (creating when missing) acc.mdb, zove3.mdb and pt.mdb, in that order.
void OpenDatabases();
void CloseDatabases();
bool DatabasesOpen();

// Every shared value below is declared with its start value, which also registers how to put it
// back there: ResetSharedState restores each from its own declaration, so no second list exists
// to fall out of step with the first.
void addSharedReset(std::function<void()> reset);
template <class T, class Start>
T startsAt(T& value, const Start& start) {
    addSharedReset([&value, start] { value = T(start); });
    return T(start);
}

// Login state.
inline bool LoggedIn = startsAt(LoggedIn, false);
inline int32_t UserRights = startsAt(UserRights, 0);
// The super user's name, who holds every right.
inline constexpr const char* SuperUserName = "wren";
// The voucher form is loaded.
inline bool VoucherFormOpen = startsAt(VoucherFormOpen, false);

// Hand-over values, written by one form right before it shows another modally (or by the shown
// form before it closes) and read by the other side.
inline bool BillEntryCancelled = startsAt(BillEntryCancelled, false);
inline bool BillForVoucher = startsAt(BillForVoucher, false);
inline bool BillForCombinedCheque = startsAt(BillForCombinedCheque, false);
inline std::string CombinedFirstVoucherNo = startsAt(CombinedFirstVoucherNo, "");
inline int64_t CombinedChequeTotal = startsAt(CombinedChequeTotal, 0);
inline bool ShowOneRecord = startsAt(ShowOneRecord, false);
inline std::string OpenVoucherNo = startsAt(OpenVoucherNo, "");
inline std::string ChequeVoucherNo = startsAt(ChequeVoucherNo, "");
inline bool AutoVoucherFromCashing = startsAt(AutoVoucherFromCashing, false);
inline std::string CashingVoucherNo = startsAt(CashingVoucherNo, "");
inline bool TransferToCash = startsAt(TransferToCash, false);
inline bool TransferToChequeAccount = startsAt(TransferToChequeAccount, false);
inline std::string AutoVoucherNo = startsAt(AutoVoucherNo, "");
inline bool SettleReceivable = startsAt(SettleReceivable, false);
inline std::string SettleAmount = startsAt(SettleAmount, "");
inline bool SettleIsInstalment = startsAt(SettleIsInstalment, false);
inline int SettlePeriod = startsAt(SettlePeriod, 0);
inline int PickedProjectRow = startsAt(PickedProjectRow, 0);
inline std::string PickedContractNo = startsAt(PickedContractNo, "");
inline bool OpenContractMode = startsAt(OpenContractMode, false);
inline std::string OpenContractNo = startsAt(OpenContractNo, "");
inline bool OpenContractIsReceivable = startsAt(OpenContractIsReceivable, false);
inline bool ProjectReportMode = startsAt(ProjectReportMode, false);

// Values private to one form, kept here so that they outlive it.
inline std::string LastSearchText = startsAt(LastSearchText, "");
inline int VoucherListMode = startsAt(VoucherListMode, 0);

// Sets a hand-over value for the length of a modal show (or any other scope) and puts back what
// it held on every way out, an error included.
template <class T>
class HandOver {
  public:
    HandOver(T& value, T during)
        : value_(value), before_(std::exchange(value, std::move(during))) {}
    ~HandOver() { value_ = std::move(before_); }
    HandOver(const HandOver&) = delete;
    HandOver& operator=(const HandOver&) = delete;

  private:
    T& value_;
    T before_;
};

// Every shared value back to the start its declaration gives (the tests begin every case from a
// fresh start).
void ResetSharedState();

// The 22 rights; right k is bit k − 1 of UserRights and character k of RightsToBitString.
enum Right {
    RightVoucherEdit = 1,
    RightVoucherQuery,
    RightVoucherSignOff,
    RightVoucherSettle,
    RightBillQuery,
    RightBillReminder,
    RightBillProcess,
    RightBillBrowse,
    RightProjectEdit,
    RightProjectReport,
    RightStatisticsAll,
    RightStatisticsSingle,
    RightContracts,
    RightWordLists,
    RightFundForecast,
    RightProfitLoss,
    RightRightsSetup,
    RightStaffMenu,
    RightCompany,
    RightTransfers,
    RightStaffEdit,
    RightStaffQuery,
};
inline constexpr int32_t AllRights = 0x3FFFFF;

// The rights as "0"/"1" characters, least significant bit first, padded to 22 characters and
// never cut (2^22 gives 23 characters).
std::string RightsToBitString(int32_t n);
// Characters `first`..`last` (1-based) of the rights text of UserRights.
std::string RightsOf(int first, int last);
bool HasRight(int right);

// A whole amount in Chinese capital numerals (壹貳參…, 拾佰仟萬億), without "元整". Separators
// in the argument are skipped.
std::string AmountInChineseNumerals(std::string_view amount);
// Digits grouped by "," in threes ("1234567" gives "1,234,567"); a minus sign stays in front.
std::string GroupThousands(std::string_view digits);
int DaysInMonth(const Date& d);
// The number of the cheque paying a voucher: its own, else its combined cheque's; "" when none.
std::string ChequeNumberForVoucher(const std::string& voucherNo);
// The stroke count of a Chinese character as two digits "01".."30", or "33" for more strokes;
// "01" for what is no Chinese character.
std::string StrokeCode(std::string_view character);
// Waits until strictly more than `seconds` have passed, letting events run meanwhile.
void Pause(double seconds);
std::string TextBeforeSemicolon(std::string_view s);
std::string TextAfterSemicolon(std::string_view s);
std::string SemicolonsToBlanks(std::string_view s);
// The text before (takeLeft) or after the first `delimiter` (found without regard to case); the
// whole text when there is none.
std::string SplitAtDelimiter(std::string_view s, std::string_view delimiter, bool takeLeft);

// Dates as the forms show them: "gg ee 年 mm 月 dd 日" in single-record forms, "ee/mm/dd" in grid
// cells.
std::string LongRocDate(const Date& d);
std::string GridRocDate(const Date& d);

// The company's name as its data form keeps it (the titles of the workbooks); "" before it is
// entered.
std::string CompanyName();

// The next document number of today: the ROC date "eemmdd" followed by a serial of `digits`
// digits, one more than the largest number of that day in `table`.`field`; the day's first ends
// in "001" (or "01"). nullopt when the day's serials are used up.
std::optional<std::string> DailySerialNumber(Database& db, const std::string& table,
                                             const std::string& field, int digits);

}  // namespace kiv
