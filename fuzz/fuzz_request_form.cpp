// Arbitrary bytes as a request form file: whatever reads is written back and
// reads again to the same form.
#include "app/request/request_form_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    velmora::MemoryRequestGrids grids;
    velmora::RequestForm form(grids.Grids());
    form.providers = {"[75] Crypto-Pro GOST R 34.10-2001 Cryptographic Service Provider",
                      "[80] Crypto-Pro GOST R 34.10-2012 Cryptographic Service Provider"};
    std::string error;
    if (!velmora::ReadFormText(velmora::ByteView(data, size), form, error)) {
        Check(!error.empty());
        return 0;
    }
    const std::string text = velmora::WriteFormText(form);
    velmora::MemoryRequestGrids other_grids;
    velmora::RequestForm other(other_grids.Grids());
    other.providers = form.providers;
    const velmora::ByteView bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    Check(velmora::ReadFormText(bytes, other, error));
    Check(velmora::WriteFormText(other) == text);
    return 0;
}
