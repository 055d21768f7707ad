// The request form as a plain UTF-8 text, one control per line, so that
// requests can be prepared by scripts (for example from a spreadsheet):
//
//   # a comment; empty lines are skipped
//   e_CN=Иванов Иван Иванович          an edit or memo field
//   CB_KEY_USAGE=1                     a check box: 1 or 0
//   SetCsp=[80] Crypto-Pro GOST R ...  the provider entry
//   KeyUse=Цифровая подпись|Неотрекаемость   the checked items of a check list
//   SUB_RDN=2.5.4.3|Иванов Иван Иванович|Обобщённое имя   one grid row per line
//
// The name is a control's name; the value is everything after the first
// "=". In values "\\" stands for a backslash, "\n" for a line break (the
// organisation memo), "\r" for a carriage return and "\|" for a "|" inside a
// grid cell or check-list item. A file that is not valid UTF-8 is read as
// Windows-1251.
#pragma once

#include "app/request/request_form.h"
#include "encoding/bytes.h"

#include <string>

namespace velmora {

// The form's text: every edit, memo and check box in the window's order,
// the provider, both check lists, then the rows of the four grids.
std::string WriteFormText(const RequestForm& form);

// Fills the form from a form text: the grids are emptied first and get the
// rows given, fields not named keep their values. The provider must be one
// of form.providers. False with a Russian message ("строка N: ...") for a
// text that does not fit the form; the form may then be partly filled.
bool ReadFormText(ByteView text, RequestForm& form, std::string& error);

}  // namespace velmora
