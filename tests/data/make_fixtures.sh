#!/usr/bin/env bash
# Makes the certificate, request and CRL fixtures in this folder with the openssl command and the
# GOST engine. It is run by hand; the tests only read what it wrote and what is committed.
#
#   tests/data/make_fixtures.sh                  rewrite every committed fixture
#   tests/data/make_fixtures.sh big-crl OUT N    write a CRL with N entries to OUT (benchmark input,
#                                                never committed; needs python3)
#
# The keys in keys/ are reused when present, so a rerun changes only the signatures (which are
# random with GOST), the thumbprints and the files derived from them. Delete keys/ to start over.
# Every date is fixed, so nothing depends on the day the script runs. README.md lists the files.
set -euo pipefail

DATA=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
KEYS=$DATA/keys
# The system configuration may load providers or change defaults; the fixtures must not depend on it.
export OPENSSL_CONF=/dev/null
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cat >"$WORK/engine.cnf" <<'EOF'
openssl_conf = conf_init
[ conf_init ]
engines = engines_sect
[ engines_sect ]
gost = gost_sect
[ gost_sect ]
engine_id = gost
default_algorithms = ALL
EOF

# ---------------------------------------------------------------------------------------------
# Helpers

# openssl with the GOST engine; its chatter goes to a file that is shown only on failure.
ossl() {
    local sub=$1
    shift
    if ! openssl "$sub" -engine gost "$@" >"$WORK/ossl.out" 2>"$WORK/ossl.err"; then
        echo "openssl $sub failed:" >&2
        cat "$WORK/ossl.out" "$WORK/ossl.err" >&2
        return 1
    fi
}

# openssl commands that take no engine option but need GOST (crl): the engine by configuration.
ossl_conf() {
    if ! OPENSSL_CONF=$WORK/engine.cnf openssl "$@" >"$WORK/ossl.out" 2>"$WORK/ossl.err"; then
        echo "openssl $1 failed:" >&2
        cat "$WORK/ossl.out" "$WORK/ossl.err" >&2
        return 1
    fi
}

# openssl commands that need no GOST.
ossl_plain() {
    if ! openssl "$@" >"$WORK/ossl.out" 2>"$WORK/ossl.err"; then
        echo "openssl $1 failed:" >&2
        cat "$WORK/ossl.out" "$WORK/ossl.err" >&2
        return 1
    fi
}

die() {
    echo "make_fixtures: $*" >&2
    exit 1
}

# Bytes of a file as lower-case hex, no separators.
hex_of() { od -An -v -tx1 "$1" | tr -d ' \n'; }

# Writes hex text (stdin) as bytes (stdout).
unhex() {
    local h
    h=$(tr -d ' \n')
    local i
    for ((i = 0; i < ${#h}; i += 4096)); do
        printf '%b' "$(printf '%s' "${h:i:4096}" | sed 's/../\\x&/g')"
    done
}

# DER header for a tag (hex) and a content length in bytes.
der_header() {
    local tag=$1 n=$2
    if ((n < 0x80)); then
        printf '%s%02x' "$tag" "$n"
    elif ((n < 0x100)); then
        printf '%s81%02x' "$tag" "$n"
    elif ((n < 0x10000)); then
        printf '%s82%04x' "$tag" "$n"
    elif ((n < 0x1000000)); then
        printf '%s83%06x' "$tag" "$n"
    else
        printf '%s84%08x' "$tag" "$n"
    fi
}

# A whole TLV: tag (hex) and content (hex).
tlv() { printf '%s%s' "$(der_header "$1" $((${#2} / 2)))" "$2"; }

ascii_hex() { printf '%s' "$1" | od -An -v -tx1 | tr -d ' \n'; }

# INTEGER from a hex magnitude (even number of digits); a leading 00 keeps it positive.
der_int() {
    local h=$1
    if ((0x${h:0:1} >= 8)); then h=00$h; fi
    tlv 02 "$h"
}

der_oid() {
    ossl_plain asn1parse -genstr "OID:$1" -noout -out "$WORK/oid.der"
    hex_of "$WORK/oid.der"
}

der_utc() { tlv 17 "$(ascii_hex "$1")"; }
der_gen() { tlv 18 "$(ascii_hex "$1")"; }
der_octets() { tlv 04 "$1"; }

# An extension: OID, critical (0/1), value (hex).
der_ext() {
    local crit=""
    if [[ $2 == 1 ]]; then crit=0101ff; fi
    tlv 30 "$(der_oid "$1")$crit$(der_octets "$3")"
}

# The n-th element (from 1) at a depth of a DER file, as hex.
der_field_hex() {
    local file=$1 depth=$2 n=$3 line off hl len
    line=$(openssl asn1parse -inform DER -in "$file" | grep ":d=$depth " | sed -n "${n}p")
    off=$(sed -E 's/^ *([0-9]+):.*/\1/' <<<"$line")
    hl=$(sed -E 's/.*hl= *([0-9]+).*/\1/' <<<"$line")
    len=$(sed -E 's/.* l= *([0-9]+).*/\1/' <<<"$line")
    hex_of "$file" | cut -c$((off * 2 + 1))-$(((off + hl + len) * 2))
}

# The n-th field of a certificate's to-be-signed part (version, serial, signature, issuer,
# validity, subject, public key, extensions), as hex.
tbs_field_hex() { der_field_hex "$1" 2 "$2"; }

# Subject key identifier of a certificate (PEM), hex.
ski_hex() {
    openssl x509 -in "$1" -noout -ext subjectKeyIdentifier | tail -1 | tr -d ' :\n' | tr 'A-F' 'a-f'
}

# SHA-1 of the DER SubjectPublicKeyInfo of a key, hex (the request builder's key identifier).
spki_sha1() {
    ossl pkey -in "$1" -pubout -outform DER -out "$WORK/spki.der"
    sha1sum <"$WORK/spki.der" | cut -c1-40
}

# Signs a to-be-signed DER file and writes the signed object: SEQUENCE { tbs, algorithm, signature }.
# Arguments: tbs file, key, digest name, signature algorithm OID, output file.
sign_tbs() {
    local tbs=$1 key=$2 md=$3 alg=$4 out=$5 alg_hex sig_hex tail_hex tbs_len
    ossl dgst "-$md" -sign "$key" -binary -out "$WORK/sig.bin" "$tbs"
    alg_hex=$(tlv 30 "$(der_oid "$alg")0500")
    sig_hex=$(tlv 03 "00$(hex_of "$WORK/sig.bin")")
    tail_hex=$alg_hex$sig_hex
    tbs_len=$(stat -c %s "$tbs")
    {
        der_header 30 $((tbs_len + ${#tail_hex} / 2)) | unhex
        cat "$tbs"
        printf '%s' "$tail_hex" | unhex
    } >"$out"
}

# Strips the header of the TLV at the start of a hex text, leaving its content.
der_content() {
    local h=$1 first
    first=$((0x${h:2:2}))
    if ((first < 0x80)); then
        printf '%s' "${h:4}"
    else
        printf '%s' "${h:$((4 + (first - 0x80) * 2))}"
    fi
}

# Appends extensions (hex) to an issued certificate and signs it again with the issuer's key.
# Arguments: certificate (PEM), extensions (hex), issuer key, digest, signature algorithm OID, output (PEM).
append_extensions() {
    local in=$1 extra=$2 key=$3 md=$4 alg=$5 out=$6 fields="" i exts
    ossl_plain x509 -in "$in" -outform DER -out "$WORK/append.der"
    for i in 1 2 3 4 5 6 7; do
        fields+=$(tbs_field_hex "$WORK/append.der" $i)
    done
    exts=$(der_content "$(der_content "$(tbs_field_hex "$WORK/append.der" 8)")")
    tlv 30 "$fields$(tlv a3 "$(tlv 30 "$exts$extra")")" | unhex >"$WORK/append.tbs"
    sign_tbs "$WORK/append.tbs" "$key" "$md" "$alg" "$WORK/append-signed.der"
    ossl_plain x509 -inform DER -in "$WORK/append-signed.der" -out "$out"
}

# Key of the given algorithm and parameter set, made only when keys/ does not hold it yet.
make_key() {
    local name=$1 alg=$2 paramset=$3
    if [[ ! -s $KEYS/$name.key ]]; then
        ossl genpkey -algorithm "$alg" -pkeyopt "paramset:$paramset" -out "$KEYS/$name.key"
    fi
}

# Base64 of a DER file without armour lines, 64 characters a line.
b64_plain() { openssl base64 -in "$1" -out "$2"; }

# The three forms of a certificate: name.cer (DER), name.pem (PEM), name-b64.cer (bare base64).
cert_forms() {
    local name=$1
    ossl_plain x509 -in "$WORK/$name.pem" -outform DER -out "$DATA/$name.cer"
    ossl_plain x509 -in "$WORK/$name.pem" -outform PEM -out "$DATA/$name.pem"
    b64_plain "$DATA/$name.cer" "$DATA/$name-b64.cer"
}

# The three forms of a request: name.req (DER), name.p10 (PEM), name-b64.req (bare base64).
req_forms() {
    local name=$1
    ossl_plain req -in "$WORK/$name.csr" -outform DER -out "$DATA/$name.req"
    ossl_plain req -in "$WORK/$name.csr" -outform PEM -out "$DATA/$name.p10"
    b64_plain "$DATA/$name.req" "$DATA/$name-b64.req"
}

# A request for a certificate: key name, config section, output file.
new_req() { ossl req -new -key "$KEYS/$1.key" -config "$CNF" -section "$2" -out "$3"; }

# Issues a certificate with fixed dates and serial.
# Arguments: CA (root or int), serial (hex), request, extension section or "-", output, from, to.
issue() {
    local ca=$1 serial=$2 csr=$3 ext=$4 out=$5 from=$6 to=$7 md
    md=md_gost12_256
    if [[ $ca == root ]]; then md=md_gost12_512; fi
    echo "$serial" >"$WORK/$ca/serial"
    local args=(-batch -notext -preserveDN -config "$CNF" -name "ca_$ca" -md "$md"
        -in "$csr" -out "$out" -startdate "$from" -enddate "$to")
    if [[ $ext != - ]]; then args+=(-extfile "$CNF" -extensions "$ext"); fi
    if [[ $ca == root && ! -s $WORK/ca.pem ]]; then
        args+=(-selfsign -keyfile "$KEYS/ca.key")
    fi
    ossl ca "${args[@]}"
}

# ---------------------------------------------------------------------------------------------
# The benchmark CRL: python3 writes the to-be-signed part (fast for hundreds of thousands of
# entries), openssl signs it with the intermediate CA's key.

big_crl() {
    local out=$1 count=$2
    [[ $count =~ ^[0-9]+$ ]] || die "big-crl: the entry count must be a number"
    [[ -s $DATA/intermediate.cer && -s $KEYS/intermediate.key ]] ||
        die "big-crl: run make_fixtures.sh without arguments first"
    command -v python3 >/dev/null || die "big-crl needs python3"
    local issuer keyid
    issuer=$(tbs_field_hex "$DATA/intermediate.cer" 6)
    keyid=$(ski_hex "$DATA/intermediate.pem")
    python3 "$DATA/make_big_crl.py" --issuer-hex "$issuer" --keyid-hex "$keyid" \
        --count "$count" --out "$WORK/big.tbs"
    sign_tbs "$WORK/big.tbs" "$KEYS/intermediate.key" md_gost12_256 1.2.643.7.1.1.3.2 "$out"
    ossl_conf crl -inform DER -in "$out" -noout -CAfile "$DATA/chain.pem"
    grep -q 'verify OK' "$WORK/ossl.err" || die "big-crl: the signature does not verify"
    echo "wrote $out ($count entries, $(stat -c %s "$out") bytes)"
}

if [[ ${1:-} == big-crl ]]; then
    [[ $# == 3 ]] || die "usage: make_fixtures.sh big-crl OUT N"
    big_crl "$2" "$3"
    exit 0
fi
[[ $# == 0 ]] || die "usage: make_fixtures.sh [big-crl OUT N]"

# ---------------------------------------------------------------------------------------------
# Keys: test keys only, unencrypted PEM PKCS#8.

mkdir -p "$KEYS"
make_key ca gost2012_512 A           # root CA, GOST R 34.10-2012 512-bit, TC26 set A
make_key intermediate gost2012_256 TCA # subordinate CA, 2012 256-bit, TC26 set A
make_key ee-256 gost2012_256 A       # end entities: 2012 256-bit, CryptoPro A
make_key ee-512 gost2012_512 A       #               2012 512-bit, TC26 set A
make_key ee-2001 gost2001 A          #               2001, CryptoPro A
make_key req-full gost2012_256 A     # requests
make_key req-snils gost2012_512 A
make_key req-noattr gost2001 XA

# Values computed from keys and objects that the configuration below refers to.
KEYID_EE256=$(spki_sha1 "$KEYS/ee-256.key")
KEYID_REQFULL=$(spki_sha1 "$KEYS/req-full.key")
# The hash of a previous CA certificate is only carried, never checked: a fixed value will do.
PREV_CA_HASH=5a0c7d6e1f2031425364758697a8b9cadbecfd0e
# Subject alternative name with the choices the configuration syntax cannot express:
# x400Address (ORAddress with country RU), ediPartyName, registeredID, IPv4 and a DNS name.
SAN_2001=$(tlv 30 "$(tlv a3 "$(tlv 30 "$(tlv 61 "$(tlv 13 "$(ascii_hex RU)")")")")$(
    tlv a5 "$(tlv a1 "$(tlv 0c "$(ascii_hex "EDI Party Velmora")")")")$(
    tlv 88 "$(der_oid 1.2.643.100.114 | cut -c5-)")$(tlv 87 0a000001)$(
    tlv 82 "$(ascii_hex sidorov.example.ru)")")

mkdir -p "$WORK/root" "$WORK/int"
: >"$WORK/root/index.txt"
: >"$WORK/int/index.txt"
CNF=$WORK/fixtures.cnf

cat >"$CNF" <<EOF
# ---- certification authorities (openssl ca)
[ ca_root ]
database = $WORK/root/index.txt
new_certs_dir = $WORK/root
serial = $WORK/root/serial
crlnumber = $WORK/root/crlnumber
certificate = $WORK/ca.pem
private_key = $KEYS/ca.key
policy = policy_any
unique_subject = no
email_in_dn = yes
[ ca_int ]
database = $WORK/int/index.txt
new_certs_dir = $WORK/int
serial = $WORK/int/serial
certificate = $WORK/intermediate.pem
private_key = $KEYS/intermediate.key
policy = policy_any
unique_subject = no
email_in_dn = yes
[ policy_any ]
commonName = optional
[ crl_ext_root ]
authorityKeyIdentifier = keyid:always

# ---- subjects (openssl req); names in encoded order, country first
[ req_root ]
prompt = no
utf8 = yes
string_mask = utf8only
distinguished_name = dn_root
[ dn_root ]
C = RU
ST = 77 г. Москва
L = Москва
O = Тестовый удостоверяющий центр Velmora
CN = Тестовый корневой УЦ Velmora (ГОСТ 2012)
OGRN = 1027700132195
INN = 007710568760

[ req_int ]
prompt = no
utf8 = yes
string_mask = utf8only
distinguished_name = dn_int
[ dn_int ]
C = RU
ST = 77 г. Москва
L = Москва
street = ул. Ильинка, д. 4
O = Федеральное казначейство (тест)
OU = Удостоверяющий центр
CN = Тестовый подчинённый УЦ Velmora
emailAddress = uc@example.ru
OGRN = 1047797019830
INN = 007710568760

[ req_ee256 ]
prompt = no
utf8 = yes
string_mask = utf8only
distinguished_name = dn_ee256
[ dn_ee256 ]
C = RU
ST = 77 г. Москва
L = Москва
street = ул. Ильинка, д. 4, стр. 1
O = Управление Федерального казначейства по г. Москве
0.OU = Отдел режима секретности и безопасности информации
1.OU = Отдел учёта и отчётности
title = Главный специалист-эксперт
CN = Иванов Иван Иванович
SN = Иванов
GN = Иван Иванович
emailAddress = ivanov@example.ru
SNILS = 12345678901
INN = 771234567890
OGRN = 1027700132195
x.1.2.840.113549.1.9.2 = 1.2.643.3.61.1.1.6.502710.3.4.2.3

[ req_ee512 ]
prompt = no
utf8 = yes
string_mask = utf8only
distinguished_name = dn_ee512
[ dn_ee512 ]
C = RU
ST = 50 Московская область
L = г. Подольск
street = ул. Советская, д. 10
O = ООО «Ромашка-Тест»
0.OU = Бухгалтерия
1.OU = Финансовый отдел
title = Генеральный директор
CN = ООО «Ромашка-Тест»
SN = Петрова
GN = Анна Сергеевна
emailAddress = info@romashka.example.ru
SNILS = 98765432109
INN = 503612345678
OGRN = 1155074001234

[ req_ee2001 ]
prompt = no
utf8 = yes
string_mask = utf8only
distinguished_name = dn_ee2001
[ dn_ee2001 ]
C = RU
O = Velmora Test
OU = Группа Ω
CN = Сидоров Пётр Алексеевич
emailAddress = sidorov@example.ru

[ req_odd ]
prompt = no
utf8 = yes
string_mask = utf8only
distinguished_name = dn_odd
[ dn_odd ]
C = RU
O = Velmora Test
CN = Кузнецова Мария Олеговна
+SN = Кузнецова

[ req_begin ]
prompt = no
utf8 = yes
string_mask = utf8only
distinguished_name = dn_begin
[ dn_begin ]
C = RU
O = Velmora Test
OU = BEGIN
CN = Begin Test

[ req_noext ]
prompt = no
utf8 = yes
string_mask = utf8only
distinguished_name = dn_noext
[ dn_noext ]
C = RU
O = Velmora Test
CN = Сертификат без расширений

# ---- request fixtures
# BMPString values (mask: BMPString or PrintableString), attribute order as the request builder
# writes it, a challenge password (an attribute that holds no extensions) and an extension request.
[ rq_full ]
prompt = no
utf8 = yes
string_mask = MASK:0x802
distinguished_name = dn_rq_full
attributes = attr_rq_full
req_extensions = ext_rq_full
[ dn_rq_full ]
x.1.2.372.980001.8.4.1 = 1.2.643.100.1=1027700132195;1.2.643.100.3=12345678901;1.2.643.3.131.1.1=007710474375
emailAddress = ivanov@example.ru
ST = 77 г. Москва
L = Москва
x.1.2.840.113549.1.9.2 = 1.2.643.3.61.1.1.6.502710.3.4.2.3
C = RU
SN = Иванов
GN = Иван Иванович
CN = Иванов Иван Иванович
title = Главный специалист-эксперт
O = Управление Федерального казначейства по г. Москве
street = ул. Ильинка, д. 4
0.OU = Отдел режима секретности
1.OU = Отдел ведения реестров
[ attr_rq_full ]
challengePassword = velmora-test
[ ext_rq_full ]
subjectAltName = @san_rq_full
2.5.29.2 = ASN1:SEQUENCE:keyattr_rq_full
keyUsage = critical, digitalSignature, nonRepudiation, keyEncipherment, dataEncipherment, decipherOnly
extendedKeyUsage = 1.2.643.3.61.1.1.6.502710.3.4.1.1, 1.2.643.3.61.502710.1.6.3.4.1.1, clientAuth
certificatePolicies = 1.2.643.100.113.1, 1.2.643.100.113.2
1.2.643.100.111 = ASN1:FORMAT:UTF8,UTF8String:Средство электронной подписи «Тест-CSP» (версия 5.0)
[ san_rq_full ]
otherName.1 = 2.5.4.12;PRINTABLESTRING:0315090000
otherName.2 = 1.2.643.3.61.502710.1.5;PRINTABLESTRING:01234567
otherName.3 = 1.2.643.3.61.502710.1.8;PRINTABLESTRING:00012345
otherName.4 = 1.2.643.1.12345.1;FORMAT:UTF8,BMPSTRING:Иванов И.И.
otherName.5 = 1.2.643.3.61.502710.1.7;PRINTABLESTRING:770101001
[ keyattr_rq_full ]
id = FORMAT:HEX,OCTETSTRING:$KEYID_REQFULL
usage = FORMAT:BITLIST,BITSTRING:0,1,2,3
period = SEQUENCE:period_rq_full
[ period_rq_full ]
from = IMP:0,GENTIME:20240315090000Z
to = IMP:1,GENTIME:20250314090000Z

# UTF-8 values with the serial-number attribute holding the SNILS and no combined attribute.
[ rq_snils ]
prompt = no
utf8 = yes
string_mask = utf8only
distinguished_name = dn_rq_snils
req_extensions = ext_rq_snils
[ dn_rq_snils ]
C = RU
ST = 50 Московская область
L = г. Подольск
O = ООО «Ромашка-Тест»
OU = Бухгалтерия
title = Главный бухгалтер
CN = Петрова Анна Сергеевна
SN = Петрова
GN = Анна Сергеевна
serialNumber = 98765432109
[ ext_rq_snils ]
keyUsage = critical, digitalSignature, nonRepudiation
extendedKeyUsage = 1.2.643.3.61.502710.1.6.3.5.1, clientAuth
subjectAltName = email:petrova@romashka.example.ru, otherName:1.2.643.1.12345.1;PRINTABLESTRING:LD-0042

# No attributes at all.
[ rq_noattr ]
prompt = no
utf8 = yes
string_mask = utf8only
distinguished_name = dn_rq_noattr
[ dn_rq_noattr ]
C = RU
O = Velmora Test
CN = Запрос без атрибутов

# ---- certificate extensions, in the order they are written
[ ext_root ]
basicConstraints = critical, CA:TRUE
keyUsage = critical, digitalSignature, keyCertSign, cRLSign
subjectKeyIdentifier = hash
1.3.6.1.4.1.311.21.1 = ASN1:INTEGER:0

[ ext_int ]
basicConstraints = critical, CA:TRUE, pathlen:0
keyUsage = critical, digitalSignature, keyCertSign, cRLSign
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid:always
certificatePolicies = 1.2.643.100.113.1, 1.2.643.100.113.2
1.3.6.1.4.1.311.21.1 = ASN1:INTEGER:0x00010002
1.3.6.1.4.1.311.21.2 = ASN1:FORMAT:HEX,OCTETSTRING:$PREV_CA_HASH
1.2.643.100.111 = ASN1:FORMAT:UTF8,UTF8String:Средство электронной подписи «Тест-CSP» (версия 5.0)
1.2.643.100.112 = ASN1:SEQUENCE:sign_tools
crlDistributionPoints = URI:http://crl.example.ru/root-2024.crl

# Every decoded kind 0 to 14 except 13 and 14 (those are on the intermediate), plus the issuer
# alternative name and a private extension for the dump.
[ ext_ee256 ]
certificatePolicies = 1.2.643.100.113.1, 1.2.643.100.113.2, anyPolicy
subjectAltName = @san_ee256
2.5.29.2 = ASN1:SEQUENCE:keyattr_ee256
keyUsage = critical, digitalSignature, nonRepudiation, keyEncipherment, dataEncipherment, keyAgreement, decipherOnly
extendedKeyUsage = 1.2.643.3.61.1.1.6.502710.3.4.1.1, 1.2.643.3.61.1.1.6.502710.3.4.1.7, 1.2.643.3.61.502710.1.6.3.4.1.1, clientAuth, emailProtection, 1.2.643.2.99.2
1.2.643.100.111 = ASN1:FORMAT:UTF8,UTF8String:Средство электронной подписи «Тест-CSP» (версия 5.0)
1.2.643.100.112 = ASN1:SEQUENCE:sign_tools
basicConstraints = critical, CA:FALSE
2.5.29.16 = ASN1:SEQUENCE:period_ee256
authorityKeyIdentifier = keyid:always, issuer:always
subjectKeyIdentifier = hash
crlDistributionPoints = crldp_main, crldp_reasons
issuerAltName = URI:http://uc.example.ru/, email:uc@example.ru
1.2.643.2.99.1 = ASN1:SEQUENCE:private_ext
[ san_ee256 ]
otherName.1 = 1.2.643.3.61.502710.1.5;FORMAT:UTF8,UTF8String:СПЗ-01234567
otherName.2 = 1.2.643.3.61.502710.1.8;PRINTABLESTRING:00012345
otherName.3 = 2.5.4.12;PRINTABLESTRING:0315090000
otherName.4 = 1.2.643.1.12345.1;FORMAT:UTF8,BMPSTRING:Иванов И.И.
email.1 = ivanov@example.ru
DNS.1 = ivanov.example.ru
URI.1 = https://example.ru/users/ivanov
IP.1 = 192.168.10.20
IP.2 = 2001:db8::10:20
dirName.1 = dn_altdir_ee256
RID.1 = 1.2.643.100.114
[ dn_altdir_ee256 ]
C = RU
O = Velmora Test
CN = Ivanov Ivan
[ keyattr_ee256 ]
id = FORMAT:HEX,OCTETSTRING:$KEYID_EE256
usage = FORMAT:BITLIST,BITSTRING:0,1
period = SEQUENCE:period_ee256
[ period_ee256 ]
from = IMP:0,GENTIME:20240315090000Z
to = IMP:1,GENTIME:20250315090000Z
[ sign_tools ]
tool = FORMAT:UTF8,UTF8String:Средство электронной подписи «Тест-CSP» (версия 5.0)
ca_tool = FORMAT:UTF8,UTF8String:Программный комплекс «Тестовый УЦ» (версия 2.0)
tool_cert = FORMAT:UTF8,UTF8String:Сертификат соответствия № СФ/124-0001 от 15.01.2024
ca_tool_cert = FORMAT:UTF8,UTF8String:Сертификат соответствия № СФ/128-0002 от 01.02.2024
[ crldp_main ]
fullname = URI:http://crl.example.ru/int-2024.crl, URI:http://crl2.example.ru/int-2024.crl
[ crldp_reasons ]
fullname = URI:http://crl.example.ru/int-compromise.crl
reasons = keyCompromise, CACompromise
CRLissuer = dirName:dn_crl_issuer
[ dn_crl_issuer ]
C = RU
O = Velmora Test
CN = Velmora CRL Issuer
# Every universal type the dump names, nested and tagged values.
[ private_ext ]
a01 = OID:1.2.643.100.113.1
a02 = FORMAT:UTF8,UTF8String:КС1
a03 = INTEGER:42
a04 = INTEGER:-129
a05 = BOOLEAN:TRUE
a06 = NULL
a07 = FORMAT:HEX,OCTETSTRING:DEADBEEF
a08 = FORMAT:HEX,BITSTRING:A5C0
a09 = FORMAT:UTF8,BMPSTRING:Проверка
a10 = IA5STRING:test@example.ru
a11 = PRINTABLESTRING:Test 123
a12 = NUMERICSTRING:12345
a13 = T61STRING:teletex
a14 = UTCTIME:240315090000Z
a15 = GENTIME:20240315090000Z
a16 = ENUMERATED:3
a17 = EXP:0,SEQUENCE:private_inner
a18 = IMP:1,FORMAT:HEX,OCTETSTRING:0102
a19 = SET:private_set
[ private_inner ]
b1 = OID:1.2.643.7.1.1.1.1
b2 = FORMAT:UTF8,UTF8String:вложенное значение
[ private_set ]
c1 = INTEGER:1
c2 = INTEGER:2

# Organisation certificate: SNILS in the subject, no signing-tool extensions, key attributes
# without key identifier and with only the end of the period, one-byte key usage.
[ ext_ee512 ]
certificatePolicies = @policy_ks2
subjectAltName = @san_ee512
2.5.29.2 = ASN1:SEQUENCE:keyattr_ee512
keyUsage = critical, digitalSignature
extendedKeyUsage = 1.2.643.3.61.502710.1.6.3.2, 1.2.643.3.61.502710.1.6.3.5.1, clientAuth, 1.2.643.3.61.1.1.6.502710.3.4.1.15
basicConstraints = CA:FALSE
2.5.29.16 = ASN1:SEQUENCE:period_after
authorityKeyIdentifier = keyid:always
subjectKeyIdentifier = hash
crlDistributionPoints = URI:http://crl.example.ru/int-2024.crl
[ policy_ks2 ]
policyIdentifier = 1.2.643.100.113.2
CPS.1 = http://uc.example.ru/cps
[ san_ee512 ]
otherName.1 = 2.5.4.12;PRINTABLESTRING:0601120000
otherName.2 = 1.2.643.3.61.502710.1.8;FORMAT:UTF8,UTF8String:ГМУ-00012345
email.1 = info@romashka.example.ru
dirName.1 = dn_altdir_ee512
[ dn_altdir_ee512 ]
CN = Romashka Test LLC
title = 0601120001
[ keyattr_ee512 ]
usage = FORMAT:BITLIST,BITSTRING:0
period = SEQUENCE:period_after
[ period_after ]
to = IMP:1,GENTIME:20250601000000Z

# GOST 2001 certificate: the subject signing tool only, no SNILS; empty extended key usage,
# unusual alternative-name choices, distribution points by relative name and by CRL issuer only.
[ ext_ee2001 ]
keyUsage = critical, digitalSignature, keyEncipherment
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid:always
1.2.643.100.111 = ASN1:FORMAT:UTF8,UTF8String:Средство электронной подписи «Тест-CSP» (версия 4.0)
2.5.29.37 = DER:3000
subjectAltName = DER:$SAN_2001
crlDistributionPoints = crldp_relative, crldp_issuer_only
[ crldp_relative ]
relativename = dn_crl_relative
[ dn_crl_relative ]
CN = CRL Partition 7
[ crldp_issuer_only ]
CRLissuer = dirName:dn_crl_issuer
reasons = keyCompromise

# Odd extensions: key attributes with the key identifier only, an empty key usage bit string and
# a CA version that is no INTEGER. The second certificate policies and private extensions are
# added afterwards (openssl ca keeps one extension per OID).
[ ext_odd ]
certificatePolicies = 1.2.643.100.113.1
1.2.643.2.99.1 = ASN1:FORMAT:UTF8,UTF8String:первое
2.5.29.2 = ASN1:SEQUENCE:keyattr_idonly
2.5.29.15 = critical, DER:030100
1.3.6.1.4.1.311.21.1 = DER:0400
basicConstraints = critical, CA:FALSE
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid:always
[ keyattr_idonly ]
id = FORMAT:HEX,OCTETSTRING:0102030405060708

[ ext_begin ]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid:always
EOF

# ---------------------------------------------------------------------------------------------
# Certificates. Validity: root 2024-01-01..2054-01-01 (the end is a GeneralizedTime),
# intermediate 2024-02-01..2044-02-01, end entities 2024-03-15 09:00..2039-03-15 09:00 UTC.

EE_FROM=20240315090000Z
EE_TO=20390315090000Z
SERIAL_EE256=9C4E2A17B3D5F6071829     # top bit set: the DER integer carries a leading 00
SERIAL_EE512=01D7A3C2B4E5F60718293A4B5C6D7E8F90A1B2C3 # 20 bytes
SERIAL_EE2001=0100

new_req ca req_root "$WORK/root.csr"
issue root 01 "$WORK/root.csr" ext_root "$WORK/ca.pem" 20240101000000Z 20540101000000Z
new_req intermediate req_int "$WORK/int.csr"
issue root 1A2B3C4D "$WORK/int.csr" ext_int "$WORK/intermediate.pem" 20240201000000Z 20440201000000Z

new_req ee-256 req_ee256 "$WORK/ee256.csr"
issue int $SERIAL_EE256 "$WORK/ee256.csr" ext_ee256 "$WORK/ee-256.pem" $EE_FROM $EE_TO
new_req ee-512 req_ee512 "$WORK/ee512.csr"
issue int $SERIAL_EE512 "$WORK/ee512.csr" ext_ee512 "$WORK/ee-512.pem" $EE_FROM $EE_TO
new_req ee-2001 req_ee2001 "$WORK/ee2001.csr"
issue int $SERIAL_EE2001 "$WORK/ee2001.csr" ext_ee2001 "$WORK/ee-2001.pem" $EE_FROM $EE_TO
new_req ee-256 req_odd "$WORK/odd.csr"
issue int 0200 "$WORK/odd.csr" ext_odd "$WORK/odd.pem" $EE_FROM $EE_TO
append_extensions "$WORK/odd.pem" "$(der_ext 2.5.29.32 0 "$(tlv 30 "$(tlv 30 "$(der_oid 1.2.643.100.113.2)")")")$(
    der_ext 1.2.643.2.99.1 0 "$(tlv 0c "$(ascii_hex второе)")")" \
    "$KEYS/intermediate.key" md_gost12_256 1.2.643.7.1.1.3.2 "$WORK/ee-oddext.pem"
new_req ee-256 req_begin "$WORK/begin.csr"
issue int 0300 "$WORK/begin.csr" ext_begin "$WORK/ee-begin.pem" $EE_FROM $EE_TO
new_req ee-2001 req_noext "$WORK/noext.csr"
issue int 0400 "$WORK/noext.csr" - "$WORK/ee-noext.pem" $EE_FROM $EE_TO

for name in ca intermediate ee-256 ee-512 ee-2001 ee-oddext ee-noext; do
    cert_forms $name
done
# A PEM certificate under a certificate extension, and one with CR LF line ends.
cp "$DATA/ee-256.pem" "$DATA/ee-256-pem.cer"
sed 's/$/\r/' "$DATA/ee-256.pem" >"$DATA/ee-256-crlf.pem"
# A DER certificate whose bytes contain the word BEGIN (its organisational unit).
ossl_plain x509 -in "$WORK/ee-begin.pem" -outform DER -out "$DATA/ee-begin.der"

cat "$DATA/ca.pem" "$DATA/intermediate.pem" >"$DATA/chain.pem"
ossl_plain crl2pkcs7 -nocrl -certfile "$DATA/ca.pem" -certfile "$DATA/intermediate.pem" \
    -certfile "$DATA/ee-256.pem" -certfile "$DATA/ee-512.pem" -certfile "$DATA/ee-2001.pem" \
    -outform DER -out "$DATA/chain.p7b"
ossl_plain pkcs7 -inform DER -in "$DATA/chain.p7b" -outform PEM -out "$DATA/chain-pem.p7b"

# ---------------------------------------------------------------------------------------------
# Requests.

new_req req-full rq_full "$WORK/req-full.csr"
new_req req-snils rq_snils "$WORK/req-snils.csr"
new_req req-noattr rq_noattr "$WORK/req-noattr.csr"
for name in req-full req-snils req-noattr; do
    req_forms $name
done
# A request whose signature does not match its key: the last byte of the signature flipped.
cp "$DATA/req-full.req" "$DATA/req-badsig.req"
size=$(stat -c %s "$DATA/req-badsig.req")
last=$(od -An -tu1 -j $((size - 1)) -N 1 "$DATA/req-badsig.req" | tr -d ' ')
printf '%02x' $((last ^ 0x5a)) | unhex |
    dd of="$DATA/req-badsig.req" bs=1 seek=$((size - 1)) conv=notrunc status=none

# ---------------------------------------------------------------------------------------------
# CRLs written byte by byte (openssl ca cannot write reason codes 7, 9 and 10) and signed with
# openssl, plus one made entirely by openssl ca.

INT_NAME=$(tbs_field_hex "$DATA/intermediate.cer" 6)
INT_KEYID=$(ski_hex "$DATA/intermediate.pem")
ALG_256=$(tlv 30 "$(der_oid 1.2.643.7.1.1.3.2)0500")

# One revoked entry: serial (hex), revocation time (UTCTime text), reason code or "-",
# invalidity date (GeneralizedTime text) or "-", extra extension (hex) or "".
crl_entry() {
    local exts=""
    if [[ $3 != - ]]; then exts+=$(der_ext 2.5.29.21 0 "$(tlv 0a "$(printf '%02x' "$3")")"); fi
    if [[ $4 != - ]]; then exts+=$(der_ext 2.5.29.24 0 "$(der_gen "$4")"); fi
    exts+=${5:-}
    local body
    body=$(der_int "$1")$(der_utc "$2")
    if [[ -n $exts ]]; then body+=$(tlv 30 "$exts"); fi
    tlv 30 "$body"
}

# CRL extensions: authority key identifier and CRL number.
crl_exts() {
    tlv a0 "$(tlv 30 "$(der_ext 2.5.29.35 0 "$(tlv 30 "$(tlv 80 "$INT_KEYID")")")$(
        der_ext 2.5.29.20 0 "$(der_int "$1")")")"
}

# Writes name.crl (DER) from a to-be-signed hex text, signed by the intermediate CA.
write_crl() {
    printf '%s' "$2" | unhex >"$WORK/$1.tbs"
    sign_tbs "$WORK/$1.tbs" "$KEYS/intermediate.key" md_gost12_256 1.2.643.7.1.1.3.2 "$DATA/$1.crl"
}

HOLD=$(der_ext 2.5.29.23 0 "$(der_oid 1.2.840.10040.2.2)")
ENTRIES=$(crl_entry 009C4E2A17B3D5F6071829 240502100000Z 1 20240501083000Z)
ENTRIES+=$(crl_entry 0A1B 240503100000Z 0 -)
ENTRIES+=$(crl_entry 7F11223344556677889900AABBCCDDEEFF001122 240504100000Z 2 -)
ENTRIES+=$(crl_entry 03 240505100000Z 3 -)
ENTRIES+=$(crl_entry 04 240506100000Z 4 20240505000000Z)
ENTRIES+=$(crl_entry 05 240507100000Z 5 -)
ENTRIES+=$(crl_entry 06 240508100000Z 6 - "$HOLD")
ENTRIES+=$(crl_entry 07 240509100000Z 7 -)
ENTRIES+=$(crl_entry 08 240510100000Z 8 -)
ENTRIES+=$(crl_entry 09 240511100000Z 9 -)
ENTRIES+=$(crl_entry 0A 240512100000Z 10 20240511153000Z)
ENTRIES+=$(crl_entry 0B 240513100000Z - -)
ENTRIES+=$(crl_entry 0C 240514100000Z - 20240513120000Z)
write_crl crl-full "$(tlv 30 "$(der_int 01)$ALG_256$INT_NAME$(der_utc 240601000000Z)$(
    der_utc 390601000000Z)$(tlv 30 "$ENTRIES")$(crl_exts 1F)")"

write_crl crl-empty "$(tlv 30 "$(der_int 01)$ALG_256$INT_NAME$(der_utc 240601000000Z)$(
    der_utc 390601000000Z)$(crl_exts 20)")"

# Version 1: no version field, no extensions anywhere, and no next update.
ENTRIES=$(crl_entry 0D 240520100000Z - -)$(crl_entry 0E 240521100000Z - -)
write_crl crl-nonext "$(tlv 30 "$ALG_256$INT_NAME$(der_utc 240601000000Z)$(tlv 30 "$ENTRIES")")"

# The PEM and bare base64 forms, which the listing must refuse.
ossl_plain crl -inform DER -in "$DATA/crl-full.crl" -outform PEM -out "$DATA/crl-full-pem.crl"
b64_plain "$DATA/crl-full.crl" "$DATA/crl-full-b64.crl"

# The root CA's CRL, made by openssl ca from its database (none of these serials is a fixture).
EXP=390315090000Z
printf 'R\t%s\t%s\t%s\tunknown\t%s\n' \
    $EXP 240510120000Z,keyTime,20240509080000Z 7701 '/CN=Revoked one' \
    $EXP 240511120000Z,superseded 7702 '/CN=Revoked two' \
    $EXP 240512120000Z,holdInstruction,holdInstructionReject 7703 '/CN=Revoked three' \
    $EXP 240513120000Z,removeFromCRL 7704 '/CN=Revoked four' \
    $EXP 240514120000Z 7705 '/CN=Revoked five' >"$WORK/root/index.txt"
echo 05 >"$WORK/root/crlnumber"
ossl ca -gencrl -config "$CNF" -name ca_root -md md_gost12_512 -crlexts crl_ext_root \
    -crl_lastupdate 20240601000000Z -crl_nextupdate 20390601000000Z -out "$WORK/crl-root.pem"
ossl_plain crl -in "$WORK/crl-root.pem" -outform DER -out "$DATA/crl-root.crl"

# ---------------------------------------------------------------------------------------------
# Checks: every object parses, the chain verifies, the signatures verify (or fail where meant to).

fail() { die "check failed: $*"; }

for f in "$DATA"/*.cer "$DATA"/ee-begin.der "$DATA"/*.req "$DATA"/*.p10 "$DATA"/chain.p7b \
    "$DATA"/crl-full.crl "$DATA"/crl-empty.crl "$DATA"/crl-nonext.crl "$DATA"/crl-root.crl; do
    case $f in
    *-b64.*) openssl base64 -d -in "$f" -out "$WORK/check.der" ;;
    *.p10) ossl_plain req -in "$f" -outform DER -out "$WORK/check.der" ;;
    *-pem.cer) ossl_plain x509 -in "$f" -outform DER -out "$WORK/check.der" ;;
    *) cp "$f" "$WORK/check.der" ;;
    esac
    ossl_plain asn1parse -inform DER -in "$WORK/check.der" || fail "asn1parse $f"
done

for name in ee-256 ee-512 ee-2001 ee-begin ee-noext; do
    if [[ $name == ee-begin ]]; then
        ossl_plain x509 -inform DER -in "$DATA/ee-begin.der" -out "$WORK/check.pem"
    else
        cp "$DATA/$name.pem" "$WORK/check.pem"
    fi
    ossl x509 -in "$WORK/check.pem" -text -noout || fail "x509 -text $name"
    ossl verify -CAfile "$DATA/ca.pem" -untrusted "$DATA/intermediate.pem" "$WORK/check.pem" ||
        fail "verify $name"
done
ossl verify -CAfile "$DATA/ca.pem" "$DATA/intermediate.pem" || fail "verify intermediate"
ossl x509 -in "$DATA/ee-oddext.pem" -text -noout || fail "x509 -text ee-oddext"

# openssl req -verify exits with 0 either way; its message tells.
for name in req-full req-snils req-noattr; do
    ossl req -in "$DATA/$name.p10" -verify -noout -text || fail "req -text $name"
    grep -q 'verify OK' "$WORK/ossl.err" || fail "req -verify $name"
done
ossl req -inform DER -in "$DATA/req-badsig.req" -verify -noout || fail "req-badsig does not parse"
grep -q 'verify failure' "$WORK/ossl.err" || fail "req-badsig verifies"

for name in crl-full crl-empty crl-nonext crl-root; do
    ossl_conf crl -inform DER -in "$DATA/$name.crl" -noout -text -CAfile "$DATA/chain.pem" ||
        fail "crl $name"
    grep -q 'verify OK' "$WORK/ossl.err" || fail "crl signature $name"
done

# OpenSSL refuses a certificate with duplicate extensions in a chain; its signature is checked alone.
ossl_plain x509 -in "$DATA/ee-oddext.pem" -outform DER -out "$WORK/odd.der"
der_field_hex "$WORK/odd.der" 1 1 | unhex >"$WORK/odd.tbs"
der_content "$(der_field_hex "$WORK/odd.der" 1 3)" | cut -c3- | unhex >"$WORK/odd.sig"
ossl x509 -in "$DATA/intermediate.pem" -noout -pubkey
cp "$WORK/ossl.out" "$WORK/int-pub.pem"
ossl dgst -md_gost12_256 -verify "$WORK/int-pub.pem" -signature "$WORK/odd.sig" "$WORK/odd.tbs" ||
    fail "ee-oddext signature"

grep -q BEGIN "$DATA/ee-begin.der" || fail "ee-begin.der holds no BEGIN"
for f in "$DATA"/*.cer "$DATA"/*.req "$DATA"/*.crl; do
    case $f in
    *-pem.*) ;;
    *) if grep -q BEGIN "$f"; then fail "$f holds BEGIN"; fi ;;
    esac
done

echo "fixtures written to $DATA"

# The signing fixtures depend on the intermediate CA written above.
"$DATA/make_signing_fixtures.sh"
