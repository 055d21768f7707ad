// A request made by the request builder with every extension, read by the
// openssl command with the GOST engine (an independent implementation) and
// by our own report: the signature verifies, and every value entered shows.
#include "app/grid/grid_operations.h"
#include "app/request/request_builder.h"
#include "app/request/request_lists.h"
#include "crypto/platform/system/clock.h"
#include "encoding/atomic_file.h"
#include "report/build/build_report.h"
#include "report/record/decode_record.h"
#include "report/view/recording_view.h"
#include "support/key_folder.h"
#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>

namespace velmora {
namespace {

std::string RunShell(const std::string& command, int& status) {
    std::string output;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        status = -1;
        return output;
    }
    std::array<char, 4096> buffer;
    std::size_t read;
    while ((read = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        output.append(buffer.data(), read);
    }
    const int raw = pclose(pipe);
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return output;
}

TEST(RequestBuilderInterop, EveryExtensionVerifiesAndShowsInOpensslAndOurReport) {
    testing::ScopedKeyFolder keys;
    testing::ScriptedDialogs dialogs;
    platform::ScopedClockOverride clock(LocalToFileTime({2026, 12, 5, 6, 35, 39}));
    MemoryRequestGrids grids;
    RequestForm form(grids.Grids());
    RequestBuilder builder(form, {dialogs, keys.Root(), {}, {}});
    builder.PrepareToShow();
    builder.FormShow();  // no catalogue here: its message is shown, the grids are reset
    dialogs.messages.clear();

    form.Text("e_OGRN") = "1027700000000";
    form.Text("E_SNILS") = "12345678901";
    form.Text("e_INN") = "7701000000";
    form.Text("e_KPP") = "770101001";
    form.Text("e_CN") = "Сидоров Семён";
    form.Text("e_SURNAME") = "Сидоров";
    form.Text("e_GIVEN_NAME") = "Семён Семёнович";
    form.Text("E_COUNTRY_NAME") = "RU";
    form.Text("e_email") = "sidorov@example.ru";
    form.Text("e_region") = "77 г. Москва";
    form.Text("e_locality") = "Москва";
    form.Text("e_dolgn") = "Бухгалтер";
    form.Text("e_podr") = "Отдел учёта";
    form.Text("e_login_asfk") = "sidorov";
    form.Text("TITLE_ASFK") = std::string(request::kAsfkTitleEntries[9]);
    form.Text("ContName") = "interop";
    builder.Timer1Timer();
    builder.applyClick();
    builder.TRee_KEYUSAGEClick({}, true, true);  // nothing: no path
    PutGridRowByKey(form.grids.GridKEYUSAGE, 0, {"1.3.6.1.5.5.7.3.2", "Клиент"});
    builder.add_SG_CertPolicyClick(std::string(request::kPolicyOidEntries[0]));
    for (const char* box : {"CB_SUBJECT_ALT_NAME2", "CB_KEY_ATTRIBUTES", "CB_KEY_USAGE",
                            "CB_ENHANCED_KEY_USAGE", "CB_CERT_POLICIES", "CB_S_EP"}) {
        form.Check(box) = true;
    }
    form.keyUse[0].checked = form.keyUse[1].checked = form.keyUse[7].checked = true;
    form.attrKeyUse[0].checked = true;
    const std::filesystem::path out = keys.Root() / "interop.req";
    dialogs.saveAnswers = {out};
    ASSERT_TRUE(builder.req_saveClick());
    EXPECT_TRUE(dialogs.messages.empty());

    int status = 0;
    const std::string file = "'" + out.string() + "'";
    const std::string verified =
        RunShell("openssl req -engine gost -in " + file + " -inform DER -verify -noout", status);
    EXPECT_EQ(status, 0) << verified;
    EXPECT_NE(verified.find("verify OK"), std::string::npos) << verified;
    const std::string text =
        RunShell("openssl req -engine gost -in " + file +
                     " -inform DER -noout -text -nameopt utf8,sep_comma_plus_space",
                 status);
    EXPECT_EQ(status, 0) << text;
    for (const char* expected :
         {"1.2.372.980001.8.4.1=1.2.643.100.1=1027700000000;1.2.643.100.3=12345678901;"
          "1.2.643.3.131.1.1=7701000000",
          "CN=Сидоров Семён", "GN=Семён Семёнович", "C=RU", "emailAddress=sidorov@example.ru",
          "unstructuredName=1.2.643.3.61.1.1.6.502710.3.4.2.3", "ST=77 г. Москва",
          "X509v3 Key Usage: critical", "Digital Signature, Non Repudiation, Decipher Only",
          "X509v3 Subject Alternative Name:", "othername: 1.2.643.3.61.502710.1.7",
          "X509v3 Extended Key Usage:", "TLS Web Client Authentication",
          "X509v3 Certificate Policies:", "2.5.29.2:", "GOST R 34.10-2001",
          "Signing Tool of Subject:"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    }
    // Only the key usage is critical.
    EXPECT_EQ(text.find("critical"), text.rfind("critical"));

    TRCstruct record;
    ASSERT_TRUE(DecodeRequest(record, ReadFileBytes(out).value()));
    RecordingView view;
    BuildReport(record, view);
    const std::string report = view.PlainText();
    for (const std::string& value :
         {form.Text("e_OGRN"), form.Text("E_SNILS"), form.Text("e_INN"), form.Text("e_KPP"),
          form.Text("e_CN"), form.Text("e_GIVEN_NAME"), form.Text("e_email"), form.Text("e_region"),
          form.Text("e_locality"), form.Text("e_dolgn"), form.Text("e_podr"),
          form.Text("e_login_asfk"), std::string("1205063539"),
          std::string("1.2.643.3.61.1.1.6.502710.3.4.2.3"), std::string("1.3.6.1.5.5.7.3.2"),
          std::string("1.2.643.100.113.1"), form.Text("e_SrEP")}) {
        EXPECT_NE(report.find(value), std::string::npos) << value << "\n" << report;
    }
    EXPECT_EQ(record.SignatureCheck, "Подпись соответствует открытому ключу");
}

}  // namespace
}  // namespace velmora
