#include "crypto/platform/asn1/der_reader.h"
#include "platform/decode_test_util.h"

#include <gtest/gtest.h>

namespace velmora::platform {
namespace {

using testing::Hex;

TEST(DerReader, WalksElementsInOrder) {
    const Bytes der = Hex("30 06 02 01 05 04 01 AA 05 00");
    DerReader reader(der);
    DerElement sequence;
    ASSERT_TRUE(reader.Read(der::kSequence, sequence));
    EXPECT_EQ(sequence.encoded.size(), 8u);
    EXPECT_EQ(reader.PeekTag(), der::kNull);

    DerReader inner(sequence.content);
    DerElement element;
    EXPECT_FALSE(inner.ReadOptional(der::kOctetString, element));  // an INTEGER comes first
    EXPECT_FALSE(inner.Failed());
    ASSERT_TRUE(inner.Read(der::kInteger, element));
    EXPECT_EQ(element.content.size(), 1u);
    EXPECT_EQ(element.content[0], 5);
    ASSERT_TRUE(inner.ReadOptional(der::kOctetString, element));
    EXPECT_EQ(element.content[0], 0xAA);
    EXPECT_TRUE(inner.AtEnd());
    EXPECT_FALSE(inner.ReadOptional(der::kOctetString, element));
    EXPECT_FALSE(inner.Failed());

    ASSERT_TRUE(reader.Next(element));
    EXPECT_EQ(element.tag, der::kNull);
    EXPECT_TRUE(element.content.empty());
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_FALSE(reader.Next(element));

    // The shortest long forms: one and two length bytes.
    for (const std::size_t length : {0x80u, 0x100u}) {
        Bytes long_form = length == 0x80 ? Hex("04 81 80") : Hex("04 82 01 00");
        long_form.resize(long_form.size() + length, 0x11);
        ASSERT_TRUE(ReadSingleDer(long_form, der::kOctetString, element)) << length;
        EXPECT_EQ(element.content.size(), length);
    }
}

TEST(DerReader, RejectsMalformedElements) {
    struct Case {
        const char* what;
        const char* hex;
        DerFault fault;
    };
    const Case cases[] = {
        {"identifier alone", "04", DerFault::Truncated},
        {"content runs past the input", "04 03 01 02", DerFault::Truncated},
        {"length bytes run past the input", "04 82 01", DerFault::Truncated},
        {"indefinite length", "30 80 00 00", DerFault::Malformed},
        {"long form used for a short length", "04 81 05 01 02 03 04 05", DerFault::Malformed},
        {"length with a leading zero byte", "04 82 00 85", DerFault::Malformed},
        {"nine length bytes", "04 89 01 00 00 00 00 00 00 00 00", DerFault::Malformed},
        {"huge length", "04 88 7F FF FF FF FF FF FF FF", DerFault::Truncated},
        {"multi-byte identifier", "1F 81 00 00", DerFault::Malformed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Bytes der = Hex(c.hex);
        DerReader reader(der);
        DerElement element;
        EXPECT_FALSE(reader.Next(element));
        EXPECT_EQ(reader.Fault(), c.fault);
        // A failed reader stays failed.
        EXPECT_FALSE(reader.Next(element));
        EXPECT_TRUE(reader.Failed());
    }
}

TEST(DerReader, RequiredElementsAndLeftovers) {
    const Bytes der = Hex("02 01 01 02 01 02");
    DerElement element;
    DerReader wrongTag(der);
    EXPECT_FALSE(wrongTag.Read(der::kSequence, element));
    EXPECT_EQ(wrongTag.Fault(), DerFault::BadTag);

    DerReader missing(Hex(""));
    EXPECT_FALSE(missing.Read(der::kInteger, element));
    EXPECT_EQ(missing.Fault(), DerFault::Truncated);

    EXPECT_FALSE(ReadSingleDer(der, der::kInteger, element));  // a second element follows
    EXPECT_TRUE(ReadSingleDer(ByteView(der).first(3), der::kInteger, element));
}

}  // namespace
}  // namespace velmora::platform
