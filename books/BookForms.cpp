#include "books/BookForms.h"

#include "books/frmFtr.h"
#include "books/frmTrans.h"
#include "platform/forms/Forms.h"

namespace kiv {

void registerBookForms() {
    Forms::registerForm<frmTrans>();
    Forms::registerForm<frmFtr>();
}

}  // namespace kiv
