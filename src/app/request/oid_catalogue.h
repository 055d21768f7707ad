// The extended-key-usage catalogue "OID.csv": lines of "|"-separated fields,
// each naming the path of a tree leaf (fields 0 to N-2, N the number of "|")
// and the OID the leaf stands for (field N-1). The tree it feeds keeps every
// node it was ever given; loading the file again adds only what is new.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace velmora {

inline constexpr std::string_view kCatalogueFileName = "OID.csv";
inline constexpr std::string_view kLinesWithoutBar = "Не все строки завершены символом \"|\"";
inline constexpr std::string_view kEmptyCatalogueFields = "Имеются пустые поля";

// A node of the tree: its caption and its children in the order they were
// first met.
class CatalogueNode {
  public:
    explicit CatalogueNode(std::string caption) : caption_(std::move(caption)) {}

    const std::string& Caption() const { return caption_; }
    const std::vector<CatalogueNode>& Children() const { return children_; }
    bool IsLeaf() const { return children_.empty(); }

    // The child with that caption, added as the last one when there is none
    // (`added` tells which).
    CatalogueNode& Child(std::string_view caption, bool& added);

  private:
    std::string caption_;
    std::vector<CatalogueNode> children_;
    // Caption to position in children_, so that wide levels stay fast.
    std::unordered_map<std::string, std::size_t> index_;
};

class CatalogueTree {
  public:
    // Adds the path of every line (the OID field is not a node); lines
    // sharing leading fields share those nodes. Lines without a path (fewer
    // than two "|") add nothing.
    void AddLines(std::span<const std::string> lines);

    const std::vector<CatalogueNode>& Roots() const { return root_.Children(); }
    std::size_t NodeCount() const { return count_; }

  private:
    CatalogueNode root_{std::string()};
    std::size_t count_ = 0;
};

// The catalogue's lines when every one ends with "|" and has no empty field;
// otherwise nothing and the message to show in `error` (the missing file's
// own message when it cannot be read).
std::optional<std::vector<std::string>> ReadCatalogue(const std::filesystem::path& file,
                                                      std::string& error);

// The OID of the leaf whose captions, root first, are the path: field L+1 of
// the first line whose fields 0..L equal path[0..L]; empty when none does.
std::string CatalogueOid(std::span<const std::string> lines, std::span<const std::string> path);

// Where "OID.csv" is read from: the start folder when it holds one, else the
// first of the program's folders that does (the executable's folder, the
// installed data folder). The start folder's name when none holds it, so
// that the message names the place the user is expected to put it.
std::filesystem::path FindCatalogue(const std::filesystem::path& start_folder,
                                    std::span<const std::filesystem::path> program_folders);

// The executable's folder, the data folder installed beside it
// (../share/velmora) and the data folder the program was built for.
std::vector<std::filesystem::path> ProgramDataFolders();

}  // namespace velmora
