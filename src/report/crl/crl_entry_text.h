// Texts of CRL entries: the Russian names of revocation reasons and the texts
// of the two entry extensions the listing shows.
#pragma once

#include "crypto/platform/certs/crl.h"
#include "crypto/platform/certs/extension.h"
#include "report/text/value_text.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

// The Russian name of a revocation reason code; 7 (unused by the standard)
// and any code outside the standard's list give "Неизвестный код".
std::string CrlReasonName(std::int64_t code);

// The reason of an entry (extension 2.5.29.21): its name, a blank and the
// code in parentheses ("Сертификат заменен (4)"); empty when the entry has
// no reason code or it cannot be decoded.
std::string CrlReasonText(const std::vector<platform::Extension>& extensions);

// The invalidity date of an entry (extension 2.5.29.24) as local time
// "dd.mm.yyyy hh:mm:ss"; empty when the entry has none or it cannot be
// decoded.
std::string InvalidityDateText(const std::vector<platform::Extension>& extensions);

// Writes the listing lines of a CRL's entries, in Windows-1251, exactly as
// the entry line of the texts of each (CrlEntryLine of CrlEntryOf) reads
// once converted, but straight into one buffer: no texts per entry, the
// reason names converted once, the local time taken once per day.
class CrlEntryLineWriter {
  public:
    CrlEntryLineWriter();

    // Appends the line of the entry (without its line end) to line.
    void Append(const platform::CrlEntryInfo& entry, std::string& line);

  private:
    std::array<std::string, 11> reasons_;  // "name (code)" for the codes 0 to 10
    std::string unknownReason_;            // the name of any other code
    LocalTimeTexts times_;
};

}  // namespace velmora
