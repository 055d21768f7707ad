// Fills a fresh record from a certificate request file or a certificate.
#pragma once

#include "crypto/platform/certs/cert_context.h"
#include "encoding/bytes.h"
#include "report/record/record.h"

namespace velmora {

class Dialogs;

// Decodes the bytes of a request file: DER, or base64 with or without PEM
// armour. False (no message) when they are not a request, or a damaged one
// (a subject, public key or extension request that does not decode, or
// bytes OpenSSL's own parser refuses); the record is then partly filled and
// must not be shown. A request whose signature does not
// match its own key is decoded all the same, with the reason in
// SignatureCheck. Throws velmora::Error when the GOST hash is not available.
// A subject that cannot be decoded is reported through dialogs, when given.
bool DecodeRequest(TRCstruct& record, ByteView fileBytes, Dialogs* dialogs = nullptr);

// Decodes a certificate. False (no message) when its subject or issuer name
// does not decode. Throws velmora::Error when the GOST hash is not
// available.
bool DecodeCertificate(TRCstruct& record, const platform::CertContext& certificate,
                       Dialogs* dialogs = nullptr);

}  // namespace velmora
