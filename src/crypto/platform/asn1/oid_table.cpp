// The registry's data: the names a Russian-language system with the GOST
// provider installed gives these OIDs. Extend it here; nothing else changes.
#include "crypto/platform/asn1/oid_registry.h"

namespace velmora::platform {
namespace {

using G = OidGroup;

constexpr OidInfo kOids[] = {
    // Hash algorithms.
    {"1.2.643.2.2.9", "ГОСТ Р 34.11-94", G::kHashAlgorithm},
    {"1.2.643.7.1.1.2.2", "ГОСТ Р 34.11-2012 256 бит", G::kHashAlgorithm},
    {"1.2.643.7.1.1.2.3", "ГОСТ Р 34.11-2012 512 бит", G::kHashAlgorithm},
    {"1.3.14.3.2.26", "sha1", G::kHashAlgorithm},
    {"2.16.840.1.101.3.4.2.1", "sha256", G::kHashAlgorithm},
    {"2.16.840.1.101.3.4.2.2", "sha384", G::kHashAlgorithm},
    {"2.16.840.1.101.3.4.2.3", "sha512", G::kHashAlgorithm},
    {"1.2.840.113549.2.5", "md5", G::kHashAlgorithm},

    // Encryption algorithms.
    {"1.2.643.2.2.21", "ГОСТ 28147-89", G::kEncryptAlgorithm},
    {"1.2.643.7.1.1.5.1", "ГОСТ Р 34.12-2015 Магма", G::kEncryptAlgorithm},
    {"1.2.643.7.1.1.5.2", "ГОСТ Р 34.12-2015 Кузнечик", G::kEncryptAlgorithm},
    {"1.2.840.113549.3.7", "3des", G::kEncryptAlgorithm},
    {"2.16.840.1.101.3.4.1.2", "aes128", G::kEncryptAlgorithm},
    {"2.16.840.1.101.3.4.1.42", "aes256", G::kEncryptAlgorithm},

    // Public key algorithms.
    {"1.2.643.2.2.19", "ГОСТ Р 34.10-2001", G::kPublicKeyAlgorithm},
    {"1.2.643.2.2.98", "ГОСТ Р 34.10-2001 DH", G::kPublicKeyAlgorithm},
    {"1.2.643.2.2.20", "ГОСТ Р 34.10-94", G::kPublicKeyAlgorithm},
    {"1.2.643.7.1.1.1.1", "ГОСТ Р 34.10-2012 256 бит", G::kPublicKeyAlgorithm},
    {"1.2.643.7.1.1.1.2", "ГОСТ Р 34.10-2012 512 бит", G::kPublicKeyAlgorithm},
    {"1.2.643.7.1.1.6.1", "ГОСТ Р 34.10-2012 256 бит DH", G::kPublicKeyAlgorithm},
    {"1.2.643.7.1.1.6.2", "ГОСТ Р 34.10-2012 512 бит DH", G::kPublicKeyAlgorithm},
    {"1.2.840.113549.1.1.1", "RSA", G::kPublicKeyAlgorithm},
    {"1.2.840.10045.2.1", "ECC", G::kPublicKeyAlgorithm},
    {"1.2.840.10040.4.1", "DSA", G::kPublicKeyAlgorithm},
    {"1.3.101.112", "Ed25519", G::kPublicKeyAlgorithm},

    // Signature algorithms.
    {"1.2.643.2.2.3", "ГОСТ Р 34.11/34.10-2001", G::kSignatureAlgorithm},
    {"1.2.643.2.2.4", "ГОСТ Р 34.11/34.10-94", G::kSignatureAlgorithm},
    {"1.2.643.7.1.1.3.2", "ГОСТ Р 34.11-2012/34.10-2012 256 бит", G::kSignatureAlgorithm},
    {"1.2.643.7.1.1.3.3", "ГОСТ Р 34.11-2012/34.10-2012 512 бит", G::kSignatureAlgorithm},
    {"1.2.840.113549.1.1.4", "md5RSA", G::kSignatureAlgorithm},
    {"1.2.840.113549.1.1.5", "sha1RSA", G::kSignatureAlgorithm},
    {"1.2.840.113549.1.1.10", "RSASSA-PSS", G::kSignatureAlgorithm},
    {"1.2.840.113549.1.1.11", "sha256RSA", G::kSignatureAlgorithm},
    {"1.2.840.113549.1.1.12", "sha384RSA", G::kSignatureAlgorithm},
    {"1.2.840.113549.1.1.13", "sha512RSA", G::kSignatureAlgorithm},
    {"1.2.840.10045.4.1", "sha1ECDSA", G::kSignatureAlgorithm},
    {"1.2.840.10045.4.3", "specifiedECDSA", G::kSignatureAlgorithm},
    {"1.2.840.10045.4.3.2", "sha256ECDSA", G::kSignatureAlgorithm},
    {"1.2.840.10045.4.3.3", "sha384ECDSA", G::kSignatureAlgorithm},
    {"1.2.840.10045.4.3.4", "sha512ECDSA", G::kSignatureAlgorithm},
    {"1.2.840.10040.4.3", "sha1DSA", G::kSignatureAlgorithm},

    // Name attributes: the short keys of the name strings.
    {"2.5.4.3", "CN", G::kRdnAttribute},
    {"2.5.4.4", "SN", G::kRdnAttribute},
    {"2.5.4.5", "SERIALNUMBER", G::kRdnAttribute},
    {"2.5.4.6", "C", G::kRdnAttribute},
    {"2.5.4.7", "L", G::kRdnAttribute},
    {"2.5.4.8", "S", G::kRdnAttribute},
    {"2.5.4.9", "STREET", G::kRdnAttribute},
    {"2.5.4.10", "O", G::kRdnAttribute},
    {"2.5.4.11", "OU", G::kRdnAttribute},
    {"2.5.4.12", "T", G::kRdnAttribute},
    {"2.5.4.13", "Description", G::kRdnAttribute},
    {"2.5.4.17", "PostalCode", G::kRdnAttribute},
    {"2.5.4.18", "POBox", G::kRdnAttribute},
    {"2.5.4.20", "Phone", G::kRdnAttribute},
    {"2.5.4.42", "G", G::kRdnAttribute},
    {"2.5.4.43", "I", G::kRdnAttribute},
    {"2.5.4.46", "dnQualifier", G::kRdnAttribute},
    {"0.9.2342.19200300.100.1.25", "DC", G::kRdnAttribute},
    {"1.2.840.113549.1.9.1", "E", G::kRdnAttribute},
    {"1.2.840.113549.1.9.2", "UnstructuredName", G::kRdnAttribute},
    {"1.2.840.113549.1.9.8", "UnstructuredAddress", G::kRdnAttribute},
    {"1.2.643.100.1", "ОГРН", G::kRdnAttribute},
    {"1.2.643.100.3", "СНИЛС", G::kRdnAttribute},
    {"1.2.643.3.131.1.1", "ИНН", G::kRdnAttribute},
    {"1.2.643.100.4", "ИНН ЮЛ", G::kRdnAttribute},
    {"1.2.643.100.5", "ОГРНИП", G::kRdnAttribute},
    {"1.2.643.3.141.1.1", "РНС ФСС", G::kRdnAttribute},
    {"1.2.643.3.141.1.2", "КП ФСС", G::kRdnAttribute},

    // Extensions and attributes.
    {"2.5.29.1", "Идентификатор ключа центра сертификатов", G::kExtensionOrAttribute},
    {"2.5.29.2", "Атрибуты ключа", G::kExtensionOrAttribute},
    {"2.5.29.3", "Политики сертификата", G::kExtensionOrAttribute},
    {"2.5.29.4", "Ограничения использования ключа", G::kExtensionOrAttribute},
    {"2.5.29.7", "Альтернативное имя субъекта", G::kExtensionOrAttribute},
    {"2.5.29.8", "Альтернативное имя поставщика", G::kExtensionOrAttribute},
    {"2.5.29.9", "Атрибуты каталога субъекта", G::kExtensionOrAttribute},
    {"2.5.29.10", "Основные ограничения", G::kExtensionOrAttribute},
    {"2.5.29.14", "Идентификатор ключа субъекта", G::kExtensionOrAttribute},
    {"2.5.29.15", "Использование ключа", G::kExtensionOrAttribute},
    {"2.5.29.16", "Период использования закрытого ключа", G::kExtensionOrAttribute},
    {"2.5.29.17", "Альтернативное имя субъекта", G::kExtensionOrAttribute},
    {"2.5.29.18", "Альтернативное имя поставщика", G::kExtensionOrAttribute},
    {"2.5.29.19", "Основные ограничения", G::kExtensionOrAttribute},
    {"2.5.29.20", "Номер CRL", G::kExtensionOrAttribute},
    {"2.5.29.21", "Код причины CRL", G::kExtensionOrAttribute},
    {"2.5.29.23", "Код инструкции", G::kExtensionOrAttribute},
    {"2.5.29.24", "Дата недействительности", G::kExtensionOrAttribute},
    {"2.5.29.27", "Индикатор разностного CRL", G::kExtensionOrAttribute},
    {"2.5.29.28", "Точка распространения выдачи", G::kExtensionOrAttribute},
    {"2.5.29.29", "Поставщик сертификата", G::kExtensionOrAttribute},
    {"2.5.29.30", "Ограничения имен", G::kExtensionOrAttribute},
    {"2.5.29.31", "Точки распространения списков отзыва (CRL)", G::kExtensionOrAttribute},
    {"2.5.29.32", "Политики сертификата", G::kExtensionOrAttribute},
    {"2.5.29.33", "Сопоставления политик", G::kExtensionOrAttribute},
    {"2.5.29.35", "Идентификатор ключа центра сертификатов", G::kExtensionOrAttribute},
    {"2.5.29.36", "Ограничения политик", G::kExtensionOrAttribute},
    {"2.5.29.37", "Улучшенный ключ", G::kExtensionOrAttribute},
    {"2.5.29.46", "Самый свежий CRL", G::kExtensionOrAttribute},
    {"2.5.29.54", "Запрет любой политики", G::kExtensionOrAttribute},
    {"1.3.6.1.5.5.7.1.1", "Доступ к информации о центрах сертификации", G::kExtensionOrAttribute},
    {"1.3.6.1.5.5.7.1.11", "Доступ к информации о субъекте", G::kExtensionOrAttribute},
    {"1.3.6.1.5.5.7.48.1", "Протокол OCSP", G::kExtensionOrAttribute},
    {"1.3.6.1.5.5.7.48.2", "Поставщик центра сертификации", G::kExtensionOrAttribute},
    {"1.3.6.1.4.1.311.20.2", "Имя шаблона сертификата", G::kExtensionOrAttribute},
    {"1.3.6.1.4.1.311.20.2.3", "Основное имя пользователя", G::kExtensionOrAttribute},
    {"1.3.6.1.4.1.311.21.1", "Версия ЦС", G::kExtensionOrAttribute},
    {"1.3.6.1.4.1.311.21.2", "Хеш предыдущего сертификата ЦС", G::kExtensionOrAttribute},
    {"1.3.6.1.4.1.311.21.4", "Следующее обновление CRL", G::kExtensionOrAttribute},
    {"1.3.6.1.4.1.311.21.7", "Шаблон сертификата", G::kExtensionOrAttribute},
    {"1.3.6.1.4.1.311.21.10", "Политики применения", G::kExtensionOrAttribute},
    {"1.3.6.1.4.1.311.13.2.3", "Версия ОС", G::kExtensionOrAttribute},
    {"1.2.840.113549.1.9.3", "Тип содержимого", G::kExtensionOrAttribute},
    {"1.2.840.113549.1.9.4", "Хеш сообщения", G::kExtensionOrAttribute},
    {"1.2.840.113549.1.9.5", "Время подписания", G::kExtensionOrAttribute},
    {"1.2.840.113549.1.9.6", "Встречная подпись", G::kExtensionOrAttribute},
    {"1.2.840.113549.1.9.7", "Пароль запроса", G::kExtensionOrAttribute},
    {"1.2.840.113549.1.9.14", "Расширения сертификата", G::kExtensionOrAttribute},
    {"1.2.643.100.111", "Средство электронной подписи владельца", G::kExtensionOrAttribute},
    {"1.2.643.100.112", "Средства электронной подписи и УЦ издателя", G::kExtensionOrAttribute},
    {"1.2.643.2.2.37.3.10", "Срок действия закрытого ключа", G::kExtensionOrAttribute},
    // How the owner was identified when the certificate was issued (in
    // person, by a valid qualified signature, by a biometric passport, or
    // through the unified identification system): the IdentificationKind
    // extension of RFC 9215.
    {"1.2.643.100.114", "Способ идентификации заявителя", G::kExtensionOrAttribute},
    // id-pkix-ocsp-nocheck, RFC 6960, section 4.2.2.2.1: the OCSP responder's
    // own certificate is not checked for revocation.
    {"1.3.6.1.5.5.7.48.1.5", "Без проверки отзыва OCSP", G::kExtensionOrAttribute},

    // Extended key usages.
    {"1.3.6.1.5.5.7.3.1", "Проверка подлинности сервера", G::kEnhancedKeyUsage},
    {"1.3.6.1.5.5.7.3.2", "Проверка подлинности клиента", G::kEnhancedKeyUsage},
    {"1.3.6.1.5.5.7.3.3", "Подписывание кода", G::kEnhancedKeyUsage},
    {"1.3.6.1.5.5.7.3.4", "Защищенная электронная почта", G::kEnhancedKeyUsage},
    {"1.3.6.1.5.5.7.3.5", "Конечная система IP-безопасности", G::kEnhancedKeyUsage},
    {"1.3.6.1.5.5.7.3.6", "Туннель IP-безопасности", G::kEnhancedKeyUsage},
    {"1.3.6.1.5.5.7.3.7", "Пользователь IP-безопасности", G::kEnhancedKeyUsage},
    {"1.3.6.1.5.5.7.3.8", "Установка штампа времени", G::kEnhancedKeyUsage},
    {"1.3.6.1.5.5.7.3.9", "Подписывание ответа OCSP", G::kEnhancedKeyUsage},
    {"1.3.6.1.5.5.8.2.2", "IP-безопасность IKE, промежуточный", G::kEnhancedKeyUsage},
    {"1.3.6.1.4.1.311.10.3.4", "Шифрующая файловая система (EFS)", G::kEnhancedKeyUsage},
    {"1.3.6.1.4.1.311.10.3.4.1", "Восстановление файлов", G::kEnhancedKeyUsage},
    {"1.3.6.1.4.1.311.10.3.12", "Подписывание документа", G::kEnhancedKeyUsage},
    {"1.3.6.1.4.1.311.20.2.2", "Вход со смарт-картой", G::kEnhancedKeyUsage},
    {"2.5.29.37.0", "Любая цель", G::kEnhancedKeyUsage},
    {"1.2.643.2.2.34.2", "Временный доступ к Центру Регистрации", G::kEnhancedKeyUsage},
    {"1.2.643.2.2.34.6", "Пользователь Центра Регистрации, HTTP, TLS клиент", G::kEnhancedKeyUsage},
    // The roles of the Treasury's procurement system (ЕИС, formerly the
    // official procurement site), as the sign-in pages of the procurement
    // sites name them in their public scripts.
    {"1.2.643.3.61.502710.1.6.3.4", "Прочий", G::kEnhancedKeyUsage},
    {"1.2.643.3.61.502710.1.6.3.4.1", "Заказчик", G::kEnhancedKeyUsage},
    {"1.2.643.3.61.502710.1.6.3.4.1.1", "Администратор организации", G::kEnhancedKeyUsage},
    {"1.2.643.3.61.502710.1.6.3.4.1.2", "Уполномоченный специалист", G::kEnhancedKeyUsage},
    {"1.2.643.3.61.502710.1.6.3.4.1.3", "Должностное лицо с правом подписи контракта",
     G::kEnhancedKeyUsage},
    {"1.2.643.3.61.502710.1.6.3.4.1.4",
     "Специалист с правом направления проекта контракта участнику размещения заказа",
     G::kEnhancedKeyUsage},
    {"1.2.643.3.61.502710.1.6.3.4.2", "Уполномоченный орган", G::kEnhancedKeyUsage},
    {"1.2.643.3.61.502710.1.6.3.4.3", "Специализированная организация", G::kEnhancedKeyUsage},
    {"1.2.643.3.61.502710.1.6.3.4.4", "Контролирующий орган", G::kEnhancedKeyUsage},
    {"1.2.643.3.61.502710.1.6.3.4.16", "Уполномоченное учреждение", G::kEnhancedKeyUsage},

    // Certificate policies: the classes of signing tools.
    {"1.2.643.100.113.1", "Класс средства ЭП КС1", G::kPolicy},
    {"1.2.643.100.113.2", "Класс средства ЭП КС2", G::kPolicy},
    {"1.2.643.100.113.3", "Класс средства ЭП КС3", G::kPolicy},
    {"1.2.643.100.113.4", "Класс средства ЭП КВ1", G::kPolicy},
    {"1.2.643.100.113.5", "Класс средства ЭП КВ2", G::kPolicy},
    {"1.2.643.100.113.6", "Класс средства ЭП КА1", G::kPolicy},
    {"2.5.29.32.0", "Все политики выдачи", G::kPolicy},
};

}  // namespace

std::span<const OidInfo> AllOidInfos() {
    return kOids;
}

}  // namespace velmora::platform
