#pragma once

namespace kiv {

// Makes the voucher forms known to the form registry by name.
void registerVoucherForms();

}  // namespace kiv
