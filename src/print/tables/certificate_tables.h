// The four tables the spreadsheet forms of a certificate are filled from:
// "tabOD" (one record: the certificate's fields), "OblIsp" (one record per
// extended key usage), "klass_sredstv_UC" and "klass_sredstv_EP" (one record
// per certificate policy each).
#pragma once

#include "print/tables/data_table.h"
#include "report/record/record.h"

#include <string_view>

namespace velmora::print {

inline constexpr std::string_view kTabOD = "tabOD";
inline constexpr std::string_view kOblIsp = "OblIsp";
inline constexpr std::string_view kKlassSredstvUC = "klass_sredstv_UC";
inline constexpr std::string_view kKlassSredstvEP = "klass_sredstv_EP";

// The four tables with their columns and no records.
TableSet MakeCertificateTables();

// Empties the four tables and fills them from the record. The usage and
// policy tables get records only from a certificate; any other record (the
// empty one left by a file that did not load) fills "tabOD" alone.
void FillCertificateTables(TableSet& tables, const TRCstruct& record);

}  // namespace velmora::print
