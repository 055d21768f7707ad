// The filled sample forms opened by an independent reader of the formats:
// LibreOffice converts each to PDF, and the PDF's text holds the values.
// Skipped where LibreOffice is not installed.

#include "print/forms/form_printer.h"
#include "report/fixture_files.h"
#include "support/scripted_dialogs.h"

#include "gui/test_files.h"
#include "print/print_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace velmora::print {
namespace {

namespace fs = std::filesystem;
using testing::DataFile;
using testing::DecodeFixture;

bool OnPath(const char* program) {
    return std::system(("command -v " + std::string(program) + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Quoted(const fs::path& path) {
    std::string quoted = "'";
    for (char c : path.string()) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

using LibreOffice = testing::TempFolderTest;

TEST_F(LibreOffice, ConvertsEveryFilledSampleToPdf) {
    if (!OnPath("soffice")) {
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    }
    testing::ScriptedDialogs dialogs;
    testing::RecordingOpener opener;
    FormPrinter printer(dialogs, opener, {{testing::TemplateFolder()}, folder_ / "forms"});
    fs::create_directories(folder_ / "forms");
    const TRCstruct certificate = DecodeFixture(DataFile("ee-256.cer"));
    const TRCstruct request = DecodeFixture(DataFile("req-full.req"));
    dialogs.messageAnswers = {MessageAnswer::Yes, MessageAnswer::No};
    printer.bPrintClick(certificate);
    printer.bPrintClick(certificate);
    printer.printVrsClick(certificate);
    printer.PrintotzyvCerClick(certificate);
    printer.WORD1Click(request);
    printer.Pr_ReQAPContClick(request);
    ASSERT_EQ(opener.opened.size(), 6u);

    std::string command = "soffice -env:UserInstallation=file://" + (folder_ / "profile").string() +
                          " --headless --convert-to pdf --outdir " + Quoted(folder_ / "pdf");
    for (const fs::path& form : opener.opened) {
        command += " " + Quoted(form);
    }
    ASSERT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0) << command;

    // What each form must show once rendered.
    const std::map<std::string, std::string> shown = {
        {"cer", "009C4E2A17B3D5F6071829"},
        {"cerUl", "1027700132195"},
        {"cervrs", "1.2.643.3.61.1.1.6.502710.3.4.1.7"},
        {"otzyv", "Иванов Иван Иванович"},
        {"keyexch1", "Управление Федерального казначейства"},
        {"reqAPkont", "Континент-АП"},
    };
    const bool pdftotext = OnPath("pdftotext");
    for (const fs::path& form : opener.opened) {
        const fs::path pdf = folder_ / "pdf" / (form.stem().string() + ".pdf");
        ASSERT_TRUE(fs::exists(pdf)) << pdf;
        EXPECT_TRUE(ReadText(pdf).starts_with("%PDF-")) << pdf;
        if (!pdftotext) {
            continue;
        }
        const fs::path text = folder_ / (form.stem().string() + ".txt");
        ASSERT_EQ(std::system(("pdftotext -enc UTF-8 " + Quoted(pdf) + " " + Quoted(text)).c_str()),
                  0);
        const std::string rendered = ReadText(text);
        EXPECT_NE(rendered.find(shown.at(form.stem().string())), std::string::npos) << pdf;
        EXPECT_EQ(rendered.find("<#"), std::string::npos) << pdf;
    }
}

}  // namespace
}  // namespace velmora::print
