// The value texts of the ASN.1 dump.
#pragma once

#include "encoding/bytes.h"

#include <string>
#include <string_view>

namespace velmora {

// Every byte as two upper-case hex digits followed by a space; then, when the
// bytes are readable (see IsReadableContent), the bytes as text in
// parentheses. An empty content is readable and gives "()".
std::string AsnHexText(ByteView content);

// The readable set: ".", "/", "0".."9", ":", "A".."Z", "\", "a".."z", and the
// letters Ё, ё, А..я. Content bytes are read as the program's text, UTF-8:
// an ASCII byte counts when it is in the set, and a well-formed two-byte
// sequence counts when it encodes one of those Cyrillic letters (and then
// shows as that letter). Any other byte, a space or other punctuation
// included, makes the content unreadable.
bool IsReadableContent(ByteView content);

// String content shown as it stands, kept valid UTF-8 and on one line: a
// malformed or cut-off UTF-8 sequence and every control character (C0, DEL,
// C1) show as "?". Control characters would break the one-line-per-element
// layout or drive the terminal the CLI writes to.
std::string AsnDisplayText(std::string_view content);

// The dotted text of an object identifier's content. The first sub-identifier
// s holds the first two arcs (0.s below 40, 1.(s-40) below 80, else
// 2.(s-80)). Sub-identifiers beyond 64 bits (such as UUID arcs under 2.25)
// are written in full up to 128 content bytes each; a longer one, or one cut
// off by the end of the content, shows as "?". An empty content gives "".
std::string OidText(ByteView content);

}  // namespace velmora
