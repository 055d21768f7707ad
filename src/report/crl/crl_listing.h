// The CRL listing: a decoded CRL and the semicolon-separated text file of
// its revoked certificates that is written beside the CRL for opening in a
// spreadsheet.
#pragma once

#include "crypto/platform/certs/crl.h"
#include "encoding/bytes.h"
#include "encoding/date_time.h"
#include "report/view/report_view.h"

#include <filesystem>
#include <string>
#include <vector>

namespace velmora {

// One revoked certificate, as the listing shows it.
struct sCRL_ENTRY {
    std::string serialNumber;    // upper-case hex, most significant byte first
    std::string revocationDate;  // local "dd.mm.yyyy hh:mm:ss"
    std::string reason;          // "name (code)", or empty
    std::string invalidityDate;  // local "dd.mm.yyyy hh:mm:ss", or empty

    bool operator==(const sCRL_ENTRY&) const = default;
};

// A decoded CRL.
struct TCRLstruct {
    std::string thisUpdateText;  // local "dd.mm.yyyy hh:mm:ss"
    std::string nextUpdateText;  // the same; empty when the CRL has no next update
    std::string spare;           // never filled
    std::string issuerText;      // the issuer's simple-name text
    DateTime thisUpdate;         // local
    DateTime nextUpdate;         // local; the default DateTime when there is none
    std::vector<sCRL_ENTRY> entries;
};

// The texts of one entry.
sCRL_ENTRY CrlEntryOf(const platform::CrlEntryInfo& entry);

// Fills the record from the DER of exactly one CRL; the entries only when
// withEntries is set (every entry is checked either way). False, with the
// last error set, when the bytes are not a DER CRL (PEM armour and other
// objects such as certificates included); the record is then unspecified.
bool DecodeCrlBytes(TCRLstruct& record, ByteView der, bool withEntries);

// The same for the content of a file; an unreadable file gives false too.
bool DecodeCrl(TCRLstruct& record, const std::filesystem::path& file, bool withEntries);

// The three lines in front of the entries: the validity period, the issuer,
// the column headings.
std::vector<std::string> CrlHeaderLines(const TCRLstruct& record);

// The line of one entry: ="serial";date;reason;invalidity date
std::string CrlEntryLine(const sCRL_ENTRY& entry);

// Appends the header lines and one line per entry of the record.
void CrlToLines(const TCRLstruct& record, std::vector<std::string>& lines);

// The listing's file name: the CRL's full name with ".csv" appended.
std::filesystem::path CrlListingPath(const std::filesystem::path& crlFile);

// Decodes the CRL file into the record and writes its listing, in
// Windows-1251 with CR LF, to CrlListingPath(file), replacing an existing
// listing whole, writing progress lines into the view as it goes. False
// (after the first progress line, with no file written) when the file is
// not a DER CRL. A file that cannot be read (missing, unreadable, or no
// regular file: a folder, a FIFO, a device) throws Error naming the file and
// the reason, before anything is written. The entries are streamed from the CRL straight into the
// file, so the record's entry list stays empty. A failure to write the
// listing throws Error; an existing listing is then left as it was and the
// closing "saved" line is not written.
bool ExportCrlListing(const std::filesystem::path& file, TCRLstruct& record, ReportView& view);

}  // namespace velmora
