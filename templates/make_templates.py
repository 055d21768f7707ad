#!/usr/bin/env python3
"""Writes the sample form templates of Velmora into this folder:

  cer.xltx      certificate of a natural person      ("в Excel", Yes)
  cerUl.xltx    certificate of a legal entity's key   ("в Excel", No)
  cervrs.xltx   certificate as a register entry       ("как в ВРС")
  keyexch1.dotx application for a certificate         ("в WORD", from a request)
  otzyv.dotx    application for revocation            ("Отзыв")
  reqAPkont.dotx application for access-point keys    ("Заявка АП Континент")

Spreadsheet cells hold "<#table.column>" references to the tables the program
fills; a defined name called after a multi-record table (or "__table__")
marks the rows repeated once per record. Word templates mark each place to
fill with a bookmark named after a placeholder (FIO, FIO__1, ...).

Run: python3 templates/make_templates.py  (standard library only; the
output does not depend on the day it runs).
"""

import os
import sys

sys.dont_write_bytecode = True

import docx  # noqa: E402
import xlsx  # noqa: E402
from docx import Document, field, p, r, tab
from xlsx import CENTER, LABEL, MONO, NOTE, PLAIN, SECTION, SIGN, SUBTITLE, TITLE, VALUE, Sheet

HERE = os.path.dirname(os.path.abspath(__file__))


def ref(column, table="tabOD"):
    return f"<#{table}.{column}>"


# Spreadsheet forms -----------------------------------------------------------

def field_row(sheet, label, column, style=VALUE, height=None, table="tabOD"):
    return sheet.row([("A", "A", label, LABEL), ("B", "E", ref(column, table), style)], height)


def section(sheet, caption):
    return sheet.row([("A", "E", caption, SECTION)], 18)


def signature_block(sheet, who, name_ref):
    sheet.blank(10)
    sheet.row([("A", "A", who, PLAIN), ("B", "C", "", SIGN), ("D", "E", name_ref, SIGN)], 24)
    sheet.row([("A", "A", "", PLAIN), ("B", "C", "(подпись)", NOTE), ("D", "E", "(фамилия, инициалы)", NOTE)])


def certificate_head(sheet, kind):
    sheet.row([("A", "E", "СЕРТИФИКАТ КЛЮЧА ПРОВЕРКИ ЭЛЕКТРОННОЙ ПОДПИСИ", TITLE)], 24)
    sheet.row([("A", "E", "Удостоверяющий центр: " + ref("Name_UC"), SUBTITLE)], 18)
    sheet.row([("A", "E", kind, NOTE)])
    sheet.blank(8)
    section(sheet, "1. Сведения о сертификате")
    field_row(sheet, "Серийный номер сертификата", "SerialNumber", MONO)
    field_row(sheet, "Действителен с", "NotBefore")
    field_row(sheet, "Действителен по", "NotAfter")


def usages_and_classes(sheet, number):
    section(sheet, f"{number}. Области использования ключа (расширенное использование)")
    sheet.row([("A", "A", "Наименование", CENTER), ("B", "E", "Идентификатор (OID)", CENTER)])
    sheet.band("OblIsp", sheet.row([("A", "A", ref("Data", "OblIsp"), LABEL),
                                    ("B", "E", ref("Data_oid", "OblIsp"), VALUE)]))
    field_row(sheet, "Использование ключа", "KEY_USAGE", height=30)
    section(sheet, f"{number + 1}. Класс средства электронной подписи владельца")
    sheet.band("klass_sredstv_EP", sheet.row([("A", "E", ref("Data", "klass_sredstv_EP"), VALUE)]))
    field_row(sheet, "Средство электронной подписи владельца", "isp_sr_EP", height=30)


def key_issuer_signature(sheet, number):
    section(sheet, f"{number}. Ключ проверки электронной подписи")
    field_row(sheet, "Алгоритм", "algPK_s_OID")
    field_row(sheet, "Параметры алгоритма", "Alg_parametrs", MONO, 26)
    field_row(sheet, "Значение ключа", "PUBLIC_KEY", MONO, 64)
    section(sheet, f"{number + 1}. Издатель сертификата")
    field_row(sheet, "Наименование удостоверяющего центра", "Name_UC")
    field_row(sheet, "Местонахождение", "LOCALITY_UC", height=26)
    field_row(sheet, "Серийный номер сертификата УЦ", "SerialNumber_UC", MONO)
    field_row(sheet, "Средство электронной подписи издателя", "Name_EP", height=26)
    field_row(sheet, "Заключение о соответствии средства ЭП", "rekv_sootv_sr_EP", height=26)
    field_row(sheet, "Средство удостоверяющего центра", "name_sr_UC", height=26)
    field_row(sheet, "Заключение о соответствии средства УЦ", "rekv_sootv_UC", height=26)
    section(sheet, f"{number + 2}. Класс средства удостоверяющего центра")
    sheet.band("klass_sredstv_UC", sheet.row([("A", "E", ref("Data", "klass_sredstv_UC"), VALUE)]))
    section(sheet, f"{number + 3}. Подпись издателя")
    field_row(sheet, "Алгоритм подписи", "SignatureAlgorithm_s_OID")
    field_row(sheet, "Значение подписи", "signature", MONO, 64)


def person_certificate():
    sheet = Sheet("Сертификат", [38, 14, 14, 14, 14])
    certificate_head(sheet, "Владелец сертификата — физическое лицо")
    section(sheet, "2. Владелец сертификата")
    field_row(sheet, "Фамилия, имя, отчество", "COMMON_NAME")
    field_row(sheet, "СНИЛС", "SNILS")
    field_row(sheet, "ИНН", "INN")
    field_row(sheet, "Адрес электронной почты", "EMAILADDR")
    field_row(sheet, "Место работы", "ORGANIZATION_NAME", height=26)
    field_row(sheet, "Подразделение", "ORGANIZATIONAL_UNIT_NAME", height=26)
    field_row(sheet, "Должность", "TITLE")
    field_row(sheet, "Местонахождение", "LOCALITY_UL", height=26)
    usages_and_classes(sheet, 3)
    key_issuer_signature(sheet, 5)
    signature_block(sheet, "Владелец сертификата", ref("COMMON_NAME"))
    signature_block(sheet, "Уполномоченное лицо УЦ", "")
    sheet.row([("A", "A", "М.П.", PLAIN), ("B", "E", "«____» ________________ 20___ г.", PLAIN)], 24)
    sheet.footer = "&L&8Сертификат " + ref("SerialNumber") + "&R&8Страница &P из &N"
    xlsx.write_workbook(os.path.join(HERE, "cer.xltx"), sheet, "Сертификат ключа проверки ЭП (физическое лицо)")


def entity_certificate():
    sheet = Sheet("Сертификат", [38, 14, 14, 14, 14])
    certificate_head(sheet, "Владелец сертификата — юридическое лицо")
    section(sheet, "2. Организация — владелец сертификата")
    field_row(sheet, "Наименование организации", "ORGANIZATION_NAME", height=26)
    field_row(sheet, "ОГРН", "OGRN")
    field_row(sheet, "ИНН", "INN")
    field_row(sheet, "КПП", "KPP")
    field_row(sheet, "Местонахождение", "LOCALITY_UL", height=26)
    field_row(sheet, "Код по Сводному реестру (СПЗ)", "KOD_SPZ")
    field_row(sheet, "Код ГМУ", "KOD_GMU")
    section(sheet, "3. Лицо, действующее от имени организации")
    field_row(sheet, "Фамилия, имя, отчество", "COMMON_NAME")
    field_row(sheet, "Должность", "TITLE")
    field_row(sheet, "Подразделение", "ORGANIZATIONAL_UNIT_NAME", height=26)
    field_row(sheet, "СНИЛС", "SNILS")
    field_row(sheet, "Адрес электронной почты", "EMAILADDR")
    field_row(sheet, "Формализованная должность АСФК", "TITLE_ASFK")
    field_row(sheet, "Учётная запись АСФК", "USER_ASFK")
    field_row(sheet, "Полномочия (области использования)", "polnomochia", height=66)
    usages_and_classes(sheet, 4)
    key_issuer_signature(sheet, 6)
    signature_block(sheet, "Руководитель организации", "")
    signature_block(sheet, "Уполномоченное лицо УЦ", "")
    sheet.row([("A", "A", "М.П.", PLAIN), ("B", "E", "«____» ________________ 20___ г.", PLAIN)], 24)
    sheet.footer = "&L&8Сертификат " + ref("SerialNumber") + "&R&8Страница &P из &N"
    xlsx.write_workbook(os.path.join(HERE, "cerUl.xltx"), sheet, "Сертификат ключа проверки ЭП (юридическое лицо)")


def register_certificate():
    sheet = Sheet("Лист 1", [6, 44, 16, 16, 16])
    sheet.row([("A", "E", "РЕЕСТРОВАЯ ЗАПИСЬ О СЕРТИФИКАТЕ КЛЮЧА ПРОВЕРКИ ЭЛЕКТРОННОЙ ПОДПИСИ", TITLE)], 36)
    sheet.row([("A", "E", "Удостоверяющий центр: " + ref("Name_UC"), SUBTITLE)], 18)
    sheet.blank(8)
    sheet.row([("A", "A", "№", SECTION), ("B", "B", "Реквизит", SECTION), ("C", "E", "Значение", SECTION)], 18)
    number = 0

    def item(label, column, style=VALUE, height=None, table="tabOD", numbered=True):
        nonlocal number
        if numbered:
            number += 1
        return sheet.row([("A", "A", str(number) if numbered else "", CENTER), ("B", "B", label, LABEL),
                          ("C", "E", ref(column, table), style)], height)

    item("Серийный номер", "SerialNumber", MONO)
    item("Начало срока действия", "NotBefore")
    item("Окончание срока действия", "NotAfter")
    item("Владелец (общее имя)", "COMMON_NAME")
    item("Организация", "ORGANIZATION_NAME", height=26)
    item("Подразделение", "ORGANIZATIONAL_UNIT_NAME", height=26)
    item("Должность", "TITLE")
    item("ОГРН", "OGRN")
    item("ИНН", "INN")
    item("СНИЛС", "SNILS")
    item("КПП", "KPP")
    item("Адрес электронной почты", "EMAILADDR")
    item("Местонахождение", "LOCALITY_UL", height=26)
    item("Код по Сводному реестру", "KOD_SPZ")
    item("Код ГМУ", "KOD_GMU")
    item("Формализованная должность АСФК", "TITLE_ASFK")
    number += 1
    sheet.row([("A", "A", str(number), CENTER), ("B", "E", "Области использования ключа:", LABEL)])
    sheet.band("OblIsp", item(ref("Data_zpt", "OblIsp"), "Data_oid", table="OblIsp", numbered=False))
    item("Использование ключа", "KEY_USAGE", height=30)
    number += 1
    sheet.row([("A", "A", str(number), CENTER), ("B", "E", "Классы средств электронной подписи:", LABEL)])
    sheet.band("klass_sredstv_EP", item("владельца", "Data", table="klass_sredstv_EP", numbered=False))
    sheet.band("klass_sredstv_UC", item("удостоверяющего центра", "Data", table="klass_sredstv_UC", numbered=False))
    item("Средство ЭП владельца", "isp_sr_EP", height=26)
    item("Алгоритм ключа проверки ЭП", "algPK_s_OID")
    item("Параметры алгоритма", "Alg_parametrs", MONO, 26)
    item("Ключ проверки ЭП", "PUBLIC_KEY", MONO, 52)
    item("Издатель", "Name_UC")
    item("Местонахождение издателя", "LOCALITY_UC", height=26)
    item("Серийный номер сертификата издателя", "SerialNumber_UC", MONO)
    item("Средство ЭП издателя", "Name_EP", height=26)
    item("Заключение о соответствии средства ЭП", "rekv_sootv_sr_EP", height=26)
    item("Средство УЦ", "name_sr_UC", height=26)
    item("Заключение о соответствии средства УЦ", "rekv_sootv_UC", height=26)
    item("Алгоритм подписи", "SignatureAlgorithm_s_OID")
    item("Подпись издателя", "signature", MONO, 52)
    sheet.blank(10)
    sheet.row([("A", "B", "Запись внёс", PLAIN), ("C", "C", "", SIGN), ("D", "E", "", SIGN)], 24)
    sheet.row([("A", "B", "", PLAIN), ("C", "C", "(подпись)", NOTE), ("D", "E", "(фамилия, инициалы)", NOTE)])
    sheet.footer = "&L&8Реестровая запись " + ref("SerialNumber") + "&R&8Страница &P из &N"
    xlsx.write_workbook(os.path.join(HERE, "cervrs.xltx"), sheet, "Реестровая запись о сертификате",
                        band_style="flexcel")


# Word-processing forms --------------------------------------------------------

LABEL_W, VALUE_W = 3600, 5750


def labelled(doc, rows):
    """A two-column table: label, then the bookmarked value."""
    body = []
    for label, name, placeholder, *fmt in rows:
        options = fmt[0] if fmt else {}
        body.append([p(r(label), style="Small"), p(doc.bm(name, placeholder, **options))])
    doc.table(body, [LABEL_W, VALUE_W], shade_first=True)


def signatures(doc, lines):
    """Signature lines: who, a line to sign on, the name in brackets."""
    rows = []
    for who, name, placeholder in lines:
        name_run = doc.bm(name, placeholder, bold=False) if name else r("_" * 20)
        rows.append([p(r(who), before=240), p(r("_" * 18), before=240, align="center"),
                     p(r("/ "), name_run, r(" /"), before=240, align="center")])
        rows.append([p(""), p(r("(подпись)", italic=True, size=16), align="center"),
                     p(r("(фамилия, инициалы)", italic=True, size=16), align="center")])
    doc.table(rows, [3300, 2700, 3350], borders=False)


def footer(doc, left_runs):
    doc.footer.append(p(*left_runs, tab(), r("Страница ", size=16), field("PAGE", "1", size=16),
                        style="Footer"))


def heading(doc, addressee, title, subtitle):
    """The addressee in the upper right corner, the form's title under it."""
    doc.add(p(r(addressee), align="right"),
            p(r("Федерального казначейства"), align="right", after=240),
            p(r(title), style="Title"),
            p(r(subtitle), style="Subtitle"))


def request_application():
    doc = Document()
    heading(doc, "В удостоверяющий центр", "Заявление",
            "на изготовление сертификата ключа проверки электронной подписи")
    doc.add(p(r("Заявитель "), doc.bm("ZAYAVITEL_NAME", "[наименование организации]"),
              r(" (ОГРН, ИНН: "), doc.bm("OGRN_INN", "[ОГРН, ИНН]"), r("), в лице "),
              doc.bm("FIO__1", "[фамилия, имя, отчество]"),
              r(", просит изготовить сертификат ключа проверки электронной подписи своего "
                "уполномоченного лица по прилагаемому запросу со следующими данными:"),
              align="both", indent=709, after=120))
    labelled(doc, [
        ("Фамилия, имя, отчество", "FIO", "[ФИО]"),
        ("Фамилия", "SUR_NAME", "[фамилия]", {"bold": False}),
        ("Имя и отчество", "GIVEN_NAME", "[имя, отчество]", {"bold": False}),
        ("Общее имя в сертификате", "COMMON_NAME", "[общее имя]"),
        ("Должность", "TITLE", "[должность]"),
        ("Подразделение", "ORGANIZATIONAL_UNIT_NAME", "[подразделение]"),
        ("Организация", "ORGANIZATION_NAME", "[организация]"),
        ("Населённый пункт", "LOCALITY_NAME", "[населённый пункт]"),
        ("СНИЛС", "SNILS", "[СНИЛС]"),
        ("ИНН", "INN", "[ИНН]"),
        ("ОГРН", "OGRN", "[ОГРН]"),
        ("КПП", "KPP", "[КПП]"),
        ("Адрес электронной почты", "EMAILADDR", "[e-mail]"),
        ("Код по Сводному реестру (СПЗ)", "KOD_SPZ", "[код СПЗ]"),
        ("Код ГМУ", "KOD_GMU", "[код ГМУ]"),
        ("Формализованная должность АСФК", "TITLE_ASFK", "[должность АСФК]"),
        ("Учётная запись АСФК", "USER_ASFK", "[учётная запись]"),
        ("Описание", "Description", "[описание]", {"bold": False}),
        ("Расширенное использование ключа", "ENHANCED_KEY_USAGE", "[области использования]", {"bold": False}),
        ("Назначение сертификата", "UsageComents", "[назначение]", {"bold": False}),
    ])
    doc.add(p(r("Ключ проверки электронной подписи (из запроса)", bold=True), before=240, after=120, keep=True))
    mono = {"bold": False, "font": "Courier New", "size": 18}
    labelled(doc, [
        ("Алгоритм ключа", "PK_algName", "[алгоритм]"),
        ("Идентификатор алгоритма", "PK_algoritmOID", "[OID]", {"bold": False}),
        ("Параметры алгоритма", "PK_Parameters", "[параметры]", mono),
        ("Значение ключа", "PUBLIC_KEY", "[ключ]", mono),
        ("Штамп ключа по ГОСТ Р 34.11-94", "Stamp_PUBLIC_KEY", "[штамп]", mono),
        ("Алгоритм подписи запроса", "SignatureAlg", "[алгоритм подписи]"),
        ("Идентификатор алгоритма подписи", "SignatureAlgOID", "[OID]", {"bold": False}),
        ("Параметры алгоритма подписи", "SignatureAlg_Parameters", "[параметры]", mono),
        ("Подпись запроса", "Signature_REQ", "[подпись]", mono),
    ])
    doc.add(p(r("Достоверность сведений, указанных в заявлении, подтверждаю. С порядком "
                "использования электронной подписи ознакомлен."), align="both", indent=709, before=240),
            p(r("Дата заполнения: "), doc.bm("DATE", "[дата]", bold=False), before=120))
    signatures(doc, [
        ("Уполномоченное лицо заявителя", "FIO2", "[ФИО]"),
        ("Руководитель организации", "", ""),
    ])
    doc.add(p(r("М.П.      "), doc.bm("Подпись", "(место для отметки УЦ)", bold=False, italic=True),
              before=120),
            p(r("Заявление принято: "), doc.bm("DATE_POD", "[дата]", bold=False), r("   Сотрудник УЦ ____________"),
              before=240))
    footer(doc, [r("Заявление на сертификат: ", size=16), doc.bm("FIO3", "[ФИО]", bold=False, size=16)])
    docx.write_document(os.path.join(HERE, "keyexch1.dotx"), doc, "Заявление на изготовление сертификата")


def revocation_application():
    doc = Document()
    heading(doc, "В удостоверяющий центр", "Заявление",
            "на прекращение действия сертификата ключа проверки электронной подписи")
    doc.add(p(r("Заявитель "), doc.bm("ZAYAVITEL_NAME", "[наименование организации]"),
              r(" (ОГРН, ИНН: "), doc.bm("OGRN_INN", "[ОГРН, ИНН]"),
              r(") просит прекратить действие сертификата ключа проверки электронной подписи:"),
              align="both", indent=709, after=120))
    labelled(doc, [
        ("Серийный номер сертификата", "SERIAL_NUMBER", "[серийный номер]", {"font": "Courier New", "size": 20}),
        ("Владелец сертификата", "FIO", "[ФИО]"),
        ("Общее имя", "COMMON_NAME", "[общее имя]"),
        ("Должность", "TITLE", "[должность]"),
        ("Организация", "ORGANIZATION_NAME", "[организация]"),
        ("ИНН", "INN", "[ИНН]"),
        ("СНИЛС", "SNILS", "[СНИЛС]"),
        ("Адрес электронной почты", "EMAILADDR", "[e-mail]"),
    ])
    doc.add(p(r("Причина прекращения действия:", bold=True), before=240, after=60))
    for reason in ("компрометация ключа электронной подписи",
                   "прекращение полномочий владельца сертификата",
                   "изменение сведений, указанных в сертификате",
                   "иное: ______________________________________________"):
        doc.add(p(r("☐  " + reason), indent=709))
    doc.add(p(r("Дата подачи заявления: "), doc.bm("DATE", "[дата]", bold=False), before=240))
    signatures(doc, [
        ("Владелец сертификата", "FIO2", "[ФИО]"),
        ("Руководитель организации", "", ""),
    ])
    doc.add(p(r("М.П."), before=120),
            p(r("Отметка УЦ: действие сертификата прекращено "), doc.bm("DATE_POD", "[дата]", bold=False),
              before=240),
            p(r("Сотрудник УЦ ____________ / ____________ /"), before=120))
    footer(doc, [r("Отзыв сертификата ", size=16),
                 doc.bm("SERIAL_NUMBER__footer", "[серийный номер]", bold=False, size=16)])
    docx.write_document(os.path.join(HERE, "otzyv.dotx"), doc, "Заявление на прекращение действия сертификата")


def access_point_application():
    doc = Document()
    heading(doc, "В территориальный орган", "Заявка",
            "на изготовление ключей абонентского пункта «Континент-АП»")
    doc.add(p(r("Организация "), doc.bm("ORGANIZATION_NAME", "[наименование организации]"),
              r(" просит изготовить ключевую информацию абонентского пункта для подключения к "
                "сети Федерального казначейства."), align="both", indent=709, after=120))
    labelled(doc, [
        ("Организация", "ZAYAVITEL_NAME", "[организация]"),
        ("ОГРН, ИНН", "OGRN_INN", "[ОГРН, ИНН]"),
        ("КПП", "KPP", "[КПП]"),
        ("Населённый пункт", "LOCALITY_NAME", "[населённый пункт]"),
        ("Код по Сводному реестру (СПЗ)", "KOD_SPZ", "[код СПЗ]"),
        ("Пользователь абонентского пункта", "FIO", "[ФИО]"),
        ("Должность", "TITLE", "[должность]"),
        ("Подразделение", "ORGANIZATIONAL_UNIT_NAME", "[подразделение]"),
        ("Адрес электронной почты", "EMAILADDR", "[e-mail]"),
        ("Имя абонентского пункта", "COMMON_NAME", "[имя]"),
        ("Описание", "Description", "[описание]", {"bold": False}),
        ("Тип абонентского пункта", "ТИП_АП", "программный (Континент-АП)", {"bold": False}),
        ("Количество комплектов ключей", "КОЛИЧЕСТВО", "1", {"bold": False}),
    ])
    doc.add(p(r("Ответственный за эксплуатацию абонентского пункта ознакомлен с правилами "
                "хранения ключевой информации."), align="both", indent=709, before=240),
            p(r("Дата: "), doc.bm("DATE", "[дата]", bold=False), before=120))
    signatures(doc, [
        ("Пользователь АП", "FIO2", "[ФИО]"),
        ("Руководитель организации", "", ""),
    ])
    doc.add(p(r("М.П."), before=120),
            p(r("Заявка принята: "), doc.bm("DATE_POD2", "[дата]", bold=False), before=240))
    footer(doc, [r("Заявка АП: ", size=16), doc.bm("FIO3", "[ФИО]", bold=False, size=16)])
    docx.write_document(os.path.join(HERE, "reqAPkont.dotx"), doc, "Заявка на ключи абонентского пункта")


if __name__ == "__main__":
    person_certificate()
    entity_certificate()
    register_certificate()
    request_application()
    revocation_application()
    access_point_application()
