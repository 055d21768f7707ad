// The values the word-processor forms put at their bookmarks: a bookmark
// named after a placeholder (the part of its name before the first "__",
// ignoring ASCII case) gets that placeholder's value from the record.
#pragma once

#include "report/record/record.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::print {

class BookmarkValues {
  public:
    // Prepares the usage and purpose lines of the record, which must outlive
    // this object.
    explicit BookmarkValues(const TRCstruct& record);

    // The value for a bookmark of this name; nothing when the name is no
    // placeholder (the bookmark keeps its text). Dates are today's, taken
    // at the call. Line breaks within a value are "\n".
    std::optional<std::string> ValueOf(std::string_view bookmarkName) const;

    // The placeholder names, in the order of the table.
    static std::vector<std::string_view> Placeholders();

  private:
    const TRCstruct& record_;
    std::string usageLines_;    // ENHANCED_KEY_USAGE
    std::string purposeLines_;  // UsageComents
};

// The distinct purpose descriptions of a request's usages, in first-seen
// order, each as "- " + description + "\n". A usage outside the purpose
// table repeats the description before it (so the first such usage gives
// "- " alone). Empty for anything but a request.
std::string PurposeLines(const TRCstruct& record);

}  // namespace velmora::print
