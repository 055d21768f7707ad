#include "platform/decode_test_util.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <memory>

namespace velmora::platform::testing {

std::filesystem::path FixturePath(std::string_view name) {
    const char* folder = std::getenv("VELMORA_TEST_DATA");
    const std::filesystem::path base =
        folder != nullptr ? std::filesystem::path(folder)
                          : std::filesystem::path(__FILE__).parent_path().parent_path() / "data";
    return base / name;
}

Bytes ReadFixture(std::string_view name) {
    std::ifstream in(FixturePath(name), std::ios::binary);
    EXPECT_TRUE(in.good()) << "missing fixture " << name;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes Hex(std::string_view digits) {
    Bytes bytes;
    int high = -1;
    for (char c : digits) {
        if (c == ' ') {
            continue;
        }
        const int value = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                 : -1;
        EXPECT_GE(value, 0) << "not a hex digit in " << digits;
        if (high < 0) {
            high = value;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high * 16 + value));
            high = -1;
        }
    }
    EXPECT_LT(high, 0) << "odd number of hex digits in " << digits;
    return bytes;
}

FileTime UtcFileTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    const std::int64_t unix_seconds = timegm(&tm);
    return static_cast<FileTime>((unix_seconds + 11644473600LL) * 10'000'000LL);
}

std::vector<std::string> ExtensionOids(const std::vector<Extension>& extensions) {
    std::vector<std::string> oids;
    for (const Extension& extension : extensions) {
        oids.push_back(extension.oid + (extension.critical ? "!" : ""));
    }
    return oids;
}

std::string RunCommand(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    EXPECT_NE(pipe, nullptr);
    if (!pipe) {
        return {};
    }
    std::string output;
    char buffer[4096];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0) {
        output.append(buffer, count);
    }
    const int status = pclose(pipe.release());
    EXPECT_EQ(status, 0) << "command failed: " << command;
    return output;
}

}  // namespace velmora::platform::testing
