// The print commands over the sample templates: each form filled from a
// fixture, written to a folder of its own and handed to the opener; the
// question of "в Excel"; where templates are looked for; and templates that
// are missing, damaged or hostile, which write nothing.

#include "print/forms/form_printer.h"
#include "encoding/error.h"
#include "print/tables/certificate_tables.h"
#include "report/fixture_files.h"
#include "support/scripted_dialogs.h"

#include "gui/test_files.h"
#include "print/print_support.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <string>

namespace velmora::print {
namespace {

namespace fs = std::filesystem;
using testing::DataFile;
using testing::DecodeFixture;
using testing::ReadBack;
using testing::RecordingOpener;
using testing::ScriptedDialogs;
using testing::TemplateFolder;

class FormPrinterTest : public testing::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        fs::create_directories(output());
    }
    fs::path output() const { return folder_ / "out"; }
    FormPrinter Printer(std::vector<fs::path> folders = {TemplateFolder()}) {
        return FormPrinter(dialogs_, opener_, {std::move(folders), output()});
    }
    bool NothingWritten() const { return fs::is_empty(output()) && opener_.opened.empty(); }
    std::string Failure(const std::function<void()>& print) {
        try {
            print();
        } catch (const Error& error) {
            return error.what();
        }
        return "";
    }

    ScriptedDialogs dialogs_;
    RecordingOpener opener_;
};

mode_t Mode(const fs::path& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 0777;
}

// Every text of a part of the filled copy, tags and all.
std::string Part(const fs::path& copy, const std::string& part) {
    return ReadBack(testing::ReadFileBytes(copy)).Text(part);
}

TEST_F(FormPrinterTest, SpreadsheetFormsHoldEveryValueAndARowPerRecord) {
    const TRCstruct certificate = DecodeFixture(DataFile("ee-256.cer"));
    FormPrinter printer = Printer();
    const auto before = testing::ReadFileBytes(TemplateFolder() / "cer.xltx");
    dialogs_.messageAnswers = {MessageAnswer::Yes, MessageAnswer::No};
    printer.bPrintClick(certificate);
    printer.bPrintClick(certificate);
    printer.printVrsClick(certificate);

    ASSERT_EQ(opener_.opened.size(), 3u);
    std::vector<std::string> names;
    for (const fs::path& copy : opener_.opened) {
        names.push_back(copy.filename().string());
        // Each copy in a folder of its own that only the user may enter.
        EXPECT_EQ(copy.parent_path().parent_path(), output());
        EXPECT_EQ(Mode(copy.parent_path()), 0700u);
        EXPECT_EQ(Mode(copy), 0600u);
        const std::string sheet = Part(copy, "xl/worksheets/sheet1.xml");
        EXPECT_EQ(sheet.find("&lt;#"), std::string::npos) << names.back();
        for (const char* value :
             {"009C4E2A17B3D5F6071829", "1.2.643.3.61.1.1.6.502710.3.4.1.7", "1.2.643.2.99.2",
              "Класс средства ЭП КС2", "Тестовый подчинённый УЦ Velmora"}) {
            EXPECT_NE(sheet.find(value), std::string::npos) << names.back() << ": " << value;
        }
        // The layout's own parts are the template's.
        EXPECT_EQ(Part(copy, "xl/styles.xml"),
                  Part(TemplateFolder() / (copy.stem().string() + ".xltx"), "xl/styles.xml"));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"cer.xlsx", "cerUl.xlsx", "cervrs.xlsx"}));
    ASSERT_EQ(dialogs_.messages.size(), 2u);
    EXPECT_EQ(dialogs_.messages[0].text, "Для физ.лица?");
    EXPECT_EQ(dialogs_.messages[0].caption, "Velmora");
    EXPECT_EQ(dialogs_.messages[0].icon, MessageIcon::Question);
    EXPECT_EQ(dialogs_.messages[0].buttons, MessageButtons::YesNo);
    // The ОГРН column is only on the legal entity's form.
    EXPECT_EQ(Part(opener_.opened[0], "xl/worksheets/sheet1.xml").find("1027700132195"),
              std::string::npos);
    EXPECT_NE(Part(opener_.opened[1], "xl/worksheets/sheet1.xml").find("1027700132195"),
              std::string::npos);
    EXPECT_EQ(testing::ReadFileBytes(TemplateFolder() / "cer.xltx"), before);

    // A second print keeps nothing of the first: a certificate without
    // extensions leaves the repeated rows out.
    printer.printVrsClick(DecodeFixture(DataFile("ee-noext.cer")));
    EXPECT_EQ(printer.Tables().Find(kOblIsp)->RecordCount(), 0u);
    const std::string sheet = Part(opener_.opened.back(), "xl/worksheets/sheet1.xml");
    EXPECT_EQ(sheet.find("1.2.643.2.99.2"), std::string::npos);
    EXPECT_EQ(sheet.find("Класс средства"), std::string::npos);
}

// The bookmarks left in a filled document, and its text.
std::pair<std::vector<std::string>, std::string> Bookmarks(const fs::path& copy,
                                                           const std::string& part) {
    const auto xml = ReadBack(testing::ReadFileBytes(copy)).Xml(part);
    std::vector<std::string> names;
    for (pugi::xpath_node mark : xml->select_nodes("//w:bookmarkStart")) {
        names.push_back(mark.node().attribute("w:name").value());
    }
    std::string text;
    for (const std::string& piece : testing::Texts(xml->document_element(), "w:t")) {
        text += piece;
    }
    return {names, text};
}

TEST_F(FormPrinterTest, WordFormsHaveEveryPlaceholderFilled) {
    const TRCstruct request = DecodeFixture(DataFile("req-full.req"));
    const TRCstruct certificate = DecodeFixture(DataFile("ee-256.cer"));
    FormPrinter printer = Printer();
    printer.WORD1Click(request);
    printer.PrintotzyvCerClick(certificate);
    printer.Pr_ReQAPContClick(request);
    ASSERT_EQ(opener_.opened.size(), 3u);

    const auto [requestMarks, requestText] = Bookmarks(opener_.opened[0], "word/document.xml");
    EXPECT_EQ(opener_.opened[0].filename(), "keyexch1.docx");
    EXPECT_EQ(requestMarks, std::vector<std::string>{"Подпись"});
    EXPECT_EQ(requestText.find("[ФИО]"), std::string::npos);
    for (const char* value :
         {"Управление Федерального казначейства по г. Москве (ОГРН, ИНН: 1027700132195, "
          "007710474375), в лице Иванов Иван Иванович,",
          "(место для отметки УЦ)", "- Сертификат предназначен для ППО \"АСФК\"",
          "07 34 82 E8 A2 78 FE 42"}) {
        EXPECT_NE(requestText.find(value), std::string::npos) << value;
    }
    EXPECT_NE(Bookmarks(opener_.opened[0], "word/footer1.xml").second.find("Иванов Иван Иванович"),
              std::string::npos);

    const auto [revocationMarks, revocationText] =
        Bookmarks(opener_.opened[1], "word/document.xml");
    EXPECT_EQ(opener_.opened[1].filename(), "otzyv.docx");
    EXPECT_TRUE(revocationMarks.empty());
    EXPECT_NE(revocationText.find("009C4E2A17B3D5F6071829"), std::string::npos);
    EXPECT_NE(
        Bookmarks(opener_.opened[1], "word/footer1.xml").second.find("009C4E2A17B3D5F6071829"),
        std::string::npos);

    const auto [accessMarks, accessText] = Bookmarks(opener_.opened[2], "word/document.xml");
    EXPECT_EQ(accessMarks, (std::vector<std::string>{"ТИП_АП", "КОЛИЧЕСТВО"}));
    EXPECT_EQ(accessText.find('['), std::string::npos);
    // A filled template is a document.
    EXPECT_NE(
        Part(opener_.opened[2], "[Content_Types].xml").find("wordprocessingml.document.main+xml"),
        std::string::npos);
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(FormPrinterTest, TemplatesBesideTheProgramComeFirst) {
    const fs::path beside = folder_ / "bin";
    const fs::path data = folder_ / "share";
    fs::create_directories(beside);
    fs::create_directories(data);
    fs::copy_file(TemplateFolder() / "cervrs.xltx", data / "cervrs.xltx");
    FormPrinter printer = Printer({beside, data});
    const TRCstruct certificate = DecodeFixture(DataFile("ee-512.cer"));
    printer.printVrsClick(certificate);
    EXPECT_EQ(opener_.opened.back().filename(), "cervrs.xlsx");

    // A customer's template converted to Office Open XML under its old name.
    fs::copy_file(TemplateFolder() / "cer.xltx", beside / "cervrs.xls");
    printer.printVrsClick(certificate);
    EXPECT_NE(Part(opener_.opened.back(), "xl/sharedStrings.xml").find("СЕРТИФИКАТ КЛЮЧА"),
              std::string::npos);

    // Still in the old binary format: said so.
    testing::WriteAll(beside / "cervrs.xls", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
    EXPECT_EQ(Failure([&] { printer.printVrsClick(certificate); }),
              "Шаблон " + (beside / "cervrs.xls").string() +
                  " сохранён в двоичном формате Office 97-2003; сохраните его в формате Office "
                  "Open XML (.xltx, .xlsx, .dotx или .docx)");
    EXPECT_EQ(opener_.opened.size(), 2u);
}

TEST_F(FormPrinterTest, MissingDamagedAndHostileTemplatesWriteNothing) {
    const TRCstruct certificate = DecodeFixture(DataFile("ee-256.cer"));
    FormPrinter nowhere = Printer({folder_ / "none"});
    dialogs_.messageAnswers = {MessageAnswer::Yes};
    EXPECT_EQ(Failure([&] { nowhere.bPrintClick(certificate); }),
              "Can't find the file \"cer.xltx\"");
    // The tables were filled before the template was looked for.
    EXPECT_EQ(nowhere.Tables().Find(kOblIsp)->RecordCount(), 6u);
    EXPECT_EQ(Failure([&] { nowhere.PrintotzyvCerClick(certificate); }),
              "Can't find the file \"otzyv.dotx\"");
    EXPECT_EQ(Failure([&] { nowhere.WORD1Click(certificate); }),
              "Can't find the file \"keyexch1.dotx\"");

    const fs::path bad = folder_ / "bad";
    fs::create_directories(bad);
    FormPrinter printer = Printer({bad});
    testing::WriteAll(bad / "otzyv.dotx", "Это не архив, а текст.\n");
    EXPECT_EQ(Failure([&] { printer.PrintotzyvCerClick(certificate); }),
              "Шаблон " + (bad / "otzyv.dotx").string() +
                  " не является документом Office Open XML (архивом zip)");

    // Four megabytes of zeros pack into a few kilobytes: a zip bomb.
    testing::Parts bomb = testing::PackageFrame(false, true);
    bomb.push_back({"word/document.xml", std::string(4u << 20, '\0')});
    const Bytes zip = testing::MakeZip(bomb);
    std::ofstream(bad / "otzyv.dotx", std::ios::binary)
        .write(reinterpret_cast<const char*>(zip.data()), static_cast<std::streamsize>(zip.size()));
    const std::string refused = Failure([&] { printer.PrintotzyvCerClick(certificate); });
    EXPECT_TRUE(refused.starts_with("Шаблон " + (bad / "otzyv.dotx").string() +
                                    " отклонён: часть word/document.xml сжата в "))
        << refused;

    // Well-formed but not XML where XML must be.
    testing::Parts broken = testing::PackageFrame(false, true);
    broken.push_back({"word/document.xml", "<w:document><w:body></w:document>"});
    const Bytes brokenZip = testing::MakeZip(broken);
    std::ofstream(bad / "otzyv.dotx", std::ios::binary)
        .write(reinterpret_cast<const char*>(brokenZip.data()),
               static_cast<std::streamsize>(brokenZip.size()));
    EXPECT_TRUE(Failure([&] { printer.PrintotzyvCerClick(certificate); })
                    .starts_with("Шаблон " + (bad / "otzyv.dotx").string() +
                                 " повреждён: часть word/document.xml не является правильным XML"));
    EXPECT_TRUE(NothingWritten());
}

TEST_F(FormPrinterTest, AFailedOpeningIsReportedAndTheCopyStays) {
    opener_.failure = "не удалось запустить xdg-open: No such file or directory";
    FormPrinter printer = Printer();
    printer.printVrsClick(DecodeFixture(DataFile("ee-256.cer")));
    printer.WORD1Click(DecodeFixture(DataFile("req-full.req")));
    ASSERT_EQ(opener_.opened.size(), 2u);
    ASSERT_EQ(dialogs_.messages.size(), 2u);
    EXPECT_EQ(dialogs_.ErrorTexts(),
              std::vector<std::string>{"Не удалось открыть файл " + opener_.opened[0].string() +
                                       ": " + *opener_.failure});
    EXPECT_EQ(dialogs_.messages[1].text, "Не удалось запустить Word!\r\nНе удалось открыть файл " +
                                             opener_.opened[1].string() + ": " + *opener_.failure);
    EXPECT_EQ(dialogs_.messages[1].caption, "Velmora");
    EXPECT_EQ(dialogs_.messages[1].icon, MessageIcon::None);
    EXPECT_TRUE(fs::exists(opener_.opened[0]));
    EXPECT_TRUE(fs::exists(opener_.opened[1]));
}

}  // namespace
}  // namespace velmora::print
