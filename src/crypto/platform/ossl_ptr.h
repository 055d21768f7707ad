// Owning pointers for the OpenSSL objects the boundary holds. Only files of
// the boundary include this header; nothing above it sees OpenSSL types.
#pragma once

#include <openssl/asn1.h>
#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/cms.h>
#include <openssl/evp.h>
#include <openssl/pkcs7.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>

namespace velmora::ossl {

template <typename T, void (*Free)(T*)>
struct Deleter {
    void operator()(T* p) const noexcept { Free(p); }
};

template <typename T, void (*Free)(T*)>
using Ptr = std::unique_ptr<T, Deleter<T, Free>>;

using Bio = Ptr<BIO, BIO_free_all>;
using X509Ptr = Ptr<X509, X509_free>;
using X509Req = Ptr<X509_REQ, X509_REQ_free>;
using X509Crl = Ptr<X509_CRL, X509_CRL_free>;
using X509Store = Ptr<X509_STORE, X509_STORE_free>;
using X509StoreCtx = Ptr<X509_STORE_CTX, X509_STORE_CTX_free>;
using X509Name = Ptr<X509_NAME, X509_NAME_free>;
using X509Extension = Ptr<X509_EXTENSION, X509_EXTENSION_free>;
using X509Pubkey = Ptr<X509_PUBKEY, X509_PUBKEY_free>;
using EvpPkey = Ptr<EVP_PKEY, EVP_PKEY_free>;
using EvpPkeyCtx = Ptr<EVP_PKEY_CTX, EVP_PKEY_CTX_free>;
using EvpMdCtx = Ptr<EVP_MD_CTX, EVP_MD_CTX_free>;
using Cms = Ptr<CMS_ContentInfo, CMS_ContentInfo_free>;
using Pkcs7 = Ptr<PKCS7, PKCS7_free>;
using Asn1Object = Ptr<ASN1_OBJECT, ASN1_OBJECT_free>;
using Asn1Integer = Ptr<ASN1_INTEGER, ASN1_INTEGER_free>;
using Asn1Time = Ptr<ASN1_TIME, ASN1_TIME_free>;
using Asn1OctetString = Ptr<ASN1_OCTET_STRING, ASN1_OCTET_STRING_free>;
using Asn1Type = Ptr<ASN1_TYPE, ASN1_TYPE_free>;
using BigNum = Ptr<BIGNUM, BN_free>;

// Takes a new reference to an object OpenSSL shares by count, for a second owner.
inline X509Ptr UpRef(X509* cert) {
    if (cert != nullptr) {
        X509_up_ref(cert);
    }
    return X509Ptr(cert);
}

inline EvpPkey UpRef(EVP_PKEY* key) {
    if (key != nullptr) {
        EVP_PKEY_up_ref(key);
    }
    return EvpPkey(key);
}

// Frees a STACK_OF(T) and its elements.
template <typename Stack, typename Elem, void (*FreeElem)(Elem*)>
struct StackDeleter {
    void operator()(Stack* s) const noexcept {
        OPENSSL_sk_pop_free(reinterpret_cast<OPENSSL_STACK*>(s),
                            reinterpret_cast<OPENSSL_sk_freefunc>(FreeElem));
    }
};

using X509Stack = std::unique_ptr<STACK_OF(X509), StackDeleter<STACK_OF(X509), X509, X509_free>>;
using ExtensionStack =
    std::unique_ptr<STACK_OF(X509_EXTENSION),
                    StackDeleter<STACK_OF(X509_EXTENSION), X509_EXTENSION, X509_EXTENSION_free>>;

}  // namespace velmora::ossl
