#include "app/qt/command_line.h"

#include <string_view>

namespace velmora {

CommandLine ParseCommandLine(int argc, const char* const* argv) {
    CommandLine command_line;
    int first = 1;
    if (argc > 1 && argv[1] != nullptr) {
        const std::string_view option = argv[1];
        if (option == "--help" || option == "-h") {
            command_line.help = true;
            return command_line;
        }
        if (option == "--version") {
            command_line.version = true;
            return command_line;
        }
    }
    if (argc > 2 && std::string_view(argv[1]) == "--screenshot") {
        command_line.screenshot = std::filesystem::path(argv[2]);
        first = 3;
        if (argc > 4 && std::string_view(argv[3]) == "--window") {
            command_line.window = argv[4];
            first = 5;
        }
    }
    // The desktop entry's actions on files.
    if (argc > first && std::string_view(argv[first]) == "--sign") {
        for (int i = first + 1; i < argc; ++i) {
            command_line.signFiles.emplace_back(argv[i]);
        }
        return command_line;
    }
    if (argc > first + 1 && std::string_view(argv[first]) == "--verify") {
        command_line.verifyFile = std::filesystem::path(argv[first + 1]);
        return command_line;
    }
    if (argc > first && argv[first] != nullptr && std::string_view(argv[first]) == "--") {
        ++first;
    }
    if (argc > first && argv[first] != nullptr && argv[first][0] != '\0') {
        command_line.file = std::filesystem::path(argv[first]);
    }
    return command_line;
}

std::string HelpText() {
    return "Использование: velmora [ФАЙЛ]\n"
           "\n"
           "Velmora: запросы на сертификат, сертификаты, списки отзыва и ключи ГОСТ.\n"
           "Открывает главное окно; ФАЙЛ, если он указан, - запрос или сертификат\n"
           "(DER, PEM или base64), отчёт о котором окно показывает сразу, или список\n"
           "отзыва (CRL), который сохраняется в ФАЙЛ.csv.\n"
           "\n"
           "Параметры:\n"
           "  -h, --help                    эта справка\n"
           "  --version                     версия программы\n"
           "  --screenshot СНИМОК.png       показать ФАЙЛ, сохранить снимок окна и завершить\n"
           "                                работу; с --window ИМЯ после имени снимка - снимок\n"
           "                                окна CertificateSelection, CertificateReport, FSign\n"
           "                                или Verification\n"
           "  --sign ФАЙЛ...                окно пакетной подписи с этими файлами\n"
           "  --verify ПОДПИСЬ              проверка файла с подписью в главном окне\n"
           "  --                            дальше только имя файла (для имён, которые\n"
           "                                начинаются с \"-\")\n"
           "\n"
           "Те же отчёты без окна выводит velmora-cli (velmora-cli --help).\n";
}

std::string VersionText() {
    return std::string("velmora ") + VELMORA_VERSION + "\n";
}

}  // namespace velmora
