#!/usr/bin/env bash
# Makes the signing fixtures in signing/: signer keys and certificates issued by the intermediate
# CA of this folder, a CRL that revokes one of them, and CMS signatures made by `openssl cms` with
# the GOST engine in the forms other programs write (DER, BER with indefinite lengths, PEM, bare
# base64; with and without signed attributes; one and three signers). Run by hand after
# make_fixtures.sh (which calls it); needs faketime (Debian `faketime`) to fix the signing times.
# Every date is fixed; the signer keys in keys/ are reused when present.
set -euo pipefail

DATA=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
KEYS=$DATA/keys
OUT=$DATA/signing
export OPENSSL_CONF=/dev/null
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
command -v faketime >/dev/null || { echo "make_signing_fixtures: faketime is needed" >&2; exit 1; }
mkdir -p "$OUT"

ossl() {
    local sub=$1
    shift
    if ! openssl "$sub" -engine gost "$@" >"$WORK/ossl.out" 2>"$WORK/ossl.err"; then
        echo "openssl $sub failed:" >&2
        cat "$WORK/ossl.out" "$WORK/ossl.err" >&2
        return 1
    fi
}

# openssl cms at a fixed time (the signing-time attribute), UTC.
cms_at() {
    local when=$1
    shift
    if ! TZ=UTC faketime -f "$when" openssl cms -engine gost "$@" >"$WORK/ossl.out" 2>"$WORK/ossl.err"; then
        echo "openssl cms failed:" >&2
        cat "$WORK/ossl.out" "$WORK/ossl.err" >&2
        return 1
    fi
}

make_key() {
    if [[ ! -s $KEYS/$1.key ]]; then
        ossl genpkey -algorithm "$2" -pkeyopt "paramset:$3" -out "$KEYS/$1.key"
    fi
}

make_key signer-2001 gost2001 A
make_key signer-256 gost2012_256 A
make_key signer-revoked gost2012_256 A

mkdir -p "$WORK/int"
export SIGNER_CN=unused  # the configuration names it in every section it loads
: >"$WORK/int/index.txt"
echo 01 >"$WORK/int/crlnumber"
cat >"$WORK/ca.cnf" <<EOF
[ ca_int ]
database = $WORK/int/index.txt
new_certs_dir = $WORK/int
serial = $WORK/int/serial
crlnumber = $WORK/int/crlnumber
certificate = $DATA/intermediate.pem
private_key = $KEYS/intermediate.key
policy = policy_any
unique_subject = no
default_md = md_gost12_256
[ policy_any ]
commonName = optional
[ ext_signer ]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature, nonRepudiation
extendedKeyUsage = emailProtection
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid:always
[ crl_ext ]
authorityKeyIdentifier = keyid:always
[ req_signer ]
prompt = no
utf8 = yes
string_mask = utf8only
distinguished_name = dn_signer
[ dn_signer ]
C = RU
O = Velmora Test
CN = \${ENV::SIGNER_CN}
EOF

# Issues a signer certificate: key name, serial (hex), common name, from, to.
issue() {
    SIGNER_CN=$3 ossl req -new -key "$KEYS/$1.key" -config "$WORK/ca.cnf" -section req_signer \
        -out "$WORK/$1.csr"
    echo "$2" >"$WORK/int/serial"
    ossl ca -batch -notext -preserveDN -config "$WORK/ca.cnf" -name ca_int -md md_gost12_256 \
        -extfile "$WORK/ca.cnf" -extensions ext_signer -in "$WORK/$1.csr" -out "$WORK/$1.pem" \
        -startdate "$4" -enddate "$5"
    openssl x509 -in "$WORK/$1.pem" -outform DER -out "$OUT/$1.cer"
    openssl x509 -in "$WORK/$1.pem" -out "$OUT/$1.pem"
}

issue signer-2001 5001 "Подписант ГОСТ 2001" 20250101000000Z 20350101000000Z
issue signer-256 5002 "Подписант ГОСТ 2012" 20250101000000Z 20350101000000Z
issue signer-revoked 5003 "Отозванный подписант" 20250101000000Z 20260101000000Z

# The intermediate CA's CRL: signer-revoked revoked on 2025-06-01 10:00 (key compromise,
# invalid since 2025-05-30 00:00).
ossl ca -config "$WORK/ca.cnf" -name ca_int -revoke "$WORK/signer-revoked.pem" \
    -crl_compromise 20250530000000Z
sed -i -E 's/^R\t([0-9Z]+)\t[0-9Z]+,/R\t\1\t250601100000Z,/' "$WORK/int/index.txt"
ossl ca -gencrl -config "$WORK/ca.cnf" -name ca_int -md md_gost12_256 -crlexts crl_ext \
    -crl_lastupdate 20250701000000Z -crl_nextupdate 20390601000000Z -out "$WORK/int.crl.pem"
openssl crl -in "$WORK/int.crl.pem" -outform DER -out "$OUT/intermediate.crl"

printf 'Тестовые данные для подписи.\r\nВторая строка.\r\n' >"$OUT/data.txt"
printf 'Другие данные.\r\n' >"$OUT/other.txt"

S256=(-signer "$OUT/signer-256.pem" -inkey "$KEYS/signer-256.key")
S2001=(-signer "$OUT/signer-2001.pem" -inkey "$KEYS/signer-2001.key")
SREV=(-signer "$OUT/signer-revoked.pem" -inkey "$KEYS/signer-revoked.key")
AT='2025-03-01 12:00:00'

# Attached, signed attributes (signing time 2025-03-01 12:00:00 UTC), DER.
cms_at "$AT" -sign -binary -nodetach "${S256[@]}" -in "$OUT/data.txt" -outform DER \
    -out "$OUT/ossl-attached.sig"
# The same message as PEM and as bare base64.
openssl cms -cmsout -inform DER -in "$OUT/ossl-attached.sig" -outform PEM -out "$OUT/ossl-attached-pem.sig"
openssl base64 -in "$OUT/ossl-attached.sig" -out "$OUT/ossl-attached-b64.sig"
# Detached, no signed attributes, GOST 2001.
cms_at "$AT" -sign -binary -noattr "${S2001[@]}" -in "$OUT/data.txt" -outform DER \
    -out "$OUT/ossl-detached-noattr.sig"
# Detached with signed attributes.
cms_at "$AT" -sign -binary "${S256[@]}" -in "$OUT/data.txt" -outform DER \
    -out "$OUT/ossl-detached.sig"
# Attached, BER with indefinite lengths (streamed).
cms_at '2025-04-02 08:30:00' -sign -binary -nodetach -stream "${S2001[@]}" -in "$OUT/data.txt" \
    -outform DER -out "$OUT/ossl-ber.sig"
# Three signers, attached, signed attributes; the revoked one signed before its revocation.
cms_at "$AT" -sign -binary -nodetach "${S2001[@]}" "${S256[@]}" "${SREV[@]}" \
    -in "$OUT/data.txt" -outform DER -out "$OUT/ossl-three.sig"

# The three-signer message with the second signer's signature damaged (signers are sorted in the
# encoding; the second one in the file is damaged, the last byte of its signature flipped).
python3 - "$OUT/ossl-three.sig" "$OUT/three-bad-second.sig" <<'PY'
import sys
data = bytearray(open(sys.argv[1], 'rb').read())
def tlv(buf, pos):
    tag = buf[pos]; pos += 1
    n = buf[pos]; pos += 1
    if n & 0x80:
        k = n & 0x7f
        n = int.from_bytes(buf[pos:pos + k], 'big'); pos += k
    return tag, pos, n
def children(buf, start, end):
    out = []
    while start < end:
        tag, body, n = tlv(buf, start)
        out.append((tag, start, body, n))
        start = body + n
    return out
_, body, n = tlv(data, 0)
ci = children(data, body, body + n)
sd = children(data, ci[1][2], ci[1][2] + ci[1][3])[0]   # inside [0] EXPLICIT
fields = children(data, sd[2], sd[2] + sd[3])
signer_set = fields[-1]
signers = children(data, signer_set[2], signer_set[2] + signer_set[3])
second = signers[1]
parts = children(data, second[2], second[2] + second[3])
sig = [p for p in parts if p[0] == 0x04][-1]
data[sig[2] + sig[3] - 1] ^= 0x5A
open(sys.argv[2], 'wb').write(bytes(data))
PY

# Checks: every good message verifies with openssl against the chain.
cat "$DATA/ca.pem" "$DATA/intermediate.pem" >"$WORK/chain.pem"
check() {
    ossl cms -verify -binary -CAfile "$WORK/chain.pem" -purpose any -attime 1740830400 "$@" -out /dev/null ||
        { echo "check failed: $*" >&2; exit 1; }
}
check -inform DER -in "$OUT/ossl-attached.sig"
check -inform PEM -in "$OUT/ossl-attached-pem.sig"
check -inform DER -in "$OUT/ossl-detached-noattr.sig" -content "$OUT/data.txt"
check -inform DER -in "$OUT/ossl-detached.sig" -content "$OUT/data.txt"
check -inform DER -in "$OUT/ossl-ber.sig"
check -inform DER -in "$OUT/ossl-three.sig"
if openssl cms -engine gost -verify -binary -noverify -inform DER -in "$OUT/three-bad-second.sig" \
    -out /dev/null 2>/dev/null; then
    echo "check failed: three-bad-second.sig verifies" >&2
    exit 1
fi
grep -q 'Serial Number: 5003' <(openssl crl -inform DER -in "$OUT/intermediate.crl" -noout -text) ||
    { echo "check failed: the CRL does not revoke 5003" >&2; exit 1; }
echo "signing fixtures written to $OUT"
