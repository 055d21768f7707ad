#include "print/sheet/row_edit.h"

namespace velmora::print {

long long RowEdit::Delta() const {
    if (copies_ == 0) {
        return -static_cast<long long>(Height());
    }
    return static_cast<long long>(copies_ - 1) * Height();
}

std::optional<int> RowEdit::Row(int row) const {
    if (row > last_) {
        return static_cast<int>(row + Delta());
    }
    if (row >= first_ && copies_ == 0) {
        return std::nullopt;
    }
    return row;
}

std::optional<std::pair<int, int>> RowEdit::Range(int a, int b) const {
    if (copies_ == 0) {
        const int from = a > last_ ? static_cast<int>(a + Delta()) : (a >= first_ ? first_ : a);
        const int to = b > last_ ? static_cast<int>(b + Delta()) : (b >= first_ ? first_ - 1 : b);
        if (to < from) {
            return std::nullopt;
        }
        return std::make_pair(from, to);
    }
    if (a <= first_ && b >= last_) {
        return std::make_pair(a, static_cast<int>(b + Delta()));
    }
    return std::make_pair(a > last_ ? static_cast<int>(a + Delta()) : a,
                          b > last_ ? static_cast<int>(b + Delta()) : b);
}

int RowEdit::Clamped(int row) const {
    if (row > last_) {
        return static_cast<int>(row + Delta());
    }
    if (row >= first_ && copies_ == 0) {
        return first_;
    }
    return row;
}

}  // namespace velmora::print
