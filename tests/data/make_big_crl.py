#!/usr/bin/env python3
"""Writes the to-be-signed part of a large CRL for the benchmark.

make_fixtures.sh big-crl OUT N calls this with the issuer's name and key identifier, then signs
the result with openssl. The entries are deterministic: serial numbers of 1 to 20 bytes (some with
the top bit set), revocation dates a minute apart, every reason code 0 to 10 and entries without
one, and an invalidity date on every third entry.
"""

import argparse
import datetime


def der_len(n):
    if n < 0x80:
        return bytes([n])
    body = n.to_bytes((n.bit_length() + 7) // 8, "big")
    return bytes([0x80 | len(body)]) + body


def tlv(tag, content):
    return bytes([tag]) + der_len(len(content)) + content


def der_int(magnitude):
    magnitude = magnitude.lstrip(b"\x00") or b"\x00"
    if magnitude[0] & 0x80:
        magnitude = b"\x00" + magnitude
    return tlv(0x02, magnitude)


def der_oid(text):
    arcs = [int(a) for a in text.split(".")]
    out = bytearray([arcs[0] * 40 + arcs[1]])
    for arc in arcs[2:]:
        chunk = [arc & 0x7F]
        arc >>= 7
        while arc:
            chunk.append(0x80 | (arc & 0x7F))
            arc >>= 7
        out += bytes(reversed(chunk))
    return tlv(0x06, bytes(out))


def der_ext(oid, value):
    return tlv(0x30, der_oid(oid) + tlv(0x04, value))


def utc(t):
    return tlv(0x17, t.strftime("%y%m%d%H%M%SZ").encode())


def generalized(t):
    return tlv(0x18, t.strftime("%Y%m%d%H%M%SZ").encode())


REASON_OID = "2.5.29.21"
INVALIDITY_OID = "2.5.29.24"


def entry(i, start):
    length = 1 + (i * 7) % 20
    serial = ((i + 1) * 0x9E3779B97F4A7C15 % (1 << (8 * length))).to_bytes(length, "big")
    if serial[0] == 0:
        serial = b"\x01" + serial[1:]
    revoked = start + datetime.timedelta(minutes=i)
    exts = b""
    reason = i % 12  # 11 means no reason code
    if reason < 11:
        exts += der_ext(REASON_OID, tlv(0x0A, bytes([reason])))
    if i % 3 == 0:
        exts += der_ext(INVALIDITY_OID, generalized(revoked - datetime.timedelta(hours=6)))
    body = der_int(serial) + utc(revoked)
    if exts:
        body += tlv(0x30, exts)
    return tlv(0x30, body)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--issuer-hex", required=True, help="the issuer's Name, DER as hex")
    parser.add_argument("--keyid-hex", required=True, help="the issuer's key identifier, hex")
    parser.add_argument("--count", type=int, required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()

    start = datetime.datetime(2020, 1, 1, 0, 0, 0)
    entries = b"".join(entry(i, start) for i in range(args.count))
    this_update = datetime.datetime(2024, 6, 1, 0, 0, 0)
    next_update = datetime.datetime(2039, 6, 1, 0, 0, 0)
    algorithm = tlv(0x30, der_oid("1.2.643.7.1.1.3.2") + b"\x05\x00")
    extensions = der_ext(
        "2.5.29.35", tlv(0x30, tlv(0x80, bytes.fromhex(args.keyid_hex)))
    ) + der_ext("2.5.29.20", der_int(args.count.to_bytes(4, "big")))
    tbs = (
        der_int(b"\x01")
        + algorithm
        + bytes.fromhex(args.issuer_hex)
        + utc(this_update)
        + utc(next_update)
    )
    if entries:
        tbs += tlv(0x30, entries)
    tbs += tlv(0xA0, tlv(0x30, extensions))
    with open(args.out, "wb") as f:
        f.write(tlv(0x30, tbs))


if __name__ == "__main__":
    main()
