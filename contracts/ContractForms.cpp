#include "contracts/ContractForms.h"

#include "contracts/frmRio.h"
#include "contracts/frmRioser.h"
#include "platform/forms/Forms.h"

namespace kiv {

void registerContractForms() {
    Forms::registerForm<frmRio>();
    Forms::registerForm<frmRioser>();
}

}  // namespace kiv
