#include "encoding/file_errors.h"

#include <cerrno>

#include <sys/stat.h>

namespace velmora {

std::string SystemErrorText(int errorNumber) {
    // Where a Russian system has its own wording for the same failure, it
    // is used, so that the messages read as the users know them.
    switch (errorNumber) {
        case ENOENT:
            return "Не удается найти указанный файл.";
        case ENOTDIR:
            return "Системе не удается найти указанный путь.";
        case EACCES:
        case EPERM:
            return "Отказано в доступе.";
        case EROFS:
            return "Носитель защищен от записи.";
        case EISDIR:
            return "Это папка, а не файл.";
        case EEXIST:
            return "Файл существует.";
        case ENAMETOOLONG:
            return "Имя файла или его расширение имеет слишком большую длину.";
        case ELOOP:
            return "Слишком много уровней символических ссылок в пути к файлу.";
        case ENOSPC:
            return "Недостаточно места на диске.";
        case EDQUOT:
            return "Превышена дисковая квота.";
        case EFBIG:
            return "Размер файла превышает допустимый предел, файл не может быть сохранен.";
        case EIO:
            return "Запрос не был выполнен из-за ошибки ввода/вывода на устройстве.";
        case EMFILE:
        case ENFILE:
            return "Открыто слишком много файлов.";
        case ENOMEM:
            return "Недостаточно памяти для обработки команды.";
        case ETXTBSY:
        case EBUSY:
            return "Процесс не может получить доступ к файлу, так как этот файл занят другим "
                   "процессом.";
        case EINVAL:
            return "Параметр задан неверно.";
        case EXDEV:
            return "Система не может переместить файл на другой диск.";
        case EAGAIN:
            return "Ресурс временно недоступен.";
        case EINTR:
            return "Операция прервана.";
        case EOVERFLOW:
            return "Файл слишком велик.";
        case ENXIO:
        case ENODEV:
            return "Устройство не найдено.";
        case EBADF:
            return "Неверный дескриптор.";
        case ESPIPE:
            return "Файл не допускает перемещения по нему.";
        case ESTALE:
            return "Файл на сетевом диске более недоступен.";
        case EMLINK:
            return "Слишком много ссылок на файл.";
        case EOPNOTSUPP:
            return "Запрос не поддерживается.";
        case ENOTEMPTY:
            return "Папка не пуста.";
        case ENOLCK:
            return "Нет свободных блокировок файлов.";
        case EPIPE:
            return "Канал был закрыт.";
        case ETIMEDOUT:
            return "Истекло время ожидания операции.";
        case ENOTCONN:
        case ECONNRESET:
        case ECONNABORTED:
        case EHOSTDOWN:
        case EHOSTUNREACH:
        case ENETDOWN:
        case ENETUNREACH:
            return "Сетевой ресурс недоступен.";
        case ECANCELED:
            return "Операция отменена.";
        default:
            return "Системная ошибка " + std::to_string(errorNumber) + ".";
    }
}

std::string ReadErrorReason(const ReadError& error) {
    switch (error.kind) {
        case ReadError::Kind::kSystem:
            break;
        case ReadError::Kind::kNotRegular:
            switch (error.fileType) {
                case S_IFDIR:
                    return "Это папка, а не файл.";
                case S_IFIFO:
                    return "Это именованный канал, а не обычный файл.";
                case S_IFCHR:
                case S_IFBLK:
                    return "Это устройство, а не обычный файл.";
                case S_IFSOCK:
                    return "Это сокет, а не обычный файл.";
                default:
                    return "Это не обычный файл.";
            }
        case ReadError::Kind::kTooLarge:
            return "Файл слишком велик: " + std::to_string(error.size) +
                   " байт, а допускается не более " + std::to_string(error.limit) + ".";
    }
    return SystemErrorText(error.errorNumber);
}

std::string ReadErrorText(const std::filesystem::path& file, const ReadError& error) {
    return "Не удается прочитать файл \"" + file.string() + "\". " + ReadErrorReason(error);
}

std::string WriteErrorText(const std::filesystem::path& file, int errorNumber) {
    // A file being created is missing by nature: what cannot be found is
    // the folder that was to hold it.
    const std::string reason =
        errorNumber == ENOENT ? SystemErrorText(ENOTDIR) : SystemErrorText(errorNumber);
    return "Не удается записать файл \"" + file.string() + "\". " + reason;
}

}  // namespace velmora
