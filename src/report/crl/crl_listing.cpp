#include "report/crl/crl_listing.h"

#include "crypto/platform/certs/name_text.h"
#include "crypto/platform/system/clock.h"
#include "crypto/platform/system/last_error.h"
#include "encoding/atomic_file.h"
#include "encoding/error.h"
#include "encoding/file_errors.h"
#include "encoding/input_file.h"
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
    // Opens the CRL file; a file that cannot be read, or is no regular file
    // (a folder, a FIFO, a device), throws Error naming it and the reason.
    static CrlFileSource Open(const std::filesystem::path& file) {
        ReadError error;
        std::optional<CrlFileSource> source = TryOpen(file, error);
        if (!source) {
            throw Error(ReadErrorText(file, error));
        }
        return std::move(*source);
    }

    // The same without the error: nothing, with the reason in error.
    static std::optional<CrlFileSource> TryOpen(const std::filesystem::path& file,
                                                ReadError& error) {
        std::optional<InputFile> input = InputFile::Open(file, error);
        if (!input) {
            return std::nullopt;
        }
        return CrlFileSource(file, std::move(*input));
    }

    platform::DerChunkSource Reader() {
        return [this](std::span<std::uint8_t> buffer) {
            ReadError error;
            const std::optional<std::size_t> got = input_.Read(buffer, error);
            if (!got) {
                throw Error(ReadErrorText(file_, error));
            }
            return *got;
        };
    }

  private:
    CrlFileSource(std::filesystem::path file, InputFile input)
        : file_(std::move(file)), input_(std::move(input)) {}
    std::filesystem::path file_;
    InputFile input_;
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
    ReadError error;
    std::optional<CrlFileSource> source = CrlFileSource::TryOpen(file, error);
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
    CrlFileSource source = CrlFileSource::Open(file);
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
        platform::ForEachCrlEntry(source.Reader(), info, [&](const platform::CrlEntryInfo& entry) {
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
