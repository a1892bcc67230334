#include "cheques/ChequeForms.h"

#include "cheques/frmArm.h"
#include "cheques/frmBB.h"
#include "cheques/frmBill.h"
#include "platform/forms/Forms.h"

namespace kiv {

void registerChequeForms() {
    Forms::registerForm<frmBill>();
    Forms::registerForm<frmArm>();
    Forms::registerForm<frmBB>();
}

}  // namespace kiv
