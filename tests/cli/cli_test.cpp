#include "cli/cli_run.h"
#include "cli/console_view.h"
#include "cli/descriptor_output.h"
#include "encoding/atomic_file.h"
#include "print/package/zip_package.h"
#include "report/view/recording_view.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <unistd.h>

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;

fs::path Fixture(const std::string& name) {
    const char* folder = std::getenv("VELMORA_TEST_DATA");
    return fs::path(folder != nullptr ? folder : "tests/data") / name;
}

fs::path Golden(const std::string& name) {
    return fs::path(std::getenv("VELMORA_TEST_DATA")).parent_path() / "report" / "golden" / name;
}

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "velmora-cli-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempFolder() { fs::remove_all(path_); }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

class CliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("TZ", "Europe/Moscow", 1);
        tzset();
    }
};

// The marked output is the file name line followed by the very report the
// window shows, which the golden files hold (they start at the report).
TEST_F(CliTest, ReportPrintsTheFileNameThenTheWindowsReport) {
    for (const std::string name : {"ee-256", "req-full", "ee-2001"}) {
        const std::string ext = name.starts_with("req") ? ".req" : ".cer";
        const fs::path file = Fixture(name + ext);
        const CliRun marked = Cli({"--format=marked", "report", file.string()});
        EXPECT_EQ(marked.status, 0) << marked.err;
        EXPECT_EQ(marked.err, "");
        EXPECT_EQ(marked.out, "{P}" + file.string() + "\n" + ReadAll(Golden(name + ".txt")))
            << name;

        // Plain output: the same lines without the marks, a carriage return
        // inside a text ending the line.
        const CliRun plain = Cli({"report", file.string()});
        EXPECT_EQ(plain.status, 0);
        EXPECT_TRUE(plain.out.starts_with(file.string() + "\n")) << plain.out;
        EXPECT_EQ(plain.out.find('{'), std::string::npos) << name;
        EXPECT_EQ(plain.out.find('\r'), std::string::npos) << name;
    }
}

TEST_F(CliTest, UnsupportedOrMissingFilesFailWithTheMessage) {
    const fs::path crl = Fixture("crl-full.crl");
    const CliRun unsupported = Cli({"report", crl.string()});
    EXPECT_EQ(unsupported.status, 1);
    EXPECT_EQ(unsupported.out, crl.string() + "\nФайл не поддерживается\n");
    EXPECT_EQ(unsupported.err, "Ошибка: Файл не поддерживается\n");

    // A file that cannot be read ends the report the same way; the error
    // stream says which file and why: missing, no regular file, too large.
    TempFolder temp;
    const fs::path folder = temp.path() / "x.cer";
    fs::create_directory(folder);
    const fs::path big = temp.path() / "big.cer";
    fs::resize_file((std::ofstream(big), big), 2 * 1024 * 1024);
    const std::pair<fs::path, std::string> cases[] = {
        {Fixture("no-such-file.cer"), "Не удается найти указанный файл."},
        {folder, "Это папка, а не файл."},
        {"/dev/zero", "Это устройство, а не обычный файл."},
        {big, "Файл слишком велик: 2097152 байт, а допускается не более 1048576."},
    };
    for (const auto& [file, reason] : cases) {
        const CliRun run = Cli({"report", file.string()});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, file.string() + "\nФайл не поддерживается\n");
        EXPECT_EQ(run.err,
                  "Ошибка: Не удается прочитать файл \"" + file.string() + "\". " + reason + "\n");
    }
    // The CRL listing refuses what is no regular file before it reads it.
    const CliRun device = Cli({"crl", "/dev/urandom"});
    EXPECT_EQ(device.status, 1);
    EXPECT_NE(device.err.find("\"/dev/urandom\". Это устройство"), std::string::npos) << device.err;
}

// Several files: each report under its own name line, in the order given, as
// one run per file would print them; the status is 0 only when every file
// was reported.
TEST_F(CliTest, ReportTakesManyFiles) {
    const std::vector<std::string> files = {Fixture("ee-256.cer").string(),
                                            Fixture("req-full.req").string(),
                                            Fixture("ee-noext.cer").string()};
    std::string expected;
    for (const std::string& file : files) {
        expected += Cli({"--format=marked", "report", file}).out;
    }
    std::vector<std::string> args = {"--format=marked", "report"};
    args.insert(args.end(), files.begin(), files.end());
    const CliRun all = Cli(args);
    EXPECT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(all.out, expected);

    const std::string missing = Fixture("no-such-file.cer").string();
    const CliRun some = Cli({"report", files[0], missing, files[2]});
    EXPECT_EQ(some.status, 1);
    EXPECT_NE(some.out.find("\n" + missing + "\nФайл не поддерживается\n" + files[2] + "\n"),
              std::string::npos)
        << some.out;
    EXPECT_TRUE(some.out.starts_with(files[0] + "\n"));
    EXPECT_NE(some.err.find("\"" + missing + "\". Не удается найти указанный файл.\n"),
              std::string::npos)
        << some.err;
}

// A request whose subject does not decode is no request: one message, and
// the report's own lines end as for a file of the wrong kind.
TEST_F(CliTest, DamagedRequestGivesOneMessageAndNoReport) {
    std::string der = ReadAll(Fixture("req-full.req"));  // DER
    ASSERT_EQ(static_cast<unsigned char>(der[0]), 0x30);
    // Request, request info, version: the subject follows at offset 11; its
    // first relative name is a SET, here marked as not constructed.
    const unsigned char length = static_cast<unsigned char>(der[12]);
    const std::size_t first_rdn = 11 + 2 + ((length & 0x80) != 0 ? (length & 0x7F) : 0);
    ASSERT_EQ(static_cast<unsigned char>(der[first_rdn]), 0x31);
    der[first_rdn] = 0x11;
    TempFolder temp;
    const fs::path file = temp.path() / "damaged.req";
    std::ofstream(file, std::ios::binary) << der;
    const CliRun run = Cli({"report", file.string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, file.string() + "\nФайл не поддерживается\n");
    EXPECT_EQ(run.err, "Ошибка: Файл не поддерживается\n");
}

// A report that cannot be written out is lost: the run fails and says why.
TEST_F(CliTest, FailedWriteToStandardOutputIsAnError) {
    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    std::ostringstream err;
    EXPECT_EQ(RunCommandLineTo({"report", Fixture("ee-256.cer").string()}, full, err), 1);
    EXPECT_EQ(err.str(),
              "Ошибка: Не удается записать в стандартный вывод. Недостаточно места на диске.\n");
    ::close(full);

    // The same run into a working descriptor succeeds and writes it all.
    TempFolder temp;
    const fs::path file = temp.path() / "out.txt";
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    std::ostringstream no_err;
    EXPECT_EQ(RunCommandLineTo({"report", Fixture("ee-256.cer").string()}, fd, no_err), 0);
    ::close(fd);
    EXPECT_EQ(no_err.str(), "");
    EXPECT_EQ(ReadAll(file), Cli({"report", Fixture("ee-256.cer").string()}).out);
}

TEST_F(CliTest, CrlWritesTheListingBesideTheFileAndPrintsProgress) {
    TempFolder temp;
    const fs::path crl = temp.path() / "list.crl";
    fs::copy_file(Fixture("crl-full.crl"), crl);
    const CliRun run = Cli({"crl", crl.string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.out.starts_with("загрузка CRL - ")) << run.out;
    EXPECT_NE(run.out.find("\nсохранение результатов - "), std::string::npos);
    EXPECT_NE(run.out.find("\nДанные сохранены в " + crl.string() + ".csv в "), std::string::npos);
    EXPECT_EQ(ReadAll(temp.path() / "list.crl.csv"), ReadAll(Golden("crl-full.crl.csv")));

    // A PEM CRL is refused after the first progress line, and nothing is written.
    const fs::path pem = temp.path() / "pem.crl";
    fs::copy_file(Fixture("crl-full-pem.crl"), pem);
    const CliRun refused = Cli({"crl", pem.string()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.out.starts_with("загрузка CRL - "));
    EXPECT_EQ(refused.out.find("сохранение"), std::string::npos);
    EXPECT_NE(refused.err.find("CRL"), std::string::npos);
    EXPECT_FALSE(fs::exists(temp.path() / "pem.crl.csv"));

    // A CRL whose issuer is damaged gets the same one message, once.
    std::string bytes = ReadAll(Fixture("crl-full.crl"));
    bytes[56] = '\xFF';  // inside the issuer's UTF8String
    const fs::path damaged = temp.path() / "damaged.crl";
    std::ofstream(damaged, std::ios::binary) << bytes;
    const CliRun garbled = Cli({"crl", damaged.string()});
    EXPECT_EQ(garbled.status, 1);
    EXPECT_EQ(garbled.err, "Ошибка: файл не является списком отзыва сертификатов (CRL) в DER - " +
                               damaged.string() + "\n");
    EXPECT_EQ(garbled.out.find("сохранение"), std::string::npos);
    EXPECT_FALSE(fs::exists(temp.path() / "damaged.crl.csv"));
}

TEST_F(CliTest, ConversionsRoundTripAndRefuseWhatDoesNotDecode) {
    TempFolder temp;
    const fs::path b64 = temp.path() / "a.b64";
    const fs::path der = temp.path() / "a.der";
    CliRun run = Cli({"der2pem", Fixture("ee-256.cer").string(), b64.string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Создан файл - " + b64.string() + "\n");
    run = Cli({"pem2der", b64.string(), der.string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadAll(der), ReadAll(Fixture("ee-256.cer")));

    // DER is no base64: the conversion fails and the earlier target stays.
    run = Cli({"pem2der", Fixture("ee-512.cer").string(), der.string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("Ошибка"), std::string::npos);
    EXPECT_EQ(ReadAll(der), ReadAll(Fixture("ee-256.cer")));
}

TEST_F(CliTest, UsageErrorsHelpAndVersion) {
    EXPECT_EQ(Cli({}).status, 2);
    EXPECT_EQ(Cli({"frobnicate"}).status, 2);
    EXPECT_EQ(Cli({"report"}).status, 2);
    EXPECT_EQ(Cli({"pem2der", "a"}).status, 2);
    EXPECT_EQ(Cli({"--format=html", "report", "a"}).status, 2);
    const CliRun unknown = Cli({"report", "--frobnicate", "a"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(unknown.err.starts_with("Ошибка: неизвестный параметр --frobnicate\n"))
        << unknown.err;
    // The format may follow the command too.
    EXPECT_TRUE(
        Cli({"report", Fixture("ee-256.cer").string(), "--format=marked"}).out.starts_with("{P}"));

    const CliRun help = Cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("  report ФАЙЛ... "), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("  pem2der ИСХ ЦЕЛЬ "), std::string::npos);
    const CliRun command_help = Cli({"crl", "--help"});
    EXPECT_EQ(command_help.status, 0);
    EXPECT_TRUE(command_help.out.starts_with("Использование: velmora-cli crl ФАЙЛ\n"))
        << command_help.out;
    const CliRun version = Cli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.starts_with("velmora-cli ")) << version.out;
}

// Progress lines must be out before a long step runs, not when it ends.
TEST(ConsoleView, RepaintPrintsTheLineSoFarAndLaterRunsContinueIt) {
    std::ostringstream out;
    ConsoleView view(out, OutputFormat::Plain);
    AddReportLine(view, "загрузка", kBlack, FontStyle::Regular, 12);
    EXPECT_EQ(out.str(), "");
    view.Repaint();
    EXPECT_EQ(out.str(), "загрузка");
    AppendReportText(view, " и ещё", kBlack, FontStyle::Bold, 12);
    EXPECT_EQ(view.LastLineText(), "загрузка и ещё");
    // A value holding a CR LF, a lone CR or a lone LF breaks the line once.
    AddReportLine(view, "AA \r\nBB\rCC\nDD", kBlack, FontStyle::Bold, 10);
    EXPECT_EQ(view.LastLineText(), "DD");
    view.Finish();
    EXPECT_EQ(out.str(), "загрузка и ещё\nAA \nBB\nCC\nDD\n");
}

// The filled form's main part and the text of a part.
std::string FilledPart(const fs::path& file, const std::string& part) {
    const std::string bytes = ReadAll(file);
    return print::Package(AsBytes(bytes), file.string()).Read(part);
}

TEST_F(CliTest, PrintFillsAFormWithoutOpeningIt) {
    TempFolder temp;
    const fs::path templates = fs::path(std::getenv("VELMORA_TEMPLATES"));
    const fs::path sheet = temp.path() / "форма.xlsx";
    CliRun run = Cli({"print", (templates / "cerUl.xltx").string(), Fixture("ee-256.pem").string(),
                      sheet.string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Создан файл - " + sheet.string() + "\n");
    EXPECT_NE(FilledPart(sheet, "xl/worksheets/sheet1.xml").find("1027700132195"),
              std::string::npos);
    EXPECT_NE(FilledPart(sheet, "[Content_Types].xml").find("spreadsheetml.sheet.main"),
              std::string::npos);

    // A form by its name, looked for beside the program; saved under a
    // template's extension it stays a template.
    const fs::path kept = temp.path() / "заявление.dotx";
    run = Cli({"print", "KEYEXCH1", Fixture("req-full.p10").string(), kept.string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(FilledPart(kept, "word/document.xml").find("Иванов Иван Иванович"),
              std::string::npos);
    EXPECT_NE(FilledPart(kept, "[Content_Types].xml").find("wordprocessingml.template.main"),
              std::string::npos);

    const fs::path out = temp.path() / "out.docx";
    run = Cli({"print", "nope", Fixture("ee-256.cer").string(), out.string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Ошибка: Can't find the file \"nope\"\n");
    run = Cli({"print", "otzyv", Fixture("crl-full.crl").string(), out.string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "Ошибка: Файл не поддерживается - " + Fixture("crl-full.crl").string() + "\n");
    const fs::path nowhere = temp.path() / "no" / "out.docx";
    run = Cli({"print", "otzyv", Fixture("ee-256.cer").string(), nowhere.string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Ошибка: Не удалось создать файл - " + nowhere.string() + "\n");
    EXPECT_FALSE(fs::exists(out));
}

}  // namespace
}  // namespace velmora::cli
