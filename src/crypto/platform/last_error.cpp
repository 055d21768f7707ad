#include "crypto/platform/last_error.h"

#include <cstdio>

namespace velmora::platform {
namespace {

thread_local uint32_t last_error = error::kSuccess;

}  // namespace

void SetLastError(uint32_t code) { last_error = code; }

uint32_t GetLastError() { return last_error; }

std::string ErrorMessageText(uint32_t code) {
    switch (code) {
        case error::kSuccess:
            return "Операция успешно завершена.";
        case error::kBadKeyset:
            return "Набор ключей не существует.";
        case error::kProviderDllFail:
            return "Не удалось загрузить DLL-библиотеку поставщика.";
        default:
            break;
    }
    char text[64];
    std::snprintf(text, sizeof text, "Неизвестная ошибка 0x%08X.", code);
    return text;
}

}  // namespace velmora::platform
