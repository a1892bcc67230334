#pragma once

#include <string>

namespace kiv {

// One rule for every form that closes another (a list opening a voucher afresh, a transfer that
// has written vouchers): a form holding unsaved input is never closed by another form's action.

// True when the named form is not loaded or holds nothing unsaved. Otherwise the user reads
// "請先關閉<work>作業" and false is returned, so that the caller refuses its action before doing
// anything.
bool MayCloseForOtherAction(const std::string& formName);

// Unloads the named form, unless it holds unsaved input: then it stays as it is, the user reads
// the refusal above and false is returned. True when the form is no longer loaded.
bool UnloadUnlessUnsaved(const std::string& formName);

}  // namespace kiv
