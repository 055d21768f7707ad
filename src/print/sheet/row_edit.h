// Where rows and ranges of a worksheet go when the rows of a band are
// replaced by a number of copies of themselves: one copy per record of a
// table, the copies standing one below the other where the band stood, and
// everything below moving down (or up, when there are no records and the
// band goes away).
#pragma once

#include <cstddef>
#include <optional>
#include <utility>

namespace velmora::print {

class RowEdit {
  public:
    RowEdit(int first, int last, std::size_t copies)
        : first_(first), last_(last), copies_(copies) {}

    int First() const { return first_; }
    int Last() const { return last_; }
    int Height() const { return last_ - first_ + 1; }
    std::size_t Copies() const { return copies_; }
    // How far the rows below the band move.
    long long Delta() const;

    // True when rows a..b lie within the band.
    bool Inside(int a, int b) const { return a >= first_ && b <= last_; }

    // A single row: the rows below the band move; a band row stays where its
    // first copy is, or is gone (nothing) when there are no copies.
    std::optional<int> Row(int row) const;

    // Rows a..b of a range that reaches outside the band: a range that
    // covers the whole band grows over all the copies; one that only starts
    // or ends inside keeps its part in the first copy. Nothing when the
    // whole range went away with the band.
    std::optional<std::pair<int, int>> Range(int a, int b) const;

    // A row for things that must stay somewhere (drawing anchors, page
    // breaks): a gone band row becomes the row that now stands in its place.
    int Clamped(int row) const;

  private:
    int first_;
    int last_;
    std::size_t copies_;
};

}  // namespace velmora::print
