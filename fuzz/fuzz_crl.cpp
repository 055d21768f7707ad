// Arbitrary bytes as a CRL file: decoding must return within the input, the
// entry walk must agree with the full decode, and every entry's texts (serial
// number, dates, reason, invalidity date) must be made without fault.
#include "crypto/platform/certs/crl.h"
#include "report/crl/crl_listing.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    const ByteView der(data, size);
    platform::CrlInfo full;
    const bool decoded = platform::DecodeCrlInfo(der, full, true);

    platform::CrlInfo walked;
    std::size_t visited = 0;
    const bool walkedOk =
        platform::ForEachCrlEntry(der, walked, [&](const platform::CrlEntryInfo& entry) {
            if (decoded && (visited >= full.entries.size() ||
                            entry.serialNumber != full.entries[visited].serialNumber ||
                            entry.extensions != full.entries[visited].extensions)) {
                std::abort();
            }
            ++visited;
            CrlEntryLine(CrlEntryOf(entry));
            return true;
        });
    if (walkedOk != decoded || (decoded && visited != full.entries.size())) {
        std::abort();
    }
    if (decoded) {
        TCRLstruct record;
        if (!DecodeCrlBytes(record, der, true) || record.entries.size() != full.entries.size()) {
            std::abort();
        }
    }
    return 0;
}
