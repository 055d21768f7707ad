#include "report/crl/listing_file.h"

#include "encoding/cp1251.h"
#include "encoding/error.h"
#include "encoding/file_errors.h"

#include <string>
#include <utility>

namespace velmora {
namespace {

// Lines are written in pieces of about this size.
constexpr std::size_t kChunk = 1 << 16;

}  // namespace

ListingFile::ListingFile(std::filesystem::path target) : target_(std::move(target)) {
    if (!file_.Open(target_)) {
        Raise(file_.error());
    }
    pending_.reserve(kChunk + 256);
}

void ListingFile::WriteLine(std::string_view line) {
    // ASCII is the same in Windows-1251; only other text needs converting.
    bool ascii = true;
    for (const char c : line) {
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    }
    if (ascii) {
        WriteEncodedLine(line);
        return;
    }
    const Bytes converted = Utf8ToCp1251(line);
    WriteEncodedLine(
        std::string_view(reinterpret_cast<const char*>(converted.data()), converted.size()));
}

void ListingFile::WriteEncodedLine(std::string_view line) {
    Append(line);
    Append("\r\n");
    if (pending_.size() >= kChunk) {
        Flush();
    }
}

void ListingFile::Append(std::string_view bytes) {
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
}

void ListingFile::Flush() {
    if (!file_.Write(pending_)) {
        Raise(file_.error());
    }
    pending_.clear();
}

void ListingFile::Commit() {
    Flush();
    if (!file_.Commit()) {
        Raise(file_.error());
    }
}

void ListingFile::Raise(int error_number) {
    throw Error(WriteErrorText(target_, error_number));
}

}  // namespace velmora
