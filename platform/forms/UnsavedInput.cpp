#include "platform/forms/UnsavedInput.h"

#include "platform/forms/Forms.h"
#include "platform/forms/Host.h"

namespace kiv {

bool MayCloseForOtherAction(const std::string& formName) {
    Form* form = Forms::find(formName);
    if (!form || !form->HoldsUnsavedInput()) return true;
    messageBox("請先關閉" + form->WorkName() + "作業", 64, ApplicationTitle);
    return false;
}

bool UnloadUnlessUnsaved(const std::string& formName) {
    if (!MayCloseForOtherAction(formName)) return false;
    Forms::unloadByName(formName);
    return !Forms::find(formName);
}

}  // namespace kiv
