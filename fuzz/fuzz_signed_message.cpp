// Arbitrary bytes as a signature file: decoding (DER, BER, base64, PEM), the
// signers' information, verification of every signer attached and against a
// detached content, co-signing's re-encoding, and the content. Nothing may
// crash, hang or read outside the input.
#include "crypto/platform/messages/crypt_message.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    using namespace velmora::platform;
    const ByteView bytes(data, size);
    const std::uint8_t content_bytes[] = "Тестовые данные";
    for (const bool detached : {false, true}) {
        auto message = MsgOpenToDecode(kMsgEncoding, detached ? kCmsgDetachedFlag : 0);
        if (!message || !MsgUpdate(*message, bytes)) {
            continue;
        }
        MemorySource content(ByteView(content_bytes, sizeof content_bytes - 1));
        if (detached && !MsgUpdateContent(*message, content)) {
            std::abort();
        }
        const std::uint32_t count = MsgSignerCount(*message).value_or(0);
        if (static_cast<int>(count) != GetMessageSignerCount(kMsgEncoding, bytes)) {
            std::abort();
        }
        for (std::uint32_t i = 0; i < count && i < 16; ++i) {
            if (const auto info = MsgSignerInfo(*message, i)) {
                SignerSigningTime(*info);
            }
            MsgVerifySigner(*message, i);
        }
        if (const auto encoded = MsgEncoded(*message)) {
            // What was written decodes again with the same signers.
            auto again = MsgOpenToDecode(kMsgEncoding, 0);
            if (!MsgUpdate(*again, *encoded) || MsgSignerCount(*again) != count) {
                std::abort();
            }
        }
        MsgContent(*message, [](ByteView) { return true; });
    }
    return 0;
}
