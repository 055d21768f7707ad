#include "print/tables/certificate_tables.h"

#include "report/extensions/key_usage.h"
#include "report/names/attribute_label.h"
#include "report/record/record_lookup.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace velmora::print {
namespace {

std::string Joined(std::initializer_list<std::string> parts, std::string_view separator) {
    std::string text;
    for (const std::string& part : parts) {
        if (&part != parts.begin()) {
            text += separator;
        }
        text += part;
    }
    return text;
}

const TCERT_EXTENSION_STR* FindExtension(const TRCstruct& record, std::string_view oid) {
    const int index = ExtensionIndex(record, oid);
    return index < 0 ? nullptr : &record.Extensions.Items[static_cast<std::size_t>(index)];
}

// "name1 (oid1), name2 (oid2)" over the usages of the extended key usage.
std::string UsagesWithOids(const TCERT_EXTENSION_STR* usages) {
    std::string text;
    if (usages == nullptr) {
        return text;
    }
    const auto& items = usages->Purposes.Items;
    for (std::size_t i = 0; i < items.size(); ++i) {
        text += items[i].Label + " (" + items[i].Oid + (i + 1 < items.size() ? "), " : ")");
    }
    return text;
}

// Records of Data (the name) and Data_zpt (the name and ", ", the last
// without it) for each entry of a list, with extra columns after them.
void AddListRecords(DataTable& table, const TDataOidsValue& list, bool withOid) {
    for (std::size_t i = 0; i < list.Items.size(); ++i) {
        const TOidValue& entry = list.Items[i];
        std::vector<std::string> values = {entry.Label,
                                           entry.Label + (i + 1 < list.Items.size() ? ", " : "")};
        if (withOid) {
            values.push_back(entry.Oid);
        }
        table.AddRecord(std::move(values));
    }
}

}  // namespace

TableSet MakeCertificateTables() {
    TableSet tables;
    tables.Add(DataTable(std::string(kTabOD), {"SerialNumber",
                                               "NotBefore",
                                               "NotAfter",
                                               "COMMON_NAME",
                                               "OGRN",
                                               "INN",
                                               "SNILS",
                                               "LOCALITY_UL",
                                               "Name_UC",
                                               "LOCALITY_UC",
                                               "SerialNumber_UC",
                                               "Name_EP",
                                               "rekv_sootv_sr_EP",
                                               "name_sr_UC",
                                               "rekv_sootv_UC",
                                               "Alg_KPEP",
                                               "isp_sr_EP",
                                               "PUBLIC_KEY",
                                               "SignatureAlgorithm",
                                               "signature",
                                               "ORGANIZATION_NAME",
                                               "TITLE",
                                               "KPP",
                                               "KOD_GMU",
                                               "KOD_SPZ",
                                               "TITLE_ASFK",
                                               "USER_ASFK",
                                               "EMAILADDR",
                                               "ORGANIZATIONAL_UNIT_NAME",
                                               "algPK_s_OID",
                                               "Alg_parametrs",
                                               "SignatureAlgorithm_s_OID",
                                               "SignatureAlgorithm_Parametrs",
                                               "polnomochia",
                                               "KEY_USAGE"}));
    tables.Add(DataTable(std::string(kOblIsp), {"Data", "Data_zpt", "Data_oid"}));
    tables.Add(DataTable(std::string(kKlassSredstvUC), {"Data", "Data_zpt"}));
    tables.Add(DataTable(std::string(kKlassSredstvEP), {"Data", "Data_zpt"}));
    return tables;
}

void FillCertificateTables(TableSet& tables, const TRCstruct& record) {
    tables.Clear();
    const TCERT_EXTENSION_STR* authority = FindExtension(record, "2.5.29.35");
    const TCERT_EXTENSION_STR* tools = FindExtension(record, "1.2.643.100.112");
    const TCERT_EXTENSION_STR* usages = FindExtension(record, "2.5.29.37");
    const TCERT_EXTENSION_STR* policies = FindExtension(record, "2.5.29.32");
    const TCERT_EXTENSION_STR* keyUsage = FindExtension(record, "2.5.29.15");
    const auto issuer = [&](const char* oid) { return NameListValue(record.Issuer, oid, 1); };

    tables.Find(kTabOD)->AddRecord({
        record.SerialNumber,
        record.NotBefore,
        record.NotAfter,
        record.CommonName,
        record.Ogrn,
        record.Inn,
        record.Snils,
        Joined({record.Country, record.Locality, record.Region, record.Street}, ", "),
        authority != nullptr ? issuer("2.5.4.3") : "",
        authority != nullptr
            ? Joined({issuer("2.5.4.6"), issuer("2.5.4.7"), issuer("2.5.4.8"), issuer("2.5.4.9")},
                     ", ")
            : "",
        authority != nullptr ? authority->AuthorityKeyId.SerialNumber : "",
        tools != nullptr ? tools->SignToolName : "",
        tools != nullptr ? tools->SignToolCertificate : "",
        tools != nullptr ? tools->CaToolName : "",
        tools != nullptr ? tools->CaToolCertificate : "",
        record.PublicKey.AlgorithmName,
        record.SignToolText,
        record.PublicKey.Value,
        record.Signature.AlgorithmName,
        record.Signature.Value,
        record.Organization,
        record.Title,
        record.Kpp,
        record.GmuCode,
        record.SpzCode,
        AsfkTitleName(record),
        record.AsfkUser,
        record.Email,
        record.OrgUnit1,
        record.PublicKey.AlgorithmName + "(" + record.PublicKey.AlgorithmOid + ")",
        record.PublicKey.Parameters,
        record.Signature.AlgorithmName,
        record.Signature.Parameters,
        UsagesWithOids(usages),
        keyUsage != nullptr ? KeyUsageText(keyUsage->KeyUsage) : "",
    });
    if (record.Kind != "CERT") {
        return;
    }
    if (usages != nullptr) {
        AddListRecords(*tables.Find(kOblIsp), usages->Purposes, true);
    }
    if (policies != nullptr) {
        AddListRecords(*tables.Find(kKlassSredstvUC), policies->Policies, false);
        AddListRecords(*tables.Find(kKlassSredstvEP), policies->Policies, false);
    }
}

}  // namespace velmora::print
