// Word-processing templates filled at their bookmarks and read back.

#include "encoding/error.h"
#include "print/forms/form_printer.h"
#include "print/forms/form_template.h"

#include "print/print_support.h"

#include <gtest/gtest.h>

namespace velmora::print {
namespace {

using testing::MakeZip;
using testing::PackageFrame;
using testing::Parts;
using testing::ReadBack;

constexpr const char* kW =
    "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"";

std::string Mark(const char* kind, int id, const char* name = nullptr) {
    return std::string("<w:bookmark") + kind + " w:id=\"" + std::to_string(id) + "\"" +
           (name != nullptr ? std::string(" w:name=\"") + name + "\"" : std::string()) + "/>";
}

std::string TextRun(const char* text, const char* format = "") {
    return std::string("<w:r>") + format + "<w:t xml:space=\"preserve\">" + text + "</w:t></w:r>";
}

Bytes Document(const std::string& body) {
    Parts parts = PackageFrame(false, true);
    parts.push_back({"word/document.xml", std::string("<w:document ") + kW + "><w:body>" + body +
                                              "<w:sectPr/></w:body></w:document>"});
    return MakeZip(parts);
}

// Each paragraph's text, line breaks as "\n", and the bookmarks left.
struct Filled {
    std::vector<std::string> paragraphs;
    std::vector<std::string> bookmarks;
    std::unique_ptr<pugi::xml_document> xml;
};

Filled Read(const Bytes& bytes, const std::string& part = "word/document.xml") {
    const ReadBack back(bytes);
    Filled filled{{}, {}, back.Xml(part)};
    for (pugi::xpath_node paragraph : filled.xml->select_nodes("//w:p")) {
        std::string text;
        pugi::xpath_node_set nodes = paragraph.node().select_nodes(".//w:t | .//w:br");
        nodes.sort();
        for (pugi::xpath_node node : nodes) {
            text +=
                std::string_view(node.node().name()) == "w:br" ? "\n" : node.node().text().get();
        }
        filled.paragraphs.push_back(text);
    }
    for (pugi::xpath_node mark : filled.xml->select_nodes("//w:bookmarkStart")) {
        filled.bookmarks.push_back(mark.node().attribute("w:name").value());
    }
    return filled;
}

TRCstruct Person() {
    TRCstruct record;
    record.Surname = "Иванов";
    record.GivenName = "Иван Иванович";
    record.Inn = "771234567890";
    record.Ogrn = "1027700132195";
    record.Title = "Главный специалист";
    record.Snils = "12345678901";
    record.Kind = "CERT";
    TCERT_EXTENSION_STR usages;
    usages.Oid = "2.5.29.37";
    usages.Purposes.Items = {{"1.3.6.1.5.5.7.3.2", "", "Проверка подлинности клиента"},
                             {"1.2.3", "", "Неизвестный OID"}};
    record.Extensions.Items.push_back(usages);
    return record;
}

TEST(DocumentFill, BookmarksTakeTheValuesOfTheirPlaceholders) {
    const std::string body =
        // The value takes the first replaced run's format; the text around
        // the bookmark stays.
        "<w:p>" + TextRun("ФИО: ") + Mark("Start", 1, "FIO") +
        TextRun("[ФИО]", "<w:rPr><w:b/></w:rPr>") + TextRun("хвост") + Mark("End", 1) +
        TextRun(" конец") + "</w:p>" +
        // An empty bookmark in an empty paragraph; the name ignores case.
        "<w:p><w:pPr><w:rPr><w:i/></w:rPr></w:pPr>" + Mark("Start", 2, "fio__2") + Mark("End", 2) +
        "</w:p>" + "<w:p>" + Mark("Start", 3, "OGRN_INN") + TextRun("x") + Mark("End", 3) +
        "</w:p>" +
        // Not a placeholder: kept with its text.
        "<w:p>" + Mark("Start", 4, "Подпись") + TextRun("(подпись)") + Mark("End", 4) + "</w:p>" +
        // Over three paragraphs: the first and the last join.
        "<w:p>" + TextRun("начало ") + Mark("Start", 5, "ENHANCED_KEY_USAGE") + TextRun("первый") +
        "</w:p><w:p>" + TextRun("средний") + "</w:p><w:p>" + TextRun("последний") + Mark("End", 5) +
        TextRun(" после") + "</w:p>" +
        // Nested: the inner one is filled first, then the outer overwrites it.
        "<w:p>" + Mark("Start", 6, "TITLE") + TextRun("внешний ") + Mark("Start", 7, "INN") +
        TextRun("внутренний") + Mark("End", 7) + Mark("End", 6) + "</w:p>" +
        // Markers between paragraphs.
        Mark("Start", 8, "SNILS") + "<w:p>" + TextRun("снилс") + "</w:p>" + Mark("End", 8) +
        "<w:p>" + Mark("Start", 9, "UsageComents") + TextRun("u") + Mark("End", 9) + "</w:p>";
    FormTemplate form(Document(body), "форма.dotx");
    const Filled filled = Read(FillWordForm(form, Person()));
    EXPECT_EQ(filled.paragraphs,
              (std::vector<std::string>{
                  "ФИО: Иванов Иван Иванович конец", "Иванов Иван Иванович",
                  "1027700132195, 771234567890", "(подпись)",
                  "начало Проверка подлинности клиента (1.3.6.1.5.5.7.3.2), \nНеизвестный OID "
                  "(1.2.3)\n после",
                  "Главный специалист", "12345678901", ""}));
    EXPECT_EQ(filled.bookmarks, std::vector<std::string>{"Подпись"});
    const pugi::xml_node first = filled.xml->select_node("//w:p[1]/w:r[2]").node();
    EXPECT_TRUE(first.child("w:rPr").child("w:b"));
    EXPECT_TRUE(filled.xml->select_node("//w:p[2]/w:r/w:rPr/w:i"));
}

TEST(DocumentFill, ValuesAreMadeSafeForXml) {
    TRCstruct record = Person();
    record.Title = std::string("a\x01") + "b\tc <&> \xFF";
    FormTemplate form(
        Document("<w:p>" + Mark("Start", 1, "TITLE") + TextRun("x") + Mark("End", 1) + "</w:p>"),
        "форма.dotx");
    const Filled filled = Read(FillWordForm(form, record));
    EXPECT_EQ(filled.paragraphs, std::vector<std::string>{"abc <&> ?"});
    EXPECT_TRUE(filled.xml->select_node("//w:tab"));
}

TEST(DocumentFill, AWorkbookIsNoWordForm) {
    Parts parts = PackageFrame(true, false);
    parts.push_back({"xl/workbook.xml", "<workbook/>"});
    const Bytes workbook = MakeZip(parts);
    try {
        FormTemplate form(workbook, "книга.xlsx");
        FillWordForm(form, Person());
        FAIL();
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "Шаблон книга.xlsx не является документом Word");
    }
}

}  // namespace
}  // namespace velmora::print
