#include "encoding/sign_pairs.h"
#include "encoding/container_names.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

struct Pair {
    std::string data, signature;
    PairState state;
    bool operator==(const Pair&) const = default;
};

std::vector<Pair> Pairs(std::vector<std::string> files) {
    TListSignFiles list;
    BuildSignaturePairs(list, files);
    EXPECT_TRUE(files.empty());
    std::vector<Pair> out;
    for (const auto& p : list) {
        EXPECT_EQ(p.mark, 0);
        out.push_back({p.dataFile, p.signatureFile, p.state});
    }
    return out;
}

TEST(SignaturePairs, PairsDataWithSignatureFiles) {
    using S = PairState;
    // Names match ignoring case, and a found file keeps its own name: on this
    // file system "a.txt.sig" would name a file that is not there.
    EXPECT_EQ(Pairs({"a.txt", "A.TXT.SIG", "b.doc.sig"}),
              (std::vector<Pair>{{"a.txt", "A.TXT.SIG", S::Both},
                                 {"b.doc", "b.doc.sig", S::SignatureOnly}}));
    EXPECT_EQ(Pairs({"x.sig.sig", "c.pdf", "x.sig", "d"}),
              (std::vector<Pair>{{"x.sig", "x.sig.sig", S::Both},
                                 {"c.pdf", "c.pdf.sig", S::DataOnly},
                                 {"d", "d.sig", S::DataOnly}}));
    // The signature comes first in the list: the data file is taken along.
    EXPECT_EQ(Pairs({"/p/Отчёт.docx.SIG", "/p/отчЁт.DOCX"}),
              (std::vector<Pair>{{"/p/отчЁт.DOCX", "/p/Отчёт.docx.SIG", S::Both}}));
    // Two entries matching the same name ignoring case: the first is taken,
    // the other stays and becomes a pair of its own.
    EXPECT_EQ(Pairs({"a", "A.SIG", "a.sig"}),
              (std::vector<Pair>{{"a", "A.SIG", S::Both}, {"a", "a.sig", S::SignatureOnly}}));
    // A dot in a folder name is not an extension.
    EXPECT_EQ(Pairs({"/dir.sig/file"}),
              (std::vector<Pair>{{"/dir.sig/file", "/dir.sig/file.sig", S::DataOnly}}));
    EXPECT_EQ(Pairs({}), std::vector<Pair>{});

    TListSignFiles list;
    std::vector<std::string> files = {"1.txt"};
    BuildSignaturePairs(list, files);
    files = {"2.txt"};
    BuildSignaturePairs(list, files);  // appends, never sorts or clears
    ASSERT_EQ(list.Count(), 2u);
    EXPECT_EQ(list[1].dataFile, "2.txt");
}

TEST(ContainerNames, SplitsEntriesAndQualifiedNames) {
    using Texts = std::vector<std::string>;
    EXPECT_EQ(SplitContainerEntry(AsBytes(std::string_view("key1\0HDIMAGE\\abc\0", 17))),
              (Texts{"key1", "HDIMAGE\\abc"}));
    EXPECT_EQ(SplitContainerEntry(AsBytes(std::string_view("\0HDIMAGE\\abc\0", 13))),
              (Texts{"HDIMAGE\\abc"}));
    // No terminator at the end of the buffer: nothing past it is read.
    EXPECT_EQ(SplitContainerEntry(AsBytes(std::string_view("key1\0uniq", 9))),
              (Texts{"key1", "uniq"}));
    EXPECT_EQ(SplitContainerEntry({}), Texts{});

    EXPECT_EQ(ReaderOfFqcn("\\\\.\\HDIMAGE\\key1"), "HDIMAGE");
    EXPECT_EQ(ContainerOfFqcn("\\\\.\\HDIMAGE\\key1"), "key1");
    EXPECT_EQ(ContainerOfFqcn("\\\\.\\HDIMAGE\\dir\\key1"), "dir\\key1");
    EXPECT_EQ(ReaderOfFqcn("\\\\.\\HDIMAGE"), "");
    EXPECT_EQ(ContainerOfFqcn("\\\\.\\HDIMAGE"), "");
    EXPECT_EQ(ReaderOfFqcn("key1"), "");

    EXPECT_EQ(LastPathSegment("HDIMAGE\\key1"), "key1");
    EXPECT_EQ(LastPathSegment("a\\"), "");
}

}  // namespace
}  // namespace velmora
