// Key container names: the entries the container enumeration gives, and the
// parts of a fully qualified name "\\.\<reader>\<container>".
#pragma once

#include "encoding/bytes.h"

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// An enumeration entry "name NUL unique-name NUL" as [name, unique name]; the
// name only when non-empty. Without any NUL the whole buffer is the name and
// there is no unique name. Nothing past the buffer is read.
std::vector<std::string> SplitContainerEntry(ByteView buffer);

// The text between the third and fourth "\" (the reader); empty when the
// name has fewer than four.
std::string ReaderOfFqcn(std::string_view name);

// The text after the fourth "\" (the container); empty when the name has
// fewer than four.
std::string ContainerOfFqcn(std::string_view name);

// The text after the last "\"; the whole text when it has none.
std::string LastPathSegment(std::string_view text);

}  // namespace velmora
