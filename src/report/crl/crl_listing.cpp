#include "report/crl/crl_listing.h"

#include "crypto/platform/certs/name_text.h"
#include "crypto/platform/system/clock.h"
#include "crypto/platform/system/last_error.h"
#include "encoding/atomic_file.h"
#include "report/crl/crl_entry_text.h"
#include "report/crl/listing_file.h"
#include "report/text/value_text.h"

#include <optional>

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

void FillHeader(TCRLstruct& record, const platform::CrlInfo& info) {
    record.thisUpdateText = FileTimeText(info.thisUpdate);
    record.nextUpdateText = FileTimeText(info.nextUpdate);
    record.thisUpdate = FileTimeToLocalDateTime(info.thisUpdate);
    record.nextUpdate = FileTimeToLocalDateTime(info.nextUpdate);
    record.issuerText = platform::NameToSimpleStr(info.issuer);
}

}  // namespace

sCRL_ENTRY CrlEntryOf(const platform::CrlEntryInfo& entry) {
    return {SerialNumberText(entry.serialNumber), FileTimeText(entry.revocationDate),
            CrlReasonText(entry.extensions), InvalidityDateText(entry.extensions)};
}

bool DecodeCrlBytes(TCRLstruct& record, ByteView der, bool withEntries) {
    platform::CrlInfo info;
    if (!platform::DecodeCrlInfo(der, info, withEntries)) {
        return false;
    }
    FillHeader(record, info);
    record.entries.clear();
    if (withEntries) {
        record.entries.reserve(info.entries.size());
        for (const platform::CrlEntryInfo& entry : info.entries) {
            record.entries.push_back(CrlEntryOf(entry));
        }
    }
    return true;
}

bool DecodeCrl(TCRLstruct& record, const std::filesystem::path& file, bool withEntries) {
    const std::optional<Bytes> der = ReadFileBytes(file);
    if (!der) {
        return platform::Fail(platform::error::kFileNotFound);
    }
    return DecodeCrlBytes(record, *der, withEntries);
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
    // The whole CRL is checked before anything is written, so a damaged one
    // never produces a listing.
    const std::optional<Bytes> der = ReadFileBytes(file);
    if (!der) {
        return platform::Fail(platform::error::kFileNotFound);
    }
    if (!DecodeCrlBytes(record, *der, false)) {
        return false;
    }
    Progress(view, "сохранение результатов - " + NowText());

    const std::filesystem::path listingPath = CrlListingPath(file);
    ListingFile listing(listingPath);
    for (const std::string& line : CrlHeaderLines(record)) {
        listing.WriteLine(line);
    }
    platform::CrlInfo info;
    const bool walked =
        platform::ForEachCrlEntry(*der, info, [&listing](const platform::CrlEntryInfo& entry) {
            listing.WriteLine(CrlEntryLine(CrlEntryOf(entry)));
            return true;
        });
    if (!walked) {
        return false;  // cannot happen for bytes that decoded above; nothing is written
    }
    listing.Commit();

    AddReportLine(view, "Данные сохранены в ", kBlack, FontStyle::Regular, kProgressSize);
    AppendReportText(view, listingPath.string(), kBlack, FontStyle::Regular, kProgressSize);
    AppendReportText(view, " в " + NowText(), kBlack, FontStyle::Regular, kProgressSize);
    return true;
}

}  // namespace velmora
