// Helpers of the decoding tests: fixtures, hex vectors, times computed by the
// C library, and the openssl command as an independent implementation.
#pragma once

#include "crypto/platform/clock.h"
#include "encoding/bytes.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace velmora::platform::testing {

std::filesystem::path FixturePath(std::string_view name);

// The bytes of a fixture file of tests/data.
Bytes ReadFixture(std::string_view name);

// Hex digits to bytes; blanks are ignored.
Bytes Hex(std::string_view digits);

// The file time of a UTC date and time, through the C library's timegm.
FileTime UtcFileTime(int year, int month, int day, int hour, int minute, int second);

// Runs a shell command and gives what it wrote on standard output; fails the
// calling test when it exits with an error.
std::string RunCommand(const std::string& command);

// A fresh folder under the temporary folder, removed with the object.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace velmora::platform::testing
