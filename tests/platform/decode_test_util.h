// Helpers of the boundary tests: fixtures, hex vectors, times computed by the
// C library, and the openssl command as an independent implementation.
#pragma once

#include "crypto/platform/certs/extension.h"
#include "crypto/platform/system/clock.h"
#include "encoding/bytes.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::platform::testing {

std::filesystem::path FixturePath(std::string_view name);

// The bytes of a fixture file of tests/data.
Bytes ReadFixture(std::string_view name);

// Hex digits to bytes; blanks are ignored.
Bytes Hex(std::string_view digits);

// The file time of a UTC date and time, through the C library's timegm.
FileTime UtcFileTime(int year, int month, int day, int hour, int minute, int second);

// The OIDs of the extensions in order, a critical one marked with "!".
std::vector<std::string> ExtensionOids(const std::vector<Extension>& extensions);

// Runs a shell command and gives what it wrote on standard output; fails the
// calling test when it exits with an error.
std::string RunCommand(const std::string& command);

}  // namespace velmora::platform::testing
