#include "platform/forms/SaveConflict.h"

#include "platform/db/Errors.h"
#include "platform/forms/Host.h"

namespace kiv {

bool SaveUnlessChanged(const std::function<void()>& save) {
    try {
        save();
        return true;
    } catch (const UpdateConflict& conflict) {
        messageBox(conflict.what(), 48, ApplicationTitle);
        return false;
    }
}

}  // namespace kiv
