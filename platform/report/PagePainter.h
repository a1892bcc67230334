#pragma once

#include <string>

#include "platform/report/PageModel.h"

class QPagedPaintDevice;
class QPageLayout;

namespace kiv {

// Fonts need a GUI application. The real program has its own; a headless run (the tests, the
// headless host) gets one on the offscreen platform, a widget application so that windows may
// still follow, kept to the end of the process because Qt does not take to being torn down
// among the static destructors.
void ensureApplication();

// The page of the model at its own size, without margins: the model places everything itself.
QPageLayout pageLayoutOf(const PageModel& model);

// Paints every page of the model onto a PDF writer or a printer set to pageLayoutOf(model).
// Text is set in the program's Chinese face (DefaultFontFamily).
void paintPages(const PageModel& model, QPagedPaintDevice& device);

// Writes the model into a PDF file with its fonts embedded; throws std::runtime_error when the
// file cannot be written.
void writePdf(const PageModel& model, const std::string& path);

}  // namespace kiv
