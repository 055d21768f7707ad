// Digests compared with the openssl command and the GOST engine, an
// implementation independent of our code path.
#include "crypto/platform/system/hash.h"

#include "crypto/platform/system/gost_engine.h"
#include "encoding/temp_folder.h"

#include "support/lower_hex.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace velmora::platform {
namespace {

namespace fs = std::filesystem;

// What `openssl dgst -engine gost -<digest> -r` prints for the file: the hex
// before " *<file>".
std::string OpensslDigest(const velmora::testing::TempFolder& folder, const fs::path& file,
                          const std::string& digest) {
    const fs::path output = folder / "dgst.out";
    const std::string command = "openssl dgst -engine gost -" + digest + " -r '" + file.string() +
                                "' > '" + output.string() + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) {
        return "openssl failed: " + command;
    }
    const std::string line = velmora::testing::TempFolder::Read(output);
    return line.substr(0, line.find(' '));
}

// Every digest matches the command's, except GOST R 34.11-94 of the empty
// message: there the engine differs from the published CryptoPro value, and
// ours gives the published one.
TEST(HashInterop, DigestsMatchTheOpensslCommand) {
    ASSERT_TRUE(StartGostEngine()) << GostEngineFailureText();
    const velmora::testing::TempFolder folder;
    std::string megabyte;
    megabyte.reserve(1 << 20);
    for (std::size_t i = 0; i < (1u << 20); ++i) {
        megabyte += static_cast<char>((i * 2654435761u) >> 24);
    }
    const struct {
        const char* name;
        std::string content;
    } messages[] = {
        {"empty", ""},        {"a.txt", "a"}, {"abc.txt", "abc"}, {"md.txt", "message digest"},
        {"mb.bin", megabyte},
    };
    const struct {
        HashAlgorithm algorithm;
        const char* openssl_name;
    } algorithms[] = {
        {HashAlgorithm::kGost94, "md_gost94"},
        {HashAlgorithm::kStreebog256, "md_gost12_256"},
        {HashAlgorithm::kStreebog512, "md_gost12_512"},
        {HashAlgorithm::kSha1, "sha1"},
    };
    for (const auto& message : messages) {
        const fs::path file = folder.Write(message.name, message.content);
        for (const auto& algorithm : algorithms) {
            const std::optional<Bytes> ours =
                HashBytes(algorithm.algorithm, AsBytes(message.content));
            ASSERT_TRUE(ours);
            const bool published =
                algorithm.algorithm == HashAlgorithm::kGost94 && message.content.empty();
            EXPECT_EQ(LowerHex(*ours),
                      published ? "981e5f3ca30c841487830f84fb433e13ac1101569b9c13584ac483234cd656c0"
                                : OpensslDigest(folder, file, algorithm.openssl_name))
                << message.name << " " << algorithm.openssl_name;
        }
    }
}

}  // namespace
}  // namespace velmora::platform
