#pragma once

namespace kiv {

// Adds the fields that files of older versions lack (the staff's rights, the contracts' discount
// mark), each filled with its start value, on the open databases. Each field is added and filled
// together or not at all; a failure is shown and the start goes on, trying again next time.
void UpgradeOlderFiles();

}  // namespace kiv
