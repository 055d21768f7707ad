// The per-thread last-error code of the boundary. Every boundary call that
// fails sets it; callers read it right after the failure, as LastErrorText.
#pragma once

#include <cstdint>
#include <string>

namespace velmora::platform {

// Codes the boundary sets, with the values the platform's callers know them by.
namespace error {
inline constexpr uint32_t kSuccess = 0;
inline constexpr uint32_t kFileNotFound = 2;                     // ERROR_FILE_NOT_FOUND
inline constexpr uint32_t kAccessDenied = 5;                     // ERROR_ACCESS_DENIED
inline constexpr uint32_t kInvalidData = 13;                     // ERROR_INVALID_DATA
inline constexpr uint32_t kWriteFault = 29;                      // ERROR_WRITE_FAULT
inline constexpr uint32_t kReadFault = 30;                       // ERROR_READ_FAULT
inline constexpr uint32_t kDiskFull = 112;                       // ERROR_DISK_FULL
inline constexpr uint32_t kFileTooLarge = 223;                   // ERROR_FILE_TOO_LARGE
inline constexpr uint32_t kInvalidParameter = 87;                // ERROR_INVALID_PARAMETER
inline constexpr uint32_t kMoreData = 234;                       // ERROR_MORE_DATA
inline constexpr uint32_t kNoMoreItems = 259;                    // ERROR_NO_MORE_ITEMS
inline constexpr uint32_t kCancelled = 1223;                     // ERROR_CANCELLED
inline constexpr uint32_t kBadUid = 0x80090001;                  // NTE_BAD_UID
inline constexpr uint32_t kBadHash = 0x80090002;                 // NTE_BAD_HASH
inline constexpr uint32_t kBadKey = 0x80090003;                  // NTE_BAD_KEY
inline constexpr uint32_t kBadData = 0x80090005;                 // NTE_BAD_DATA
inline constexpr uint32_t kBadSignature = 0x80090006;            // NTE_BAD_SIGNATURE
inline constexpr uint32_t kBadAlgId = 0x80090008;                // NTE_BAD_ALGID
inline constexpr uint32_t kBadFlags = 0x80090009;                // NTE_BAD_FLAGS
inline constexpr uint32_t kBadType = 0x8009000A;                 // NTE_BAD_TYPE
inline constexpr uint32_t kBadKeyState = 0x8009000B;             // NTE_BAD_KEY_STATE
inline constexpr uint32_t kNoKey = 0x8009000D;                   // NTE_NO_KEY
inline constexpr uint32_t kNoMemory = 0x8009000E;                // NTE_NO_MEMORY
inline constexpr uint32_t kExists = 0x8009000F;                  // NTE_EXISTS
inline constexpr uint32_t kPerm = 0x80090010;                    // NTE_PERM
inline constexpr uint32_t kBadPublicKey = 0x80090015;            // NTE_BAD_PUBLIC_KEY
inline constexpr uint32_t kBadKeyset = 0x80090016;               // NTE_BAD_KEYSET
inline constexpr uint32_t kProvTypeNotDef = 0x80090017;          // NTE_PROV_TYPE_NOT_DEF
inline constexpr uint32_t kKeysetNotDef = 0x80090019;            // NTE_KEYSET_NOT_DEF
inline constexpr uint32_t kKeysetEntryBad = 0x8009001A;          // NTE_KEYSET_ENTRY_BAD
inline constexpr uint32_t kProviderDllFail = 0x8009001D;         // NTE_PROVIDER_DLL_FAIL
inline constexpr uint32_t kBadKeysetParam = 0x8009001F;          // NTE_BAD_KEYSET_PARAM
inline constexpr uint32_t kFail = 0x80090020;                    // NTE_FAIL
inline constexpr uint32_t kSilentContext = 0x80090022;           // NTE_SILENT_CONTEXT
inline constexpr uint32_t kAsn1BadTag = 0x8009310B;              // CRYPT_E_ASN1_BADTAG
inline constexpr uint32_t kAsn1Eod = 0x80093102;                 // CRYPT_E_ASN1_EOD
inline constexpr uint32_t kAsn1Large = 0x80093104;               // CRYPT_E_ASN1_LARGE
inline constexpr uint32_t kInvalidNumericString = 0x80092022;    // CRYPT_E_INVALID_NUMERIC_STRING
inline constexpr uint32_t kInvalidPrintableString = 0x80092023;  // CRYPT_E_INVALID_PRINTABLE_STRING
inline constexpr uint32_t kInvalidIa5String = 0x80092024;        // CRYPT_E_INVALID_IA5_STRING
inline constexpr uint32_t kNotCharString = 0x80092026;           // CRYPT_E_NOT_CHAR_STRING
inline constexpr uint32_t kAsn1Corrupt = 0x80093103;             // CRYPT_E_ASN1_CORRUPT
inline constexpr uint32_t kMsgError = 0x80091001;                // CRYPT_E_MSG_ERROR
inline constexpr uint32_t kUnknownAlgo = 0x80091002;             // CRYPT_E_UNKNOWN_ALGO
inline constexpr uint32_t kInvalidMsgType = 0x80091004;          // CRYPT_E_INVALID_MSG_TYPE
inline constexpr uint32_t kHashValue = 0x80091007;               // CRYPT_E_HASH_VALUE
inline constexpr uint32_t kInvalidIndex = 0x80091008;            // CRYPT_E_INVALID_INDEX
inline constexpr uint32_t kSignerNotFound = 0x8009100E;          // CRYPT_E_SIGNER_NOT_FOUND
inline constexpr uint32_t kNoSigner = 0x8009200E;                // CRYPT_E_NO_SIGNER
inline constexpr uint32_t kNoKeyProperty = 0x8009200B;           // CRYPT_E_NO_KEY_PROPERTY
inline constexpr uint32_t kNoSuchCertificate = 0x8010002C;       // SCARD_E_NO_SUCH_CERTIFICATE
inline constexpr uint32_t kWrongPassword = 0x8010006B;           // SCARD_W_WRONG_CHV
inline constexpr uint32_t kNotFound = 0x80092004;                // CRYPT_E_NOT_FOUND
inline constexpr uint32_t kExistsCert = 0x80092005;              // CRYPT_E_EXISTS
inline constexpr uint32_t kNoMatch = 0x80092009;                 // CRYPT_E_NO_MATCH
inline constexpr uint32_t kBadEncode = 0x80092002;               // CRYPT_E_BAD_ENCODE
inline constexpr uint32_t kFileError = 0x80092003;               // CRYPT_E_FILE_ERROR
inline constexpr uint32_t kRevoked = 0x80092010;                 // CRYPT_E_REVOKED
inline constexpr uint32_t kNoRevocationCheck = 0x80092012;       // CRYPT_E_NO_REVOCATION_CHECK
inline constexpr uint32_t kRevocationOffline = 0x80092013;       // CRYPT_E_REVOCATION_OFFLINE
inline constexpr uint32_t kCertExpired = 0x800B0101;             // CERT_E_EXPIRED
inline constexpr uint32_t kUntrustedRoot = 0x800B0109;           // CERT_E_UNTRUSTEDROOT
inline constexpr uint32_t kChaining = 0x800B010A;                // CERT_E_CHAINING
inline constexpr uint32_t kInvalidDate =
    0x8007000D;  // invalid date (HRESULT of ERROR_INVALID_DATA)
}  // namespace error

void SetLastError(uint32_t code);
uint32_t GetLastError();

// The Russian system text for a code, as the platform words it; a code with
// no text of its own gives a generic text naming the code in hex.
std::string ErrorMessageText(uint32_t code);

// Sets the last-error code on the way out of a failing boundary call: returns
// the given result so that `return Fail(error::kBadData);` reads naturally.
template <typename T = bool>
T Fail(uint32_t code, T result = T{}) {
    SetLastError(code);
    return result;
}

}  // namespace velmora::platform
