"""A writer of word-processing templates: paragraphs, bordered tables,
bookmarks around the places to fill, and a footer."""

from ooxml import (APP_REL, APP_TYPE, CORE_REL, CORE_TYPE, XML_DECL, app_properties, attr,
                   content_types, core_properties, relationships, text, write_package)

W_NS = "http://schemas.openxmlformats.org/wordprocessingml/2006/main"
R_NS = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
NS = f'xmlns:w="{W_NS}" xmlns:r="{R_NS}"'

STYLES = (
    XML_DECL + f"<w:styles {NS}>"
    "<w:docDefaults><w:rPrDefault><w:rPr>"
    '<w:rFonts w:ascii="Times New Roman" w:hAnsi="Times New Roman" w:eastAsia="Times New Roman" w:cs="Times New Roman"/>'
    '<w:sz w:val="24"/><w:szCs w:val="24"/><w:lang w:val="ru-RU" w:eastAsia="ru-RU" w:bidi="ar-SA"/>'
    "</w:rPr></w:rPrDefault>"
    '<w:pPrDefault><w:pPr><w:spacing w:after="0" w:line="240" w:lineRule="auto"/></w:pPr></w:pPrDefault>'
    "</w:docDefaults>"
    '<w:style w:type="paragraph" w:default="1" w:styleId="Normal"><w:name w:val="Normal"/><w:qFormat/></w:style>'
    '<w:style w:type="paragraph" w:styleId="Title"><w:name w:val="Title"/><w:basedOn w:val="Normal"/><w:qFormat/>'
    '<w:pPr><w:jc w:val="center"/><w:spacing w:before="120" w:after="0"/></w:pPr>'
    '<w:rPr><w:b/><w:caps/><w:sz w:val="28"/><w:szCs w:val="28"/></w:rPr></w:style>'
    '<w:style w:type="paragraph" w:styleId="Subtitle"><w:name w:val="Subtitle"/><w:basedOn w:val="Normal"/><w:qFormat/>'
    '<w:pPr><w:jc w:val="center"/><w:spacing w:after="240"/></w:pPr>'
    '<w:rPr><w:b/><w:sz w:val="24"/><w:szCs w:val="24"/></w:rPr></w:style>'
    '<w:style w:type="paragraph" w:styleId="Small"><w:name w:val="Small"/><w:basedOn w:val="Normal"/>'
    '<w:rPr><w:sz w:val="20"/><w:szCs w:val="20"/></w:rPr></w:style>'
    '<w:style w:type="paragraph" w:styleId="Hint"><w:name w:val="Hint"/><w:basedOn w:val="Normal"/>'
    '<w:pPr><w:jc w:val="center"/></w:pPr><w:rPr><w:i/><w:sz w:val="16"/><w:szCs w:val="16"/></w:rPr></w:style>'
    '<w:style w:type="paragraph" w:styleId="Footer"><w:name w:val="footer"/><w:basedOn w:val="Normal"/>'
    '<w:pPr><w:tabs><w:tab w:val="right" w:pos="9355"/></w:tabs></w:pPr>'
    '<w:rPr><w:sz w:val="16"/><w:szCs w:val="16"/></w:rPr></w:style>'
    '<w:style w:type="table" w:default="1" w:styleId="TableNormal"><w:name w:val="Normal Table"/>'
    '<w:tblPr><w:tblInd w:w="0" w:type="dxa"/><w:tblCellMar><w:top w:w="0" w:type="dxa"/>'
    '<w:left w:w="108" w:type="dxa"/><w:bottom w:w="0" w:type="dxa"/><w:right w:w="108" w:type="dxa"/>'
    "</w:tblCellMar></w:tblPr></w:style>"
    "</w:styles>"
)

SETTINGS = (
    XML_DECL + f"<w:settings {NS}>"
    '<w:defaultTabStop w:val="708"/><w:characterSpacingControl w:val="doNotCompress"/>'
    '<w:compat><w:compatSetting w:name="compatibilityMode" w:uri="http://schemas.microsoft.com/office/word" w:val="15"/></w:compat>'
    "</w:settings>"
)

BORDERS = ('<w:tblBorders><w:top w:val="single" w:sz="4" w:space="0" w:color="auto"/>'
           '<w:left w:val="single" w:sz="4" w:space="0" w:color="auto"/>'
           '<w:bottom w:val="single" w:sz="4" w:space="0" w:color="auto"/>'
           '<w:right w:val="single" w:sz="4" w:space="0" w:color="auto"/>'
           '<w:insideH w:val="single" w:sz="4" w:space="0" w:color="auto"/>'
           '<w:insideV w:val="single" w:sz="4" w:space="0" w:color="auto"/></w:tblBorders>')


def run_properties(bold=False, italic=False, size=None, font=None, underline=False):
    props = ""
    if font:
        props += f'<w:rFonts w:ascii="{font}" w:hAnsi="{font}" w:cs="{font}"/>'
    if bold:
        props += "<w:b/>"
    if italic:
        props += "<w:i/>"
    if underline:
        props += '<w:u w:val="single"/>'
    if size:
        props += f'<w:sz w:val="{size}"/><w:szCs w:val="{size}"/>'
    return f"<w:rPr>{props}</w:rPr>" if props else ""


def r(value, **fmt):
    return f'<w:r>{run_properties(**fmt)}<w:t xml:space="preserve">{text(value)}</w:t></w:r>'


def tab():
    return "<w:r><w:tab/></w:r>"


def field(instruction, shown, **fmt):
    props = run_properties(**fmt)
    return (f'<w:r>{props}<w:fldChar w:fldCharType="begin"/></w:r>'
            f'<w:r>{props}<w:instrText xml:space="preserve"> {instruction} </w:instrText></w:r>'
            f'<w:r>{props}<w:fldChar w:fldCharType="separate"/></w:r>'
            f"<w:r>{props}<w:t>{shown}</w:t></w:r>"
            f'<w:r>{props}<w:fldChar w:fldCharType="end"/></w:r>')


def p(*runs, style=None, align=None, before=None, after=None, indent=None, keep=False):
    props = ""
    if style:
        props += f'<w:pStyle w:val="{style}"/>'
    if keep:
        props += "<w:keepNext/>"
    if before is not None or after is not None:
        props += ('<w:spacing' + (f' w:before="{before}"' if before is not None else "")
                  + (f' w:after="{after}"' if after is not None else "") + "/>")
    if indent:
        props += f'<w:ind w:firstLine="{indent}"/>'
    if align:
        props += f'<w:jc w:val="{align}"/>'
    return f"<w:p>{'<w:pPr>' + props + '</w:pPr>' if props else ''}{''.join(runs)}</w:p>"


class Document:
    def __init__(self):
        self.body = []
        self.footer = []
        self._next = 0

    def bm(self, name, placeholder, **fmt):
        """The place to fill: a bookmark around the placeholder text."""
        number = self._next
        self._next += 1
        fmt.setdefault("bold", True)
        return (f'<w:bookmarkStart w:id="{number}" w:name="{attr(name)}"/>'
                + r(placeholder, **fmt) + f'<w:bookmarkEnd w:id="{number}"/>')

    def add(self, *paragraphs):
        self.body.extend(paragraphs)

    def table(self, rows, widths, borders=True, shade_first=False):
        """rows: lists of cells; a cell is a paragraph or a list of them."""
        grid = "".join(f'<w:gridCol w:w="{w}"/>' for w in widths)
        out = [f'<w:tbl><w:tblPr><w:tblW w:w="{sum(widths)}" w:type="dxa"/>'
               + (BORDERS if borders else "")
               + '<w:tblLayout w:type="fixed"/><w:tblLook w:val="04A0"/></w:tblPr>'
               f"<w:tblGrid>{grid}</w:tblGrid>"]
        for row in rows:
            out.append("<w:tr><w:trPr><w:cantSplit/></w:trPr>")
            for i, cell in enumerate(row):
                paragraphs = cell if isinstance(cell, list) else [cell]
                shade = ('<w:shd w:val="clear" w:color="auto" w:fill="E7E6E6"/>'
                         if shade_first and i == 0 and borders else "")
                out.append(f'<w:tc><w:tcPr><w:tcW w:w="{widths[i]}" w:type="dxa"/>{shade}'
                           '<w:vAlign w:val="center"/></w:tcPr>' + "".join(paragraphs) + "</w:tc>")
            out.append("</w:tr>")
        out.append("</w:tbl>")
        self.body.append("".join(out))

    def xml(self):
        section = ('<w:sectPr><w:footerReference w:type="default" r:id="rId3"/>'
                   '<w:pgSz w:w="11906" w:h="16838"/>'
                   '<w:pgMar w:top="1134" w:right="850" w:bottom="1134" w:left="1701" '
                   'w:header="709" w:footer="709" w:gutter="0"/></w:sectPr>')
        return XML_DECL + f"<w:document {NS}><w:body>{''.join(self.body)}{section}</w:body></w:document>"

    def footer_xml(self):
        return XML_DECL + f"<w:ftr {NS}>{''.join(self.footer)}</w:ftr>"


def write_document(path, document, title):
    word = "application/vnd.openxmlformats-officedocument.wordprocessingml"
    parts = [
        ("[Content_Types].xml", content_types([
            ("/word/document.xml", f"{word}.template.main+xml"),
            ("/word/styles.xml", f"{word}.styles+xml"),
            ("/word/settings.xml", f"{word}.settings+xml"),
            ("/word/footer1.xml", f"{word}.footer+xml"),
            ("/docProps/core.xml", CORE_TYPE),
            ("/docProps/app.xml", APP_TYPE),
        ])),
        ("_rels/.rels", relationships([
            ("rId1", "officeDocument", "word/document.xml"),
            ("rId2", CORE_REL, "docProps/core.xml"),
            ("rId3", APP_REL, "docProps/app.xml"),
        ])),
        ("docProps/core.xml", core_properties(title, "Форма Velmora")),
        ("docProps/app.xml", app_properties()),
        ("word/document.xml", document.xml()),
        ("word/_rels/document.xml.rels", relationships([
            ("rId1", "styles", "styles.xml"),
            ("rId2", "settings", "settings.xml"),
            ("rId3", "footer", "footer1.xml"),
        ])),
        ("word/styles.xml", STYLES),
        ("word/settings.xml", SETTINGS),
        ("word/footer1.xml", document.footer_xml()),
    ]
    write_package(path, parts)
