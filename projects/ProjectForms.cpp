#include "projects/ProjectForms.h"

#include "platform/forms/Forms.h"
#include "platform/forms/Host.h"
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

bool RefuseWhileContractFormOpen() {
    if (!Forms::find("frmRio")) return false;
    messageBox("請先關閉應收付帳款作業", 64, "Kiv");
    return true;
}

}  // namespace kiv
