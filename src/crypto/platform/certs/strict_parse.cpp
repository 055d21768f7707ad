#include "crypto/platform/certs/strict_parse.h"

#include "crypto/platform/ossl_ptr.h"
#include "crypto/platform/system/gost_engine.h"

#include <openssl/err.h>

namespace velmora::platform {
namespace {

// A public key OpenSSL cannot decode is damage when OpenSSL knows its
// algorithm; a key of an algorithm it does not know is merely foreign and
// is shown as it stands.
bool PublicKeyDecodesIfKnown(X509_PUBKEY* key) {
    if (key == nullptr) {
        return false;
    }
    if (X509_PUBKEY_get0(key) != nullptr) {
        return true;
    }
    ASN1_OBJECT* algorithm = nullptr;
    if (X509_PUBKEY_get0_param(&algorithm, nullptr, nullptr, nullptr, key) != 1) {
        return false;
    }
    const int nid = OBJ_obj2nid(algorithm);
    if (nid == NID_undef) {
        return true;
    }
    ossl::EvpPkey probe(EVP_PKEY_new());
    return probe != nullptr && EVP_PKEY_set_type(probe.get(), nid) != 1;
}

// An extension OpenSSL has a decoder for decodes.
bool KnownExtensionDecodes(X509_EXTENSION* extension) {
    const X509V3_EXT_METHOD* method = X509V3_EXT_get(extension);
    if (method == nullptr) {
        return true;
    }
    void* value = X509V3_EXT_d2i(extension);
    if (value == nullptr) {
        return false;
    }
    if (method->it != nullptr) {
        ASN1_item_free(static_cast<ASN1_VALUE*>(value), ASN1_ITEM_ptr(method->it));
    } else if (method->ext_free != nullptr) {
        method->ext_free(value);
    }
    return true;
}

bool KnownExtensionsDecode(const STACK_OF(X509_EXTENSION) * extensions) {
    for (int i = 0; i < sk_X509_EXTENSION_num(extensions); ++i) {
        if (!KnownExtensionDecodes(sk_X509_EXTENSION_value(extensions, i))) {
            return false;
        }
    }
    return true;
}

// Runs the check with the GOST engine registered (it decodes GOST keys) and
// leaves no error behind on OpenSSL's queue.
template <typename Check>
bool Strictly(Check check) {
    StartGostEngine();
    const bool accepted = check();
    ERR_clear_error();
    return accepted;
}

}  // namespace

bool OpenSslAcceptsKeyAndExtensions(const PublicKeyInfo& key,
                                    const std::vector<Extension>& extensions) {
    return Strictly([&] {
        const unsigned char* p = key.encoded.data();
        ossl::X509Pubkey pubkey(
            d2i_X509_PUBKEY(nullptr, &p, static_cast<long>(key.encoded.size())));
        if (pubkey == nullptr || !PublicKeyDecodesIfKnown(pubkey.get())) {
            return false;
        }
        for (const Extension& extension : extensions) {
            ossl::Asn1Object oid(OBJ_txt2obj(extension.oid.c_str(), 1));
            ossl::Asn1OctetString value(ASN1_OCTET_STRING_new());
            if (oid == nullptr || value == nullptr ||
                ASN1_OCTET_STRING_set(value.get(), extension.value.data(),
                                      static_cast<int>(extension.value.size())) != 1) {
                return false;
            }
            ossl::X509Extension built(X509_EXTENSION_create_by_OBJ(
                nullptr, oid.get(), extension.critical ? 1 : 0, value.get()));
            if (built == nullptr || !KnownExtensionDecodes(built.get())) {
                return false;
            }
        }
        return true;
    });
}

bool OpenSslAcceptsRequest(ByteView der) {
    return Strictly([der] {
        const unsigned char* p = der.data();
        ossl::X509Req request(d2i_X509_REQ(nullptr, &p, static_cast<long>(der.size())));
        if (request == nullptr || p != der.data() + der.size() ||
            !PublicKeyDecodesIfKnown(X509_REQ_get_X509_PUBKEY(request.get()))) {
            return false;
        }
        if (X509_REQ_get_attr_by_NID(request.get(), NID_ext_req, -1) < 0 &&
            X509_REQ_get_attr_by_NID(request.get(), NID_ms_ext_req, -1) < 0) {
            return true;
        }
        STACK_OF(X509_EXTENSION)* extensions = X509_REQ_get_extensions(request.get());
        if (extensions == nullptr) {
            return false;
        }
        const bool decoded = KnownExtensionsDecode(extensions);
        sk_X509_EXTENSION_pop_free(extensions, X509_EXTENSION_free);
        return decoded;
    });
}

}  // namespace velmora::platform
