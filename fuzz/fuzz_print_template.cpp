// Form templates of both kinds, filled from a record with every field set.
// Input starting with "PK" is a whole template package, read within its
// limits; otherwise mutations of compressed parts would rarely get past the
// archive's checksums, so input starting with "S" is the worksheet of a
// fixed workbook (with repeated bands, a drawing and shared strings) and any
// other the body of a fixed word-processing document. Raised errors are
// expected; anything else must not happen.
#include "encoding/error.h"
#include "print/forms/form_printer.h"
#include "print/forms/form_template.h"
#include "print/package/zip_package.h"
#include "print/tables/certificate_tables.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

using velmora::print::MainKind;

// Three usages and two policies, so that bands are repeated.
velmora::TRCstruct MakeRecord() {
    velmora::TRCstruct record;
    record.CommonName = "Иванов Иван Иванович";
    record.Surname = "Иванов";
    record.GivenName = "Иван Иванович";
    record.Organization = "Рога & <Копыта>";
    record.Inn = "771234567890";
    record.Ogrn = "1027700132195";
    record.SerialNumber = "009C4E2A17B3D5F6071829";
    record.GostKeyHash = "07 34 82 E8\rCC 78 28 1D\r";
    record.Kind = "CERT";
    velmora::TCERT_EXTENSION_STR usages;
    usages.Oid = "2.5.29.37";
    usages.Purposes.Items = {{"1.3.6.1.5.5.7.3.2", "", "Проверка подлинности клиента"},
                             {"1.2.643.3.61.1.1.6.502710.3.4.1.1", "", "Неизвестный OID"},
                             {"1.2.3", "", "_x0041_"}};
    velmora::TCERT_EXTENSION_STR policies;
    policies.Oid = "2.5.29.32";
    policies.Policies.Items = {{"1.2.643.100.113.1", "", "КС1"}, {"1.2.643.100.113.2", "", "КС2"}};
    record.Extensions.Items = {usages, policies};
    return record;
}

constexpr const char* kTypes =
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/"
    "vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml\"/>"
    "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
    "vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml\"/></Types>";
constexpr const char* kRelationships =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
constexpr const char* kType =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

std::string Relationship(const char* type, const char* target) {
    return std::string("<Relationship Id=\"rId1\" Type=\"") + kType + type + "\" Target=\"" +
           target + "\"/>";
}

velmora::Bytes Workbook(const std::string& sheet) {
    return velmora::print::MakePackage({
        {"[Content_Types].xml", kTypes},
        {"_rels/.rels",
         kRelationships + Relationship("officeDocument", "xl/workbook.xml") + "</Relationships>"},
        {"xl/workbook.xml",
         "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
         "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
         "<sheets><sheet name=\"Лист 1\" sheetId=\"1\" r:id=\"rId1\"/></sheets><definedNames>"
         "<definedName name=\"_xlnm.Print_Area\">'Лист 1'!$A$1:$E$9</definedName>"
         "<definedName name=\"OblIsp\">'Лист 1'!$2:$3</definedName>"
         "<definedName name=\"__klass_sredstv_EP__\">'Лист 1'!$A$5:$E$5</definedName>"
         "</definedNames></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         kRelationships + Relationship("worksheet", "worksheets/sheet1.xml") +
             "<Relationship Id=\"rId2\" Type=\"" + kType +
             "sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>"},
        {"xl/sharedStrings.xml",
         "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><si><t>"
         "&lt;#tabOD.COMMON_NAME&gt;</t></si><si><r><t>&lt;#OblIsp.</t></r><r><rPr><b/></rPr>"
         "<t>Data&gt; &lt;#klass_sredstv_EP.Data_zpt&gt;</t></r></si></sst>"},
        {"xl/worksheets/sheet1.xml", sheet},
        {"xl/worksheets/_rels/sheet1.xml.rels",
         kRelationships + Relationship("drawing", "../drawings/drawing1.xml") + "</Relationships>"},
        {"xl/drawings/drawing1.xml",
         "<xdr:wsDr xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/"
         "spreadsheetDrawing\"><xdr:oneCellAnchor><xdr:from><xdr:row>6</xdr:row></xdr:from>"
         "</xdr:oneCellAnchor></xdr:wsDr>"},
    });
}

velmora::Bytes Document(const std::string& body) {
    return velmora::print::MakePackage({
        {"[Content_Types].xml", kTypes},
        {"_rels/.rels",
         kRelationships + Relationship("officeDocument", "word/document.xml") + "</Relationships>"},
        {"word/document.xml", body},
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const velmora::TRCstruct record = MakeRecord();
    const std::string input(reinterpret_cast<const char*>(data), size);
    try {
        velmora::Bytes bytes;
        if (input.starts_with("PK")) {
            bytes.assign(input.begin(), input.end());
        } else if (input.starts_with("S")) {
            bytes = Workbook(input.substr(1));
        } else {
            bytes = Document(input.substr(input.empty() ? 0 : 1));
        }
        velmora::print::FormTemplate form(bytes, "fuzz");
        if (form.Kind() == MainKind::Workbook) {
            velmora::print::TableSet tables = velmora::print::MakeCertificateTables();
            velmora::print::FillCertificateTables(tables, record);
            form.FillWorkbook(tables);
        } else {
            velmora::print::FillWordForm(form, record);
        }
    } catch (const velmora::Error&) {
    }
    return 0;
}
