// Spreadsheet templates filled and read back: references replaced, bands
// repeated with everything that names rows following them, the parts that
// are not filled kept as stored, and templates that cannot be filled
// refused with a message that names them.

#include "encoding/error.h"
#include "print/forms/form_template.h"
#include "print/tables/certificate_tables.h"
#include "report/fixture_files.h"

#include "print/print_support.h"

#include <gtest/gtest.h>

#include <zip.h>

#include <fstream>
#include <tuple>

namespace velmora::print {
namespace {

using testing::MakeZip;
using testing::PackageFrame;
using testing::Parts;
using testing::ReadBack;
using testing::Texts;

constexpr const char* kMain =
    "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";

std::string Relationship(const char* id, const char* type, const char* target) {
    return std::string("<Relationship Id=\"") + id +
           "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/" + type +
           "\" Target=\"" + target + "\"/>";
}

// A workbook of one sheet "Данные" with the given sheet data and the rest
// of what refers to rows, bands named for OblIsp (rows 2-3) and
// klass_sredstv_UC (row 5), a drawing, a calculation chain and styles.
Parts Workbook(const std::string& sheetData) {
    Parts parts = PackageFrame(true, true);
    parts.push_back(
        {"xl/workbook.xml",
         std::string("<workbook ") + kMain +
             "><sheets><sheet name=\"Данные\" sheetId=\"1\" r:id=\"rId1\"/></sheets>"
             "<definedNames><definedName name=\"_xlnm.Print_Area\" localSheetId=\"0\">"
             "'Данные'!$A$1:$D$7</definedName>"
             "<definedName name=\"OblIsp\">'Данные'!$2:$3</definedName>"
             "<definedName name=\"__klass_sredstv_UC__\">'Данные'!$A$5:$D$5</definedName>"
             "<definedName name=\"Total\">'Данные'!$A$7</definedName></definedNames>"
             "<calcPr calcId=\"191029\"/></workbook>"});
    parts.push_back({"xl/_rels/workbook.xml.rels",
                     "<Relationships "
                     "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
                         Relationship("rId1", "worksheet", "worksheets/sheet1.xml") +
                         Relationship("rId2", "sharedStrings", "sharedStrings.xml") +
                         Relationship("rId3", "styles", "styles.xml") +
                         Relationship("rId4", "calcChain", "calcChain.xml") + "</Relationships>"});
    parts.push_back({"xl/sharedStrings.xml",
                     std::string("<sst ") + kMain +
                         "><si><t>плоский</t></si><si><r><rPr><b/></rPr><t>Серийный: </t></r>"
                         "<r><rPr><i/></rPr><t>&lt;#tabOD.SerialNumber&gt;</t></r></si>"
                         "<si><t>&lt;#OblIsp.Data&gt;</t></si></sst>"});
    parts.push_back({"xl/styles.xml", std::string("<styleSheet ") + kMain + "/>"});
    parts.push_back({"xl/calcChain.xml",
                     std::string("<calcChain ") + kMain + "><c r=\"A4\" i=\"1\"/></calcChain>"});
    parts.push_back(
        {"xl/worksheets/sheet1.xml",
         std::string("<worksheet ") + kMain + "><dimension ref=\"A1:D7\"/><sheetData>" + sheetData +
             "</sheetData><mergeCells count=\"2\"><mergeCell ref=\"A3:B3\"/>"
             "<mergeCell ref=\"A6:B6\"/></mergeCells>"
             "<conditionalFormatting sqref=\"A2:A3 D7\"><cfRule type=\"expression\" "
             "priority=\"1\"><formula>A7&gt;0</formula></cfRule></conditionalFormatting>"
             "<dataValidations count=\"1\"><dataValidation sqref=\"C6\"/></dataValidations>"
             "<hyperlinks><hyperlink ref=\"A7\" r:id=\"rId9\"/></hyperlinks>"
             "<headerFooter><oddHeader>&amp;L&lt;#tabOD.COMMON_NAME&gt;&amp;R&amp;P</oddHeader>"
             "</headerFooter><rowBreaks count=\"1\" manualBreakCount=\"1\"><brk id=\"5\" "
             "max=\"16383\" man=\"1\"/></rowBreaks><drawing r:id=\"rId1\"/></worksheet>"});
    parts.push_back({"xl/worksheets/_rels/sheet1.xml.rels",
                     "<Relationships "
                     "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
                         Relationship("rId1", "drawing", "../drawings/drawing1.xml") +
                         "</Relationships>"});
    parts.push_back(
        {"xl/drawings/drawing1.xml",
         "<xdr:wsDr xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/"
         "spreadsheetDrawing\"><xdr:twoCellAnchor><xdr:from><xdr:col>0</xdr:col><xdr:row>5</"
         "xdr:row></xdr:from><xdr:to><xdr:col>2</xdr:col><xdr:row>6</xdr:row></xdr:to>"
         "</xdr:twoCellAnchor></xdr:wsDr>"});
    return parts;
}

// Rows 1 to 7: the band OblIsp (2-3) with a formula and a merged pair, a
// total under it, the band klass_sredstv_UC (5), a shared formula (6-7).
const std::string kSheetData =
    "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&lt;#tabOD.COMMON_NAME&gt;</t></is></c>"
    "<c r=\"B1\" s=\"3\" t=\"s\"><v>1</v></c><c r=\"C1\" t=\"s\"><v>0</v></c></row>"
    "<row r=\"2\" ht=\"20\" customHeight=\"1\"><c r=\"A2\" t=\"s\"><v>2</v></c>"
    "<c r=\"B2\"><f>C2*2</f><v>2</v></c><c r=\"C2\"><v>1</v></c></row>"
    "<row r=\"3\"><c r=\"A3\" t=\"inlineStr\"><is><t>&lt;#OblIsp.Data_oid&gt; "
    "&lt;#tabOD.SerialNumber&gt;</t></is></c></row>"
    "<row r=\"4\"><c r=\"A4\"><f>COUNTA(A2:A3)+$C$2+'Данные'!A7</f></c>"
    "<c r=\"B4\" t=\"s\"><v>2</v></c></row>"
    "<row r=\"5\"><c r=\"A5\" t=\"inlineStr\"><is><t>&lt;#klass_sredstv_UC.Data&gt;</t></is>"
    "</c></row>"
    "<row r=\"6\"><c r=\"C6\"><f t=\"shared\" ref=\"C6:C7\" si=\"0\">A6+1</f></c></row>"
    "<row r=\"7\"><c r=\"A7\" t=\"inlineStr\"><is><t>&lt;#Other.Field&gt; &lt;#tabOD&gt;</t>"
    "</is></c><c r=\"C7\"><f t=\"shared\" si=\"0\"/></c></row>";

TableSet SmallTables(std::size_t usages) {
    TableSet tables;
    tables.Add(DataTable("tabOD", {"COMMON_NAME", "SerialNumber"}));
    tables.Add(DataTable("OblIsp", {"Data", "Data_oid"}));
    tables.Add(DataTable("klass_sredstv_UC", {"Data"}));
    tables.Find("tabOD")->AddRecord({"Рога & Копыта", "0A1B"});
    for (std::size_t i = 1; i <= usages; ++i) {
        tables.Find("OblIsp")->AddRecord(
            {"Использование " + std::to_string(i), "1.2.3." + std::to_string(i)});
    }
    return tables;
}

Bytes Fill(const Parts& parts, const TableSet& tables) {
    FormTemplate form(MakeZip(parts), "книга.xltx");
    return form.FillWorkbook(tables);
}

// The text of a cell (an inline or shared string) or its formula.
std::string CellText(const pugi::xml_document& sheet, const std::string& ref) {
    const pugi::xml_node cell = sheet.select_node(("//c[@r='" + ref + "']").c_str()).node();
    if (pugi::xml_node formula = cell.child("f")) {
        return std::string("=") + formula.text().get();
    }
    std::string text;
    for (pugi::xpath_node t : cell.select_nodes(".//t")) {
        text += t.node().text().get();
    }
    return text;
}

TEST(WorkbookFill, RowsOfBandsRepeatAndEverythingBelowFollows) {
    const Parts parts = Workbook(kSheetData);
    const Bytes filled = Fill(parts, SmallTables(3));
    const ReadBack back(filled);
    const auto sheet = back.Xml("xl/worksheets/sheet1.xml");

    // OblIsp's two rows three times (rows 2-7), klass_sredstv_UC's row gone.
    std::vector<std::string> rows;
    for (pugi::xpath_node row : sheet->select_nodes("//row")) {
        rows.push_back(row.node().attribute("r").value());
    }
    EXPECT_EQ(rows, (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
    EXPECT_EQ(CellText(*sheet, "A1"), "Рога & Копыта");
    for (int k = 0; k < 3; ++k) {
        const std::string n = std::to_string(k + 1);
        EXPECT_EQ(CellText(*sheet, "A" + std::to_string(2 + 2 * k)), "Использование " + n);
        EXPECT_EQ(CellText(*sheet, "A" + std::to_string(3 + 2 * k)), "1.2.3." + n + " 0A1B");
        // Relative references move with each copy.
        EXPECT_EQ(CellText(*sheet, "B" + std::to_string(2 + 2 * k)),
                  "=C" + std::to_string(2 + 2 * k) + "*2");
    }
    EXPECT_EQ(sheet->select_node("//row[@r='4']").node().attribute("ht").as_int(), 20);
    // Below the bands: a reference outside a band shows the first record; a
    // range covering the band grows over its copies.
    EXPECT_EQ(CellText(*sheet, "B8"), "Использование 1");
    EXPECT_EQ(CellText(*sheet, "A8"), "=COUNTA(A2:A7)+$C$2+'Данные'!A10");
    EXPECT_EQ(CellText(*sheet, "C9"), "=A9+1");
    EXPECT_EQ(CellText(*sheet, "C10"), "=A10+1");
    // Unknown tables and unfinished references stay as written.
    EXPECT_EQ(CellText(*sheet, "A10"), "<#Other.Field> <#tabOD>");
    // Runs keep their formats; the shared strings stay untouched.
    const pugi::xml_node b1 = sheet->select_node("//c[@r='B1']").node();
    EXPECT_STREQ(b1.attribute("t").value(), "inlineStr");
    EXPECT_STREQ(b1.attribute("s").value(), "3");
    EXPECT_EQ(Texts(b1, "t"), (std::vector<std::string>{"Серийный: ", "0A1B"}));
    EXPECT_TRUE(b1.select_node(".//r[2]/rPr/i"));
    EXPECT_STREQ(sheet->select_node("//c[@r='C1']").node().attribute("t").value(), "s");

    std::vector<std::string> merges;
    for (pugi::xpath_node merge : sheet->select_nodes("//mergeCell")) {
        merges.push_back(merge.node().attribute("ref").value());
    }
    EXPECT_EQ(merges, (std::vector<std::string>{"A3:B3", "A5:B5", "A7:B7", "A9:B9"}));
    EXPECT_STREQ(sheet->select_node("//mergeCells").node().attribute("count").value(), "4");
    EXPECT_STREQ(sheet->select_node("//conditionalFormatting").node().attribute("sqref").value(),
                 "A2:A3 A4:A5 A6:A7 D10");
    EXPECT_STREQ(sheet->select_node("//cfRule/formula").node().text().get(), "A10>0");
    EXPECT_STREQ(sheet->select_node("//dataValidation").node().attribute("sqref").value(), "C9");
    EXPECT_STREQ(sheet->select_node("//hyperlink").node().attribute("ref").value(), "A10");
    EXPECT_STREQ(sheet->select_node("//dimension").node().attribute("ref").value(), "A1:D10");
    EXPECT_STREQ(sheet->select_node("//brk").node().attribute("id").value(), "8");
    // "&" is a code in headers: a value's own is doubled.
    EXPECT_STREQ(sheet->select_node("//oddHeader").node().text().get(), "&LРога && Копыта&R&P");

    const auto drawing = back.Xml("xl/drawings/drawing1.xml");
    EXPECT_EQ(Texts(drawing->document_element(), "xdr:row"), (std::vector<std::string>{"8", "9"}));

    const auto workbook = back.Xml("xl/workbook.xml");
    std::vector<std::string> names;
    for (pugi::xpath_node name : workbook->select_nodes("//definedName")) {
        names.push_back(name.node().text().get());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"'Данные'!$A$1:$D$10", "'Данные'!$2:$7",
                                               "'Данные'!#REF!", "'Данные'!$A$10"}));
    EXPECT_STREQ(workbook->select_node("//calcPr").node().attribute("fullCalcOnLoad").value(), "1");
    // The calculation chain no longer fits and is gone, with what named it.
    EXPECT_FALSE(back.Has("xl/calcChain.xml"));
    EXPECT_EQ(back.Text("xl/_rels/workbook.xml.rels").find("calcChain"), std::string::npos);
    // A copy of a template is a workbook.
    EXPECT_NE(back.Text("[Content_Types].xml").find("spreadsheetml.sheet.main+xml"),
              std::string::npos);

    // The parts not filled are the stored ones, compressed bytes and all.
    const ReadBack original(MakeZip(parts));
    for (const char* part : {"xl/styles.xml", "xl/sharedStrings.xml", "_rels/.rels"}) {
        EXPECT_EQ(back.Text(part), original.Text(part)) << part;
    }
    const auto stored = [](const Bytes& zip, const char* name) {
        zip_source_t* source = zip_source_buffer_create(zip.data(), zip.size(), 0, nullptr);
        zip_t* archive = zip_open_from_source(source, ZIP_RDONLY, nullptr);
        zip_stat_t stat;
        zip_stat(archive, name, 0, &stat);
        zip_discard(archive);
        return std::make_tuple(stat.comp_method, stat.comp_size, stat.crc);
    };
    const Bytes input = MakeZip(parts);
    EXPECT_EQ(stored(filled, "xl/styles.xml"), stored(input, "xl/styles.xml"));
}

TEST(WorkbookFill, PrintingTwiceShowsOnlyTheSecondRecords) {
    const Parts parts = Workbook(kSheetData);
    TableSet tables = SmallTables(3);
    Fill(parts, tables);
    tables.Clear();
    tables.Find("tabOD")->AddRecord({"Второй", "02"});
    tables.Find("OblIsp")->AddRecord({"Единственное", "9.9"});
    const ReadBack back(Fill(parts, tables));
    const auto sheet = back.Xml("xl/worksheets/sheet1.xml");
    EXPECT_EQ(sheet->select_nodes("//row").size(), 6u);
    EXPECT_EQ(CellText(*sheet, "A2"), "Единственное");
    EXPECT_EQ(CellText(*sheet, "A3"), "9.9 02");
    EXPECT_EQ(CellText(*sheet, "A4"), "=COUNTA(A2:A3)+$C$2+'Данные'!A6");
    EXPECT_EQ(back.Text("xl/worksheets/sheet1.xml").find("Использование"), std::string::npos);
}

TEST(WorkbookFill, TemplateFaultsAreNamed) {
    const auto failure = [](const Parts& parts, const TableSet& tables) -> std::string {
        try {
            Fill(parts, tables);
        } catch (const Error& error) {
            return error.what();
        }
        return "";
    };
    EXPECT_EQ(failure(Workbook("<row r=\"1\"><c r=\"C1\" t=\"inlineStr\"><is><t>"
                               "&lt;#tabOD.Nope&gt;</t></is></c></row>"),
                      SmallTables(1)),
              "Шаблон книга.xltx, лист \"Данные\", ячейка C1: в таблице tabOD нет поля Nope");

    const auto replaced = [](Parts parts, const std::string& from, const std::string& to) {
        std::string& workbook = parts[2].second;
        workbook.replace(workbook.find(from), from.size(), to);
        return parts;
    };
    EXPECT_EQ(failure(replaced(Workbook(kSheetData), "$A$5:$D$5", "$A$3:$D$5"), SmallTables(1)),
              "Шаблон книга.xltx: область OblIsp пересекается с областью __klass_sredstv_UC__");

    const Parts elsewhere = replaced(Workbook(kSheetData), "'Данные'!$2:$3", "Лист9!$2:$3");
    EXPECT_EQ(
        failure(elsewhere, SmallTables(1)),
        "Шаблон книга.xltx: область OblIsp указывает на лист \"Лист9\", которого в книге нет");

    // A band so tall that its copies leave the sheet.
    const Parts tall = replaced(Workbook(kSheetData), "'Данные'!$2:$3", "'Данные'!$8:$600000");
    EXPECT_EQ(failure(tall, SmallTables(3)),
              "Шаблон книга.xltx: область OblIsp с 3 записями не помещается на листе");
}

}  // namespace
}  // namespace velmora::print
