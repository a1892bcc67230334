#include "books/BookGrid.h"

#include <cctype>

#include "platform/db/Format.h"
#include "platform/forms/Host.h"
#include "shell/mdM.h"

namespace kiv {

std::string AmountText(int64_t amount) {
    return GroupThousands(std::to_string(amount));
}

int64_t AmountShown(const std::string& text) {
    std::string digits;
    for (char c : text)
        if (c != ',') digits += c;
    size_t at = 0;
    bool negative = at < digits.size() && digits[at] == '-';
    if (negative) ++at;
    int64_t amount = 0;
    for (; at < digits.size() && std::isdigit(static_cast<unsigned char>(digits[at])); ++at)
        amount = amount * 10 + (digits[at] - '0');
    return negative ? -amount : amount;
}

std::string ShownDay(const Date& day) {
    return Format(day, "gg ee/mm/dd");
}

std::string CompanyName() {
    Recordset company = PeopleDb().OpenRecordset("SELECT co_name FROM company");
    return company.Eof() ? "" : company.Fields("co_name").text();
}

HourglassPointer::HourglassPointer() {
    setMousePointer(Hourglass);
}

HourglassPointer::~HourglassPointer() {
    setMousePointer(0);
}

}  // namespace kiv
