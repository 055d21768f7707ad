// A request (or certificate) spread over the form, so that it can be made
// again with the same or edited content.
#pragma once

#include "app/request/request_form.h"
#include "report/record/record.h"

namespace velmora {

// The edit fields, the four grids (headers set, one row per entry) and the
// two key-usage check lists from the decoded record. The include check boxes,
// avtoSet, addContName, the provider and e_SrEP are left as they are. A check
// list whose extension the record lacks is left without items.
void FillFormFromRecord(RequestForm& form, const TRCstruct& record);

// What a form standing on its own (a form file) needs besides: each include
// check box set by whether the record has its extension, and CB_S_EP with
// e_SrEP from the signature-tool extension.
void IncludeRecordExtensions(RequestForm& form, const TRCstruct& record);

}  // namespace velmora
