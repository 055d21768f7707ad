// The CRL listing of every fixture CRL against the reviewed listing in
// golden/ (byte for byte: Windows-1251, CR LF), and what the export does with
// files that are no CRLs and with listings that cannot be written.
// VELMORA_UPDATE_GOLDEN=1 rewrites the expected listings instead.

#include "report/crl/crl_listing.h"
#include "crypto/platform/system/clock.h"
#include "encoding/cp1251.h"
#include "encoding/error.h"
#include "fixture_files.h"
#include "report/crl/crl_entry_text.h"
#include "report/view/recording_view.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <fstream>

namespace velmora {
namespace {

// 2024-06-03 09:04:05 UTC; 12:04:05 in Moscow.
constexpr FileTime kNow = 133618790450000000ULL;
constexpr const char* kNowText = "06.03.2024 12:04:05";

std::string ReadText(const std::filesystem::path& file) {
    return AsText(testing::ReadFileBytes(file));
}

void WriteText(const std::filesystem::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

// A fresh folder holding copies of fixture files, removed afterwards.
class Folder {
  public:
    Folder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "velmora-crl-XXXXXX");
        EXPECT_NE(::mkdtemp(pattern.data()), nullptr);
        path_ = pattern;
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::filesystem::path Copy(const std::string& fixture) const {
        std::filesystem::copy_file(testing::FixtureFolder() / fixture, path_ / fixture);
        return path_ / fixture;
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

class CrlListing : public ::testing::Test {
  protected:
    void SetUp() override { testing::UseMoscowTime(); }

    platform::ScopedClockOverride clock_{kNow};
};

TEST_F(CrlListing, EveryFixtureListsAsReviewed) {
    const bool update = std::getenv("VELMORA_UPDATE_GOLDEN") != nullptr;
    const std::filesystem::path golden = testing::GoldenFolder();
    for (const char* name : {"crl-full.crl", "crl-empty.crl", "crl-nonext.crl", "crl-root.crl"}) {
        SCOPED_TRACE(name);
        Folder folder;
        const std::filesystem::path crl = folder.Copy(name);
        TCRLstruct record;
        RecordingView view;
        ASSERT_TRUE(ExportCrlListing(crl, record, view));

        const std::string listingName = std::string(name) + ".csv";
        EXPECT_EQ(folder.Names(), (std::vector<std::string>{name, listingName}));
        EXPECT_EQ(view.PlainText(),
                  "загрузка CRL - " + std::string(kNowText) + "\nсохранение результатов - " +
                      kNowText + "\nДанные сохранены в " + (folder.path() / listingName).string() +
                      " в " + kNowText + "\n");
        for (const auto& line : view.Lines()) {
            for (const TextRun& run : line) {
                EXPECT_EQ(run.size, 12);
                EXPECT_EQ(run.style, FontStyle::Regular);
            }
        }

        const std::string listing = ReadText(folder.path() / listingName);
        if (update) {
            WriteText(golden / listingName, listing);
            continue;
        }
        EXPECT_EQ(listing, ReadText(golden / listingName));
    }
}

TEST_F(CrlListing, RecordReasonsAndMissingDates) {
    TCRLstruct record;
    ASSERT_TRUE(DecodeCrl(record, testing::FixtureFolder() / "crl-full.crl", true));
    EXPECT_EQ(record.thisUpdate, (DateTime{2024, 6, 1, 3, 0, 0, 0}));
    ASSERT_EQ(record.entries.size(), 13u);
    EXPECT_EQ(record.entries[0],
              (sCRL_ENTRY{"009C4E2A17B3D5F6071829", "02.05.2024 13:00:00",
                          "Компрометация ключа электронной подписи (1)", "01.05.2024 11:30:00"}));
    EXPECT_EQ(record.entries[7].reason, "Неизвестный код (7)");
    EXPECT_EQ(record.entries[11], (sCRL_ENTRY{"0B", "13.05.2024 13:00:00", "", ""}));
    for (const std::int64_t code : {-1LL, 7LL, 11LL, 0x7FFFFFFFLL}) {
        EXPECT_EQ(CrlReasonName(code), "Неизвестный код") << code;
    }

    // Without entries the header is the same and the entries are left out.
    TCRLstruct header;
    ASSERT_TRUE(DecodeCrl(header, testing::FixtureFolder() / "crl-full.crl", false));
    EXPECT_EQ(header.issuerText, record.issuerText);
    EXPECT_TRUE(header.entries.empty());

    // A CRL without a next update has no date there rather than 1601.
    ASSERT_TRUE(DecodeCrl(record, testing::FixtureFolder() / "crl-nonext.crl", true));
    EXPECT_EQ(record.nextUpdateText, "");
    EXPECT_EQ(record.nextUpdate, DateTime{});
}

// The listing writes entry lines straight in Windows-1251; they read as the
// entry texts do, reasons outside the standard's list included.
TEST_F(CrlListing, EntryLinesReadAsTheEntryTexts) {
    platform::CrlEntryInfo entry;
    entry.serialNumber = {0x29, 0x18, 0x00, 0x9C};
    entry.revocationDate = kNow;
    CrlEntryLineWriter writer;
    for (const std::uint8_t code : {0, 1, 7, 10, 11, 0x7F, 0xFF}) {
        entry.extensions = {{"2.5.29.21", false, {0x0A, 0x01, code}},
                            {"2.5.29.24",
                             false,
                             {0x18, 0x0F, '2', '0', '2', '4', '0', '5', '0', '1', '0', '8', '3',
                              '0', '0', '0', 'Z'}}};
        std::string line;
        writer.Append(entry, line);
        EXPECT_EQ(line, AsText(Utf8ToCp1251(CrlEntryLine(CrlEntryOf(entry))))) << int{code};
    }
    entry.extensions = {{"2.5.29.21", false, {0x0A, 0x00}}};  // no code at all
    std::string line;
    writer.Append(entry, line);
    EXPECT_EQ(line, "=\"9C001829\";03.06.2024 12:04:05;;");
}

TEST_F(CrlListing, EmptyCrlGivesThreeLines) {
    Folder folder;
    const std::filesystem::path crl = folder.Copy("crl-empty.crl");
    TCRLstruct record;
    RecordingView view;
    ASSERT_TRUE(ExportCrlListing(crl, record, view));
    const std::string listing = ReadText(CrlListingPath(crl));
    const std::vector<std::string> lines = {
        "Действует: с 01.06.2024 03:00:00 по 01.06.2039 03:00:00",
        "Информация об издателе: " + record.issuerText,
        "сертификат №:;дата отзыва;Код причины отзыва;INVALIDITY_DATE"};
    EXPECT_EQ(listing,
              AsText(Utf8ToCp1251(lines[0] + "\r\n" + lines[1] + "\r\n" + lines[2] + "\r\n")));
}

TEST_F(CrlListing, WhatIsNoDerCrlStopsAfterTheFirstLine) {
    for (const char* name : {"crl-full-pem.crl", "crl-full-b64.crl", "ee-256.cer"}) {
        SCOPED_TRACE(name);
        Folder folder;
        const std::filesystem::path file = folder.Copy(name);
        TCRLstruct record;
        RecordingView view;
        EXPECT_FALSE(ExportCrlListing(file, record, view));
        EXPECT_EQ(view.PlainText(), "загрузка CRL - " + std::string(kNowText) + "\n");
        EXPECT_FALSE(std::filesystem::exists(CrlListingPath(file)));
    }
    // A file that cannot be read is an error naming it, and nothing is written.
    {
        Folder folder;
        const std::filesystem::path missing = folder.path() / "missing.crl";
        TCRLstruct record;
        RecordingView view;
        EXPECT_THROW(
            {
                try {
                    ExportCrlListing(missing, record, view);
                } catch (const Error& e) {
                    EXPECT_EQ(std::string(e.what()), "Не удается прочитать файл \"" +
                                                         missing.string() +
                                                         "\". Не удается найти указанный файл.");
                    throw;
                }
            },
            Error);
        EXPECT_TRUE(folder.Names().empty());
    }
    // A CRL cut short, one with a byte after it, and whole CRLs damaged
    // inside: an issuer string that is no UTF-8, an unfinished signature
    // algorithm OID, a signature bit string with 8 unused bits. OpenSSL
    // refuses each; none may be listed with a garbled issuer.
    Folder folder;
    const std::string der = ReadText(testing::FixtureFolder() / "crl-full.crl");
    ASSERT_EQ(der.size(), 1131u);
    const auto damaged = [&der](std::size_t at, char value) {
        std::string bytes = der;
        bytes[at] = value;
        return bytes;
    };
    for (const std::string& bytes :
         {der.substr(0, der.size() - 40), der + '\0', damaged(56, '\xFF'),
          damaged(22, static_cast<char>(der[22] | 0x80)), damaged(1066, '\x08')}) {
        const std::filesystem::path file = folder.path() / "damaged.crl";
        WriteText(file, bytes);
        TCRLstruct record;
        RecordingView view;
        EXPECT_FALSE(ExportCrlListing(file, record, view));
        EXPECT_EQ(view.Lines().size(), 1u);
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"damaged.crl"});
    }
}

TEST_F(CrlListing, ExportingAgainReplacesTheListing) {
    Folder folder;
    const std::filesystem::path crl = folder.Copy("crl-full.crl");
    WriteText(CrlListingPath(crl), std::string(100000, 'x'));  // longer than the listing
    TCRLstruct record;
    RecordingView view;
    ASSERT_TRUE(ExportCrlListing(crl, record, view));
    const std::string first = ReadText(CrlListingPath(crl));
    EXPECT_TRUE(first.starts_with(AsText(Utf8ToCp1251("Действует: с "))));
    EXPECT_LT(first.size(), 2000u);
    ASSERT_TRUE(ExportCrlListing(crl, record, view));
    EXPECT_EQ(ReadText(CrlListingPath(crl)), first);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"crl-full.crl", "crl-full.crl.csv"}));
}

TEST_F(CrlListing, NameNearTheSystemLimit) {
    // 251 characters and ".csv" make the longest name the system allows.
    Folder folder;
    const std::filesystem::path crl = folder.path() / (std::string(247, 'n') + ".crl");
    std::filesystem::copy_file(testing::FixtureFolder() / "crl-empty.crl", crl);
    TCRLstruct record;
    RecordingView view;
    ASSERT_TRUE(ExportCrlListing(crl, record, view));
    EXPECT_EQ(CrlListingPath(crl).filename().string().size(), 255u);
    EXPECT_TRUE(std::filesystem::is_regular_file(CrlListingPath(crl)));
    EXPECT_EQ(folder.Names().size(), 2u);
}

TEST_F(CrlListing, FailedWriteRaisesAndKeepsTheOldListing) {
    Folder folder;
    const std::filesystem::path crl = folder.Copy("crl-full.crl");

    // The listing's name is taken by a folder.
    std::filesystem::create_directory(CrlListingPath(crl));
    TCRLstruct record;
    RecordingView view;
    EXPECT_THROW(ExportCrlListing(crl, record, view), Error);
    EXPECT_EQ(view.Lines().size(), 2u);  // no "saved" line
    EXPECT_TRUE(std::filesystem::is_directory(CrlListingPath(crl)));
    std::filesystem::remove(CrlListingPath(crl));

    // The disk fills up halfway (a file size limit stands in for it, since
    // tests may run as root, to whom permissions mean nothing).
    WriteText(CrlListingPath(crl), "old listing");
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 300;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    RecordingView second;
    try {
        ExportCrlListing(crl, record, second);
        ADD_FAILURE() << "no error raised";
    } catch (const Error& error) {
        EXPECT_TRUE(std::string(error.what()).starts_with("Не удается записать файл"))
            << error.what();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(second.Lines().size(), 2u);
    EXPECT_EQ(ReadText(CrlListingPath(crl)), "old listing");
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"crl-full.crl", "crl-full.crl.csv"}));
}

}  // namespace
}  // namespace velmora
