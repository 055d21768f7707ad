// Arbitrary file bytes through the request decoder and the report.
#include "encoding/error.h"
#include "report/build/build_report.h"
#include "report/record/decode_record.h"
#include "report/view/recording_view.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    velmora::TRCstruct record;
    velmora::RecordingView view;
    try {
        if (velmora::DecodeRequest(record, velmora::ByteView(data, size))) {
            velmora::BuildReport(record, view);
        }
    } catch (const velmora::Error&) {
    }
    return 0;
}
