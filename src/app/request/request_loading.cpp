#include "app/request/request_loading.h"

#include "app/grid/grid_operations.h"
#include "app/request/request_lists.h"
#include "report/extensions/key_usage.h"
#include "report/names/attribute_label.h"
#include "report/record/record_lookup.h"

namespace velmora {

namespace {

using namespace request;

// The extension of that OID in the record (the first one); nullptr when none.
const TCERT_EXTENSION_STR* FindRecordExtension(const TRCstruct& record, std::string_view oid) {
    const int index = ExtensionIndex(record, oid);
    return index < 0 ? nullptr : &record.Extensions.Items[static_cast<std::size_t>(index)];
}

// The eight items, each checked by its flag.
std::vector<CheckListItem> KeyUsageList(const TKEY_USAGE_STR& usage) {
    const bool flags[] = {usage.DigitalSignature, usage.NonRepudiation, usage.KeyEncipherment,
                          usage.DataEncipherment, usage.KeyAgreement,   usage.KeyCertSign,
                          usage.CrlSign,          usage.DecipherOnly};
    std::vector<CheckListItem> items;
    for (std::size_t k = 0; k < kKeyUsageNames.size(); ++k) {
        items.push_back(
            {KeyUsageNameMap(kKeyUsageNames[k].constantName, KeyUsageNameKind::kConstant),
             flags[k]});
    }
    return items;
}

void FillOidGrid(StringGrid& grid, const std::vector<std::string>& header,
                 const TDataOidsValue* list) {
    SetGridHeader(grid, header, true);
    if (list != nullptr) {
        for (const TOidValue& item : list->Items) {
            AppendGridRow(grid, {item.Oid, item.Label}, true);
        }
    }
}

}  // namespace

void FillFormFromRecord(RequestForm& form, const TRCstruct& record) {
    form.Text("e_INN") = record.Inn;
    form.Text("e_KPP") = record.Kpp;
    form.Text("e_CN") = record.CommonName;
    form.Text("e_SURNAME") = record.Surname;
    form.Text("e_GIVEN_NAME") = record.GivenName;
    form.Text("E_COUNTRY_NAME") = record.Country;
    form.Text("ContName") = record.Surname + " " + record.GivenName;
    form.Text("e_OGRN") = record.Ogrn;
    form.Text("E_SNILS") = record.Snils;
    form.Text("e_SPZ") = record.SpzCode;
    form.Text("e_GMU") = record.GmuCode;
    form.Text("e_dolgn") = record.Title;
    form.Text("e_login_asfk") = record.AsfkUser;
    form.Text("TITLE_ASFK") = OidFriendlyName(record.AsfkTitle) + "(" + record.AsfkTitle + ")";
    form.Text("e_podr") = record.OrgUnit1;
    form.Text("Org") = record.Organization;
    form.Text("IDENTIFY_KEY") = record.ChangeKeyId;
    form.Text("e_email") = record.Email;
    form.Text("e_locality") = record.Locality;
    form.Text("e_region") = record.Region;

    SetGridHeader(form.grids.SUB_RDN, kSubjectHeader, true);
    for (const TOidValue& item : record.Subject.Items) {
        AppendGridRow(form.grids.SUB_RDN, {item.Oid, item.Value, item.Label}, true);
    }

    const TCERT_EXTENSION_STR* usages = FindRecordExtension(record, kExtendedKeyUsageExtension);
    FillOidGrid(form.grids.GridKEYUSAGE, kUsageHeader, usages ? &usages->Purposes : nullptr);

    SetGridHeader(form.grids.SG_ALTNAME, kAltNameHeader, true);
    if (const TCERT_EXTENSION_STR* names = FindRecordExtension(record, kAltNameExtension)) {
        for (const TALTERNATE_NAME& name : names->AltNames.Items) {
            if (name.Choice == AltNameChoice::kOtherName) {
                AppendGridRow(form.grids.SG_ALTNAME,
                              {name.OtherNameOid, name.OtherNameValue, name.OtherNameLabel}, true);
            }
        }
    }

    const TCERT_EXTENSION_STR* policies = FindRecordExtension(record, kPoliciesExtension);
    FillOidGrid(form.grids.SG_CertPolicy, kPolicyHeader, policies ? &policies->Policies : nullptr);

    // Without the extension the lists show the eight items unchecked, so
    // that the user can still choose usages for the next request.
    const TCERT_EXTENSION_STR* usage = FindRecordExtension(record, kKeyUsageExtension);
    form.keyUse = KeyUsageList(usage ? usage->KeyUsage : TKEY_USAGE_STR{});
    const TCERT_EXTENSION_STR* attributes = FindRecordExtension(record, kKeyAttributesExtension);
    const CERT_KEY_ATTRIBUTES_INFO_STR key_attributes =
        attributes ? attributes->KeyAttributes : CERT_KEY_ATTRIBUTES_INFO_STR{};
    form.attrKeyUse = KeyUsageList(key_attributes.KeyUsage);
    form.Text("attr_ID_KEY") = key_attributes.KeyId;
    form.Text("attr_NotBefore") = key_attributes.NotBefore;
    form.Text("attr_NotAfter") = key_attributes.NotAfter;
}

void IncludeRecordExtensions(RequestForm& form, const TRCstruct& record) {
    const auto has = [&record](std::string_view oid) {
        return FindRecordExtension(record, oid) != nullptr;
    };
    // A grid whose extension held nothing the form can carry stays out, as
    // an empty grid cannot be encoded.
    form.Check("CB_SUBJECT_ALT_NAME2") = has(kAltNameExtension) && form.grids.SG_ALTNAME.Enabled();
    form.Check("CB_KEY_ATTRIBUTES") = has(kKeyAttributesExtension);
    form.Check("CB_KEY_USAGE") = has(kKeyUsageExtension);
    form.Check("CB_ENHANCED_KEY_USAGE") =
        has(kExtendedKeyUsageExtension) && form.grids.GridKEYUSAGE.Enabled();
    form.Check("CB_CERT_POLICIES") = has(kPoliciesExtension) && form.grids.SG_CertPolicy.Enabled();
    const TCERT_EXTENSION_STR* tool = FindRecordExtension(record, kSignToolExtension);
    form.Check("CB_S_EP") = tool != nullptr;
    if (tool != nullptr) {
        form.Text("e_SrEP") = tool->SubjectToolText;
    }
}

}  // namespace velmora
