// Pairing of data files with their ".sig" signature files, for the batch
// signing window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace velmora {

enum class PairState : std::uint8_t {
    SignatureOnly = 0,  // a signature file whose data file is not in the list
    Both = 1,           // a data file and its signature file, both in the list
    DataOnly = 2,       // a data file whose signature file is not in the list
};

struct TzSignFile {
    std::string dataFile;
    std::string signatureFile;
    PairState state = PairState::DataOnly;
    std::uint8_t mark = 0;  // for the caller's own use; 0 when the pair is built
};

// The pairs in the order they were found; never sorted.
class TListSignFiles {
  public:
    std::size_t Count() const { return items_.size(); }
    bool Empty() const { return items_.empty(); }
    const TzSignFile& operator[](std::size_t index) const { return items_[index]; }
    TzSignFile& operator[](std::size_t index) { return items_[index]; }
    void Add(TzSignFile pair) { items_.push_back(std::move(pair)); }
    void Clear() { items_.clear(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }
    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }

  private:
    std::vector<TzSignFile> items_;
};

// Takes the file names from the front of the list one by one and appends a
// pair for each to the pair list; the file list is left empty. A name whose
// extension is not ".sig" (in any letter case) is a data file: its signature
// is the name + ".sig", and a list entry matching that ignoring letter case
// is taken along (state Both) or not found (DataOnly). A ".sig" name is a
// signature: its data file is the name without the extension, taken along
// the same way (Both) or not found (SignatureOnly). A file taken along keeps
// its own name, the one that exists on a file system telling case apart:
// a.txt with A.TXT.SIG gives (a.txt, A.TXT.SIG, Both). The extension
// is looked for in the last path component only. Names are kept byte for
// byte, so native file names that are not UTF-8 survive.
void BuildSignaturePairs(TListSignFiles& pairs, std::vector<std::string>& files);

}  // namespace velmora
