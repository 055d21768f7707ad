// The decoded request or certificate: every field the report, the request
// loader and the printed forms read.
#pragma once

#include "report/extensions/extension_record.h"
#include "report/names/name_list.h"

#include <string>

namespace velmora {

struct TPublicKeyInfo {
    std::string Value;  // the public key bytes, HexPairsText
    std::string AlgorithmOid;
    std::string Parameters;     // the algorithm parameter bytes, HexPairsText
    std::string AlgorithmName;  // registered name of the OID; empty when none

    bool operator==(const TPublicKeyInfo&) const = default;
};

struct TSignatureInfo {
    std::string AlgorithmName;  // AttributeLabel of the algorithm OID
    std::string AlgorithmOid;
    std::string Value;       // the signature bytes as the platform decodes them, HexPairsText
    std::string Parameters;  // request only: the algorithm parameter bytes, HexPairsText

    bool operator==(const TSignatureInfo&) const = default;
};

// Created empty, decoded once by DecodeRequest or DecodeCertificate.
class TRCstruct {
  public:
    std::string CommonName;    // 2.5.4.3
    std::string Organization;  // 2.5.4.10
    std::string Surname;       // 2.5.4.4
    std::string GivenName;     // 2.5.4.42
    std::string OrgUnit1;      // the 2.5.4.11 that stands last in the subject
    std::string OrgUnit2;      // the one before it
    std::string Title;         // 2.5.4.12
    std::string AsfkUser;      // no decoder fills it
    std::string Snils;
    std::string Locality;     // 2.5.4.7
    std::string Region;       // 2.5.4.8
    std::string Country;      // 2.5.4.6
    std::string AsfkTitle;    // an OID (1.2.840.113549.1.9.2)
    std::string Inn;          // 1.2.643.3.131.1.1
    std::string Kpp;          // no decoder fills it
    std::string Ogrn;         // 1.2.643.100.1
    std::string SpzCode;      // alternative name 1.2.643.3.61.502710.1.5
    std::string GmuCode;      // alternative name 1.2.643.3.61.502710.1.8
    std::string ChangeKeyId;  // alternative name 2.5.4.12
    std::string LanDocsId;    // alternative name 1.2.643.1.12345.1
    std::string Email;        // 1.2.840.113549.1.9.1
    std::string Street;       // 2.5.4.9
    std::string Thumbprint;   // certificate only: SHA-1 of the encoding, HexSpacedText
    std::string GostKeyHash;  // GOST R 34.11-94 of the public key, HexDumpText
    TPublicKeyInfo PublicKey;
    TDataOidsValue Subject;
    TDataOidsValue Issuer;  // certificate only
    CERT_EXTENSIONS_STR Extensions;
    std::string FileText;        // request only: the whole file as text
    std::string SerialNumber;    // certificate only: SerialNumberText
    std::string NotBefore;       // certificate only: FileTimeText
    std::string NotAfter;        // certificate only: FileTimeText
    std::string SignatureCheck;  // request only
    std::string SignToolText;    // certificate only: 1.2.643.100.111 as text
    std::string PublicKeySha1;   // request only
    TSignatureInfo Signature;
    std::string ContainerName;  // certificate only: the bound key container
    std::string Kind;           // "REQ" or "CERT" once decoded
    bool Qualified = false;
};

}  // namespace velmora
