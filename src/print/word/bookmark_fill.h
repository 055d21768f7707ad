// Filling the bookmarks of a word-processing document: the text a bookmark
// encloses is replaced by a value, as a word processor does when a
// bookmark's range text is assigned, and the bookmark goes away.
#pragma once

#include "print/package/xml_part.h"

#include <pugixml.hpp>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::print {

// The value for a bookmark name; nothing keeps the bookmark and its text.
using BookmarkValue = std::function<std::optional<std::string>(std::string_view name)>;

// Fills the bookmarks of one part (the body, a header, a footer, the notes),
// walking them from the last to the first, so that a bookmark inside another
// is filled first and then overwritten with the outer one. The value takes
// the format of the first run it replaces (or of the text before it); its
// line breaks become line breaks of the paragraph and its tabs tabs.
// Returns the number of bookmarks filled.
int FillBookmarks(pugi::xml_document& part, const BookmarkValue& valueOf);

}  // namespace velmora::print
