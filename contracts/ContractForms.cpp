#include "contracts/ContractForms.h"

#include "contracts/frmRio.h"
#include "platform/forms/Forms.h"

namespace kiv {

void registerContractForms() {
    Forms::registerForm<frmRio>();
}

}  // namespace kiv
