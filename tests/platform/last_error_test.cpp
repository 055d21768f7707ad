#include "crypto/platform/last_error.h"
#include "crypto/platform/system_info.h"

#include <gtest/gtest.h>

#include <thread>

namespace velmora::platform {
namespace {

TEST(LastError, TextsAreTheSystemsRussianWording) {
    const struct {
        uint32_t code;
        const char* text;
    } cases[] = {
        {error::kSuccess, "Операция успешно завершена."},
        {error::kFileNotFound, "Не удается найти указанный файл."},
        {error::kAccessDenied, "Отказано в доступе."},
        {error::kBadKeyset, "Набор ключей не существует."},
        {error::kNotFound, "Не удается найти объект или свойство."},
        {error::kBadSignature, "Неправильная подпись."},
        {error::kHashValue, "Хеш-значение не является правильным."},
        {error::kBadAlgId, "Указан неправильный алгоритм."},
        {error::kChaining,
         "Невозможно построить цепочку сертификатов для доверенного корневого центра."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ErrorMessageText(c.code), c.text) << std::hex << c.code;
    }
}

TEST(LastError, EveryKnownCodeHasItsOwnTextAndUnknownCodesNameTheCode) {
    const uint32_t known[] = {
        error::kSuccess,
        error::kFileNotFound,
        error::kAccessDenied,
        error::kInvalidData,
        error::kInvalidParameter,
        error::kMoreData,
        error::kNoMoreItems,
        error::kCancelled,
        error::kBadUid,
        error::kBadHash,
        error::kBadKey,
        error::kBadData,
        error::kBadSignature,
        error::kBadAlgId,
        error::kBadFlags,
        error::kBadType,
        error::kNoKey,
        error::kNoMemory,
        error::kExists,
        error::kBadKeyset,
        error::kProvTypeNotDef,
        error::kKeysetNotDef,
        error::kProviderDllFail,
        error::kBadKeysetParam,
        error::kFail,
        error::kSilentContext,
        error::kAsn1BadTag,
        error::kAsn1Eod,
        error::kAsn1Corrupt,
        error::kMsgError,
        error::kUnknownAlgo,
        error::kInvalidMsgType,
        error::kHashValue,
        error::kSignerNotFound,
        error::kNoSigner,
        error::kNotFound,
        error::kExistsCert,
        error::kNoMatch,
        error::kBadEncode,
        error::kRevoked,
        error::kNoRevocationCheck,
        error::kRevocationOffline,
        error::kCertExpired,
        error::kUntrustedRoot,
        error::kChaining,
        error::kInvalidDate,
    };
    for (const uint32_t code : known) {
        const std::string text = ErrorMessageText(code);
        EXPECT_EQ(text.find("Неизвестная ошибка"), std::string::npos) << std::hex << code;
        EXPECT_EQ(text.back(), '.') << std::hex << code;
    }
    EXPECT_EQ(ErrorMessageText(0x80091234), "Неизвестная ошибка 0x80091234.");
    EXPECT_EQ(ErrorMessageText(7), "Неизвестная ошибка 0x00000007.");
}

TEST(LastError, IsPerThreadAndReadByLastErrorText) {
    SetLastError(error::kBadKeyset);
    uint32_t seen_in_other_thread = 1;
    std::thread other([&] {
        seen_in_other_thread = GetLastError();
        SetLastError(error::kAccessDenied);
    });
    other.join();
    EXPECT_EQ(seen_in_other_thread, error::kSuccess);
    EXPECT_EQ(GetLastError(), error::kBadKeyset);
    EXPECT_EQ(LastErrorText(), "Набор ключей не существует.");
    // Reading the text leaves the code as it was.
    EXPECT_EQ(GetLastError(), error::kBadKeyset);
    EXPECT_FALSE(Fail(error::kNotFound));
    EXPECT_EQ(LastErrorText(), "Не удается найти объект или свойство.");
}

}  // namespace
}  // namespace velmora::platform
