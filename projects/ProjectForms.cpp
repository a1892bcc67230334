#include "projects/ProjectForms.h"

#include "platform/forms/Forms.h"
#include "projects/frmEm.h"
#include "projects/frmGtPj.h"
#include "projects/frmPj.h"
#include "projects/frmPjVSrIO.h"

namespace kiv {

void registerProjectForms() {
    Forms::registerForm<frmPj>();
    Forms::registerForm<frmEm>();
    Forms::registerForm<frmGtPj>();
    Forms::registerForm<frmPjVSrIO>();
}

}  // namespace kiv
