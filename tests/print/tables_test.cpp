// The values the forms are filled with: the four tables of the spreadsheet
// forms and the bookmark values of the word-processing forms, from decoded
// fixtures and from records made for the case.

#include "crypto/platform/system/clock.h"
#include "print/tables/bookmark_values.h"
#include "print/tables/certificate_tables.h"
#include "report/fixture_files.h"

#include <gtest/gtest.h>

namespace velmora::print {
namespace {

using testing::DecodeFixture;
using testing::FixtureFolder;

std::string Column(const TableSet& tables, std::string_view table, std::string_view column,
                   std::size_t record = 0) {
    const DataTable* found = tables.Find(table);
    EXPECT_NE(found, nullptr) << table;
    const int index = found->ColumnIndex(column);
    EXPECT_GE(index, 0) << column;
    return found->Value(record, static_cast<std::size_t>(index));
}

std::vector<std::string> ColumnValues(const TableSet& tables, std::string_view table,
                                      std::string_view column) {
    std::vector<std::string> values;
    for (std::size_t i = 0; i < tables.Find(table)->RecordCount(); ++i) {
        values.push_back(Column(tables, table, column, i));
    }
    return values;
}

TEST(CertificateTables, EveryColumnOfAQualifiedCertificate) {
    TableSet tables = MakeCertificateTables();
    FillCertificateTables(tables, DecodeFixture(FixtureFolder() / "ee-256.cer"));
    ASSERT_EQ(tables.Find(kTabOD)->RecordCount(), 1u);
    EXPECT_EQ(tables.Find(kTabOD)->Columns().size(), 35u);
    EXPECT_EQ(Column(tables, kTabOD, "SerialNumber"), "009C4E2A17B3D5F6071829");
    EXPECT_EQ(Column(tables, kTabOD, "LOCALITY_UL"),
              "RU, Москва, 77 г. Москва, ул. Ильинка, д. 4, стр. 1");
    EXPECT_EQ(Column(tables, kTabOD, "Name_UC"), "Тестовый подчинённый УЦ Velmora");
    EXPECT_EQ(Column(tables, kTabOD, "LOCALITY_UC"), "RU, Москва, 77 г. Москва, ул. Ильинка, д. 4");
    EXPECT_EQ(Column(tables, kTabOD, "SerialNumber_UC"), "1A 2B 3C 4D");
    // The issuer's tools in the order of the record's four texts.
    EXPECT_EQ(Column(tables, kTabOD, "Name_EP"),
              "Средство электронной подписи «Тест-CSP» (версия 5.0)");
    EXPECT_EQ(Column(tables, kTabOD, "rekv_sootv_sr_EP"),
              "Сертификат соответствия № СФ/124-0001 от 15.01.2024");
    EXPECT_EQ(Column(tables, kTabOD, "name_sr_UC"),
              "Программный комплекс «Тестовый УЦ» (версия 2.0)");
    EXPECT_EQ(Column(tables, kTabOD, "rekv_sootv_UC"),
              "Сертификат соответствия № СФ/128-0002 от 01.02.2024");
    EXPECT_EQ(Column(tables, kTabOD, "algPK_s_OID"),
              "ГОСТ Р 34.10-2012 256 бит(1.2.643.7.1.1.1.1)");
    EXPECT_EQ(Column(tables, kTabOD, "SignatureAlgorithm_s_OID"),
              Column(tables, kTabOD, "SignatureAlgorithm"));
    EXPECT_EQ(Column(tables, kTabOD, "TITLE_ASFK"), "Неизвестный OID");
    EXPECT_EQ(Column(tables, kTabOD, "KEY_USAGE"),
              "Шифрование данных, Цифровая подпись, Согласование ключей, Шифрование ключа, "
              "Неотрекаемость, Только расшифровка(F8 80)");
    EXPECT_EQ(Column(tables, kTabOD, "polnomochia"),
              "Неизвестный OID (1.2.643.3.61.1.1.6.502710.3.4.1.1), Неизвестный OID "
              "(1.2.643.3.61.1.1.6.502710.3.4.1.7), Администратор организации "
              "(1.2.643.3.61.502710.1.6.3.4.1.1), Проверка подлинности клиента "
              "(1.3.6.1.5.5.7.3.2), Защищенная электронная почта (1.3.6.1.5.5.7.3.4), "
              "Неизвестный OID (1.2.643.2.99.2)");

    EXPECT_EQ(ColumnValues(tables, kOblIsp, "Data_oid").size(), 6u);
    const std::vector<std::string> withCommas = ColumnValues(tables, kOblIsp, "Data_zpt");
    EXPECT_EQ(withCommas.front(), "Неизвестный OID, ");
    EXPECT_EQ(withCommas.back(), "Неизвестный OID");
    EXPECT_EQ(ColumnValues(tables, kOblIsp, "Data")[3], "Проверка подлинности клиента");
    const std::vector<std::string> classes = {"Класс средства ЭП КС1", "Класс средства ЭП КС2",
                                              "Все политики выдачи"};
    EXPECT_EQ(ColumnValues(tables, kKlassSredstvUC, "Data"), classes);
    EXPECT_EQ(ColumnValues(tables, kKlassSredstvEP, "Data"), classes);
    EXPECT_EQ(ColumnValues(tables, kKlassSredstvEP, "Data_zpt")[1], "Класс средства ЭП КС2, ");
}

TEST(CertificateTables, MissingExtensionsLeaveColumnsEmptyAndEachPrintStartsAfresh) {
    TableSet tables = MakeCertificateTables();
    FillCertificateTables(tables, DecodeFixture(FixtureFolder() / "ee-256.cer"));
    // A second print keeps nothing of the first.
    FillCertificateTables(tables, DecodeFixture(FixtureFolder() / "ee-noext.cer"));
    EXPECT_EQ(tables.Find(kTabOD)->RecordCount(), 1u);
    for (const char* column : {"Name_UC", "LOCALITY_UC", "SerialNumber_UC", "Name_EP",
                               "rekv_sootv_UC", "polnomochia", "KEY_USAGE"}) {
        EXPECT_EQ(Column(tables, kTabOD, column), "") << column;
    }
    EXPECT_EQ(tables.Find(kOblIsp)->RecordCount(), 0u);
    EXPECT_EQ(tables.Find(kKlassSredstvUC)->RecordCount(), 0u);

    // A key identifier without issuer and serial still counts as 2.5.29.35.
    FillCertificateTables(tables, DecodeFixture(FixtureFolder() / "ee-512.cer"));
    EXPECT_EQ(Column(tables, kTabOD, "Name_UC"), "Тестовый подчинённый УЦ Velmora");
    EXPECT_EQ(Column(tables, kTabOD, "SerialNumber_UC"), "");
    EXPECT_EQ(tables.Find(kOblIsp)->RecordCount(), 4u);

    // A request fills the certificate's record alone, usages or not.
    FillCertificateTables(tables, DecodeFixture(FixtureFolder() / "req-full.req"));
    EXPECT_EQ(tables.Find(kTabOD)->RecordCount(), 1u);
    EXPECT_NE(Column(tables, kTabOD, "polnomochia"), "");
    EXPECT_EQ(tables.Find(kOblIsp)->RecordCount(), 0u);
    EXPECT_EQ(tables.Find(kKlassSredstvEP)->RecordCount(), 0u);
}

TCERT_EXTENSION_STR Usages(std::initializer_list<const char*> oids) {
    TCERT_EXTENSION_STR extension;
    extension.Kind = ExtensionKind::kExtendedKeyUsage;
    extension.Oid = "2.5.29.37";
    for (const char* oid : oids) {
        extension.Purposes.Items.push_back({oid, "", "Имя " + std::string(oid)});
    }
    return extension;
}

TEST(BookmarkValues, PlaceholdersByTheNameBeforeTheDoubleUnderscore) {
    TRCstruct record;
    record.Surname = "Петрова";
    record.GivenName = "Анна Сергеевна";
    record.Inn = "7701234567";
    record.Kind = "CERT";
    record.Extensions.Items.push_back(Usages({"1.3.6.1.5.5.7.3.2", "1.2.3"}));
    const BookmarkValues values(record);
    for (const char* name : {"FIO", "fio__2", "Fio2", "FIO3__x__y"}) {
        EXPECT_EQ(values.ValueOf(name), "Петрова Анна Сергеевна") << name;
    }
    EXPECT_EQ(values.ValueOf("OGRN_INN"), "7701234567");
    EXPECT_EQ(values.ValueOf("ENHANCED_KEY_USAGE"),
              "Имя 1.3.6.1.5.5.7.3.2 (1.3.6.1.5.5.7.3.2), \nИмя 1.2.3 (1.2.3)\n");
    EXPECT_EQ(values.ValueOf("UsageComents"), "");  // a certificate's
    EXPECT_EQ(values.ValueOf("Подпись"), std::nullopt);
    EXPECT_EQ(values.ValueOf("FIO_2"), std::nullopt);
    EXPECT_EQ(values.ValueOf("__FIO"), std::nullopt);
    record.Ogrn = "1027700132195";
    EXPECT_EQ(values.ValueOf("OGRN_INN"), "1027700132195, 7701234567");

    // Dates are today's, in the local time zone.
    testing::UseMoscowTime();
    const platform::ScopedClockOverride clock(UtcToFileTime({2024, 3, 4, 22, 30, 0, 0}));
    EXPECT_EQ(values.ValueOf("DATE_POD"), "05.03.2024 г.");
    EXPECT_EQ(values.ValueOf("date_pod2__1"), "05.03.2024 г.");
    EXPECT_EQ(values.ValueOf("DATE"), "5 марта 2024 г.");
    EXPECT_EQ(BookmarkValues::Placeholders().size(), 37u);
}

TEST(BookmarkValues, PurposeLinesOfARequest) {
    // Three usages of three systems.
    EXPECT_EQ(PurposeLines(DecodeFixture(FixtureFolder() / "req-full.req")),
              "- Сертификат предназначен для ППО \"АСФК\"(1.2.643.3.61.1.1.6.502710.3.4.1.1)\n"
              "- Сертификат предназначен для АРМ обмена электронными документами с официальным "
              "сайтом.(1.3.6.1.5.5.7.3.2)\n"
              "- Используется при установлении защищенного соединения по протоколу TLS для "
              "подтверждения подлинности клиента(1.3.6.1.5.5.7.3.2)\n");

    TRCstruct request;
    request.Kind = "REQ";
    // Two usages of one system and one of another give two lines.
    request.Extensions.Items = {
        Usages({"1.2.643.3.61.1.1.6.502710.3.4.1.2", "1.2.643.3.61.1.1.6.502710.3.4.1.9",
                "1.2.643.3.61.502710.1.6.3.5.1"})};
    EXPECT_EQ(PurposeLines(request),
              "- Сертификат предназначен для ППО \"АСФК\"(1.2.643.3.61.1.1.6.502710.3.4.1.1)\n"
              "- Работа с ГМУ(1.3.6.1.5.5.7.3.2)\n");
    // A first usage outside the table gives "- " alone; later ones repeat
    // the description before them and add nothing.
    request.Extensions.Items = {
        Usages({"1.2.643.2.99", "1.2.643.3.61.502710.1.6.3.3", "1.2.643.2.98"})};
    EXPECT_EQ(PurposeLines(request),
              "- \n- Сертификат предназначен для Landocs (1.2.643.3.61.502710.1.6.3.3)\n");
    request.Extensions.Items.clear();
    EXPECT_EQ(PurposeLines(request), "");
}

}  // namespace
}  // namespace velmora::print
