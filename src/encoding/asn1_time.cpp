#include "encoding/asn1_time.h"

namespace velmora {

namespace {

// The characters at 1-based positions from..from+count-1 that the text has.
std::string_view Chars(std::string_view text, std::size_t from, std::size_t count) {
    if (from < 1 || from > text.size()) {
        return {};
    }
    return text.substr(from - 1, count);
}

// The character at 1-based position p, or NUL when the text is shorter.
char At(std::string_view text, std::size_t p) {
    return p >= 1 && p <= text.size() ? text[p - 1] : '\0';
}

bool IsZoneChar(char c) {
    return c == 'Z' || c == '+' || c == '-';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The part after the minutes: seconds when present, and the zone, which
// stands either right after the minutes or right after the seconds.
void AppendSecondsAndZone(std::string& out, std::string_view text, std::size_t p) {
    if (IsZoneChar(At(text, p))) {
        out += TimeZoneText(text, p);
        return;
    }
    if (p > text.size()) {
        return;
    }
    out += ':';
    out += Chars(text, p, 2);
    if (IsZoneChar(At(text, p + 2))) {
        out += TimeZoneText(text, p + 2);
    }
}

}  // namespace

std::string TimeZoneText(std::string_view text, std::size_t p) {
    const char c = At(text, p);
    if (c == 'Z') {
        return " по Гринвичу";
    }
    if (c != '+' && c != '-') {
        return {};
    }
    std::string out = " GMT ";
    out += c;
    out += Chars(text, p + 1, 2);
    out += ':';
    out += Chars(text, p + 3, 2);
    return out;
}

std::string GeneralizedTimeText(std::string_view content) {
    std::string out;
    out += Chars(content, 7, 2);
    out += '.';
    out += Chars(content, 5, 2);
    out += '.';
    out += Chars(content, 1, 4);
    out += " г. ";
    out += Chars(content, 9, 2);
    out += ':';
    out += Chars(content, 11, 2);
    AppendSecondsAndZone(out, content, 13);
    return out;
}

std::string UtcTimeText(std::string_view content) {
    std::string_view century;
    if (IsDigit(At(content, 1)) && IsDigit(At(content, 2))) {
        const int year = (At(content, 1) - '0') * 10 + (At(content, 2) - '0');
        century = year < 50 ? "20" : "19";
    }
    std::string out;
    out += Chars(content, 5, 2);
    out += '.';
    out += Chars(content, 3, 2);
    out += '.';
    out += century;
    out += Chars(content, 1, 2);
    out += " г. ";
    out += Chars(content, 7, 2);
    out += ':';
    out += Chars(content, 9, 2);
    AppendSecondsAndZone(out, content, 11);
    return out;
}

}  // namespace velmora
