#include "crypto/platform/system/last_error.h"

#include <cstdio>

namespace velmora::platform {
namespace {

thread_local uint32_t last_error = error::kSuccess;

struct MessageEntry {
    uint32_t code;
    const char* text;
};

// The texts a Russian-language system gives for these codes, word for word,
// so that messages built from them read as the users know them.
constexpr MessageEntry kMessages[] = {
    {error::kSuccess, "Операция успешно завершена."},
    {error::kFileNotFound, "Не удается найти указанный файл."},
    {error::kAccessDenied, "Отказано в доступе."},
    {error::kInvalidData, "Недопустимые данные."},
    {error::kWriteFault, "Системе не удается произвести запись на указанное устройство."},
    {error::kReadFault, "Системе не удается произвести чтение с указанного устройства."},
    {error::kDiskFull, "Недостаточно места на диске."},
    {error::kFileTooLarge,
     "Размер файла превышает допустимый предел, и файл не может быть сохранен."},
    {error::kInvalidParameter, "Параметр задан неверно."},
    {error::kMoreData, "Имеются дополнительные данные."},
    {error::kNoMoreItems, "Больше нет данных."},
    {error::kCancelled, "Операция была отменена пользователем."},
    {error::kBadUid, "Неправильный UID."},
    {error::kBadHash, "Неправильный хеш."},
    {error::kBadKey, "Неправильный ключ."},
    {error::kBadData, "Ошибка в данных."},
    {error::kBadSignature, "Неправильная подпись."},
    {error::kBadAlgId, "Указан неправильный алгоритм."},
    {error::kBadFlags, "Указаны неправильные флаги."},
    {error::kBadType, "Указан неправильный тип."},
    {error::kBadKeyState, "Ключ не может быть использован в указанном состоянии."},
    {error::kNoKey, "Ключ не существует."},
    {error::kNoMemory, "Недостаточно памяти для выполнения операции."},
    {error::kExists, "Объект уже существует."},
    {error::kPerm, "Отказано в доступе."},
    {error::kBadPublicKey, "Неправильный открытый ключ поставщика."},
    {error::kBadKeyset, "Набор ключей не существует."},
    {error::kProvTypeNotDef, "Тип поставщика не определен."},
    {error::kKeysetNotDef, "Набор ключей не определен."},
    {error::kKeysetEntryBad, "Неправильная запись набора ключей."},
    {error::kProviderDllFail, "Ошибка при инициализации библиотеки DLL поставщика."},
    {error::kBadKeysetParam, "Неправильный параметр набора ключей."},
    {error::kFail, "Внутренняя ошибка."},
    {error::kSilentContext,
     "Поставщик не может выполнить действие, так как контекст был получен как "
     "автоматический."},
    {error::kAsn1Large, "Данные ASN1 слишком велики."},
    {error::kInvalidNumericString, "Строка Numeric содержит недопустимый символ."},
    {error::kInvalidPrintableString, "Строка Printable содержит недопустимый символ."},
    {error::kInvalidIa5String, "Строка IA5 содержит недопустимый символ."},
    {error::kNotCharString, "Данные не являются строкой символов."},
    {error::kAsn1BadTag, "Обнаружено неправильное значение тега ASN1."},
    {error::kAsn1Eod, "Неожиданный конец данных ASN1."},
    {error::kAsn1Corrupt, "Повреждены данные ASN1."},
    {error::kMsgError, "Ошибка при выполнении операции над криптографическим сообщением."},
    {error::kUnknownAlgo, "Неизвестный криптографический алгоритм."},
    {error::kInvalidMsgType, "Неправильный тип криптографического сообщения."},
    {error::kHashValue, "Хеш-значение не является правильным."},
    {error::kInvalidIndex, "Недопустимое значение индекса."},
    {error::kSignerNotFound, "Не удается найти исходного подписавшего."},
    {error::kNoSigner,
     "Подписанное криптографическое сообщение не имеет подписавшего для указанного индекса "
     "подписавшего."},
    {error::kNoKeyProperty, "Не удается найти свойство закрытого ключа сертификата."},
    {error::kNoSuchCertificate, "Запрошенный сертификат не существует."},
    {error::kWrongPassword, "Указан неправильный пароль."},
    {error::kNotFound, "Не удается найти объект или свойство."},
    {error::kExistsCert, "Объект или свойство уже существует."},
    {error::kNoMatch, "Не удается найти запрошенный объект."},
    {error::kBadEncode, "Ошибка при кодировании или декодировании."},
    {error::kFileError, "Ошибка при чтении или записи файла."},
    {error::kRevoked, "Сертификат отозван."},
    {error::kNoRevocationCheck,
     "Функция отзыва не смогла произвести проверку отзыва для сертификата."},
    {error::kRevocationOffline,
     "Функция отзыва не смогла произвести проверку отзыва, поскольку сервер отзыва был "
     "недоступен."},
    {error::kCertExpired,
     "Истек или не наступил срок действия требуемого сертификата при проверке по системным "
     "часам или по отметке времени в подписанном файле."},
    {error::kUntrustedRoot,
     "Цепочка сертификатов обработана, но обработка прервана на корневом сертификате, у "
     "которого отсутствует отношение доверия с поставщиком доверия."},
    {error::kChaining,
     "Невозможно построить цепочку сертификатов для доверенного корневого центра."},
    // The HRESULT form of ERROR_INVALID_DATA carries the same system text.
    {error::kInvalidDate, "Недопустимые данные."},
};

}  // namespace

void SetLastError(uint32_t code) {
    last_error = code;
}

uint32_t GetLastError() {
    return last_error;
}

std::string ErrorMessageText(uint32_t code) {
    for (const MessageEntry& entry : kMessages) {
        if (entry.code == code) {
            return entry.text;
        }
    }
    char text[80];
    std::snprintf(text, sizeof text, "Неизвестная ошибка 0x%08X.", static_cast<unsigned>(code));
    return text;
}

}  // namespace velmora::platform
