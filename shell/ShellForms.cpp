#include "shell/ShellForms.h"

#include "platform/forms/Forms.h"
#include "shell/frmAccMain.h"
#include "shell/frmCom.h"
#include "shell/frmFirstStart.h"
#include "shell/frmLogin.h"
#include "shell/frmSec.h"
#include "shell/frmSta.h"

namespace kiv {

void registerShellForms() {
    Forms::registerForm<frmAccMain>();
    Forms::registerForm<frmLogin>();
    Forms::registerForm<frmFirstStart>();
    Forms::registerForm<frmCom>();
    Forms::registerForm<frmSta>();
    Forms::registerForm<frmSec>();
}

}  // namespace kiv
