// A form's source as the shell and the subsystems write theirs. Reaching for a Qt widget from a
// form must not build: only the Qt host talks to Qt. Without REACH_FOR_QT it builds.

#include "shell/mdM.h"

#ifdef REACH_FOR_QT
#include <QWidget>
#endif

namespace kiv {

bool formLoads() {
    return DatabasesOpen();
}

}  // namespace kiv
