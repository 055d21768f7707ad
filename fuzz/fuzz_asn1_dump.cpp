// Arbitrary bytes as an extension value for the ASN.1 dump: it must return,
// within the input, with every line valid UTF-8.
#include "encoding/asn1/asn1_dump.h"
#include "encoding/utf8.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const std::string& line : velmora::DumpAsn1(velmora::ByteView(data, size))) {
        if (!velmora::IsValidUtf8(line)) {
            std::abort();
        }
    }
    return 0;
}
