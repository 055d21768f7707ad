// Damaged requests and certificates: every fixture cut short and with bits
// flipped, decoded and reported. Nothing may crash or read out of bounds
// (the sanitizer build checks the latter); a raised error is a fine answer.

#include "encoding/error.h"
#include "report/build/build_report.h"
#include "report/extensions/decode_extensions.h"
#include "report/view/recording_view.h"

#include "fixture_files.h"

#include "support/lcg.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>

namespace velmora {
namespace {

using testing::Lcg;

// Decodes and reports the bytes; true when a report was written.
bool DecodeAndReport(ByteView bytes, bool request) {
    TRCstruct record;
    RecordingView view;
    try {
        if (request) {
            if (!DecodeRequest(record, bytes)) {
                return false;
            }
        } else {
            const platform::CertContext certificate = platform::CreateCertificateContext(bytes);
            if (certificate == nullptr || !DecodeCertificate(record, certificate)) {
                return false;
            }
        }
    } catch (const Error&) {
        return false;
    }
    BuildReport(record, view);
    return !view.Lines().empty();
}

// The distinct DER objects among the fixtures (their armoured forms hold the
// same bytes), with whether each is a request.
std::vector<std::pair<Bytes, bool>> DistinctObjects() {
    std::vector<std::pair<Bytes, bool>> objects;
    std::set<Bytes> seen;
    for (const auto& fixture : testing::ReportFixtures()) {
        std::optional<Bytes> der = DerOfFileBytes(testing::ReadFileBytes(fixture));
        if (der && seen.insert(*der).second) {
            objects.emplace_back(std::move(*der), testing::IsRequestFixture(fixture));
        }
    }
    return objects;
}

TEST(Robustness, CutAndFlippedObjectsDecodeOrFailCleanly) {
    testing::UseMoscowTime();
    const auto objects = DistinctObjects();
    ASSERT_GE(objects.size(), 10u);
    Lcg random(20240315);
    int variants = 0;
    int reported = 0;
    for (const auto& [der, request] : objects) {
        // Cut at 60 places spread over the whole length.
        for (std::size_t k = 0; k < 60; ++k) {
            const std::size_t length = der.size() * k / 60;
            reported += DecodeAndReport(ByteView(der).first(length), request);
            ++variants;
        }
        // One to three flipped bits at a time.
        for (int k = 0; k < 150; ++k) {
            Bytes damaged = der;
            for (std::uint32_t flips = 1 + random.Next() % 3; flips > 0; --flips) {
                damaged[random.Next() % damaged.size()] ^= 1u << (random.Next() % 8);
            }
            reported += DecodeAndReport(damaged, request);
            ++variants;
        }
    }
    EXPECT_GE(variants, 2000);
    // Flips in signatures, keys and values leave the object readable: many
    // variants must reach the report, or the test proves little.
    EXPECT_GT(reported, variants / 4);
}

TEST(Robustness, DamagedExtensionValuesStillGiveARecordAndItsLines) {
    testing::UseMoscowTime();
    Lcg random(7);
    int extensions = 0;
    for (const auto& fixture : testing::ReportFixtures()) {
        if (testing::IsRequestFixture(fixture)) {
            continue;
        }
        const platform::CertContext certificate = testing::LoadCertificateFixture(fixture);
        ASSERT_NE(certificate, nullptr);
        for (const platform::Extension& extension : certificate->Info().extensions) {
            ++extensions;
            for (std::size_t length = 0; length <= extension.value.size(); ++length) {
                platform::Extension cut = extension;
                cut.value.resize(length);
                RecordingView view;
                ReportExtension(view, DecodeExtension(cut));
            }
            for (int k = 0; k < 40 && !extension.value.empty(); ++k) {
                platform::Extension flipped = extension;
                flipped.value[random.Next() % flipped.value.size()] ^= 1u << (random.Next() % 8);
                const TCERT_EXTENSION_STR record = DecodeExtension(flipped);
                EXPECT_EQ(record.Oid, extension.oid);
                RecordingView view;
                ReportExtension(view, record);
            }
        }
    }
    EXPECT_GT(extensions, 40);
}

}  // namespace
}  // namespace velmora
