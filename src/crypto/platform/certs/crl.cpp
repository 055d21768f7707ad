#include "crypto/platform/certs/crl.h"

#include "crypto/platform/asn1/decode_values.h"
#include "crypto/platform/asn1/der_reader.h"
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

    bool Run(ByteView der);

  private:
    bool Entries(ByteView content);
    bool Entry(ByteView content, CrlEntryInfo& entry);
    bool Extensions(ByteView content, std::vector<Extension>& extensions);
    bool Time(DerReader& reader, FileTime& fileTime);
    bool OidText(ByteView content, std::string& text);

    // Ends the walk with the reader's fault as the last error.
    bool Fault(const DerReader& reader) { return Fault(reader.Fault()); }
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

bool CrlWalk::Run(ByteView der) {
    info_ = CrlInfo{};

    // CertificateList ::= SEQUENCE { tbsCertList, signatureAlgorithm, signatureValue }
    DerElement list;
    DerReader top(der);
    if (!top.Read(der::kSequence, list)) {
        return Fault(top);
    }
    if (!top.AtEnd()) {
        return Fail(error::kAsn1Corrupt);  // bytes after the CRL
    }
    DerReader outer(list.content);
    DerElement tbs;
    DerElement algorithm;
    DerElement signature;
    if (!outer.Read(der::kSequence, tbs) || !outer.Read(der::kSequence, algorithm) ||
        !outer.Read(der::kBitString, signature)) {
        return Fault(outer);
    }
    if (!outer.AtEnd()) {
        return Fail(error::kAsn1BadTag);
    }

    DerReader reader(tbs.content);
    DerElement element;
    if (reader.ReadOptional(der::kInteger, element)) {
        // Only v1 (written out, which DER would leave out) and v2 exist.
        if (element.content.size() != 1 || element.content[0] > 1) {
            return Fail(error::kAsn1BadTag);
        }
        info_.version = element.content[0];
    }
    DerElement issuer;
    if (!reader.Read(der::kSequence, element) || !reader.Read(der::kSequence, issuer)) {
        return Fault(reader);
    }
    info_.issuer.assign(issuer.encoded.begin(), issuer.encoded.end());
    if (!Time(reader, info_.thisUpdate)) {
        return false;
    }
    const std::uint8_t next = reader.PeekTag();
    if ((next == der::kUtcTime || next == der::kGeneralizedTime) &&
        !Time(reader, info_.nextUpdate)) {
        return false;
    }
    if (reader.ReadOptional(der::kSequence, element) && !Entries(element.content)) {
        return false;
    }
    if (reader.ReadOptional(der::ContextConstructed(0), element)) {
        DerElement extensions;
        if (!ReadSingleDer(element.content, der::kSequence, extensions)) {
            return Fail(error::kAsn1BadTag);
        }
        if (!Extensions(extensions.content, info_.extensions)) {
            return false;
        }
    }
    if (reader.Failed()) {
        return Fault(reader);
    }
    if (!reader.AtEnd()) {
        return Fail(error::kAsn1BadTag);
    }
    SetLastError(error::kSuccess);
    return true;
}

bool CrlWalk::Time(DerReader& reader, FileTime& fileTime) {
    DerElement element;
    if (!reader.Next(element)) {
        return Fault(reader.Failed() ? reader.Fault() : DerFault::Truncated);
    }
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

bool CrlWalk::Entries(ByteView content) {
    DerReader reader(content);
    DerElement element;
    while (!reader.AtEnd()) {
        if (!reader.Read(der::kSequence, element)) {
            return Fault(reader);
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

bool CrlWalk::Entry(ByteView content, CrlEntryInfo& entry) {
    // SEQUENCE { userCertificate INTEGER, revocationDate Time, crlEntryExtensions? }
    DerReader reader(content);
    DerElement serial;
    if (!reader.Read(der::kInteger, serial)) {
        return Fault(reader);
    }
    if (serial.content.empty()) {
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
    return CrlWalk(info, withEntries, nullptr).Run(der);
}

bool ForEachCrlEntry(ByteView der, CrlInfo& info, const CrlEntryVisitor& visit) {
    return CrlWalk(info, false, &visit).Run(der);
}

}  // namespace velmora::platform
