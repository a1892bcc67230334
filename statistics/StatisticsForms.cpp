#include "statistics/StatisticsForms.h"

#include "platform/forms/Forms.h"
#include "statistics/frmCash.h"

namespace kiv {

void registerStatisticsForms() {
    Forms::registerForm<frmCash>();
}

}  // namespace kiv
