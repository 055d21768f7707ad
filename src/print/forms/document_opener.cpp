#include "print/forms/document_opener.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velmora::print {

std::optional<std::string> XdgOpener::Open(const std::filesystem::path& file) {
    // The child starts a grandchild and ends at once, so the opener never
    // becomes a zombie of the program. A failed exec reports its errno
    // through the pipe, which a successful exec closes.
    std::string program = "xdg-open";
    std::string argument = file.native();
    char* const argv[] = {program.data(), argument.data(), nullptr};
    int pipe_fds[2];
    if (::pipe2(pipe_fds, O_CLOEXEC) != 0) {
        return std::string("не удалось запустить xdg-open: ") + std::strerror(errno);
    }
    const pid_t child = ::fork();
    if (child < 0) {
        const int error = errno;
        ::close(pipe_fds[0]);
        ::close(pipe_fds[1]);
        return std::string("не удалось запустить xdg-open: ") + std::strerror(error);
    }
    if (child == 0) {
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild != 0) {
            if (grandchild < 0) {
                const int error = errno;
                [[maybe_unused]] auto written = ::write(pipe_fds[1], &error, sizeof error);
            }
            ::_exit(grandchild < 0 ? 1 : 0);
        }
        const int null = ::open("/dev/null", O_RDONLY);
        if (null >= 0) {
            ::dup2(null, STDIN_FILENO);
        }
        ::execvp(argv[0], argv);
        const int error = errno;
        [[maybe_unused]] auto written = ::write(pipe_fds[1], &error, sizeof error);
        ::_exit(127);
    }
    ::close(pipe_fds[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got;
    do {
        got = ::read(pipe_fds[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    ::close(pipe_fds[0]);
    if (got == static_cast<ssize_t>(sizeof error)) {
        return std::string("не удалось запустить xdg-open: ") + std::strerror(error);
    }
    return std::nullopt;
}

}  // namespace velmora::print
