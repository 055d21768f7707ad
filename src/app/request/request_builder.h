// The request builder's commands without its window: each handler of the
// window, acting on the form. The Qt window forwards its events here after
// copying its widgets into the form and copies the form back afterwards; the
// command line and the tests call the same handlers.
#pragma once

#include "app/request/oid_catalogue.h"
#include "app/request/request_form.h"
#include "report/record/record.h"
#include "report/view/dialogs.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmora {

// Where the builder finds what lies outside the form.
struct RequestBuilderHost {
    Dialogs& dialogs;
    // The program's start folder ("OID.csv" is looked for there first) and
    // the program's own data folders after it.
    std::filesystem::path startFolder;
    std::vector<std::filesystem::path> programFolders = ProgramDataFolders();
    // The version and class of the installed CryptoPro CSP, for Label16.
    std::function<std::string()> cryptoProLabel;
};

class RequestBuilder {
  public:
    RequestBuilder(RequestForm& form, RequestBuilderHost host);

    RequestForm& Form() { return form_; }
    // The catalogue tree of "OID.csv" as loaded so far.
    const CatalogueTree& Catalogue() const { return catalogue_; }
    // The request or certificate loaded last ("Загрузить").
    const TRCstruct& LoadedRecord() const { return *record_; }

    // The main window's "Создать" / "Запрос" before the window is shown:
    // the provider list with the [75] provider selected, e_SrEP and Label16.
    void PrepareToShow();

    // Each showing: empty grids with their headers, the catalogue read into
    // the tree. False when the catalogue could not be loaded (its message
    // shown).
    bool FormShow();

    // "Добавить" and "Изменить" on the subject and alternative-name pages;
    // `entry` is the drop-down's text.
    void ADD_RDNClick(const std::string& entry);
    void Set_SG_RDNClick(const std::string& entry);
    void add_SG_ALTNAMEClick(const std::string& entry);
    void Set_SG_ALTNAMEClick(const std::string& entry);
    // "Button2" on the subject page: every value transliterated.
    void Button2Click();
    // "Добавить" and "Изменить" on the policy page.
    void add_SG_CertPolicyClick(const std::string& entry);
    void Set_SG_CertPolicyClick(const std::string& entry);
    // "Добавить" on the extended-key-usage page: a blank row to type into.
    void add_GridKEYUSAGEClick();
    // "Удалить" on each page.
    void del_SUB_RDNClick();
    void del_SG_ALTNAMEClick();
    void del_GridKEYUSAGEClick();
    void del_SG_CertPolicyClick();
    // A click on the catalogue tree: the captions of the clicked node and its
    // ancestors (root first), whether it is a leaf and its check state.
    void TRee_KEYUSAGEClick(const std::vector<std::string>& path, bool leaf, bool checked);

    // "Применить": the input fields into the grids.
    void applyClick();
    // The two-second timer: the key identifier and its validity texts.
    void Timer1Timer();
    // A provider chosen in SetCsp.
    void SetCspChange(int index);
    // "Обзор": a container chosen in the container manager.
    void browse_contClick();

    // "Сохранить": makes the request and asks where to save it. True when a
    // file was written.
    bool req_saveClick();
    // "Загрузить": asks for a request (or certificate) and spreads it over
    // the form. True when a file was chosen.
    bool req_loadClick();
    // Loads that file into the form, as "Загрузить" does once it is chosen.
    void LoadFile(const std::filesystem::path& file);

  private:
    std::string ProviderLabel() const;
    void PutAltNameByKey(std::string_view oid, const std::string& value);
    void PutSubjectByKey(std::string_view oid, const std::string& value, const std::string& label);

    RequestForm& form_;
    RequestBuilderHost host_;
    CatalogueTree catalogue_;
    std::unique_ptr<TRCstruct> record_ = std::make_unique<TRCstruct>();
};

}  // namespace velmora
