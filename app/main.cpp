#include "books/BookForms.h"
#include "cheques/ChequeForms.h"
#include "contracts/ContractForms.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Host.h"
#include "platform/qt/QtProgram.h"
#include "platform/report/PrintPreview.h"
#include "projects/ProjectForms.h"
#include "shell/ShellForms.h"
#include "shell/frmAccMain.h"
#include "shell/mdM.h"
#include "statistics/StatisticsForms.h"
#include "vouchers/VoucherForms.h"

// The program starts as the launcher bar; its Load opens the three databases in the program's
// folder, creating any that is missing.
int main(int argc, char** argv) {
    return kiv::runQtProgram(argc, argv, [] {
        kiv::installPrintPreview();
        kiv::registerShellForms();
        kiv::registerVoucherForms();
        kiv::registerChequeForms();
        kiv::registerProjectForms();
        kiv::registerBookForms();
        kiv::registerStatisticsForms();
        kiv::registerContractForms();
        kiv::onProgramEnd(kiv::CloseDatabases);
        kiv::Forms::get<kiv::frmAccMain>().Show();
    });
}
