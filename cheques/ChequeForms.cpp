#include "cheques/ChequeForms.h"

#include "cheques/frmBill.h"
#include "platform/forms/Forms.h"

namespace kiv {

void registerChequeForms() {
    Forms::registerForm<frmBill>();
}

}  // namespace kiv
