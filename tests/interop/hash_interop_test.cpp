// Digests compared with the openssl command and the GOST engine, an
// implementation independent of our code path.
#include "crypto/platform/hash.h"

#include "crypto/platform/gost_engine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace velmora::platform {
namespace {

namespace fs = std::filesystem;

std::string Hex(const Bytes& bytes) {
    static const char* const kDigits = "0123456789abcdef";
    std::string text;
    for (const std::uint8_t b : bytes) {
        text += kDigits[b >> 4];
        text += kDigits[b & 0x0F];
    }
    return text;
}

class HashInterop : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(StartGostEngine()) << GostEngineFailureText();
        folder_ =
            fs::path(testing::TempDir()) /
            ("velmora-hash-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path Write(const std::string& name, const std::string& content) {
        const fs::path path = folder_ / name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    // What `openssl dgst -engine gost -<digest>` prints for the file: the hex
    // after "= ".
    std::string OpensslDigest(const fs::path& file, const std::string& digest) {
        const fs::path output = folder_ / "dgst.out";
        const std::string command = "openssl dgst -engine gost -" + digest + " -r '" +
                                    file.string() + "' > '" + output.string() + "' 2>/dev/null";
        if (std::system(command.c_str()) != 0) {
            return "openssl failed: " + command;
        }
        std::ifstream in(output);
        std::string line;
        std::getline(in, line);
        // "-r" prints "<hex> *<file>".
        return line.substr(0, line.find(' '));
    }

    fs::path folder_;
};

TEST_F(HashInterop, GostDigestsMatchTheOpensslCommand) {
    std::string megabyte;
    megabyte.reserve(1 << 20);
    for (std::size_t i = 0; i < (1u << 20); ++i) {
        megabyte += static_cast<char>((i * 2654435761u) >> 24);
    }
    const struct {
        const char* name;
        std::string content;
    } messages[] = {
        {"a.txt", "a"},
        {"abc.txt", "abc"},
        {"md.txt", "message digest"},
        {"m1.txt", "012345678901234567890123456789012345678901234567890123456789012"},
        {"block.bin", std::string(64, '\xff')},
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
        const fs::path file = Write(message.name, message.content);
        for (const auto& algorithm : algorithms) {
            const std::optional<Bytes> ours =
                HashBytes(algorithm.algorithm, AsBytes(message.content));
            ASSERT_TRUE(ours);
            EXPECT_EQ(Hex(*ours), OpensslDigest(file, algorithm.openssl_name))
                << message.name << " " << algorithm.openssl_name;
        }
    }
}

TEST_F(HashInterop, EmptyMessageGivesThePublishedGost94ValueAndTheEnginesStreebog) {
    const fs::path empty = Write("empty", "");
    EXPECT_EQ(Hex(*HashBytes(HashAlgorithm::kGost94, {})),
              "981e5f3ca30c841487830f84fb433e13ac1101569b9c13584ac483234cd656c0");
    EXPECT_EQ(Hex(*HashBytes(HashAlgorithm::kStreebog256, {})),
              OpensslDigest(empty, "md_gost12_256"));
    EXPECT_EQ(Hex(*HashBytes(HashAlgorithm::kStreebog512, {})),
              OpensslDigest(empty, "md_gost12_512"));
}

}  // namespace
}  // namespace velmora::platform
