// A decoded distinguished name as the reports and the record use it: one
// entry per relative distinguished name, in encoded order, with the Russian
// label of each attribute.
#pragma once

#include "crypto/platform/certs/name.h"
#include "encoding/bytes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class Dialogs;

// One entry of a name list; each text holds at most 255 characters.
struct TOidValue {
    std::string Oid;    // dotted decimal
    std::string Value;  // RdnValueText of the attribute
    std::string Label;  // AttributeLabel of the OID

    bool operator==(const TOidValue&) const = default;
};

struct TDataOidsValue {
    std::vector<TOidValue> Items;

    std::uint32_t Count() const { return static_cast<std::uint32_t>(Items.size()); }
    bool operator==(const TDataOidsValue&) const = default;
};

// Decodes an encoded name into the list: the first attribute of every
// relative distinguished name, in encoded order. False (the list left as it
// was) when the bytes are not a name.
bool DecodeNameList(TDataOidsValue& list, ByteView encodedName);

// The value of the n-th entry (from 1) with the OID, counting from the last
// entry backwards; empty when there are fewer than n.
std::string NameListValue(const TDataOidsValue& list, std::string_view oid, int n);

// The value of the first attribute with the OID in the encoded name, in
// encoded order; empty when there is none. When the bytes are not a name the
// result is empty and, given dialogs, the "Ошибка № - " box is shown.
std::string NameAttributeValue(ByteView encodedName, std::string_view oid,
                               Dialogs* dialogs = nullptr);

// The same for a name decoded once (DecodeName) and asked for several
// attributes; nullopt stands for bytes that are not a name, with the last
// error of the decoding still set.
std::string NameAttributeValue(const std::optional<platform::NameInfo>& name, std::string_view oid,
                               Dialogs* dialogs = nullptr);

// DecodeNameList of a name decoded already.
void DecodeNameList(TDataOidsValue& list, const platform::NameInfo& name);

// The text of one attribute value as the platform renders it; empty when it
// gives nothing.
std::string RdnValueText(const platform::RdnAttribute& attribute);

}  // namespace velmora
