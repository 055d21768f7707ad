#include "app/input/file_kind.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(FileKind, TakenFromTheLastExtensionOfTheName) {
    const struct {
        const char* name;
        const char* kind;
    } cases[] = {
        {"user.req", "REQ"},         {"USER.CER", "CER"},  {"user.Cer", "CER"},
        {"/home/a/user.cer", "CER"}, {"user.crt", "CER"},  {"user.DER", "CER"},
        {"list.crl", "CRL"},         {"chain.P7b", "P7B"}, {"сертификат.cer", "CER"},
        {"user.cer.bak", "0"},  // the last extension decides
        {"user.p10", "0"},      // requests of this form load by content
        {"user.pem", "0"},           {"user", "0"},        {"user.", "0"},
        {"/keys.cer/user", "0"},  // a dot in a folder name is no extension
        {"/keys/.cer", "CER"},    // the whole name of a dot file is its extension
        {"user.cerx", "0"},          {"user.ce", "0"},     {"", "0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DetectFileKind(c.name), c.kind) << c.name;
    }
}

}  // namespace
}  // namespace velmora
