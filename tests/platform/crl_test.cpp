#include "crypto/platform/certs/crl.h"

#include "crypto/platform/asn1/encode_der.h"
#include "crypto/platform/system/last_error.h"
#include "decode_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <span>

namespace velmora::platform {
namespace {

using testing::Hex;
using testing::ReadFixture;
using testing::UtcFileTime;

TEST(Crl, DecodesEveryPartOfAFullCrl) {
    const Bytes der = ReadFixture("crl-full.crl");
    CrlInfo info;
    ASSERT_TRUE(DecodeCrlInfo(der, info, true));
    EXPECT_EQ(GetLastError(), error::kSuccess);
    EXPECT_EQ(info.version, 1);
    EXPECT_EQ(info.thisUpdate, UtcFileTime(2024, 6, 1, 0, 0, 0));
    EXPECT_EQ(info.nextUpdate, UtcFileTime(2039, 6, 1, 0, 0, 0));
    ASSERT_FALSE(info.issuer.empty());
    EXPECT_EQ(info.issuer[0], 0x30);

    // CRL number 0x1F and the authority key identifier, in encoded order.
    ASSERT_EQ(info.extensions.size(), 2u);
    EXPECT_EQ(info.extensions[0].oid, "2.5.29.35");
    EXPECT_EQ(info.extensions[1].oid, "2.5.29.20");
    EXPECT_EQ(info.extensions[1].value, Hex("02 01 1F"));

    ASSERT_EQ(info.entryCount, 13u);
    ASSERT_EQ(info.entries.size(), 13u);
    const CrlEntryInfo& first = info.entries[0];
    // 02 0B 00 9C 4E ... 29, least significant byte first, sign byte kept.
    EXPECT_EQ(first.serialNumber, Hex("29 18 07 F6 D5 B3 17 2A 4E 9C 00"));
    EXPECT_EQ(first.revocationDate, UtcFileTime(2024, 5, 2, 10, 0, 0));
    ASSERT_EQ(first.extensions.size(), 2u);
    EXPECT_EQ(first.extensions[0].oid, "2.5.29.21");
    EXPECT_EQ(first.extensions[0].value, Hex("0A 01 01"));
    EXPECT_EQ(first.extensions[1].oid, "2.5.29.24");
    EXPECT_TRUE(info.entries[11].extensions.empty());  // 0B carries no extensions
    EXPECT_NE(FindExtension(info.entries[12].extensions, "2.5.29.24"), nullptr);
    EXPECT_EQ(FindExtension(info.entries[12].extensions, "2.5.29.21"), nullptr);

    // Without entries everything else is the same, and the entries are counted.
    CrlInfo header;
    ASSERT_TRUE(DecodeCrlInfo(der, header, false));
    EXPECT_TRUE(header.entries.empty());
    EXPECT_EQ(header.entryCount, 13u);
    EXPECT_EQ(header.issuer, info.issuer);
    EXPECT_EQ(header.extensions, info.extensions);
}

TEST(Crl, OptionalPartsMayBeMissing) {
    CrlInfo info;
    ASSERT_TRUE(DecodeCrlInfo(ReadFixture("crl-nonext.crl"), info, true));
    EXPECT_EQ(info.version, 0);
    EXPECT_EQ(info.nextUpdate, 0u);
    EXPECT_TRUE(info.extensions.empty());
    ASSERT_EQ(info.entries.size(), 2u);
    EXPECT_EQ(info.entries[1].revocationDate, UtcFileTime(2024, 5, 21, 10, 0, 0));

    ASSERT_TRUE(DecodeCrlInfo(ReadFixture("crl-empty.crl"), info, true));
    EXPECT_EQ(info.entryCount, 0u);
    EXPECT_TRUE(info.entries.empty());
    EXPECT_EQ(info.extensions.size(), 2u);
}

// The serial numbers agree with what the openssl command reads from each
// fixture.
TEST(Crl, AgreesWithOpenssl) {
    for (const char* name : {"crl-full.crl", "crl-empty.crl", "crl-nonext.crl", "crl-root.crl"}) {
        SCOPED_TRACE(name);
        const std::string text = testing::RunCommand("openssl crl -inform DER -noout -text -in '" +
                                                     testing::FixturePath(name).string() + "'");
        std::vector<std::string> expected;
        const std::regex serialLine("Serial Number: ([0-9A-F]+)");
        for (auto it = std::sregex_iterator(text.begin(), text.end(), serialLine);
             it != std::sregex_iterator(); ++it) {
            expected.push_back((*it)[1]);
        }
        std::vector<std::string> ours;
        CrlInfo info;
        ASSERT_TRUE(ForEachCrlEntry(ReadFixture(name), info, [&ours](const CrlEntryInfo& entry) {
            std::string hex;
            for (auto it = entry.serialNumber.rbegin(); it != entry.serialNumber.rend(); ++it) {
                char digits[3];
                std::snprintf(digits, sizeof digits, "%02X", *it);
                hex += digits;
            }
            // openssl shows the magnitude without the sign byte.
            if (hex.size() > 2 && hex.starts_with("00")) {
                hex.erase(0, 2);
            }
            ours.push_back(hex);
            return true;
        }));
        EXPECT_EQ(ours, expected);
        EXPECT_EQ(info.entryCount, expected.size());
    }
}

// Read a few bytes at a time, every fixture walks as it decodes from memory,
// and the fields before the entries are there when the first entry comes.
TEST(Crl, ChunkedReadingGivesTheSameWalk) {
    for (const char* name : {"crl-full.crl", "crl-empty.crl", "crl-nonext.crl", "crl-root.crl"}) {
        SCOPED_TRACE(name);
        const Bytes der = ReadFixture(name);
        CrlInfo whole;
        ASSERT_TRUE(DecodeCrlInfo(der, whole, true));
        for (const std::size_t chunk : {std::size_t{1}, std::size_t{7}, std::size_t{300}}) {
            std::size_t at = 0;
            const DerChunkSource source = [&](std::span<std::uint8_t> buffer) {
                const std::size_t n = std::min({chunk, buffer.size(), der.size() - at});
                std::copy_n(der.begin() + static_cast<std::ptrdiff_t>(at), n, buffer.begin());
                at += n;
                return n;
            };
            CrlInfo info;
            std::vector<CrlEntryInfo> entries;
            ASSERT_TRUE(ForEachCrlEntry(source, info, [&](const CrlEntryInfo& entry) {
                EXPECT_EQ(info.issuer, whole.issuer);
                EXPECT_EQ(info.thisUpdate, whole.thisUpdate);
                EXPECT_EQ(info.nextUpdate, whole.nextUpdate);
                entries.push_back(entry);
                return true;
            })) << chunk;
            EXPECT_EQ(info.entryCount, whole.entryCount);
            EXPECT_EQ(info.extensions, whole.extensions);
            ASSERT_EQ(entries.size(), whole.entries.size());
            for (std::size_t i = 0; i < entries.size(); ++i) {
                EXPECT_EQ(entries[i].serialNumber, whole.entries[i].serialNumber);
                EXPECT_EQ(entries[i].revocationDate, whole.entries[i].revocationDate);
                EXPECT_EQ(entries[i].extensions, whole.entries[i].extensions);
            }
        }
    }
}

// The DER length octets of a length, in the shortest form.
Bytes DerLength(std::size_t length) {
    if (length < 0x80) {
        return {static_cast<std::uint8_t>(length)};
    }
    Bytes octets;
    for (std::size_t rest = length; rest > 0; rest >>= 8) {
        octets.insert(octets.begin(), static_cast<std::uint8_t>(rest & 0xFF));
    }
    octets.insert(octets.begin(), static_cast<std::uint8_t>(0x80 | octets.size()));
    return octets;
}

// A CRL of 200,000 entries made up while it is read: the walk keeps no more
// than a chunk ahead of the entry it hands out, so memory does not grow with
// the CRL.
TEST(Crl, ReadsNoFurtherAheadThanAChunk) {
    constexpr std::size_t kEntries = 200000;
    const Bytes utc = Hex("17 0D 32 34 30 36 30 31 30 30 30 30 30 30 5A");
    Bytes entry = Hex("30 12 02 01 05");
    entry.insert(entry.end(), utc.begin(), utc.end());
    const Bytes alg = Hex("30 03 06 01 2A");
    Bytes head = Hex("02 01 01");
    head.insert(head.end(), alg.begin(), alg.end());
    head.insert(head.end(), {0x30, 0x00});
    head.insert(head.end(), utc.begin(), utc.end());
    const std::size_t listLength = kEntries * entry.size();
    Bytes listHeader = {0x30};
    const Bytes listLengthOctets = DerLength(listLength);
    listHeader.insert(listHeader.end(), listLengthOctets.begin(), listLengthOctets.end());
    const std::size_t tbsLength = head.size() + listHeader.size() + listLength;
    Bytes tail = alg;
    tail.insert(tail.end(), {0x03, 0x01, 0x00});
    const Bytes tbsLengthOctets = DerLength(tbsLength);
    const std::size_t outerLength = 1 + tbsLengthOctets.size() + tbsLength + tail.size();
    Bytes prefix = {0x30};
    const Bytes outerLengthOctets = DerLength(outerLength);
    prefix.insert(prefix.end(), outerLengthOctets.begin(), outerLengthOctets.end());
    prefix.push_back(0x30);
    prefix.insert(prefix.end(), tbsLengthOctets.begin(), tbsLengthOctets.end());
    prefix.insert(prefix.end(), head.begin(), head.end());
    prefix.insert(prefix.end(), listHeader.begin(), listHeader.end());
    const std::size_t total = prefix.size() + listLength + tail.size();

    std::size_t supplied = 0;
    const DerChunkSource source = [&](std::span<std::uint8_t> buffer) {
        std::size_t n = 0;
        for (; n < buffer.size() && supplied < total; ++n, ++supplied) {
            const std::size_t entries = supplied - prefix.size();
            buffer[n] = supplied < prefix.size()         ? prefix[supplied]
                        : supplied < total - tail.size() ? entry[entries % entry.size()]
                                                         : tail[supplied - (total - tail.size())];
        }
        return n;
    };
    CrlInfo info;
    std::size_t visited = 0;
    std::size_t furthest = 0;
    ASSERT_TRUE(ForEachCrlEntry(source, info, [&](const CrlEntryInfo&) {
        ++visited;
        const std::size_t consumed = prefix.size() + visited * entry.size();
        furthest = std::max(furthest, supplied - consumed);
        return true;
    }));
    EXPECT_EQ(info.entryCount, kEntries);
    EXPECT_EQ(supplied, total);
    EXPECT_LE(furthest, std::size_t{64 << 10});
}

TEST(Crl, VisitorKeepsNoEntriesAndMayStop) {
    const Bytes der = ReadFixture("crl-full.crl");
    CrlInfo info;
    int seen = 0;
    EXPECT_FALSE(ForEachCrlEntry(der, info, [&seen](const CrlEntryInfo&) { return ++seen < 3; }));
    EXPECT_EQ(seen, 3);
    EXPECT_EQ(GetLastError(), error::kCancelled);
    EXPECT_TRUE(info.entries.empty());
}

TEST(Crl, RejectsWhatIsNotExactlyOneDerCrl) {
    const Bytes der = ReadFixture("crl-full.crl");
    CrlInfo info;
    struct Case {
        const char* what;
        Bytes bytes;
        uint32_t error;
    };
    Bytes trailing = der;
    trailing.push_back(0x00);
    Bytes doubled = der;
    doubled.insert(doubled.end(), der.begin(), der.end());
    const std::vector<Case> cases = {
        {"nothing", {}, error::kAsn1Eod},
        {"PEM", ReadFixture("crl-full-pem.crl"), error::kAsn1BadTag},
        {"a certificate", ReadFixture("ee-256.cer"), error::kAsn1BadTag},
        {"a request", ReadFixture("req-full.req"), error::kAsn1BadTag},
        {"a byte after the CRL", trailing, error::kAsn1Corrupt},
        {"two CRLs", doubled, error::kAsn1Corrupt},
        {"cut in half", Bytes(der.begin(), der.begin() + static_cast<long>(der.size() / 2)),
         error::kAsn1Eod},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetLastError(error::kSuccess);
        EXPECT_FALSE(DecodeCrlInfo(c.bytes, info, true));
        EXPECT_EQ(GetLastError(), c.error);
    }

    // No cut of a CRL is a CRL.
    for (std::size_t size = 0; size < der.size(); ++size) {
        ASSERT_FALSE(DecodeCrlInfo(ByteView(der).first(size), info, true)) << size;
    }
}

// Hand-made CRLs: a minimal valid one, and one fault at a time.
TEST(Crl, ChecksEveryField) {
    // SEQUENCE { tbs, alg, sig } around a to-be-signed part.
    const auto Crl = [](const std::string& tbs) {
        return DerOf(0x30, {Der(0x30, Hex(tbs)), Hex("30 03 06 01 2A 03 01 00")});
    };
    const std::string alg = "30 03 06 01 2A";
    const std::string issuer = "30 00";
    const std::string utc = "17 0D 32 34 30 36 30 31 30 30 30 30 30 30 5A";  // 240601000000Z
    const std::string entry = "30 12 02 01 05" + std::string(" ") + utc;
    CrlInfo info;

    ASSERT_TRUE(DecodeCrlInfo(Crl("02 01 01 " + alg + issuer + utc), info, true));
    EXPECT_EQ(info.thisUpdate, UtcFileTime(2024, 6, 1, 0, 0, 0));
    EXPECT_EQ(info.nextUpdate, 0u);
    ASSERT_TRUE(DecodeCrlInfo(Crl(alg + issuer + utc + "30 14" + entry), info, true));
    ASSERT_EQ(info.entries.size(), 1u);
    EXPECT_EQ(info.entries[0].serialNumber, Hex("05"));
    // GeneralizedTime with an offset: 2024-06-01 03:00+0300 is midnight UTC.
    ASSERT_TRUE(DecodeCrlInfo(
        Crl(alg + issuer + "18 13 32 30 32 34 30 36 30 31 30 33 30 30 30 30 2B 30 33 30 30"), info,
        true));
    EXPECT_EQ(info.thisUpdate, UtcFileTime(2024, 6, 1, 0, 0, 0));

    struct Case {
        const char* what;
        std::string tbs;
        uint32_t error;
    };
    const std::string head = alg + issuer + utc;
    const Case cases[] = {
        {"version 3", "02 01 02 " + head, error::kAsn1BadTag},
        {"no signature algorithm", issuer + utc, error::kAsn1BadTag},
        {"no this-update", alg + issuer, error::kAsn1Eod},
        {"this-update not a time", alg + issuer + "04 01 00", error::kAsn1BadTag},
        {"30 February", alg + issuer + "17 0D 32 34 30 32 33 30 30 30 30 30 30 30 5A",
         error::kAsn1Corrupt},
        {"time without a zone", alg + issuer + "17 0C 32 34 30 36 30 31 30 30 30 30 30 30",
         error::kAsn1Corrupt},
        {"empty serial number", head + "30 13 30 11 02 00 " + utc, error::kAsn1Corrupt},
        {"entry without a date", head + "30 05 30 03 02 01 05", error::kAsn1Eod},
        {"entry with a stray field", head + "30 16 30 14 02 01 05 " + utc + " 05 00",
         error::kAsn1BadTag},
        {"entry length past the list", head + "30 14 30 20 02 01 05 " + utc, error::kAsn1Eod},
        {"extensions not a list", head + "A0 02 05 00", error::kAsn1BadTag},
        {"extension without a value", head + "A0 07 30 05 30 03 06 01 2A", error::kAsn1Eod},
        {"extension with a bad OID", head + "A0 0A 30 08 30 06 06 01 80 04 01 00",
         error::kAsn1Corrupt},
        {"something after the extensions", head + "A0 02 30 00 05 00", error::kAsn1BadTag},
        {"indefinite length", head + "30 80 00 00", error::kAsn1Corrupt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(DecodeCrlInfo(Crl(c.tbs), info, true));
        EXPECT_EQ(GetLastError(), c.error);
    }
}

}  // namespace
}  // namespace velmora::platform
