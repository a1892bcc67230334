#pragma once

namespace kiv {

// Sends every report from now on to Qt's print preview window, where the user zooms, pages
// through, chooses the printer and prints. The real program calls it at start, once its
// QApplication exists.
void installPrintPreview();

}  // namespace kiv
