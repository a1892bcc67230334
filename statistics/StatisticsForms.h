#pragma once

namespace kiv {

// Makes the statistics forms known to the form registry by name.
void registerStatisticsForms();

}  // namespace kiv
