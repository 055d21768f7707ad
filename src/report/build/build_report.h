// The Russian report of a decoded request or certificate.
#pragma once

#include "report/record/record.h"
#include "report/view/report_view.h"

namespace velmora {

// Writes the report of the record into the view, below whatever it holds,
// and scrolls the view to its top.
void BuildReport(const TRCstruct& record, ReportView& view);

// The lines of one decoded extension, below its numbered heading.
void ReportExtension(ReportView& view, const TCERT_EXTENSION_STR& extension);

}  // namespace velmora
