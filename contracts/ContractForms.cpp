#include "contracts/ContractForms.h"

#include "contracts/frmMach.h"
#include "contracts/frmMchIo.h"
#include "contracts/frmRio.h"
#include "contracts/frmRioser.h"
#include "platform/forms/Forms.h"

namespace kiv {

void registerContractForms() {
    Forms::registerForm<frmRio>();
    Forms::registerForm<frmMach>();
    Forms::registerForm<frmMchIo>();
    Forms::registerForm<frmRioser>();
}

}  // namespace kiv
