// Filling a word-processing template: the bookmarks of its body, headers,
// footers and notes.
#pragma once

#include "print/package/zip_package.h"
#include "print/word/bookmark_fill.h"

#include <string>

namespace velmora::print {

// Fills the document whose main part is given, replacing the parts whose
// bookmarks it filled; every other part stays as it was.
void FillDocument(Package& package, const std::string& mainPart, const BookmarkValue& valueOf);

}  // namespace velmora::print
