// Showing a filled form in the desktop's application for its kind of file.
// The program asks through this interface, so tests can stand in for the
// desktop and never start an application.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace velmora::print {

class DocumentOpener {
  public:
    virtual ~DocumentOpener() = default;
    // Hands the file to the application; nothing on success, else why not.
    virtual std::optional<std::string> Open(const std::filesystem::path& file) = 0;
};

// Opens files with xdg-open, which asks the desktop for the default
// application. xdg-open runs detached from the program: it may live as long
// as the application it starts, and closing the program leaves that open.
class XdgOpener : public DocumentOpener {
  public:
    std::optional<std::string> Open(const std::filesystem::path& file) override;
};

}  // namespace velmora::print
