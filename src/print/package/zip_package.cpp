#include "print/package/zip_package.h"

#include "encoding/error.h"
#include "print/package/ascii_case.h"

#include <zip.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace velmora::print {
namespace {

// The signature of an OLE compound file: the binary formats of Office 97-2003.
constexpr std::array<std::uint8_t, 8> kCompoundFileSignature = {0xD0, 0xCF, 0x11, 0xE0,
                                                                0xA1, 0xB1, 0x1A, 0xE1};

std::string_view WithoutSlash(std::string_view part) {
    return part.starts_with('/') ? part.substr(1) : part;
}

// A part name may not leave the package when a careless tool unpacks it, and
// must name a file: no absolute names, back slashes, empty or dot segments.
bool IsSafePartName(std::string_view name) {
    if (name.empty() || name.front() == '/' || name.find('\\') != std::string_view::npos ||
        name.find('\0') != std::string_view::npos) {
        return false;
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t end = name.find('/', start);
        const std::string_view segment =
            name.substr(start, end == std::string_view::npos ? name.npos : end - start);
        if (segment.empty() || segment == "." || segment == "..") {
            // A trailing slash marks a folder entry, which some tools write.
            if (!(segment.empty() && end == std::string_view::npos && start > 0)) {
                return false;
            }
        }
        if (end == std::string_view::npos) {
            return true;
        }
        start = end + 1;
    }
}

std::string ZipErrorText(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

struct FileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

struct SourceFreer {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};

}  // namespace

std::string NotAPackageMessage(const std::string& displayName) {
    return "Шаблон " + displayName + " не является документом Office Open XML (архивом zip)";
}

void Package::ArchiveCloser::operator()(zip_t* archive) const {
    zip_discard(archive);
}

Package::Package(ByteView bytes, std::string displayName, const PackageLimits& limits)
    : displayName_(std::move(displayName)) {
    if (bytes.size() >= kCompoundFileSignature.size() &&
        std::equal(kCompoundFileSignature.begin(), kCompoundFileSignature.end(), bytes.begin())) {
        throw Error("Шаблон " + displayName_ +
                    " сохранён в двоичном формате Office 97-2003; сохраните его в формате "
                    "Office Open XML (.xltx, .xlsx, .dotx или .docx)");
    }
    if (bytes.size() > limits.maxFileSize) {
        Rejected("файл больше " + std::to_string(limits.maxFileSize >> 20) + " МБ");
    }
    bytes_.assign(bytes.begin(), bytes.end());
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes_.data(), bytes_.size(), 0, &error);
    if (source == nullptr) {
        zip_error_fini(&error);
        throw Error(NotAPackageMessage(displayName_));
    }
    archive_.reset(zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error));
    if (!archive_) {
        zip_source_free(source);
        const int code = zip_error_code_zip(&error);
        zip_error_fini(&error);
        if (code == ZIP_ER_NOZIP || code == ZIP_ER_EOF) {
            throw Error(NotAPackageMessage(displayName_));
        }
        Damaged(ZipErrorText(code));
    }
    zip_error_fini(&error);
    CheckEntries(limits);
}

Package::~Package() = default;

void Package::CheckEntries(const PackageLimits& limits) {
    const zip_int64_t count = zip_get_num_entries(archive_.get(), 0);
    if (count < 0) {
        Damaged("не прочитан список частей");
    }
    if (static_cast<std::uint64_t>(count) > limits.maxEntries) {
        Rejected("в нём " + std::to_string(count) + " частей, допустимо не более " +
                 std::to_string(limits.maxEntries));
    }
    std::uint64_t total = 0;
    std::vector<std::string> lowered;
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        zip_stat_t stat;
        if (zip_stat_index(archive_.get(), index, 0, &stat) != 0) {
            Damaged("не прочитаны сведения о части " + std::to_string(i + 1));
        }
        const std::string name = stat.name != nullptr ? stat.name : "";
        if (!IsSafePartName(name)) {
            Damaged("недопустимое имя части \"" + name + "\"");
        }
        if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) != 0 &&
            stat.encryption_method != ZIP_EM_NONE) {
            Damaged("часть " + name + " зашифрована");
        }
        if ((stat.valid & ZIP_STAT_COMP_METHOD) != 0 &&
            zip_compression_method_supported(static_cast<zip_int32_t>(stat.comp_method), 0) == 0) {
            Damaged("часть " + name + " сжата неизвестным методом");
        }
        if (stat.size > limits.maxPartSize) {
            Rejected("часть " + name + " распаковывается в " + std::to_string(stat.size) +
                     " байт, допустимо не более " + std::to_string(limits.maxPartSize));
        }
        if (stat.size > limits.ratioFloor &&
            stat.size / std::max<std::uint64_t>(stat.comp_size, 1) > limits.maxRatio) {
            Rejected("часть " + name + " сжата в " +
                     std::to_string(stat.size / std::max<std::uint64_t>(stat.comp_size, 1)) +
                     " раз, так сжимают только архивы-бомбы");
        }
        total += stat.size;
        if (total > limits.maxTotalSize) {
            Rejected("его части распаковываются более чем в " +
                     std::to_string(limits.maxTotalSize >> 20) + " МБ");
        }
        std::string key = LowerAscii(name);
        if (std::find(lowered.begin(), lowered.end(), key) != lowered.end()) {
            Damaged("часть " + name + " записана дважды");
        }
        lowered.push_back(std::move(key));
        names_.push_back(name);
    }
}

std::string Package::Find(std::string_view part) const {
    const std::string wanted = LowerAscii(WithoutSlash(part));
    for (const std::string& name : names_) {
        if (LowerAscii(name) == wanted &&
            std::find(removed_.begin(), removed_.end(), name) == removed_.end()) {
            return name;
        }
    }
    return {};
}

std::string Package::Read(std::string_view part) const {
    const std::string name = Find(part);
    if (name.empty()) {
        Damaged("нет части " + std::string(WithoutSlash(part)));
    }
    if (const auto it = replaced_.find(name); it != replaced_.end()) {
        return it->second;
    }
    zip_stat_t stat;
    const zip_int64_t index = zip_name_locate(archive_.get(), name.c_str(), 0);
    if (index < 0 || zip_stat_index(archive_.get(), static_cast<zip_uint64_t>(index), 0, &stat)) {
        Damaged("нет части " + name);
    }
    std::unique_ptr<zip_file_t, FileCloser> file(
        zip_fopen_index(archive_.get(), static_cast<zip_uint64_t>(index), 0));
    if (!file) {
        Damaged("часть " + name + " не читается: " + zip_strerror(archive_.get()));
    }
    // The declared size was checked against the limits; a part that unpacks
    // to more than it declares is refused rather than trusted.
    std::string content(static_cast<std::size_t>(stat.size), '\0');
    std::size_t filled = 0;
    while (filled < content.size()) {
        const zip_int64_t got = zip_fread(file.get(), content.data() + filled,
                                          static_cast<zip_uint64_t>(content.size() - filled));
        if (got < 0) {
            Damaged("часть " + name + " не читается: " + zip_file_strerror(file.get()));
        }
        if (got == 0) {
            Damaged("часть " + name + " короче, чем записано в архиве");
        }
        filled += static_cast<std::size_t>(got);
    }
    char extra = 0;
    const zip_int64_t more = zip_fread(file.get(), &extra, 1);
    if (more != 0) {
        Damaged("часть " + name +
                (more < 0 ? " не читается: " + std::string(zip_file_strerror(file.get()))
                          : std::string(" длиннее, чем записано в архиве")));
    }
    return content;
}

void Package::Replace(std::string_view part, std::string content) {
    const std::string name = Find(part);
    if (name.empty()) {
        Damaged("нет части " + std::string(WithoutSlash(part)));
    }
    replaced_[name] = std::move(content);
}

void Package::Remove(std::string_view part) {
    const std::string name = Find(part);
    if (!name.empty()) {
        removed_.push_back(name);
        replaced_.erase(name);
    }
}

namespace {

// An archive written into memory: parts are added to Archive(), Finish
// closes it and gives its bytes.
class MemoryArchive {
  public:
    MemoryArchive() {
        zip_error_t error;
        zip_error_init(&error);
        target_.reset(zip_source_buffer_create(nullptr, 0, 0, &error));
        zip_error_fini(&error);
        if (!target_) {
            throw Error("Не хватает памяти для заполненной формы");
        }
        // The archive frees its source when it closes; the extra reference
        // keeps the written bytes readable afterwards.
        zip_source_keep(target_.get());
        archive_ = zip_open_from_source(target_.get(), ZIP_TRUNCATE, nullptr);
        if (archive_ == nullptr) {
            zip_source_free(target_.get());  // the reference the archive did not take
            throw Error("Не удалось создать архив заполненной формы");
        }
    }
    ~MemoryArchive() {
        if (archive_ != nullptr) {
            zip_discard(archive_);
        }
    }
    MemoryArchive(const MemoryArchive&) = delete;
    MemoryArchive& operator=(const MemoryArchive&) = delete;

    zip_t* Archive() const { return archive_; }

    [[noreturn]] void Fail(const std::string& what) const {
        throw Error("Не удалось создать архив заполненной формы: " + what + ": " +
                    zip_strerror(archive_));
    }

    // Adds an entry from the source and sets its compression method.
    zip_uint64_t Add(const std::string& name, zip_source_t* source, zip_int32_t method) const {
        if (source == nullptr) {
            Fail(name);
        }
        const zip_int64_t index = zip_file_add(archive_, name.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            Fail(name);
        }
        const auto added = static_cast<zip_uint64_t>(index);
        if (zip_set_file_compression(archive_, added, method, 0) != 0) {
            Fail(name);
        }
        return added;
    }

    // Adds a part held in memory, which must live until Finish.
    zip_uint64_t AddText(const std::string& name, const std::string& content) const {
        return Add(name, zip_source_buffer(archive_, content.data(), content.size(), 0),
                   ZIP_CM_DEFLATE);
    }

    Bytes Finish() {
        if (zip_close(archive_) != 0) {
            Fail("запись");
        }
        archive_ = nullptr;
        zip_stat_t stat;
        if (zip_source_stat(target_.get(), &stat) != 0 || zip_source_open(target_.get()) != 0) {
            throw Error("Не удалось прочитать архив заполненной формы");
        }
        Bytes written(static_cast<std::size_t>(stat.size));
        const zip_int64_t got = zip_source_read(target_.get(), written.data(), written.size());
        zip_source_close(target_.get());
        if (got != static_cast<zip_int64_t>(written.size())) {
            throw Error("Не удалось прочитать архив заполненной формы");
        }
        return written;
    }

  private:
    std::unique_ptr<zip_source_t, SourceFreer> target_;
    zip_t* archive_ = nullptr;
};

}  // namespace

Bytes MakePackage(const std::vector<std::pair<std::string, std::string>>& parts) {
    MemoryArchive archive;
    for (const auto& [name, content] : parts) {
        archive.AddText(name, content);
    }
    return archive.Finish();
}

Bytes Package::Write() const {
    MemoryArchive archive;
    zip_t* out = archive.Archive();
    for (std::size_t i = 0; i < names_.size(); ++i) {
        const std::string& name = names_[i];
        if (std::find(removed_.begin(), removed_.end(), name) != removed_.end()) {
            continue;
        }
        zip_stat_t stat;
        zip_stat_index(archive_.get(), i, 0, &stat);
        if (name.ends_with('/')) {
            if (zip_dir_add(out, name.c_str(), ZIP_FL_ENC_UTF_8) < 0) {
                archive.Fail(name);
            }
            continue;
        }
        const auto replacement = replaced_.find(name);
        // A part not filled is the whole stored entry: libzip copies its
        // compressed bytes.
        const zip_uint64_t added =
            replacement != replaced_.end()
                ? archive.AddText(name, replacement->second)
                : archive.Add(name, zip_source_zip(out, archive_.get(), i, 0, 0, -1),
                              static_cast<zip_int32_t>(stat.comp_method));
        if ((stat.valid & ZIP_STAT_MTIME) != 0 &&
            zip_file_set_mtime(out, added, stat.mtime, 0) != 0) {
            archive.Fail(name);
        }
    }
    return archive.Finish();
}

void Package::Damaged(const std::string& detail) const {
    throw Error("Шаблон " + displayName_ + " повреждён: " + detail);
}

void Package::Rejected(const std::string& detail) const {
    throw Error("Шаблон " + displayName_ + " отклонён: " + detail);
}

}  // namespace velmora::print
