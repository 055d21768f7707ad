#include "cli/descriptor_output.h"

#include "cli/cli_commands.h"
#include "cli/cli_context.h"
#include "encoding/file_errors.h"

#include <cerrno>

#include <unistd.h>

namespace velmora::cli {

DescriptorBuffer::DescriptorBuffer(int fd) : fd_(fd), buffer_(1 << 16) {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
}

DescriptorBuffer::~DescriptorBuffer() {
    Drain();
}

DescriptorBuffer::int_type DescriptorBuffer::overflow(int_type c) {
    if (!Drain()) {
        return traits_type::eof();
    }
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int DescriptorBuffer::sync() {
    return Drain() ? 0 : -1;
}

bool DescriptorBuffer::Drain() {
    const char* data = pbase();
    std::size_t left = static_cast<std::size_t>(pptr() - pbase());
    // What cannot be written is dropped: the run has failed already.
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    if (error_ != 0) {
        return false;
    }
    while (left > 0) {
        const ssize_t n = ::write(fd_, data, left);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            error_ = errno;
            return false;
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

int RunCommandLineTo(const std::vector<std::string>& args, int outFd, std::ostream& err) {
    DescriptorBuffer buffer(outFd);
    std::ostream out(&buffer);
    const int status = RunCommandLine(args, out, err);
    out.flush();
    if (buffer.error() != 0) {
        err << "Ошибка: Не удается записать в стандартный вывод. "
            << SystemErrorText(buffer.error()) << '\n';
        return kExitFailure;
    }
    return status;
}

}  // namespace velmora::cli
