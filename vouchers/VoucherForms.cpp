#include "vouchers/VoucherForms.h"

#include "platform/forms/Forms.h"
#include "vouchers/frmAdAcc.h"
#include "vouchers/frmIo.h"
#include "vouchers/frmIoAuto.h"
#include "vouchers/frmSt.h"
#include "vouchers/frmTag.h"

namespace kiv {

void registerVoucherForms() {
    Forms::registerForm<frmIo>();
    Forms::registerForm<frmIoAuto>();
    Forms::registerForm<frmSt>();
    Forms::registerForm<frmAdAcc>();
    Forms::registerForm<frmTag>();
}

}  // namespace kiv
