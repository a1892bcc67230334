#pragma once

#include "platform/report/PageModel.h"
#include "platform/report/ReportData.h"
#include "platform/report/Template.h"

namespace kiv {

// Lays the bands out on pages: the header on top of every page, the detail band once per detail
// row, the summary band once per summary row, the footer once at the end. A band that does not
// fit below the last one starts a new page; a band is never split. Without rows the header and
// the footer still print.
PageModel layOut(const Template& report, const ReportData& data);

}  // namespace kiv
