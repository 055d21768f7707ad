// Arbitrary file bytes through the certificate loader's path and the report:
// armour or DER, the certificate context, the record, the report. Raised
// errors are expected for some inputs; anything else must not happen.
#include "crypto/platform/certs/cert_context.h"
#include "encoding/error.h"
#include "report/build/build_report.h"
#include "report/record/decode_record.h"
#include "report/record/file_armour.h"
#include "report/view/recording_view.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const velmora::ByteView bytes(data, size);
    const auto der = velmora::DerOfFileBytes(bytes);
    if (!der) {
        return 0;
    }
    const auto certificate = velmora::platform::CreateCertificateContext(*der);
    if (!certificate) {
        return 0;
    }
    velmora::TRCstruct record;
    velmora::RecordingView view;
    try {
        if (velmora::DecodeCertificate(record, certificate)) {
            velmora::BuildReport(record, view);
        }
    } catch (const velmora::Error&) {
    }
    return 0;
}
