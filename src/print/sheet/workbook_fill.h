// Filling a workbook template from named tables: every "<#table.column>"
// in a cell, header or footer gets its value, and the rows of a defined name
// called after a table (or "__table__") are repeated once per record of the
// table, everything below them moving down.
#pragma once

#include "print/package/zip_package.h"
#include "print/tables/data_table.h"

#include <string>

namespace velmora::print {

// Fills the workbook whose main part is given, replacing the parts it
// changes; every other part stays as it was. Raises Error, naming the
// template, for a template it cannot fill.
void FillWorkbook(Package& package, const std::string& mainPart, const TableSet& tables);

}  // namespace velmora::print
