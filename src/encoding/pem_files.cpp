// The PEM/DER file conversions, streamed: the source is read in blocks and
// the target written through one atomic writer, so neither is ever held
// whole.
#include "encoding/atomic_file.h"
#include "encoding/base64.h"
#include "encoding/error.h"
#include "encoding/file_errors.h"
#include "encoding/input_file.h"
#include "encoding/pem.h"

#include <array>
#include <cstring>
#include <optional>
#include <string_view>

namespace velmora {
namespace {

constexpr std::size_t kBlock = 1 << 16;

// The source, read forward a block at a time from a chosen offset. A read
// failure throws the message that names the source.
class SourceReader {
  public:
    explicit SourceReader(const std::filesystem::path& file) : file_(file) {
        ReadError error;
        std::optional<InputFile> input = InputFile::Open(file, error);
        if (!input) {
            throw Error(ReadErrorText(file_, error));
        }
        input_.emplace(std::move(*input));
    }

    void SeekTo(std::uint64_t offset) {
        ReadError error;
        if (!input_->Seek(offset, error)) {
            throw Error(ReadErrorText(file_, error));
        }
        offset_ = offset;
        used_ = length_ = 0;
    }

    // The next unread bytes (up to a block); empty at the end of the file.
    std::string_view NextSpan() {
        if (used_ == length_) {
            ReadError error;
            const std::optional<std::size_t> n = input_->Read(block_, error);
            if (!n) {
                throw Error(ReadErrorText(file_, error));
            }
            offset_ += length_;
            used_ = 0;
            length_ = *n;
        }
        const std::string_view span(reinterpret_cast<const char*>(block_.data()) + used_,
                                    length_ - used_);
        used_ = length_;
        return span;
    }

    // Gives back the tail of the last span: it is read again next.
    void Unread(std::size_t count) { used_ -= count; }

    // The offset of the next unread byte.
    std::uint64_t Offset() const { return offset_ + used_; }

  private:
    std::filesystem::path file_;
    std::optional<InputFile> input_;
    std::array<std::uint8_t, kBlock> block_{};
    std::uint64_t offset_ = 0;  // of the block's first byte
    std::size_t used_ = 0;
    std::size_t length_ = 0;
};

// The offset of the first occurrence of the pattern at or after the reader's
// position, or nothing. A pattern made of one repeated character followed by
// others ("-----BEGIN", "-----") is matched with the usual fallback table.
std::optional<std::uint64_t> FindNext(SourceReader& reader, std::string_view pattern) {
    std::array<std::size_t, 16> fallback{};
    for (std::size_t i = 1, k = 0; i < pattern.size(); ++i) {
        while (k > 0 && pattern[i] != pattern[k]) {
            k = fallback[k - 1];
        }
        if (pattern[i] == pattern[k]) {
            ++k;
        }
        fallback[i] = k;
    }
    std::size_t matched = 0;
    for (std::string_view span = reader.NextSpan(); !span.empty(); span = reader.NextSpan()) {
        for (std::size_t i = 0; i < span.size(); ++i) {
            while (matched > 0 && span[i] != pattern[matched]) {
                matched = fallback[matched - 1];
            }
            if (span[i] == pattern[matched] && ++matched == pattern.size()) {
                reader.Unread(span.size() - i - 1);
                return reader.Offset() - pattern.size();
            }
        }
    }
    return std::nullopt;
}

// Where the armour stands, by StripPemArmour's rule: the first "-----BEGIN"
// and the first "-----" from the second character after that word on; the
// body is what precedes the BEGIN line and what follows the closing dashes
// and the one character after them, up to the first "-----END".
struct Armour {
    std::uint64_t begin = 0;
    std::uint64_t resume = 0;  // the body goes on here
};

[[noreturn]] void NotBase64(const std::filesystem::path& source) {
    throw Error("Не удается декодировать файл \"" + source.string() +
                "\". Файл не содержит данных base64.");
}

// Writes the decoded bytes to the target as they come, a block at a time.
class TargetWriter {
  public:
    explicit TargetWriter(const std::filesystem::path& target) : target_(target) {
        if (!file_.Open(target_)) {
            Raise();
        }
        pending_.reserve(kBlock + 4);
    }

    Bytes& Pending() { return pending_; }

    void FlushIfFull() {
        if (pending_.size() >= kBlock) {
            Flush();
        }
    }

    void Commit() {
        Flush();
        if (!file_.Commit()) {
            Raise();
        }
    }

  private:
    void Flush() {
        if (!file_.Write(pending_)) {
            Raise();
        }
        pending_.clear();
    }

    [[noreturn]] void Raise() { throw Error(WriteErrorText(target_, file_.error())); }

    std::filesystem::path target_;
    AtomicFileWriter file_;
    Bytes pending_;
};

// Decodes the body from the start of the file. With armour, the BEGIN line
// is skipped and the first "-----END" ends the body; any other "-" is
// outside the alphabet and fails the decoding, so the first "-" met must
// begin that word. Without armour every "-" fails. False when the text does
// not decode.
bool DecodeBody(SourceReader& reader, const Armour* armour, Base64Decoder& decoder,
                TargetWriter& out) {
    constexpr std::string_view kEndRest = "----END";
    const bool end_detection = armour != nullptr;
    bool before_armour = armour != nullptr;
    std::size_t end_matched = 0;  // characters of kEndRest seen after a "-"
    bool in_dash = false;
    for (;;) {
        std::string_view span = reader.NextSpan();
        bool reached_armour = false;
        if (before_armour) {
            const std::uint64_t start = reader.Offset() - span.size();
            if (start + span.size() >= armour->begin) {
                span = span.substr(0, static_cast<std::size_t>(armour->begin - start));
                reached_armour = true;
            }
        }
        if (span.empty() && !reached_armour) {
            return !in_dash;  // a "-" at the very end is no END line
        }
        std::size_t i = 0;
        while (i < span.size()) {
            if (in_dash) {
                if (span[i] != kEndRest[end_matched]) {
                    return false;
                }
                ++i;
                if (++end_matched == kEndRest.size()) {
                    return true;
                }
                continue;
            }
            const char* dash =
                static_cast<const char*>(std::memchr(span.data() + i, '-', span.size() - i));
            const std::size_t upto = dash == nullptr ? span.size() : dash - span.data();
            if (!decoder.Feed(span.substr(i, upto - i), out.Pending())) {
                return false;
            }
            out.FlushIfFull();
            i = upto;
            if (dash != nullptr) {
                if (!end_detection) {
                    return false;
                }
                in_dash = true;
                end_matched = 0;
                ++i;
            }
        }
        if (reached_armour) {
            reader.SeekTo(armour->resume);
            before_armour = false;
        }
    }
}

}  // namespace

void PemFileToDer(const std::filesystem::path& source, const std::filesystem::path& target) {
    SourceReader reader(source);
    // First pass: where the armour stands.
    std::optional<Armour> armour;
    if (const std::optional<std::uint64_t> begin = FindNext(reader, "-----BEGIN")) {
        reader.SeekTo(*begin + 11);
        const std::optional<std::uint64_t> close = FindNext(reader, "-----");
        if (!close) {
            NotBase64(source);  // the text stays whole, and its dashes are no base64
        }
        armour = Armour{*begin, *close + 6};
    }
    // Second pass: decode the body straight into the target.
    reader.SeekTo(0);
    TargetWriter out(target);
    Base64Decoder decoder;
    const bool decoded = DecodeBody(reader, armour ? &*armour : nullptr, decoder, out);
    if (!decoded || decoder.DecodedSize() == 0) {
        NotBase64(source);
    }
    decoder.Finish(out.Pending());
    out.Commit();
}

void DerFileToBase64(const std::filesystem::path& source, const std::filesystem::path& target) {
    SourceReader reader(source);
    TargetWriter out(target);
    // Whole groups of three bytes encode independently of what follows, so
    // the pieces join into the one line the whole file gives.
    Bytes carry;
    for (std::string_view span = reader.NextSpan(); !span.empty(); span = reader.NextSpan()) {
        carry.insert(carry.end(), span.begin(), span.end());
        const std::size_t whole = carry.size() / 3 * 3;
        const std::string text = Base64Encode(ByteView(carry).first(whole));
        out.Pending().insert(out.Pending().end(), text.begin(), text.end());
        carry.erase(carry.begin(), carry.begin() + static_cast<std::ptrdiff_t>(whole));
        out.FlushIfFull();
    }
    std::string tail = Base64Encode(carry);
    tail += "\r\n";
    out.Pending().insert(out.Pending().end(), tail.begin(), tail.end());
    out.Commit();
}

}  // namespace velmora
