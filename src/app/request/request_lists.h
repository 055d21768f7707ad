// The fixed lists of the request builder: the drop-down entries, the grids'
// headers and the OIDs the apply step and generation put into the request.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::request {

// Grid headers.
inline const std::vector<std::string> kSubjectHeader = {"OID", "Значение", "Атрибут"};
inline const std::vector<std::string> kUsageHeader = {"OID", "Атрибут"};
inline const std::vector<std::string> kAltNameHeader = {"OID", "Значение", "Атрибут"};
inline const std::vector<std::string> kPolicyHeader = {"OID", "Атрибут"};

// The value a row added by "Добавить" holds until the user types one.
inline constexpr std::string_view kNewValue = "введите значение";

// cbOids_SG_RDN: subject attributes. The last entry ends with a blank.
inline constexpr std::array<std::string_view, 14> kSubjectOidEntries = {
    "Подразделение(2.5.4.11)",
    "Должность(2.5.4.12)",
    "Организация(2.5.4.10)",
    "Страна(2.5.4.6)",
    "Улица(2.5.4.9)",
    "Населённый пункт(2.5.4.7)",
    "Регион(2.5.4.8)",
    "Обобщённое имя(2.5.4.3)",
    "Фамилия(2.5.4.4)",
    "Имя Отчество(2.5.4.42)",
    "Инициалы(2.5.4.43)",
    "Адрес электронной почты(1.2.840.113549.1.9.1)",
    "Формализованная должность АСФК(1.2.840.113549.1.9.2)",
    "Описание(2.5.4.13) ",
};

// cbOids_SG_ALTNAME: other-name entries of the alternative name.
inline constexpr std::array<std::string_view, 10> kAltNameOidEntries = {
    "Идентификатор ключей при смене(2.5.4.12)",
    "КПП организации(1.2.643.3.61.502710.1.7)",
    "Учетный номер организации СПЗ(1.2.643.3.61.502710.1.5)",
    "Учетный номер организации ГМУ(1.2.643.3.61.502710.1.8)",
    "Идентификатор ключей пользователя при смене сертификата(1.2.643.3.61.502710.1.9)",
    "Идентификатор безопасности LanDocs(1.2.643.1.12345.1)",
    "ИНН организации(1.2.643.3.131.1.1)",
    "Учетная запись пользователя АСФК(1.2.840.113549.1.9.20)",
    "ОГРН(1.2.643.100.1)",
    "Имя контейнера(1.2.643.3.61.1.1.6.502710.3.4.3.1)",
};

// cbOids_SG_CertPolicy.
inline constexpr std::array<std::string_view, 2> kPolicyOidEntries = {
    "Класс средства ЭП КС1(1.2.643.100.113.1)",
    "Класс средства ЭП КС2(1.2.643.100.113.2)",
};

// TITLE_ASFK: formalised ASFK titles, in the list's order. Every text but
// the first ends with a blank before the parenthesis.
inline constexpr std::array<std::string_view, 16> kAsfkTitleEntries = {
    "Руководитель(1.2.643.3.61.1.1.6.502710.3.4.2.1)",
    "Руководитель финансово-экономической службы (1.2.643.3.61.1.1.6.502710.3.4.2.10)",
    "Заместитель начальника отдела (1.2.643.3.61.1.1.6.502710.3.4.2.11)",
    "Сотрудник отдела ведения государственных реестров (1.2.643.3.61.1.1.6.502710.3.4.2.12)",
    "Специалист отдела обслуживания силовых ведомств (1.2.643.3.61.1.1.6.502710.3.4.2.13)",
    "Специалист отдела обслуживания воинских формирований (1.2.643.3.61.1.1.6.502710.3.4.2.14)",
    "Специалист отдела кассового обслуживания исполнения бюджетов "
    "(1.2.643.3.61.1.1.6.502710.3.4.2.15)",
    "Специалист отдела бюджетного учета и отчетности по операциям бюджетов "
    "(1.2.643.3.61.1.1.6.502710.3.4.2.16)",
    "Заместитель руководителя (1.2.643.3.61.1.1.6.502710.3.4.2.2)",
    "Главный бухгалтер (1.2.643.3.61.1.1.6.502710.3.4.2.3)",
    "Заместитель главного бухгалтера (1.2.643.3.61.1.1.6.502710.3.4.2.4)",
    "Операционист (1.2.643.3.61.1.1.6.502710.3.4.2.5)",
    "Специалист отдела расходов (1.2.643.3.61.1.1.6.502710.3.4.2.6)",
    "Специалист отдела доходов (1.2.643.3.61.1.1.6.502710.3.4.2.7)",
    "Администратор системы (1.2.643.3.61.1.1.6.502710.3.4.2.8)",
    "Начальник отдела (1.2.643.3.61.1.1.6.502710.3.4.2.9)",
};

// The provider entry preselected when the list holds it.
inline constexpr std::string_view kDefaultProviderEntry =
    "[75] Crypto-Pro GOST R 34.10-2001 Cryptographic Service Provider";

// OIDs the apply step, the timer and generation use.
inline constexpr std::string_view kCombinedIdsOid = "1.2.372.980001.8.4.1";
inline constexpr std::string_view kCombinedIdsLabel = "ОГРН,СНИЛС,ИНН";
inline constexpr std::string_view kOgrnOid = "1.2.643.100.1";
inline constexpr std::string_view kSnilsOid = "1.2.643.100.3";
inline constexpr std::string_view kInnOid = "1.2.643.3.131.1.1";
inline constexpr std::string_view kSpzOid = "1.2.643.3.61.502710.1.5";
inline constexpr std::string_view kGmuOid = "1.2.643.3.61.502710.1.8";
inline constexpr std::string_view kKppOid = "1.2.643.3.61.502710.1.7";
inline constexpr std::string_view kEmailOid = "1.2.840.113549.1.9.1";
inline constexpr std::string_view kRegionOid = "2.5.4.8";
inline constexpr std::string_view kLocalityOid = "2.5.4.7";
inline constexpr std::string_view kAsfkTitleOid = "1.2.840.113549.1.9.2";
inline constexpr std::string_view kAsfkTitleLabelPrefix = "Должность АСФК-";
inline constexpr std::string_view kCountryOid = "2.5.4.6";
inline constexpr std::string_view kSurnameOid = "2.5.4.4";
inline constexpr std::string_view kGivenNameOid = "2.5.4.42";
inline constexpr std::string_view kCommonNameOid = "2.5.4.3";
inline constexpr std::string_view kTitleOid = "2.5.4.12";
inline constexpr std::string_view kOrgUnitOid = "2.5.4.11";
inline constexpr std::string_view kAsfkUserOid = "1.2.840.113549.1.9.20";
// The alternative name's key identifier used when keys are changed.
inline constexpr std::string_view kChangeKeyIdOid = "2.5.4.12";

inline constexpr std::string_view kAltNameExtension = "2.5.29.17";
inline constexpr std::string_view kKeyAttributesExtension = "2.5.29.2";
inline constexpr std::string_view kKeyUsageExtension = "2.5.29.15";
inline constexpr std::string_view kExtendedKeyUsageExtension = "2.5.29.37";
inline constexpr std::string_view kPoliciesExtension = "2.5.29.32";
inline constexpr std::string_view kSignToolExtension = "1.2.643.100.111";

}  // namespace velmora::request
