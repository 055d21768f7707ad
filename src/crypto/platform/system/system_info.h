// Small conveniences of the platform: the text of the last error, the
// administrator check and the version of an installed file.
#pragma once

#include "crypto/platform/system/dpkg_status.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::platform {

// The system text of the calling thread's last error code.
std::string LastErrorText();

// True when the process runs with administrator rights: its effective user is root.
bool IsUserAdmin();

// The version of the installed Debian package that owns the file, as four
// numbers "a.b.c.d" (see DebianVersionText); "NULL" when no installed package
// lists the file or its version gives no number. The file is looked up by its
// absolute, normalised path in the package file lists (info/*.list) and the
// package's version is read from its "installed" stanza in the status file.
// `dpkg_root` is the database folder (tests point it at a folder of their own).
std::string FileVersionText(const std::filesystem::path& file,
                            const std::filesystem::path& dpkg_root = kDpkgDatabase);

// Maps a Debian version [epoch:]upstream[-revision] to four numbers joined by
// ".", in the order major.minor.build.revision of a file version:
// - the epoch is dropped;
// - the upstream version is read as runs of decimal digits, every other
//   character separating them ("1.1.1w" gives 1, 1, 1; "0~git20230101" gives
//   0, 20230101); its first three numbers fill the first three places;
// - the fourth place is the first number of the Debian revision (the text
//   after the last "-") when the version has one, else the upstream version's
//   fourth number;
// - missing places are 0, further numbers are dropped, and a number too large
//   for 32 bits gives 4294967295.
// So "3.0.1-2" gives "3.0.1.2", "1:2.36.1-8+deb12u1" gives "2.36.1.8", "1.2-3"
// gives "1.2.0.3" and "6.4" gives "6.4.0.0". An upstream version without a
// digit gives nullopt.
std::optional<std::string> DebianVersionText(std::string_view version);

}  // namespace velmora::platform
