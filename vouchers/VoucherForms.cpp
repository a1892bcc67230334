#include "vouchers/VoucherForms.h"

#include "platform/forms/Forms.h"
#include "vouchers/frmIo.h"

namespace kiv {

void registerVoucherForms() {
    Forms::registerForm<frmIo>();
}

}  // namespace kiv
