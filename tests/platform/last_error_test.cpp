#include "crypto/platform/system/last_error.h"
#include "crypto/platform/system/system_info.h"

#include <gtest/gtest.h>

#include <thread>

namespace velmora::platform {
namespace {

TEST(LastError, TextsAreTheSystemsRussianWordingAndUnknownCodesNameTheCode) {
    const struct {
        uint32_t code;
        const char* text;
    } cases[] = {
        {error::kSuccess, "Операция успешно завершена."},
        {error::kAccessDenied, "Отказано в доступе."},
        {error::kBadKeyset, "Набор ключей не существует."},
        {error::kNotFound, "Не удается найти объект или свойство."},
        {error::kBadSignature, "Неправильная подпись."},
        {error::kBadAlgId, "Указан неправильный алгоритм."},
        {error::kChaining,
         "Невозможно построить цепочку сертификатов для доверенного корневого центра."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ErrorMessageText(c.code), c.text) << std::hex << c.code;
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
