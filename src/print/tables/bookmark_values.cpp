#include "print/tables/bookmark_values.h"

#include "crypto/platform/system/clock.h"
#include "encoding/date_time.h"
#include "print/package/ascii_case.h"
#include "report/purposes/certificate_purpose.h"
#include "report/record/record_lookup.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace velmora::print {
namespace {

const TCERT_EXTENSION_STR* Usages(const TRCstruct& record) {
    const int index = ExtensionIndex(record, "2.5.29.37");
    return index < 0 ? nullptr : &record.Extensions.Items[static_cast<std::size_t>(index)];
}

// One usage a line: "name (oid), " and for the last "name (oid)", every
// line ending in a line break.
std::string UsageLines(const TRCstruct& record) {
    std::string text;
    if (const TCERT_EXTENSION_STR* usages = Usages(record)) {
        const auto& items = usages->Purposes.Items;
        for (std::size_t i = 0; i < items.size(); ++i) {
            text +=
                items[i].Label + " (" + items[i].Oid + (i + 1 < items.size() ? "), " : ")") + "\n";
        }
    }
    return text;
}

DateTime Today() {
    return FileTimeToLocal(platform::NowFileTime()).value_or(DateTime{});
}

// The short date of the system, "dd.mm.yyyy", and " г.".
std::string ShortDateText() {
    const DateTime today = Today();
    char text[32];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d г.", today.day, today.month, today.year);
    return text;
}

std::string FullName(const TRCstruct& record) {
    return record.Surname + " " + record.GivenName;
}

// What a placeholder's value is made from.
struct Sources {
    const TRCstruct& record;
    const std::string& usages;
    const std::string& purposes;
};

struct Placeholder {
    std::string_view name;
    std::string (*value)(const Sources& s);
};

const std::array<Placeholder, 37> kPlaceholders{{
    {"Description",
     [](const Sources& s) -> std::string {
         return NameListValue(s.record.Subject, "2.5.4.13", 1);
     }},
    {"FIO", [](const Sources& s) -> std::string { return FullName(s.record); }},
    {"FIO2", [](const Sources& s) -> std::string { return FullName(s.record); }},
    {"FIO3", [](const Sources& s) -> std::string { return FullName(s.record); }},
    {"DATE_POD", [](const Sources&) { return ShortDateText(); }},
    {"DATE_POD2", [](const Sources&) { return ShortDateText(); }},
    {"DATE", [](const Sources&) { return DateTextLong(Today()); }},
    {"SERIAL_NUMBER", [](const Sources& s) -> std::string { return s.record.SerialNumber; }},
    {"OGRN_INN",
     [](const Sources& s) -> std::string {
         return s.record.Ogrn.empty() ? s.record.Inn : s.record.Ogrn + ", " + s.record.Inn;
     }},
    {"SUR_NAME", [](const Sources& s) -> std::string { return s.record.Surname; }},
    {"LOCALITY_NAME", [](const Sources& s) -> std::string { return s.record.Locality; }},
    {"GIVEN_NAME", [](const Sources& s) -> std::string { return s.record.GivenName; }},
    {"COMMON_NAME", [](const Sources& s) -> std::string { return s.record.CommonName; }},
    {"ORGANIZATION_NAME", [](const Sources& s) -> std::string { return s.record.Organization; }},
    {"ZAYAVITEL_NAME", [](const Sources& s) -> std::string { return s.record.Organization; }},
    {"TITLE", [](const Sources& s) -> std::string { return s.record.Title; }},
    {"INN", [](const Sources& s) -> std::string { return s.record.Inn; }},
    {"SNILS", [](const Sources& s) -> std::string { return s.record.Snils; }},
    {"KPP", [](const Sources& s) -> std::string { return s.record.Kpp; }},
    {"OGRN", [](const Sources& s) -> std::string { return s.record.Ogrn; }},
    {"KOD_SPZ", [](const Sources& s) -> std::string { return s.record.SpzCode; }},
    {"KOD_GMU", [](const Sources& s) -> std::string { return s.record.GmuCode; }},
    {"USER_ASFK", [](const Sources& s) -> std::string { return s.record.AsfkUser; }},
    {"ORGANIZATIONAL_UNIT_NAME", [](const Sources& s) -> std::string { return s.record.OrgUnit1; }},
    {"TITLE_ASFK", [](const Sources& s) -> std::string { return AsfkTitleName(s.record); }},
    {"EMAILADDR", [](const Sources& s) -> std::string { return s.record.Email; }},
    {"ENHANCED_KEY_USAGE", [](const Sources& s) -> std::string { return s.usages; }},
    {"PK_algName",
     [](const Sources& s) -> std::string { return s.record.PublicKey.AlgorithmName; }},
    {"PK_algoritmOID",
     [](const Sources& s) -> std::string { return s.record.PublicKey.AlgorithmOid; }},
    {"PK_Parameters",
     [](const Sources& s) -> std::string { return s.record.PublicKey.Parameters; }},
    {"PUBLIC_KEY", [](const Sources& s) -> std::string { return s.record.PublicKey.Value; }},
    {"SignatureAlg",
     [](const Sources& s) -> std::string { return s.record.Signature.AlgorithmName; }},
    {"SignatureAlgOID",
     [](const Sources& s) -> std::string { return s.record.Signature.AlgorithmOid; }},
    {"SignatureAlg_Parameters",
     [](const Sources& s) -> std::string { return s.record.Signature.Parameters; }},
    {"Stamp_PUBLIC_KEY", [](const Sources& s) -> std::string { return s.record.GostKeyHash; }},
    {"Signature_REQ", [](const Sources& s) -> std::string { return s.record.Signature.Value; }},
    {"UsageComents", [](const Sources& s) -> std::string { return s.purposes; }},
}};

}  // namespace

std::string PurposeLines(const TRCstruct& record) {
    std::string text;
    if (record.Kind != "REQ") {
        return text;
    }
    const TCERT_EXTENSION_STR* usages = Usages(record);
    if (usages == nullptr) {
        return text;
    }
    std::vector<std::string> lines;
    std::string description;
    for (const TOidValue& usage : usages->Purposes.Items) {
        CertificatePurpose(usage.Oid, description);
        if (std::find(lines.begin(), lines.end(), description) == lines.end()) {
            lines.push_back(description);
        }
    }
    for (const std::string& line : lines) {
        text += "- " + line + "\n";
    }
    return text;
}

BookmarkValues::BookmarkValues(const TRCstruct& record)
    : record_(record), usageLines_(UsageLines(record)), purposeLines_(PurposeLines(record)) {}

std::optional<std::string> BookmarkValues::ValueOf(std::string_view bookmarkName) const {
    const std::string_view placeholder = bookmarkName.substr(0, bookmarkName.find("__"));
    for (const Placeholder& entry : kPlaceholders) {
        if (SameName(entry.name, placeholder)) {
            return entry.value(Sources{record_, usageLines_, purposeLines_});
        }
    }
    return std::nullopt;
}

std::vector<std::string_view> BookmarkValues::Placeholders() {
    std::vector<std::string_view> names;
    for (const Placeholder& entry : kPlaceholders) {
        names.push_back(entry.name);
    }
    return names;
}

}  // namespace velmora::print
