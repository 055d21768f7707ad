// The request builder's form model: the apply step, the timer, the grids'
// buttons, the catalogue tree and the form file, all without a window.
#include "app/grid/grid_operations.h"
#include "app/request/oid_catalogue.h"
#include "app/request/request_builder.h"
#include "app/request/request_form_file.h"
#include "app/request/request_generation.h"
#include "crypto/platform/system/clock.h"
#include "encoding/date_time.h"
#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

#include "encoding/temp_folder.h"

namespace velmora {
namespace {

using Texts = std::vector<std::string>;
using testing::ScriptedDialogs;
using testing::TempFolder;

std::vector<Texts> Rows(const StringGrid& grid) {
    std::vector<Texts> rows;
    if (!grid.Enabled()) {
        return rows;
    }
    for (int row = 1; row < grid.RowCount(); ++row) {
        Texts texts;
        for (int column = 0; column < grid.ColumnCount(); ++column) {
            texts.push_back(grid.Cell(row, column));
        }
        rows.push_back(texts);
    }
    return rows;
}

// A builder over memory grids whose start folder is a temporary folder and
// which has no program folders of its own.
class RequestFormTest : public ::testing::Test {
  protected:
    RequestFormTest() : form_(grids_.Grids()), builder_(form_, {dialogs_, folder_.path(), {}, {}}) {
        folder_.Write("OID.csv", "A|B|1.2.3|\n");
        builder_.FormShow();
    }

    TempFolder folder_;
    ScriptedDialogs dialogs_;
    MemoryRequestGrids grids_;
    RequestForm form_;
    RequestBuilder builder_;
};

TEST_F(RequestFormTest, ApplyPutsEachFieldOnceAndRemovesEmptiedOnes) {
    form_.Text("e_OGRN") = "1027700000000";
    form_.Text("e_INN") = "7701000000";
    form_.Text("e_CN") = "Иванов Иван";
    form_.Text("e_SPZ") = "01234";
    form_.Text("TITLE_ASFK") = "Главный бухгалтер (1.2.643.3.61.1.1.6.502710.3.4.2.3)";
    form_.Text("IDENTIFY_KEY") = "1205063539";
    builder_.applyClick();
    const auto subject = Rows(form_.grids.SUB_RDN);
    ASSERT_EQ(subject.size(), 3u);
    EXPECT_EQ(subject[0], (Texts{"1.2.372.980001.8.4.1",
                                 "1.2.643.100.1=1027700000000;1.2.643.3.131.1.1=7701000000",
                                 "ОГРН,СНИЛС,ИНН"}));
    EXPECT_EQ(subject[1][0], "1.2.840.113549.1.9.2");
    EXPECT_EQ(subject[1][1], "1.2.643.3.61.1.1.6.502710.3.4.2.3");
    EXPECT_TRUE(subject[1][2].starts_with("Должность АСФК-"));
    EXPECT_EQ(subject[2], (Texts{"2.5.4.3", "Иванов Иван", "Обобщённое имя (COMMON NAME)"}));
    EXPECT_EQ(Rows(form_.grids.SG_ALTNAME),
              (std::vector<Texts>{{"1.2.643.3.61.502710.1.5", "01234", "1.2.643.3.61.502710.1.5"},
                                  {"2.5.4.12", "1205063539", "T"}}));

    // Applying again rewrites in place; a value changed keeps its row's place.
    form_.Text("e_INN") = "";
    form_.Text("E_SNILS") = "12345678901";
    builder_.applyClick();
    builder_.applyClick();
    EXPECT_EQ(Rows(form_.grids.SUB_RDN)[0][1],
              "1.2.643.100.1=1027700000000;1.2.643.100.3=12345678901");
    EXPECT_EQ(Rows(form_.grids.SUB_RDN).size(), 3u);

    // A row added by hand with the e-mail OID goes with the emptied field;
    // clearing the three identifiers removes the composite row.
    builder_.ADD_RDNClick("Адрес электронной почты(1.2.840.113549.1.9.1)");
    form_.Text("e_OGRN") = form_.Text("E_SNILS") = "";
    builder_.applyClick();
    for (const Texts& row : Rows(form_.grids.SUB_RDN)) {
        EXPECT_NE(row[0], "1.2.840.113549.1.9.1");
        EXPECT_NE(row[0], "1.2.372.980001.8.4.1");
    }
}

TEST_F(RequestFormTest, ButtonsKeepValuesAndIncludeBoxesFollowTheirGrids) {
    builder_.ADD_RDNClick("Должность(2.5.4.12)");
    EXPECT_EQ(Rows(form_.grids.SUB_RDN)[0], (Texts{"2.5.4.12", "введите значение", "Должность"}));
    form_.grids.SUB_RDN.SetCell(1, 1, "Бухгалтер");
    form_.grids.SUB_RDN.SetSelectedRow(1);
    builder_.Set_SG_RDNClick("Описание(2.5.4.13) ");
    EXPECT_EQ(Rows(form_.grids.SUB_RDN)[0][0], "2.5.4.13");
    EXPECT_EQ(Rows(form_.grids.SUB_RDN)[0][1], "Бухгалтер");

    builder_.add_SG_ALTNAMEClick("Идентификатор ключей при смене(2.5.4.12)");
    EXPECT_EQ(Rows(form_.grids.SG_ALTNAME)[0][2], "Должность");
    EXPECT_FALSE(form_.Check("CB_SUBJECT_ALT_NAME2"));
    form_.Check("CB_SUBJECT_ALT_NAME2") = true;
    form_.grids.SG_ALTNAME.SetSelectedRow(1);
    builder_.del_SG_ALTNAMEClick();
    EXPECT_FALSE(form_.grids.SG_ALTNAME.Enabled());
    EXPECT_FALSE(form_.Check("CB_SUBJECT_ALT_NAME2"));

    builder_.add_SG_CertPolicyClick("Класс средства ЭП КС2(1.2.643.100.113.2)");
    builder_.add_SG_CertPolicyClick("Класс средства ЭП КС2(1.2.643.100.113.2)");
    EXPECT_EQ(Rows(form_.grids.SG_CertPolicy),
              (std::vector<Texts>{{"1.2.643.100.113.2", "Класс средства ЭП КС2"}}));
    EXPECT_TRUE(form_.Check("CB_CERT_POLICIES"));

    // "Добавить" on the usage page adds a blank row even under the blank row
    // of an empty grid.
    builder_.add_GridKEYUSAGEClick();
    EXPECT_EQ(form_.grids.GridKEYUSAGE.RowCount(), 3);
    EXPECT_TRUE(form_.Check("CB_ENHANCED_KEY_USAGE"));
}

TEST_F(RequestFormTest, CatalogueLeavesFillTheUsageGridAndInnerNodesDoNothing) {
    ASSERT_EQ(builder_.Catalogue().Roots().size(), 1u);
    EXPECT_EQ(builder_.Catalogue().Roots()[0].Children()[0].Caption(), "B");
    builder_.TRee_KEYUSAGEClick({"A", "B"}, true, true);
    EXPECT_EQ(Rows(form_.grids.GridKEYUSAGE), (std::vector<Texts>{{"1.2.3", "B"}}));
    EXPECT_TRUE(form_.Check("CB_ENHANCED_KEY_USAGE"));
    builder_.TRee_KEYUSAGEClick({"A", "B"}, true, false);
    EXPECT_FALSE(form_.grids.GridKEYUSAGE.Enabled());
    EXPECT_FALSE(form_.Check("CB_ENHANCED_KEY_USAGE"));

    // B becomes an inner node: clicking it does nothing. A second showing
    // adds only the new node and keeps the tree.
    folder_.Write("OID.csv", "A|B|1.1|\r\nA|B|C|1.2|\r\n");
    ASSERT_TRUE(builder_.FormShow());
    const CatalogueNode& b = builder_.Catalogue().Roots()[0].Children()[0];
    ASSERT_EQ(b.Children().size(), 1u);
    EXPECT_EQ(builder_.Catalogue().NodeCount(), 3u);
    builder_.TRee_KEYUSAGEClick({"A", "B"}, b.IsLeaf(), true);
    EXPECT_FALSE(form_.grids.GridKEYUSAGE.Enabled());
    builder_.TRee_KEYUSAGEClick({"A", "B", "C"}, true, true);
    builder_.TRee_KEYUSAGEClick({"A", "B", "X"}, true, true);  // no longer in the file
    EXPECT_EQ(Rows(form_.grids.GridKEYUSAGE), (std::vector<Texts>{{"1.2", "C"}}));

    // The catalogue's faults leave the tree as it was, with their messages.
    folder_.Write("OID.csv", "A|B|1.1|\n\nA|D|1.3|\n");
    EXPECT_FALSE(builder_.FormShow());
    folder_.Write("OID.csv", "A||1.1|\n");
    EXPECT_FALSE(builder_.FormShow());
    std::filesystem::remove(folder_ / "OID.csv");
    EXPECT_FALSE(builder_.FormShow());
    const auto errors = dialogs_.ErrorTexts();
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_EQ(errors[0], "Не все строки завершены символом \"|\"");
    EXPECT_EQ(errors[1], "Имеются пустые поля");
    EXPECT_NE(errors[2].find("OID.csv"), std::string::npos);
    EXPECT_EQ(builder_.Catalogue().NodeCount(), 3u);
}

TEST(RequestCatalogue, StartFolderFirstThenProgramFoldersAndWindows1251) {
    TempFolder start;
    TempFolder program;
    const std::vector<std::filesystem::path> folders = {program.path()};
    EXPECT_EQ(FindCatalogue(start.path(), folders), start / "OID.csv");
    program.Write("OID.csv", "\xC3\xF0\xF3\xEF\xEF\xE0|\xCB\xE8\xF1\xF2|1.2|\r\n");
    EXPECT_EQ(FindCatalogue(start.path(), folders), program / "OID.csv");
    std::string error;
    const auto lines = ReadCatalogue(program / "OID.csv", error);
    ASSERT_TRUE(lines);
    CatalogueTree tree;
    tree.AddLines(*lines);
    EXPECT_EQ(tree.Roots()[0].Caption(), "Группа");
    EXPECT_EQ(CatalogueOid(*lines, std::vector<std::string>{"Группа", "Лист"}), "1.2");
    // The leaf's own line gives its OID, not an earlier shorter line whose
    // OID is the leaf's caption.
    const std::vector<std::string> shared = {"A|B|", "A|B|1.2|"};
    EXPECT_EQ(CatalogueOid(shared, std::vector<std::string>{"A", "B"}), "1.2");
    start.Write("OID.csv", "X|1.9|\n");
    EXPECT_EQ(FindCatalogue(start.path(), folders), start / "OID.csv");
}

TEST_F(RequestFormTest, TimerStampsTheKeyIdentifierInLocalTime) {
    // 6 December 00:00:01 Moscow time (the tests' zone) is 5 December 21:00:01 UTC.
    platform::ScopedClockOverride clock(LocalToFileTime({2026, 12, 6, 0, 0, 1}));
    builder_.Timer1Timer();
    EXPECT_EQ(form_.Text("IDENTIFY_KEY"), "1206000001");
    EXPECT_EQ(form_.Text("attr_NotBefore"), "06.12.2026 00:00:01");
    EXPECT_EQ(form_.Text("attr_NotAfter"), "05.12.2027 00:00:01");
    EXPECT_EQ(Rows(form_.grids.SG_ALTNAME)[0][1], "1206000001");
    clock.Set(LocalToFileTime({2028, 2, 29, 6, 35, 39}));
    builder_.Timer1Timer();
    EXPECT_EQ(form_.Text("IDENTIFY_KEY"), "229063539");
    EXPECT_EQ(form_.Text("attr_NotAfter"), "27.02.2029 06:35:39");
    EXPECT_EQ(Rows(form_.grids.SG_ALTNAME).size(), 1u);
}

TEST_F(RequestFormTest, ContainerNameAndKeyUsageBits) {
    form_.Text("ContName") = "user";
    form_.Text("IDENTIFY_KEY") = "1205063539";
    EXPECT_EQ(RequestContainerName(form_), "user");
    form_.Check("addContName") = true;
    EXPECT_EQ(RequestContainerName(form_), "user 1205063539");
    form_.Text("IDENTIFY_KEY") = "";
    EXPECT_EQ(RequestContainerName(form_), "user ");
    form_.Text("ContName") = "";
    EXPECT_EQ(RequestContainerName(form_), "");

    form_.keyUse[0].checked = form_.keyUse[1].checked = true;
    EXPECT_EQ(KeyUsageBits(form_.keyUse).bytes, (Bytes{0xC0}));
    EXPECT_EQ(KeyUsageBits(form_.keyUse).unusedBits, 1);
    form_.keyUse[7].checked = true;
    EXPECT_EQ(KeyUsageBits(form_.keyUse).bytes, (Bytes{0xC0, 0x80}));
    EXPECT_EQ(KeyUsageBits(form_.keyUse).unusedBits, 2);
}

TEST_F(RequestFormTest, FormTextRoundTripsEveryControl) {
    form_.providers = {"[75] Первый", "[80] Второй"};
    form_.selectedProvider = 1;
    form_.Text("Org") = "ООО \"Ромашка\"\nвторая строка \\ с чертой";
    form_.Text("e_CN") = "Иванов | Иван";
    form_.Check("CB_KEY_USAGE") = true;
    form_.keyUse[6].checked = true;
    form_.attrKeyUse[7].checked = true;
    AppendGridRow(form_.grids.SUB_RDN, {"2.5.4.3", "a|b\\c", "Обобщённое имя"}, false);
    AppendGridRow(form_.grids.SG_CertPolicy, {"1.2.643.100.113.1", ""}, false);
    const std::string text = WriteFormText(form_);

    MemoryRequestGrids other_grids;
    RequestForm other(other_grids.Grids());
    other.providers = form_.providers;
    std::string error;
    ASSERT_TRUE(ReadFormText(Bytes(text.begin(), text.end()), other, error)) << error;
    EXPECT_EQ(WriteFormText(other), text);
    EXPECT_EQ(other.Text("Org"), form_.Text("Org"));
    EXPECT_EQ(other.grids.SUB_RDN.Cell(1, 1), "a|b\\c");
    EXPECT_EQ(other.selectedProvider, 1);
    EXPECT_TRUE(other.keyUse[6].checked);
    EXPECT_FALSE(other.keyUse[0].checked);

    const struct {
        std::string text;
        std::string message;
    } bad[] = {
        {"e_CN", "строка 1: нет знака \"=\" после имени поля"},
        {"# x\n\ne_XX=1", "строка 3: неизвестное поле e_XX"},
        {"Label16=1", "строка 1: неизвестное поле Label16"},
        {"e_CN=a\ne_CN=b", "строка 2: поле e_CN указано дважды"},
        {"CB_KEY_USAGE=да", "строка 1: флажок CB_KEY_USAGE принимает значения 1 или 0"},
        {"e_CN=a\\x", "строка 1: неверная escape-последовательность в значении поля e_CN"},
        {"e_CN=a\\", "строка 1: неверная escape-последовательность в значении поля e_CN"},
        {"SG_CertPolicy=1|2|3",
         "строка 1: в строке таблицы SG_CertPolicy больше ячеек, чем столбцов"},
        {"KeyUse=Всё", "строка 1: неизвестное назначение ключа \"Всё\""},
        {"SetCsp=[1] Нет", "строка 1: криптопровайдер \"[1] Нет\" не установлен"},
    };
    for (const auto& [input, message] : bad) {
        EXPECT_FALSE(ReadFormText(Bytes(input.begin(), input.end()), other, error)) << input;
        EXPECT_EQ(error, message);
    }
}

}  // namespace
}  // namespace velmora
