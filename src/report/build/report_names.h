// Distinguished names and alternative names written into the report view.
#pragma once

#include "report/extensions/extension_record.h"
#include "report/names/name_list.h"
#include "report/view/report_view.h"

namespace velmora {

// One line per entry, from the last to the first (a name encoded country
// first reads from the common name down): the label and ": " in regular
// type, the value in bold, all in the given size. The ASFK title shows its
// label with the title OID, the combined identifiers their keys as names.
void ReportNameList(ReportView& view, const TDataOidsValue& list, int size);

// One line per alternative name (X.400 addresses and EDI party names none),
// in order, labels regular and values bold.
void ReportAltNames(ReportView& view, const TALTERNATE_NAMES& names, int size);

}  // namespace velmora
