// Encoding steps on SignedData that OpenSSL leaves to its callers.
#include "crypto/platform/messages/message_der.h"

#include "crypto/platform/asn1/der_reader.h"

#include <algorithm>
#include <vector>

namespace velmora::platform {

// A DER identifier and length for content of that many bytes.
Bytes DerHeader(std::uint8_t tag, std::uint64_t length) {
    Bytes header{tag};
    if (length < 0x80) {
        header.push_back(static_cast<std::uint8_t>(length));
        return header;
    }
    int bytes = 0;
    for (std::uint64_t rest = length; rest != 0; rest >>= 8) {
        ++bytes;
    }
    header.push_back(static_cast<std::uint8_t>(0x80 | bytes));
    for (int i = bytes - 1; i >= 0; --i) {
        header.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
    }
    return header;
}

namespace {

std::uint64_t EncodedSize(std::uint64_t content) {
    return DerHeader(0, content).size() + content;
}

void Append(Bytes& out, ByteView bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

// The fields of ContentInfo { contentType, [0] SignedData { ... } }.
struct SignedDataFields {
    DerElement contentType;
    std::vector<DerElement> fields;  // version, digestAlgorithms, encapContentInfo, ...
};

std::optional<SignedDataFields> ReadSignedData(ByteView message) {
    DerReader outer(message);
    DerElement info, explicit0, signed_data;
    SignedDataFields result;
    if (!outer.Read(der::kSequence, info) || !outer.AtEnd()) {
        return std::nullopt;
    }
    DerReader info_reader(info.content);
    if (!info_reader.Read(der::kOid, result.contentType) ||
        !info_reader.Read(der::ContextConstructed(0), explicit0)) {
        return std::nullopt;
    }
    DerReader explicit_reader(explicit0.content);
    if (!explicit_reader.Read(der::kSequence, signed_data)) {
        return std::nullopt;
    }
    DerReader fields(signed_data.content);
    for (DerElement field; fields.Next(field);) {
        result.fields.push_back(field);
    }
    if (fields.Failed() || result.fields.size() < 4) {
        return std::nullopt;
    }
    return result;
}

// The message around SignedData fields given whole.
Bytes WrapSignedData(const DerElement& content_type, ByteView signed_content) {
    Bytes signed_data = DerHeader(der::kSequence, signed_content.size());
    Append(signed_data, signed_content);
    Bytes explicit0 = DerHeader(der::ContextConstructed(0), signed_data.size());
    Append(explicit0, signed_data);
    Bytes info_content(content_type.encoded.begin(), content_type.encoded.end());
    Append(info_content, explicit0);
    Bytes message = DerHeader(der::kSequence, info_content.size());
    Append(message, info_content);
    return message;
}

}  // namespace

std::optional<AttachedParts> SplitAround(ByteView detached, std::uint64_t content_size) {
    const auto parsed = ReadSignedData(detached);
    if (!parsed) {
        return std::nullopt;
    }
    const std::vector<DerElement>& fields = parsed->fields;
    const DerElement& encap = fields[2];
    DerReader encap_reader(encap.content);
    DerElement encap_type;
    if (encap.tag != der::kSequence || !encap_reader.Read(der::kOid, encap_type) ||
        !encap_reader.AtEnd()) {
        return std::nullopt;
    }
    std::uint64_t rest = 0;
    for (std::size_t i = 3; i < fields.size(); ++i) {
        rest += fields[i].encoded.size();
    }
    const std::uint64_t explicit_content = EncodedSize(content_size);
    const std::uint64_t encap_content = encap_type.encoded.size() + EncodedSize(explicit_content);
    const std::uint64_t signed_content =
        fields[0].encoded.size() + fields[1].encoded.size() + EncodedSize(encap_content) + rest;
    const std::uint64_t explicit0_content = EncodedSize(signed_content);
    const std::uint64_t info_content =
        parsed->contentType.encoded.size() + EncodedSize(explicit0_content);

    AttachedParts parts;
    Append(parts.head, DerHeader(der::kSequence, info_content));
    Append(parts.head, parsed->contentType.encoded);
    Append(parts.head, DerHeader(der::ContextConstructed(0), explicit0_content));
    Append(parts.head, DerHeader(der::kSequence, signed_content));
    Append(parts.head, fields[0].encoded);
    Append(parts.head, fields[1].encoded);
    Append(parts.head, DerHeader(der::kSequence, encap_content));
    Append(parts.head, encap_type.encoded);
    Append(parts.head, DerHeader(der::ContextConstructed(0), explicit_content));
    Append(parts.head, DerHeader(der::kOctetString, content_size));
    for (std::size_t i = 3; i < fields.size(); ++i) {
        Append(parts.tail, fields[i].encoded);
    }
    return parts;
}

std::optional<Bytes> CompleteDigestAlgorithms(ByteView message) {
    const auto parsed = ReadSignedData(message);
    if (!parsed) {
        return std::nullopt;
    }
    const std::vector<DerElement>& fields = parsed->fields;
    const DerElement& digest_set = fields[1];
    const DerElement& signer_set = fields.back();
    if (digest_set.tag != der::kSet || signer_set.tag != der::kSet) {
        return std::nullopt;
    }
    std::vector<Bytes> digests;
    DerReader present(digest_set.content);
    for (DerElement algorithm; present.Next(algorithm);) {
        digests.emplace_back(algorithm.encoded.begin(), algorithm.encoded.end());
    }
    // The OID of an AlgorithmIdentifier's encoding, parameters aside.
    auto oid_of = [](ByteView algorithm) {
        DerReader outer(algorithm);
        DerElement sequence, oid;
        if (!outer.Read(der::kSequence, sequence)) {
            return Bytes{};
        }
        DerReader inner(sequence.content);
        return inner.Read(der::kOid, oid) ? Bytes(oid.encoded.begin(), oid.encoded.end()) : Bytes{};
    };
    bool added = false;
    DerReader signers(signer_set.content);
    for (DerElement signer; signers.Next(signer);) {
        // SignerInfo { version, sid, digestAlgorithm, ... }
        DerReader signer_fields(signer.content);
        DerElement version, sid, algorithm;
        if (!signer_fields.Read(der::kInteger, version) || !signer_fields.Next(sid) ||
            !signer_fields.Read(der::kSequence, algorithm)) {
            return std::nullopt;
        }
        const Bytes oid = oid_of(algorithm.encoded);
        const bool known = std::ranges::any_of(
            digests, [&](const Bytes& digest) { return oid_of(digest) == oid; });
        if (!known) {
            digests.emplace_back(algorithm.encoded.begin(), algorithm.encoded.end());
            added = true;
        }
    }
    if (!added) {
        return Bytes(message.begin(), message.end());
    }
    // A DER SET OF lists its elements in the order of their encodings.
    std::sort(digests.begin(), digests.end());
    Bytes set_content;
    for (const Bytes& digest : digests) {
        Append(set_content, digest);
    }
    Bytes signed_content(fields[0].encoded.begin(), fields[0].encoded.end());
    Append(signed_content, DerHeader(der::kSet, set_content.size()));
    Append(signed_content, set_content);
    for (std::size_t i = 2; i < fields.size(); ++i) {
        Append(signed_content, fields[i].encoded);
    }
    return WrapSignedData(parsed->contentType, signed_content);
}

}  // namespace velmora::platform
