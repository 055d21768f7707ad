#include "crypto/platform/certs/crl.h"

#include "crypto/platform/asn1/decode_values.h"
#include "crypto/platform/asn1/der_reader.h"
#include "crypto/platform/asn1/der_stream.h"
#include "crypto/platform/asn1/der_value_rules.h"
#include "crypto/platform/system/last_error.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

namespace velmora::platform {
namespace {

class CrlWalk {
  public:
    CrlWalk(CrlInfo& info, bool keepEntries, const CrlEntryVisitor* visit)
        : info_(info), keepEntries_(keepEntries), visit_(visit) {}

    bool Run(DerStream& stream);

  private:
    // The next element whole, which must carry the identifier.
    bool Read(DerStream& stream, std::uint64_t limit, std::uint8_t tag, DerElement& element);
    // An AlgorithmIdentifier, checked and skipped.
    bool Algorithm(DerStream& stream, std::uint64_t limit);
    bool Entries(DerStream& stream, std::uint64_t end);
    bool Entry(ByteView content, CrlEntryInfo& entry);
    bool Extensions(ByteView content, std::vector<Extension>& extensions);
    bool Time(DerReader& reader, FileTime& fileTime);
    bool Time(const DerElement& element, FileTime& fileTime);
    bool OidText(ByteView content, std::string& text);

    // Ends the walk with the reader's fault as the last error.
    bool Fault(const DerReader& reader) { return Fault(reader.Fault()); }
    bool Fault(const DerStream& stream) { return Fault(stream.Fault()); }
    bool Fault(DerFault fault) {
        switch (fault) {
            case DerFault::Truncated:
                return Fail(error::kAsn1Eod);
            case DerFault::Malformed:
                return Fail(error::kAsn1Corrupt);
            case DerFault::BadTag:
            case DerFault::None:
                break;
        }
        return Fail(error::kAsn1BadTag);
    }

    CrlInfo& info_;
    bool keepEntries_;
    const CrlEntryVisitor* visit_;
    CrlEntryInfo scratch_;  // the entry handed to the visitor, reused
    // The entries of a large CRL repeat the same few extension OIDs hundreds
    // of thousands of times: their texts are made once.
    std::vector<std::pair<Bytes, std::string>> oidTexts_;
};

bool CrlWalk::Run(DerStream& stream) {
    info_ = CrlInfo{};

    // CertificateList ::= SEQUENCE { tbsCertList, signatureAlgorithm, signatureValue }
    constexpr std::uint64_t kUnbounded = UINT64_MAX;
    std::uint64_t listEnd = 0;
    std::uint64_t tbsEnd = 0;
    if (!stream.Header(der::kSequence, kUnbounded, listEnd) ||
        !stream.Header(der::kSequence, listEnd, tbsEnd)) {
        return Fault(stream);
    }

    // The fields before the entries are small: each is read whole.
    DerElement element;
    if (stream.PeekTag() == der::kInteger) {
        if (!stream.Element(tbsEnd, element)) {
            return Fault(stream);
        }
        // Only v1 (written out, which DER would leave out) and v2 exist.
        if (element.content.size() != 1 || element.content[0] > 1) {
            return Fail(error::kAsn1BadTag);
        }
        info_.version = element.content[0];
    }
    if (!Algorithm(stream, tbsEnd) || !Read(stream, tbsEnd, der::kSequence, element)) {
        return false;
    }
    if (!der_rules::NameOk(element)) {
        return Fail(error::kAsn1Corrupt);
    }
    info_.issuer.assign(element.encoded.begin(), element.encoded.end());
    if (!stream.Element(tbsEnd, element) || !Time(element, info_.thisUpdate)) {
        return stream.Fault() != DerFault::None ? Fault(stream) : false;
    }
    std::uint8_t next = stream.Position() < tbsEnd ? stream.PeekTag() : 0;
    if (next == der::kUtcTime || next == der::kGeneralizedTime) {
        if (!stream.Element(tbsEnd, element) || !Time(element, info_.nextUpdate)) {
            return stream.Fault() != DerFault::None ? Fault(stream) : false;
        }
        next = stream.Position() < tbsEnd ? stream.PeekTag() : 0;
    }
    if (next == der::kSequence) {
        // The entries: read one at a time, however many there are.
        std::uint64_t entriesEnd = 0;
        if (!stream.Header(der::kSequence, tbsEnd, entriesEnd) || !Entries(stream, entriesEnd)) {
            return stream.Fault() != DerFault::None ? Fault(stream) : false;
        }
        next = stream.Position() < tbsEnd ? stream.PeekTag() : 0;
    }
    if (next == der::ContextConstructed(0)) {
        DerElement extensions;
        if (!stream.Element(tbsEnd, element)) {
            return Fault(stream);
        }
        if (!ReadSingleDer(element.content, der::kSequence, extensions)) {
            return Fail(error::kAsn1BadTag);
        }
        if (!Extensions(extensions.content, info_.extensions)) {
            return false;
        }
    }
    if (stream.Position() != tbsEnd) {
        return Fail(error::kAsn1BadTag);
    }

    if (!Algorithm(stream, listEnd) || !Read(stream, listEnd, der::kBitString, element)) {
        return false;
    }
    if (!der_rules::BitStringContentOk(element.content)) {
        return Fail(error::kAsn1Corrupt);
    }
    if (stream.Position() != listEnd) {
        return Fail(error::kAsn1BadTag);
    }
    if (!stream.AtEnd()) {
        return Fail(error::kAsn1Corrupt);  // bytes after the CRL
    }
    SetLastError(error::kSuccess);
    return true;
}

bool CrlWalk::Read(DerStream& stream, std::uint64_t limit, std::uint8_t tag, DerElement& element) {
    if (!stream.Element(limit, element)) {
        return Fault(stream);
    }
    return element.tag == tag || Fail(error::kAsn1BadTag);
}

bool CrlWalk::Algorithm(DerStream& stream, std::uint64_t limit) {
    DerElement element;
    return Read(stream, limit, der::kSequence, element) &&
           (der_rules::AlgorithmIdentifierOk(element.content) || Fail(error::kAsn1BadTag));
}

bool CrlWalk::Time(const DerElement& element, FileTime& fileTime) {
    if (element.tag != der::kUtcTime && element.tag != der::kGeneralizedTime) {
        return Fail(error::kAsn1BadTag);
    }
    const std::optional<FileTime> time =
        TimeOfContent(element.content, element.tag == der::kGeneralizedTime);
    if (!time) {
        return Fail(error::kAsn1Corrupt);
    }
    fileTime = *time;
    return true;
}

bool CrlWalk::Entries(DerStream& stream, std::uint64_t end) {
    DerElement element;
    while (stream.Position() < end) {
        if (!stream.Element(end, element)) {
            return false;
        }
        if (element.tag != der::kSequence) {
            return Fail(error::kAsn1BadTag);
        }
        CrlEntryInfo& entry = keepEntries_ ? info_.entries.emplace_back() : scratch_;
        if (!Entry(element.content, entry)) {
            return false;
        }
        ++info_.entryCount;
        if (visit_ != nullptr && !(*visit_)(entry)) {
            return Fail(error::kCancelled);
        }
    }
    return true;
}

bool CrlWalk::Time(DerReader& reader, FileTime& fileTime) {
    DerElement element;
    if (!reader.Next(element)) {
        return Fault(reader.Failed() ? reader.Fault() : DerFault::Truncated);
    }
    return Time(element, fileTime);
}

bool CrlWalk::Entry(ByteView content, CrlEntryInfo& entry) {
    // SEQUENCE { userCertificate INTEGER, revocationDate Time, crlEntryExtensions? }
    DerReader reader(content);
    DerElement serial;
    if (!reader.Read(der::kInteger, serial)) {
        return Fault(reader);
    }
    if (!der_rules::IntegerContentOk(serial.content)) {
        return Fail(error::kAsn1Corrupt);
    }
    entry.serialNumber.assign(serial.content.rbegin(), serial.content.rend());
    if (!Time(reader, entry.revocationDate)) {
        return false;
    }
    DerElement extensions;
    if (reader.ReadOptional(der::kSequence, extensions)) {
        if (!Extensions(extensions.content, entry.extensions)) {
            return false;
        }
    } else {
        entry.extensions.clear();
    }
    if (reader.Failed()) {
        return Fault(reader);
    }
    if (!reader.AtEnd()) {
        return Fail(error::kAsn1BadTag);
    }
    return true;
}

bool CrlWalk::Extensions(ByteView content, std::vector<Extension>& extensions) {
    // SEQUENCE OF SEQUENCE { extnID OID, critical BOOLEAN DEFAULT FALSE, extnValue OCTET STRING }.
    // The objects already in the vector are refilled rather than rebuilt, so
    // a reused entry keeps its buffers.
    std::size_t count = 0;
    DerReader list(content);
    DerElement element;
    while (!list.AtEnd()) {
        if (!list.Read(der::kSequence, element)) {
            return Fault(list);
        }
        if (count == extensions.size()) {
            extensions.emplace_back();
        }
        Extension& extension = extensions[count++];
        DerReader reader(element.content);
        DerElement oid;
        DerElement critical;
        DerElement value;
        if (!reader.Read(der::kOid, oid)) {
            return Fault(reader);
        }
        if (!OidText(oid.content, extension.oid)) {
            return Fail(error::kAsn1Corrupt);
        }
        extension.critical = false;
        if (reader.ReadOptional(der::kBoolean, critical)) {
            if (critical.content.size() != 1) {
                return Fail(error::kAsn1Corrupt);
            }
            extension.critical = critical.content[0] != 0;
        }
        if (!reader.Read(der::kOctetString, value)) {
            return Fault(reader);
        }
        if (!reader.AtEnd()) {
            return Fail(error::kAsn1BadTag);
        }
        extension.value.assign(value.content.begin(), value.content.end());
    }
    extensions.resize(count);
    return true;
}

bool CrlWalk::OidText(ByteView content, std::string& text) {
    for (const auto& [known, knownText] : oidTexts_) {
        if (std::equal(known.begin(), known.end(), content.begin(), content.end())) {
            text = knownText;
            return true;
        }
    }
    std::optional<std::string> made = OidTextOfContent(content);
    if (!made) {
        return false;
    }
    constexpr std::size_t kKept = 16;
    if (oidTexts_.size() < kKept) {
        oidTexts_.emplace_back(Bytes(content.begin(), content.end()), *made);
    }
    text = std::move(*made);
    return true;
}

}  // namespace

bool DecodeCrlInfo(ByteView der, CrlInfo& info, bool withEntries) {
    DerStream stream(MemoryChunkSource(der));
    return CrlWalk(info, withEntries, nullptr).Run(stream);
}

bool ForEachCrlEntry(ByteView der, CrlInfo& info, const CrlEntryVisitor& visit) {
    DerStream stream(MemoryChunkSource(der));
    return CrlWalk(info, false, &visit).Run(stream);
}

bool ForEachCrlEntry(const DerChunkSource& source, CrlInfo& info, const CrlEntryVisitor& visit) {
    DerStream stream(source);
    return CrlWalk(info, false, &visit).Run(stream);
}

}  // namespace velmora::platform
