#include "statistics/StatisticsForms.h"

#include "platform/forms/Forms.h"
#include "statistics/frmCash.h"
#include "statistics/frmLW.h"

namespace kiv {

void registerStatisticsForms() {
    Forms::registerForm<frmCash>();
    Forms::registerForm<frmLW>();
}

}  // namespace kiv
