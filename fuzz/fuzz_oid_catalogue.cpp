// Arbitrary bytes as an "OID.csv" catalogue: its checks, the tree built from
// the lines that pass them, and the lookup of every leaf's path.
#include "app/request/oid_catalogue.h"
#include "encoding/bar_lines.h"
#include "encoding/text_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Every leaf of a catalogue that passed the checks names a line of it.
void Walk(const velmora::CatalogueNode& node, std::vector<std::string>& path,
          const std::vector<std::string>& lines) {
    path.push_back(node.Caption());
    if (node.IsLeaf()) {
        Check(!velmora::CatalogueOid(lines, path).empty());
    }
    for (const velmora::CatalogueNode& child : node.Children()) {
        Walk(child, path, lines);
    }
    path.pop_back();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> lines =
        velmora::SplitLines(velmora::DecodeTextBytes(velmora::ByteView(data, size)));
    if (!velmora::AllLinesEndWithBar(lines) || !velmora::AllFieldsFilled(lines)) {
        return 0;
    }
    velmora::CatalogueTree tree;
    tree.AddLines(lines);
    const std::size_t count = tree.NodeCount();
    tree.AddLines(lines);
    Check(tree.NodeCount() == count);  // loading again adds nothing
    std::vector<std::string> path;
    for (const velmora::CatalogueNode& root : tree.Roots()) {
        Walk(root, path, lines);
    }
    return 0;
}
