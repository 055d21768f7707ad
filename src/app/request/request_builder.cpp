#include "app/request/request_builder.h"

#include "app/grid/grid_operations.h"
#include "app/input/file_loader.h"
#include "app/request/request_generation.h"
#include "app/request/request_lists.h"
#include "app/request/request_loading.h"
#include "crypto/keys/container_operations.h"
#include "crypto/platform/keys/providers.h"
#include "crypto/platform/system/clock.h"
#include "encoding/date_time.h"
#include "encoding/text_parts.h"
#include "encoding/translit.h"
#include "report/names/attribute_label.h"

#include <algorithm>

namespace velmora {

namespace {

using namespace request;

// The key identifier and the validity texts shown while the timer runs.
DateTime Now() {
    return FileTimeToLocal(platform::NowFileTime()).value_or(DateTime{});
}

}  // namespace

RequestBuilder::RequestBuilder(RequestForm& form, RequestBuilderHost host)
    : form_(form), host_(std::move(host)) {}

std::string RequestBuilder::ProviderLabel() const {
    return host_.cryptoProLabel ? host_.cryptoProLabel() : std::string();
}

void RequestBuilder::PrepareToShow() {
    form_.providers = ProviderList(host_.dialogs);
    form_.selectedProvider = -1;
    const auto found =
        std::find(form_.providers.begin(), form_.providers.end(), kDefaultProviderEntry);
    if (found != form_.providers.end()) {
        form_.selectedProvider = static_cast<int>(found - form_.providers.begin());
    }
    form_.Text("e_SrEP") =
        ProviderVersionText(platform::kCryptoPro2001Name, platform::kProvGost2001, host_.dialogs);
    form_.Text("Label16") = ProviderLabel();
}

bool RequestBuilder::FormShow() {
    SetGridHeader(form_.grids.SUB_RDN, kSubjectHeader, true);
    SetGridHeader(form_.grids.GridKEYUSAGE, kUsageHeader, true);
    SetGridHeader(form_.grids.SG_ALTNAME, kAltNameHeader, true);
    SetGridHeader(form_.grids.SG_CertPolicy, kPolicyHeader, true);
    std::string error;
    const auto lines = ReadCatalogue(FindCatalogue(host_.startFolder, host_.programFolders), error);
    if (!lines) {
        ShowErrorBox(host_.dialogs, error);
        return false;
    }
    catalogue_.AddLines(*lines);
    return true;
}

void RequestBuilder::ADD_RDNClick(const std::string& entry) {
    const std::string oid = TextInParentheses(entry);
    AppendGridRow(form_.grids.SUB_RDN, {oid, std::string(kNewValue), AttributeLabel(oid)}, true);
}

void RequestBuilder::Set_SG_RDNClick(const std::string& entry) {
    const std::string oid = TextInParentheses(entry);
    SetSelectedGridRow(form_.grids.SUB_RDN, {oid, std::string(kKeepCell), AttributeLabel(oid)});
}

void RequestBuilder::Button2Click() {
    StringGrid& grid = form_.grids.SUB_RDN;
    for (int row = 1; row < grid.RowCount(); ++row) {
        grid.SetCell(row, 1, Translit(grid.Cell(row, 1)));
    }
}

void RequestBuilder::add_SG_ALTNAMEClick(const std::string& entry) {
    const std::string oid = TextInParentheses(entry);
    AppendGridRow(form_.grids.SG_ALTNAME, {oid, std::string(kNewValue), AttributeLabel(oid)}, true);
}

void RequestBuilder::Set_SG_ALTNAMEClick(const std::string& entry) {
    const std::string oid = TextInParentheses(entry);
    SetSelectedGridRow(form_.grids.SG_ALTNAME, {oid, std::string(kKeepCell), AttributeLabel(oid)});
}

void RequestBuilder::add_SG_CertPolicyClick(const std::string& entry) {
    const std::string oid = TextInParentheses(entry);
    PutGridRowByKey(form_.grids.SG_CertPolicy, 0, {oid, RegisteredOidName(oid)});
    form_.Check("CB_CERT_POLICIES") = form_.grids.SG_CertPolicy.Enabled();
}

void RequestBuilder::Set_SG_CertPolicyClick(const std::string& entry) {
    const std::string oid = TextInParentheses(entry);
    SetSelectedGridRow(form_.grids.SG_CertPolicy, {oid, AttributeLabel(oid)});
}

void RequestBuilder::add_GridKEYUSAGEClick() {
    StringGrid& grid = form_.grids.GridKEYUSAGE;
    // Always a new bottom row, also below the blank row of an empty grid.
    grid.SetRowCount(grid.RowCount() + 1);
    grid.SetEnabled(true);
    form_.Check("CB_ENHANCED_KEY_USAGE") = true;
}

void RequestBuilder::del_SUB_RDNClick() {
    DeleteSelectedGridRow(form_.grids.SUB_RDN);
}

void RequestBuilder::del_SG_ALTNAMEClick() {
    DeleteSelectedGridRow(form_.grids.SG_ALTNAME);
    form_.Check("CB_SUBJECT_ALT_NAME2") = form_.grids.SG_ALTNAME.Enabled();
}

void RequestBuilder::del_GridKEYUSAGEClick() {
    DeleteSelectedGridRow(form_.grids.GridKEYUSAGE);
    form_.Check("CB_ENHANCED_KEY_USAGE") = form_.grids.GridKEYUSAGE.Enabled();
}

void RequestBuilder::del_SG_CertPolicyClick() {
    DeleteSelectedGridRow(form_.grids.SG_CertPolicy);
    form_.Check("CB_CERT_POLICIES") = form_.grids.SG_CertPolicy.Enabled();
}

void RequestBuilder::TRee_KEYUSAGEClick(const std::vector<std::string>& path, bool leaf,
                                        bool checked) {
    if (!leaf || path.empty()) {
        return;
    }
    // The file is read again: a leaf whose path it no longer holds does nothing.
    std::string error;
    const auto lines = ReadCatalogue(FindCatalogue(host_.startFolder, host_.programFolders), error);
    if (!lines) {
        return;
    }
    const std::string oid = CatalogueOid(*lines, path);
    if (oid.empty()) {
        return;
    }
    StringGrid& grid = form_.grids.GridKEYUSAGE;
    if (checked) {
        PutGridRowByKey(grid, 0, {oid, path.back()});
    } else {
        DeleteGridRowsByKey(grid, 0, oid);
    }
    form_.Check("CB_ENHANCED_KEY_USAGE") = grid.Enabled();
    SortGridRows(grid, 0, SortDirection::kAscending);
}

void RequestBuilder::PutSubjectByKey(std::string_view oid, const std::string& value,
                                     const std::string& label) {
    if (value.empty()) {
        DeleteGridRowsByKey(form_.grids.SUB_RDN, 0, oid);
    } else {
        PutGridRowByKey(form_.grids.SUB_RDN, 0, {std::string(oid), value, label});
    }
}

void RequestBuilder::PutAltNameByKey(std::string_view oid, const std::string& value) {
    if (value.empty()) {
        DeleteGridRowsByKey(form_.grids.SG_ALTNAME, 0, oid);
    } else {
        PutGridRowByKey(form_.grids.SG_ALTNAME, 0,
                        {std::string(oid), value, RegisteredOidName(oid)});
    }
}

void RequestBuilder::applyClick() {
    const auto subject = [this](std::string_view oid, std::string_view field) {
        PutSubjectByKey(oid, form_.Text(field), AttributeLabel(oid));
    };
    const auto alt = [this](std::string_view oid, std::string_view field) {
        PutAltNameByKey(oid, form_.Text(field));
    };

    std::string combined;
    const auto add_id = [&combined](std::string_view oid, const std::string& value) {
        if (value.empty()) {
            return;
        }
        if (!combined.empty()) {
            combined += ";";
        }
        combined += std::string(oid) + "=" + value;
    };
    add_id(kOgrnOid, form_.Text("e_OGRN"));
    add_id(kSnilsOid, form_.Text("E_SNILS"));
    add_id(kInnOid, form_.Text("e_INN"));
    PutSubjectByKey(kCombinedIdsOid, combined, std::string(kCombinedIdsLabel));

    alt(kSpzOid, "e_SPZ");
    alt(kGmuOid, "e_GMU");
    alt(kKppOid, "e_KPP");
    subject(kEmailOid, "e_email");
    subject(kRegionOid, "e_region");
    subject(kLocalityOid, "e_locality");
    const std::string& title = form_.Text("TITLE_ASFK");
    if (title.empty()) {
        DeleteGridRowsByKey(form_.grids.SUB_RDN, 0, kAsfkTitleOid);
    } else {
        const std::string title_oid = TextInParentheses(title);
        PutSubjectByKey(kAsfkTitleOid, title_oid,
                        std::string(kAsfkTitleLabelPrefix) + RegisteredOidName(title_oid));
    }
    subject(kCountryOid, "E_COUNTRY_NAME");
    subject(kSurnameOid, "e_SURNAME");
    subject(kGivenNameOid, "e_GIVEN_NAME");
    subject(kCommonNameOid, "e_CN");
    subject(kTitleOid, "e_dolgn");
    subject(kOrgUnitOid, "e_podr");
    alt(kAsfkUserOid, "e_login_asfk");
    alt(kChangeKeyIdOid, "IDENTIFY_KEY");
}

void RequestBuilder::Timer1Timer() {
    const DateTime now = Now();
    form_.Text("IDENTIFY_KEY") = DateTimeStamp(now);
    PutAltNameByKey(kChangeKeyIdOid, form_.Text("IDENTIFY_KEY"));
    form_.Text("attr_NotBefore") = DateTimeTextDMY(now);
    form_.Text("attr_NotAfter") = DateTimeTextDMY(AddToDate(1, 0, -1, now));
}

void RequestBuilder::SetCspChange(int index) {
    form_.selectedProvider = index;
    const ProviderOfEntry provider = SplitProviderEntry(form_.SelectedProviderEntry());
    form_.Text("e_SrEP") = ProviderVersionText(provider.name, provider.type, host_.dialogs);
    form_.Text("Label16") = ProviderLabel();
}

void RequestBuilder::browse_contClick() {
    if (const auto choice = host_.dialogs.ChooseContainer()) {
        form_.Text("ContName") = choice->containerName;
    }
}

bool RequestBuilder::req_saveClick() {
    const std::optional<Bytes> request = MakeRequest(form_, host_.dialogs);
    if (!request) {
        return false;
    }
    const auto file = host_.dialogs.ChooseSaveFile(host_.startFolder, std::string());
    if (!file) {
        return false;
    }
    std::string error;
    if (!WriteRequestFile(*file, *request, error)) {
        ShowErrorBox(host_.dialogs, error);
        return false;
    }
    return true;
}

bool RequestBuilder::req_loadClick() {
    const auto file = host_.dialogs.ChooseOpenFile(1);
    if (!file) {
        return false;
    }
    LoadFile(*file);
    return true;
}

void RequestBuilder::LoadFile(const std::filesystem::path& file) {
    form_.Text("Label2") = file.string();
    record_ = std::make_unique<TRCstruct>();
    LoadDecodedFile(*record_, file, &host_.dialogs);
    FillFormFromRecord(form_, *record_);
}

}  // namespace velmora
