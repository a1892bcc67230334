#pragma once

#include <string>

#include "platform/report/PageModel.h"

class QPagedPaintDevice;
class QPageLayout;

namespace kiv {

// The page of the model at its own size, without margins: the model places everything itself.
QPageLayout pageLayoutOf(const PageModel& model);

// Paints every page of the model onto a PDF writer or a printer set to pageLayoutOf(model).
// Text is set in Noto Sans CJK TC.
void paintPages(const PageModel& model, QPagedPaintDevice& device);

// Writes the model into a PDF file with its fonts embedded; throws std::runtime_error when the
// file cannot be written.
void writePdf(const PageModel& model, const std::string& path);

}  // namespace kiv
