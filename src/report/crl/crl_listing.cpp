#include "report/crl/crl_listing.h"

#include "crypto/platform/certs/name_text.h"
#include "crypto/platform/system/clock.h"
#include "crypto/platform/system/last_error.h"
#include "encoding/atomic_file.h"
#include "encoding/error.h"
#include "report/crl/crl_entry_text.h"
#include "report/crl/listing_file.h"
#include "report/text/value_text.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <span>

namespace velmora {
namespace {

constexpr int kProgressSize = 12;

std::string NowText() {
    return DateTimeTextMDY(FileTimeToLocalDateTime(platform::NowFileTime()));
}

void Progress(ReportView& view, const std::string& text) {
    AddReportLine(view, text, kBlack, FontStyle::Regular, kProgressSize);
    view.Repaint();
}

// A CRL file read a chunk at a time.
class CrlFileSource {
  public:
    static std::optional<CrlFileSource> Open(const std::filesystem::path& file) {
        std::FILE* handle = std::fopen(file.c_str(), "rb");
        if (handle == nullptr) {
            return std::nullopt;
        }
        return CrlFileSource(handle);
    }

    platform::DerChunkSource Reader() {
        return [this](std::span<std::uint8_t> buffer) {
            const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file_.get());
            if (got == 0 && std::ferror(file_.get())) {
                throw Error("Ошибка чтения файла");
            }
            return got;
        };
    }

  private:
    struct Close {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    explicit CrlFileSource(std::FILE* file) : file_(file) {}
    std::unique_ptr<std::FILE, Close> file_;
};

void FillHeader(TCRLstruct& record, const platform::CrlInfo& info) {
    record.thisUpdateText = FileTimeText(info.thisUpdate);
    record.nextUpdateText = FileTimeText(info.nextUpdate);
    record.thisUpdate = FileTimeToLocalDateTime(info.thisUpdate);
    record.nextUpdate = FileTimeToLocalDateTime(info.nextUpdate);
    record.issuerText = platform::NameToSimpleStr(info.issuer);
}

bool DecodeCrlFrom(TCRLstruct& record, const platform::DerChunkSource& source, bool withEntries) {
    platform::CrlInfo info;
    record.entries.clear();
    const bool decoded = platform::ForEachCrlEntry(
        source, info, [&record, withEntries](const platform::CrlEntryInfo& entry) {
            if (withEntries) {
                record.entries.push_back(CrlEntryOf(entry));
            }
            return true;
        });
    if (!decoded) {
        record.entries.clear();
        return false;
    }
    FillHeader(record, info);
    return true;
}

}  // namespace

sCRL_ENTRY CrlEntryOf(const platform::CrlEntryInfo& entry) {
    return {SerialNumberText(entry.serialNumber), FileTimeText(entry.revocationDate),
            CrlReasonText(entry.extensions), InvalidityDateText(entry.extensions)};
}

bool DecodeCrlBytes(TCRLstruct& record, ByteView der, bool withEntries) {
    return DecodeCrlFrom(record, platform::MemoryChunkSource(der), withEntries);
}

bool DecodeCrl(TCRLstruct& record, const std::filesystem::path& file, bool withEntries) {
    std::optional<CrlFileSource> source = CrlFileSource::Open(file);
    if (!source) {
        return platform::Fail(platform::error::kFileNotFound);
    }
    return DecodeCrlFrom(record, source->Reader(), withEntries);
}

std::vector<std::string> CrlHeaderLines(const TCRLstruct& record) {
    return {
        "Действует: с " + record.thisUpdateText + " по " + record.nextUpdateText,
        "Информация об издателе: " + record.issuerText,
        "сертификат №:;дата отзыва;Код причины отзыва;INVALIDITY_DATE",
    };
}

std::string CrlEntryLine(const sCRL_ENTRY& entry) {
    // The equals sign and the quotes make a spreadsheet keep the serial
    // number as text instead of reading it as a number.
    std::string line;
    line.reserve(8 + entry.serialNumber.size() + entry.revocationDate.size() + entry.reason.size() +
                 entry.invalidityDate.size());
    line += "=\"";
    line += entry.serialNumber;
    line += "\";";
    line += entry.revocationDate;
    line += ';';
    line += entry.reason;
    line += ';';
    line += entry.invalidityDate;
    return line;
}

void CrlToLines(const TCRLstruct& record, std::vector<std::string>& lines) {
    for (std::string& line : CrlHeaderLines(record)) {
        lines.push_back(std::move(line));
    }
    for (const sCRL_ENTRY& entry : record.entries) {
        lines.push_back(CrlEntryLine(entry));
    }
}

std::filesystem::path CrlListingPath(const std::filesystem::path& crlFile) {
    std::filesystem::path listing = crlFile;
    listing += ".csv";
    return listing;
}

bool ExportCrlListing(const std::filesystem::path& file, TCRLstruct& record, ReportView& view) {
    Progress(view, "загрузка CRL - " + NowText());
    std::optional<CrlFileSource> source = CrlFileSource::Open(file);
    if (!source) {
        return platform::Fail(platform::error::kFileNotFound);
    }
    // One walk: the entries go from the CRL straight into the temporary
    // listing, which is put in place only when the whole CRL has proved
    // sound; a damaged CRL leaves no listing behind. The listing is made at
    // the first entry (or after the walk, for a CRL without entries), so a
    // file that is no CRL never touches the folder.
    const std::filesystem::path listingPath = CrlListingPath(file);
    std::optional<ListingFile> listing;
    platform::CrlInfo info;
    const auto start = [&] {
        FillHeader(record, info);
        listing.emplace(listingPath);
        for (const std::string& line : CrlHeaderLines(record)) {
            listing->WriteLine(line);
        }
    };
    CrlEntryLineWriter lines;
    std::string line;
    const bool walked =
        platform::ForEachCrlEntry(source->Reader(), info, [&](const platform::CrlEntryInfo& entry) {
            if (!listing) {
                start();
            }
            line.clear();
            lines.Append(entry, line);
            listing->WriteEncodedLine(line);
            return true;
        });
    if (!walked) {
        return false;
    }
    if (!listing) {
        start();
    }
    FillHeader(record, info);
    Progress(view, "сохранение результатов - " + NowText());
    listing->Commit();

    AddReportLine(view, "Данные сохранены в ", kBlack, FontStyle::Regular, kProgressSize);
    AppendReportText(view, listingPath.string(), kBlack, FontStyle::Regular, kProgressSize);
    AppendReportText(view, " в " + NowText(), kBlack, FontStyle::Regular, kProgressSize);
    return true;
}

}  // namespace velmora
