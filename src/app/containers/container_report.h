// The container manager's "Показать": the key information of the selected
// container in the report view, then the report of its certificate.
#pragma once

#include "report/record/record.h"
#include "report/view/dialogs.h"
#include "report/view/report_view.h"

namespace velmora {

// Empties the view and the record, then writes the container's key lines and,
// when `certificate_present` (the container list's "Да"), the report of the
// certificate the record was filled from; otherwise the line saying there is none.
void ShowContainerInformation(ReportView& view, TRCstruct& record, const ContainerChoice& container,
                              bool certificate_present, Dialogs& dialogs);

}  // namespace velmora
