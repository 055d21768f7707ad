"""Small writers of Office Open XML packages for the sample form templates.

Only the standard library is used. Every archive is written the same way on
every run (fixed entry times, fixed order), so the committed templates change
only when their content does.
"""

import zipfile
from xml.sax.saxutils import escape

FIXED_TIME = (2024, 3, 15, 9, 0, 0)

REL_NS = "http://schemas.openxmlformats.org/package/2006/relationships"
DOC_REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
XML_DECL = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'


def attr(text):
    return escape(str(text), {'"': "&quot;"})


def text(value):
    return escape(str(value))


def write_package(path, parts):
    """parts: list of (name, text) in archive order."""
    with zipfile.ZipFile(path, "w") as archive:
        for name, content in parts:
            info = zipfile.ZipInfo(name, FIXED_TIME)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            archive.writestr(info, content.encode("utf-8"), compresslevel=9)


def relationships(items):
    """items: list of (id, type suffix or full URI, target)."""
    lines = [XML_DECL, f'<Relationships xmlns="{REL_NS}">']
    for rid, kind, target in items:
        uri = kind if kind.startswith("http") else f"{DOC_REL}/{kind}"
        lines.append(f'<Relationship Id="{rid}" Type="{uri}" Target="{attr(target)}"/>')
    lines.append("</Relationships>")
    return "".join(lines)


def content_types(overrides):
    lines = [
        XML_DECL,
        '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">',
        '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>',
        '<Default Extension="xml" ContentType="application/xml"/>',
    ]
    for part, kind in overrides:
        lines.append(f'<Override PartName="{part}" ContentType="{kind}"/>')
    lines.append("</Types>")
    return "".join(lines)


def core_properties(title, subject):
    return (
        XML_DECL
        + '<cp:coreProperties xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/core-properties" '
        'xmlns:dc="http://purl.org/dc/elements/1.1/" xmlns:dcterms="http://purl.org/dc/terms/" '
        'xmlns:dcmitype="http://purl.org/dc/dcmitype/" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">'
        f"<dc:title>{text(title)}</dc:title><dc:subject>{text(subject)}</dc:subject>"
        "<dc:creator>Velmora</dc:creator><dc:language>ru-RU</dc:language>"
        '<dcterms:created xsi:type="dcterms:W3CDTF">2024-03-15T09:00:00Z</dcterms:created>'
        '<dcterms:modified xsi:type="dcterms:W3CDTF">2024-03-15T09:00:00Z</dcterms:modified>'
        "</cp:coreProperties>"
    )


def app_properties():
    return (
        XML_DECL
        + '<Properties xmlns="http://schemas.openxmlformats.org/officeDocument/2006/extended-properties">'
        "<Application>Velmora</Application></Properties>"
    )


CORE_REL = "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties"
APP_REL = f"{DOC_REL}/extended-properties"
CORE_TYPE = "application/vnd.openxmlformats-package.core-properties+xml"
APP_TYPE = "application/vnd.openxmlformats-officedocument.extended-properties+xml"
