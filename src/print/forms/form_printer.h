// The print commands of the main window: the certificate forms filled into
// spreadsheet templates from four tables, the request, revocation and
// access-point forms filled into word-processing templates at their
// bookmarks; each filled copy written to a folder of its own and shown by
// the desktop's application. No window is involved: the questions and
// messages go through the dialogs.
#pragma once

#include "print/forms/document_opener.h"
#include "print/forms/form_template.h"
#include "print/tables/data_table.h"
#include "report/record/record.h"
#include "report/view/dialogs.h"

#include <filesystem>
#include <string_view>
#include <vector>

namespace velmora::print {

struct PrintSettings {
    // Searched in order for the templates.
    std::vector<std::filesystem::path> templateFolders;
    // Where each filled copy gets a folder of its own.
    std::filesystem::path outputRoot;
};

// The folders of DefaultTemplateFolders and the system's temporary folder.
PrintSettings DefaultPrintSettings();

// The word-processing form filled from the record: each bookmark named
// after a placeholder gets the record's value.
Bytes FillWordForm(FormTemplate& form, const TRCstruct& record, bool asTemplate = false);

class FormPrinter {
  public:
    FormPrinter(Dialogs& dialogs, DocumentOpener& opener, PrintSettings settings);

    // "в Excel": asks "Для физ.лица?"; Yes prints the person's certificate
    // form, No (or closing the box) the legal entity's.
    void bPrintClick(const TRCstruct& record);
    // "как в ВРС".
    void printVrsClick(const TRCstruct& record);
    // "в WORD", "Отзыв", "Заявка АП Континент".
    void WORD1Click(const TRCstruct& record);
    void PrintotzyvCerClick(const TRCstruct& record);
    void Pr_ReQAPContClick(const TRCstruct& record);

    // Fills the four tables from the record, then the spreadsheet form from
    // them, and shows the filled copy. Raises Error ("Can't find the file
    // ...", a damaged template, a file not written); the tables stay filled.
    void mPrintexcel(const TRCstruct& record, std::string_view formName);
    // Fills the word-processing form's bookmarks from the record and shows
    // the filled copy.
    void PrintWord(const TRCstruct& record, std::string_view formName);

    // The tables of the last spreadsheet print.
    const TableSet& Tables() const { return tables_; }
    // The filled copy written last; empty before the first.
    const std::filesystem::path& LastFilledCopy() const { return lastCopy_; }

  private:
    std::filesystem::path Template(std::string_view formName) const;
    std::filesystem::path WriteCopy(std::string_view formName, const std::string& extension,
                                    const Bytes& bytes);

    Dialogs& dialogs_;
    DocumentOpener& opener_;
    PrintSettings settings_;
    TableSet tables_;
    std::filesystem::path lastCopy_;
};

}  // namespace velmora::print
