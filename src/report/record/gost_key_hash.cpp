#include "report/record/gost_key_hash.h"

#include "crypto/platform/system/gost_engine.h"
#include "crypto/platform/system/hash.h"
#include "crypto/platform/system/system_info.h"
#include "encoding/error.h"
#include "report/text/value_text.h"

namespace velmora {

std::string GostPublicKeyHash(ByteView bytes) {
    if (!platform::StartGostEngine()) {
        throw Error("CryptAcquireContext: " + platform::LastErrorText());
    }
    std::optional<platform::HashObject> hash =
        platform::HashObject::Create(platform::HashAlgorithm::kGost94);
    if (!hash) {
        throw Error("Ошибка создания хеш-объекта: " + platform::LastErrorText());
    }
    if (!hash->Update(bytes)) {
        throw Error("Ошибка при хешировании: " + platform::LastErrorText());
    }
    const std::optional<Bytes> value = hash->Finish();
    if (!value) {
        throw Error("Ошибка при хешировании");
    }
    return HexDumpText(*value);
}

}  // namespace velmora
