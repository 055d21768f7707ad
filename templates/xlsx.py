"""A writer of spreadsheet templates: one sheet of bordered form rows, shared
strings, a print area and named row bands."""

from ooxml import (APP_REL, APP_TYPE, CORE_REL, CORE_TYPE, XML_DECL, app_properties, attr,
                   content_types, core_properties, relationships, text, write_package)

MAIN_NS = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
R_NS = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"

# Cell styles (indexes into cellXfs below).
PLAIN, TITLE, LABEL, VALUE, SECTION, NOTE, SIGN, CENTER, MONO, SUBTITLE = range(10)

STYLES = (
    XML_DECL + f'<styleSheet xmlns="{MAIN_NS}">'
    '<fonts count="8">'
    '<font><sz val="11"/><name val="Times New Roman"/><family val="1"/><charset val="204"/></font>'
    '<font><b/><sz val="14"/><name val="Times New Roman"/><family val="1"/><charset val="204"/></font>'
    '<font><sz val="10"/><name val="Times New Roman"/><family val="1"/><charset val="204"/></font>'
    '<font><b/><sz val="10"/><name val="Times New Roman"/><family val="1"/><charset val="204"/></font>'
    '<font><b/><sz val="11"/><name val="Times New Roman"/><family val="1"/><charset val="204"/></font>'
    '<font><i/><sz val="9"/><name val="Times New Roman"/><family val="1"/><charset val="204"/></font>'
    '<font><sz val="9"/><name val="Courier New"/><family val="3"/><charset val="204"/></font>'
    '<font><sz val="11"/><name val="Times New Roman"/><family val="1"/><charset val="204"/></font>'
    "</fonts>"
    '<fills count="3"><fill><patternFill patternType="none"/></fill>'
    '<fill><patternFill patternType="gray125"/></fill>'
    '<fill><patternFill patternType="solid"><fgColor rgb="FFE7E6E6"/><bgColor indexed="64"/></patternFill></fill>'
    "</fills>"
    '<borders count="3"><border><left/><right/><top/><bottom/><diagonal/></border>'
    '<border><left style="thin"><color auto="1"/></left><right style="thin"><color auto="1"/></right>'
    '<top style="thin"><color auto="1"/></top><bottom style="thin"><color auto="1"/></bottom><diagonal/></border>'
    '<border><left/><right/><top/><bottom style="thin"><color auto="1"/></bottom><diagonal/></border>'
    "</borders>"
    '<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>'
    '<cellXfs count="10">'
    '<xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>'
    '<xf numFmtId="0" fontId="1" fillId="0" borderId="0" xfId="0" applyFont="1" applyAlignment="1">'
    '<alignment horizontal="center" vertical="center" wrapText="1"/></xf>'
    '<xf numFmtId="49" fontId="2" fillId="0" borderId="1" xfId="0" applyNumberFormat="1" applyFont="1" applyBorder="1" applyAlignment="1">'
    '<alignment vertical="center" wrapText="1"/></xf>'
    '<xf numFmtId="49" fontId="3" fillId="0" borderId="1" xfId="0" applyNumberFormat="1" applyFont="1" applyBorder="1" applyAlignment="1">'
    '<alignment vertical="center" wrapText="1"/></xf>'
    '<xf numFmtId="0" fontId="4" fillId="2" borderId="1" xfId="0" applyFont="1" applyFill="1" applyBorder="1" applyAlignment="1">'
    '<alignment vertical="center" wrapText="1"/></xf>'
    '<xf numFmtId="0" fontId="5" fillId="0" borderId="0" xfId="0" applyFont="1" applyAlignment="1">'
    '<alignment vertical="top" wrapText="1"/></xf>'
    '<xf numFmtId="49" fontId="2" fillId="0" borderId="2" xfId="0" applyNumberFormat="1" applyFont="1" applyBorder="1" applyAlignment="1">'
    '<alignment horizontal="center" vertical="bottom" wrapText="1"/></xf>'
    '<xf numFmtId="49" fontId="2" fillId="0" borderId="1" xfId="0" applyNumberFormat="1" applyFont="1" applyBorder="1" applyAlignment="1">'
    '<alignment horizontal="center" vertical="center" wrapText="1"/></xf>'
    '<xf numFmtId="49" fontId="6" fillId="0" borderId="1" xfId="0" applyNumberFormat="1" applyFont="1" applyBorder="1" applyAlignment="1">'
    '<alignment vertical="center" wrapText="1"/></xf>'
    '<xf numFmtId="0" fontId="7" fillId="0" borderId="0" xfId="0" applyFont="1" applyAlignment="1">'
    '<alignment horizontal="center" vertical="center" wrapText="1"/></xf>'
    "</cellXfs>"
    '<cellStyles count="1"><cellStyle name="Обычный" xfId="0" builtinId="0"/></cellStyles>'
    "</styleSheet>"
)

COLUMNS = "ABCDEFGHIJ"


class Sheet:
    def __init__(self, name, widths, landscape=False):
        self.name = name
        self.widths = widths
        self.landscape = landscape
        self.rows = []  # (number, height, [(column letter, string index or None, style)])
        self.merges = []
        self.bands = []  # (table name, first row, last row)
        self.footer = None
        self.strings = []
        self._index = {}

    @property
    def last_column(self):
        return COLUMNS[len(self.widths) - 1]

    def string(self, value):
        if value not in self._index:
            self._index[value] = len(self.strings)
            self.strings.append(value)
        return self._index[value]

    def row(self, cells, height=None):
        """cells: (first column, last column, text, style); a span of more than
        one column is merged, and every cell of it gets the style (so the
        borders run through)."""
        number = len(self.rows) + 1
        written = []
        for first, last, value, style in cells:
            span = COLUMNS[COLUMNS.index(first):COLUMNS.index(last) + 1]
            for i, column in enumerate(span):
                index = self.string(value) if i == 0 and value != "" else None
                written.append((column, index, style))
            if len(span) > 1:
                self.merges.append(f"{first}{number}:{last}{number}")
        self.rows.append((number, height, written))
        return number

    def blank(self, height=None):
        number = len(self.rows) + 1
        self.rows.append((number, height, []))
        return number

    def band(self, table, first, last=None):
        self.bands.append((table, first, last if last is not None else first))

    def xml(self, strings):
        last_row = len(self.rows)
        out = [XML_DECL, f'<worksheet xmlns="{MAIN_NS}" xmlns:r="{R_NS}">']
        out.append('<sheetPr><pageSetUpPr fitToPage="1"/></sheetPr>')
        out.append(f'<dimension ref="A1:{self.last_column}{last_row}"/>')
        out.append('<sheetViews><sheetView tabSelected="1" zoomScaleNormal="100" workbookViewId="0">'
                   '<selection activeCell="A1" sqref="A1"/></sheetView></sheetViews>')
        out.append('<sheetFormatPr defaultRowHeight="15"/>')
        out.append("<cols>")
        for i, width in enumerate(self.widths):
            out.append(f'<col min="{i + 1}" max="{i + 1}" width="{width}" customWidth="1"/>')
        out.append("</cols><sheetData>")
        for number, height, cells in self.rows:
            extra = f' ht="{height}" customHeight="1"' if height else ""
            out.append(f'<row r="{number}"{extra}>')
            for column, index, style in cells:
                if index is None:
                    out.append(f'<c r="{column}{number}" s="{style}"/>')
                else:
                    out.append(f'<c r="{column}{number}" s="{style}" t="s"><v>{strings[self.strings[index]]}</v></c>')
            out.append("</row>")
        out.append("</sheetData>")
        if self.merges:
            out.append(f'<mergeCells count="{len(self.merges)}">')
            out.extend(f'<mergeCell ref="{ref}"/>' for ref in self.merges)
            out.append("</mergeCells>")
        out.append('<printOptions horizontalCentered="1"/>')
        out.append('<pageMargins left="0.6" right="0.4" top="0.5" bottom="0.6" header="0.3" footer="0.3"/>')
        orientation = "landscape" if self.landscape else "portrait"
        out.append(f'<pageSetup paperSize="9" fitToHeight="0" orientation="{orientation}"/>')
        if self.footer:
            out.append(f"<headerFooter><oddFooter>{text(self.footer)}</oddFooter></headerFooter>")
        out.append("</worksheet>")
        return "".join(out)


def quoted(name):
    return "'" + name.replace("'", "''") + "'"


def write_workbook(path, sheet, title, band_style="plain"):
    """band_style "plain" names a band after its table, "flexcel" between
    double underscores."""
    strings = {}
    for value in sheet.strings:
        strings[value] = len(strings)
    shared = [XML_DECL, f'<sst xmlns="{MAIN_NS}" count="{len(strings)}" uniqueCount="{len(strings)}">']
    for value in strings:
        space = ' xml:space="preserve"' if value != value.strip() or "\n" in value else ""
        shared.append(f"<si><t{space}>{text(value)}</t></si>")
    shared.append("</sst>")

    names = []
    for table, first, last in sheet.bands:
        name = table if band_style == "plain" else f"__{table}__"
        names.append(f'<definedName name="{name}">{text(quoted(sheet.name))}!${first}:${last}</definedName>')
    names.append(f'<definedName name="_xlnm.Print_Area" localSheetId="0">'
                 f'{text(quoted(sheet.name))}!$A$1:${sheet.last_column}${len(sheet.rows)}</definedName>')
    names.sort(key=lambda n: n.split('"')[1].lower())
    workbook = (XML_DECL + f'<workbook xmlns="{MAIN_NS}" xmlns:r="{R_NS}">'
                '<workbookPr defaultThemeVersion="124226"/>'
                '<bookViews><workbookView xWindow="0" yWindow="0" windowWidth="16000" windowHeight="9000"/></bookViews>'
                f'<sheets><sheet name="{attr(sheet.name)}" sheetId="1" r:id="rId1"/></sheets>'
                f'<definedNames>{"".join(names)}</definedNames>'
                '<calcPr calcId="191029"/></workbook>')
    sheet_type = "application/vnd.openxmlformats-officedocument.spreadsheetml"
    parts = [
        ("[Content_Types].xml", content_types([
            ("/xl/workbook.xml", f"{sheet_type}.template.main+xml"),
            ("/xl/worksheets/sheet1.xml", f"{sheet_type}.worksheet+xml"),
            ("/xl/styles.xml", f"{sheet_type}.styles+xml"),
            ("/xl/sharedStrings.xml", f"{sheet_type}.sharedStrings+xml"),
            ("/docProps/core.xml", CORE_TYPE),
            ("/docProps/app.xml", APP_TYPE),
        ])),
        ("_rels/.rels", relationships([
            ("rId1", "officeDocument", "xl/workbook.xml"),
            ("rId2", CORE_REL, "docProps/core.xml"),
            ("rId3", APP_REL, "docProps/app.xml"),
        ])),
        ("docProps/core.xml", core_properties(title, "Форма Velmora")),
        ("docProps/app.xml", app_properties()),
        ("xl/workbook.xml", workbook),
        ("xl/_rels/workbook.xml.rels", relationships([
            ("rId1", "worksheet", "worksheets/sheet1.xml"),
            ("rId2", "styles", "styles.xml"),
            ("rId3", "sharedStrings", "sharedStrings.xml"),
        ])),
        ("xl/worksheets/sheet1.xml", sheet.xml(strings)),
        ("xl/styles.xml", STYLES),
        ("xl/sharedStrings.xml", "".join(shared)),
    ]
    write_package(path, parts)
