#include "vouchers/VoucherForms.h"

#include "platform/forms/Forms.h"
#include "vouchers/frmIo.h"
#include "vouchers/frmIoAuto.h"
#include "vouchers/frmTag.h"

namespace kiv {

void registerVoucherForms() {
    Forms::registerForm<frmIo>();
    Forms::registerForm<frmIoAuto>();
    Forms::registerForm<frmTag>();
}

}  // namespace kiv
