// Making the request from the form: the key pair in the chosen container
// (created with a new key, or an existing one reused), the subject and the
// extensions from the grids and check lists, the signature of the
// container's exchange key.
#pragma once

#include "app/request/request_form.h"
#include "crypto/platform/asn1/decode_values.h"
#include "encoding/bytes.h"
#include "report/view/dialogs.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

// The key length handed to key generation (upper 16 bits of the flags).
inline constexpr std::uint32_t kRequestKeyBits = 512;

// The container the request's key lives in: ContName, followed by a blank
// and IDENTIFY_KEY when addContName is checked; empty for the provider's
// default container.
std::string RequestContainerName(const RequestForm& form);

// The key usage bit string of a check list: the first byte from the items
// 0-6, a second byte 0x80 when "Только расшифровка" is checked. The unused
// bits count is the number of bytes, which the bits left free allow.
platform::BitString KeyUsageBits(const std::vector<CheckListItem>& items);

// The signature algorithm of a request signed with a key of that public key
// algorithm: the provider's own (by its name) when it suits the key, else
// the one that does; MD5 for a key the program cannot sign with.
std::string RequestSignatureAlgorithm(const std::string& provider,
                                      const std::string& key_algorithm_oid);

// Makes and signs the request. A step that fails shows its message and ends
// the making: nothing comes back, though a container made before stays.
// The key identifier row (2.5.4.12) is put into SG_ALTNAME first when
// IDENTIFY_KEY is filled.
std::optional<Bytes> MakeRequest(RequestForm& form, Dialogs& dialogs);

// Writes the request's DER to the file whole (or leaves the file as it was);
// false with a Russian message naming the file and the reason.
bool WriteRequestFile(const std::filesystem::path& file, ByteView request, std::string& error);

}  // namespace velmora
