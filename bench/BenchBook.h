#pragma once

#include <string>

#include "platform/db/Date.h"

namespace kiv::bench {

// The generated book: ten years of vouchers, about 274 a day, every tenth paid by cheque and the
// rest posted to the cash book.
inline constexpr int bookVouchers = 1'000'000;
inline constexpr int bookChequeEvery = 10;
inline const Date bookFirstDay = Date::fromYmd(2016, 1, 1);
inline const Date bookLastDay = Date::fromYmd(2025, 12, 31);

// The path of the book's acc.mdb in the build folder, generating it when it is missing (this
// takes a while once; later runs reuse it).
std::string benchBook();

}  // namespace kiv::bench
