// The CRL listing file, written a chunk at a time so that a listing of
// hundreds of thousands of lines never sits in memory whole, and still
// atomically: the lines go to a temporary file beside the target, which
// replaces the target only when everything has been written and flushed.
// Until then an existing listing stays as it was; a listing that is not
// committed leaves nothing behind.
#pragma once

#include "encoding/atomic_file.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace velmora {

class ListingFile {
  public:
    // Creates the temporary file in the target's folder. Throws Error (with
    // the Russian message the user sees) when it cannot be created.
    explicit ListingFile(std::filesystem::path target);

    // Appends one line (program text, UTF-8) in Windows-1251, ended by
    // CR LF. Throws Error when writing fails.
    void WriteLine(std::string_view line);

    // Appends one line that is already in Windows-1251, ended by CR LF.
    void WriteEncodedLine(std::string_view line);

    // Writes what is buffered, flushes the file to disk and puts it in place
    // of the target. Throws Error when any of that fails; the target is then
    // untouched.
    void Commit();

  private:
    void Append(std::string_view bytes);
    void Flush();
    [[noreturn]] void Raise(int error_number);

    std::filesystem::path target_;
    AtomicFileWriter file_;
    Bytes pending_;  // Windows-1251 bytes not yet written
};

}  // namespace velmora
