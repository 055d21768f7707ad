// The request builder window on the offscreen platform: its pages and lists,
// the apply step and the timer through the widgets, the catalogue tree, and
// a request loaded and saved again in the same container.
#include "ui/request/request_window.h"
#include "app/qt/main_window.h"
#include "crypto/platform/asn1/decode_signed_content.h"
#include "crypto/platform/keys/providers.h"
#include "crypto/platform/system/clock.h"
#include "encoding/atomic_file.h"
#include "gui/test_files.h"
#include "support/key_folder.h"
#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <fstream>
#include <iterator>

namespace velmora {
namespace {

using velmora::testing::ScriptedDialogs;

std::string Text(const QString& text) {
    return text.toStdString();
}

// The grid's data rows as "OID=value" (or "OID" for two columns).
std::vector<std::string> Rows(const QTableWidget* table) {
    std::vector<std::string> rows;
    if (!table->isEnabled()) {
        return rows;
    }
    for (int row = 0; row < table->rowCount(); ++row) {
        const auto cell = [&](int column) {
            const QTableWidgetItem* item = table->item(row, column);
            return item != nullptr ? Text(item->text()) : std::string();
        };
        rows.push_back(table->columnCount() == 3 ? cell(0) + "=" + cell(1) : cell(0));
    }
    return rows;
}

class RequestWindowTest : public velmora::testing::TempFolderTest {
  protected:
    // The window over a catalogue of its own in the start folder.
    TNew_req& Window(const std::string& catalogue = "Группа|Подгруппа|Назначение|1.2.3.4|\n") {
        velmora::testing::WriteAll(folder_ / "OID.csv", catalogue);
        window_ = std::make_unique<TNew_req>(dialogs_, folder_, [] { return "5.0 КС1"; });
        return *window_;
    }

    void Type(TNew_req& window, const char* edit, const QString& text) {
        QLineEdit* field = window.Edit(edit);
        field->clear();
        // The test's key table knows Latin keys only.
        if (text.toLatin1() == text.toUtf8()) {
            QTest::keyClicks(field, text);
        } else {
            field->setText(text);
        }
    }

    ScriptedDialogs dialogs_;
    std::unique_ptr<TNew_req> window_;
};

TEST_F(RequestWindowTest, OpenedFromTheMainWindowWithItsPagesListsAndProvider) {
    ScriptedDialogs* main_dialogs = new ScriptedDialogs;
    TFVelmora main(folder_, std::unique_ptr<Dialogs>(main_dialogs));
    velmora::testing::WriteAll(folder_ / "OID.csv", "A|B|1.1|\n");
    TNew_req window(
        main.WindowDialogs(), folder_, [&main] { return main.CryptoProLabel(); }, &main);
    main.SetRequestWindow(&window);
    ASSERT_TRUE(main.MenuItem("Mcreate_req")->isEnabled());
    main.MenuItem("Mcreate_req")->trigger();
    QTRY_VERIFY(window.isVisible());
    EXPECT_TRUE(main_dialogs->messages.empty());

    EXPECT_EQ(Text(window.windowTitle()), "Создание запроса на сертификат ЭП");
    EXPECT_EQ(window.centralWidget()->size(), QSize(967, 577));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    QMenu* menu = window.menuBar()->findChild<QMenu*>("Zapros");
    ASSERT_NE(menu, nullptr);
    std::vector<std::string> items;
    for (const QAction* action : menu->actions()) {
        items.push_back(action->isSeparator() ? "-" : Text(action->text()));
    }
    EXPECT_EQ(items, (std::vector<std::string>{"Загрузить", "Сохранить", "-", "Закрыть"}));

    const auto tabs = [](const QTabWidget* pages) {
        std::vector<std::string> captions;
        for (int k = 0; k < pages->count(); ++k) {
            captions.push_back(Text(pages->tabText(k)));
        }
        return captions;
    };
    EXPECT_EQ(
        tabs(window.Pages()),
        (std::vector<std::string>{"Общие данные", "Субъект", "Расширения(1.2.840.113549.1.9.14)"}));
    EXPECT_EQ(tabs(window.ExtensionPages()),
              (std::vector<std::string>{
                  "Улучшенный ключ(2.5.29.37)", "Дополнительное имя субъекта(2.5.29.17)",
                  "Использование ключа(2.5.29.15)", "Атрибуты ключа(2.5.29.2)",
                  "Политики сертификата(2.5.29.32)"}));

    // The lists: their lengths and the entries at both ends.
    const auto list = [&window](const char* name) { return window.ComboBox(name); };
    EXPECT_EQ(list("cbOids_SG_RDN")->count(), 14);
    EXPECT_EQ(Text(list("cbOids_SG_RDN")->itemText(13)), "Описание(2.5.4.13) ");
    EXPECT_EQ(list("cbOids_SG_ALTNAME")->count(), 10);
    EXPECT_EQ(Text(list("cbOids_SG_ALTNAME")->itemText(0)),
              "Идентификатор ключей при смене(2.5.4.12)");
    EXPECT_EQ(list("cbOids_SG_CertPolicy")->count(), 2);
    EXPECT_EQ(list("TITLE_ASFK")->count(), 16);
    EXPECT_EQ(Text(list("TITLE_ASFK")->itemText(9)),
              "Главный бухгалтер (1.2.643.3.61.1.1.6.502710.3.4.2.3)");
    EXPECT_FALSE(list("SetCsp")->isEditable());
    for (const char* name : {"KeyUse", "attr_Key_USE"}) {
        ASSERT_EQ(window.CheckList(name)->count(), 8) << name;
        EXPECT_EQ(Text(window.CheckList(name)->item(7)->text()), "Только расшифровка");
    }
    EXPECT_EQ(Text(window.CheckBox("avtoSet")->text()), "Сформировать автоматически");
    EXPECT_EQ(Text(window.Button("Button2")->text()), "Button2");

    // Each grid shows its header and is empty; the alternative names'
    // columns keep their widths.
    const QTableWidget* subject = window.Table("SUB_RDN");
    EXPECT_EQ(Text(subject->horizontalHeaderItem(1)->text()), "Значение");
    EXPECT_FALSE(subject->isEnabled());
    EXPECT_EQ(subject->rowCount(), 1);
    EXPECT_EQ(window.Table("SG_ALTNAME")->horizontalHeader()->sectionResizeMode(0),
              QHeaderView::Fixed);
    EXPECT_EQ(window.Table("SUB_RDN")->horizontalHeader()->sectionResizeMode(0),
              QHeaderView::Interactive);

    // The provider list with the 2001 provider chosen, its version text and
    // the installed CryptoPro's label.
    EXPECT_EQ(Text(list("SetCsp")->currentText()),
              "[75] Crypto-Pro GOST R 34.10-2001 Cryptographic Service Provider");
    EXPECT_FALSE(window.Edit("e_SrEP")->text().isEmpty());
    EXPECT_EQ(Text(window.findChild<QLabel*>("Label16")->text()), main.CryptoProLabel());
    const int other = list("SetCsp")->findText(
        QStringLiteral("[80] Crypto-Pro GOST R 34.10-2012 Cryptographic Service Provider"));
    ASSERT_GE(other, 0);
    window.Edit("e_SrEP")->clear();
    list("SetCsp")->setCurrentIndex(other);
    EXPECT_FALSE(window.Edit("e_SrEP")->text().isEmpty());
    EXPECT_EQ(window.Form().selectedProvider, other);

    window.findChild<QAction*>("Fclose")->trigger();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(RequestWindowTest, ApplyTwiceAndTheTimerAtMidnight) {
    TNew_req& window = Window();
    window.show();
    Type(window, "e_OGRN", QStringLiteral("1027700132195"));
    Type(window, "e_INN", QStringLiteral("007710474375"));
    Type(window, "e_CN", QStringLiteral("Иванов Иван"));
    Type(window, "e_KPP", QStringLiteral("771001001"));
    window.ComboBox("TITLE_ASFK")->setCurrentIndex(9);
    QTest::mouseClick(window.Button("apply"), Qt::LeftButton);
    const std::vector<std::string> subject = {
        "1.2.372.980001.8.4.1=1.2.643.100.1=1027700132195;1.2.643.3.131.1.1=007710474375",
        "1.2.840.113549.1.9.2=1.2.643.3.61.1.1.6.502710.3.4.2.3", "2.5.4.3=Иванов Иван"};
    EXPECT_EQ(Rows(window.Table("SUB_RDN")), subject);
    EXPECT_TRUE(Text(window.Table("SUB_RDN")->item(1, 2)->text()).starts_with("Должность АСФК-"));
    EXPECT_EQ(Text(window.Table("SUB_RDN")->item(0, 2)->text()), "ОГРН,СНИЛС,ИНН");
    EXPECT_EQ(Rows(window.Table("SG_ALTNAME")),
              (std::vector<std::string>{"1.2.643.3.61.502710.1.7=771001001"}));
    // Rows are rewritten in place, and the include boxes stay as they were.
    QTest::mouseClick(window.Button("apply"), Qt::LeftButton);
    EXPECT_EQ(Rows(window.Table("SUB_RDN")), subject);
    EXPECT_FALSE(window.CheckBox("CB_SUBJECT_ALT_NAME2")->isChecked());
    // Emptied fields take their rows away.
    window.Edit("e_OGRN")->clear();
    window.Edit("e_INN")->clear();
    window.Edit("e_KPP")->clear();
    QTest::mouseClick(window.Button("apply"), Qt::LeftButton);
    EXPECT_EQ(Rows(window.Table("SUB_RDN")),
              (std::vector<std::string>(subject.begin() + 1, subject.end())));
    EXPECT_FALSE(window.Table("SG_ALTNAME")->isEnabled());

    // The timer runs while "Сформировать автоматически" is checked; its tick
    // just after midnight stamps the new day.
    EXPECT_FALSE(window.Timer1()->isActive());
    EXPECT_EQ(window.Timer1()->interval(), 2000);
    QTest::mouseClick(window.CheckBox("avtoSet"), Qt::LeftButton);
    EXPECT_TRUE(window.Timer1()->isActive());
    platform::ScopedClockOverride clock(LocalToFileTime({2026, 12, 6, 0, 0, 1}));
    ASSERT_TRUE(QMetaObject::invokeMethod(window.Timer1(), "timeout"));
    EXPECT_EQ(Text(window.Edit("IDENTIFY_KEY")->text()), "1206000001");
    EXPECT_EQ(Rows(window.Table("SG_ALTNAME")), (std::vector<std::string>{"2.5.4.12=1206000001"}));
    EXPECT_EQ(Text(window.Edit("attr_NotBefore")->text()), "06.12.2026 00:00:01");
    EXPECT_EQ(Text(window.Edit("attr_NotAfter")->text()), "05.12.2027 00:00:01");
    QTest::mouseClick(window.CheckBox("avtoSet"), Qt::LeftButton);
    EXPECT_FALSE(window.Timer1()->isActive());
}

TEST_F(RequestWindowTest, SubjectButtonsActOnTheChosenEntryAndTheSelectedRow) {
    TNew_req& window = Window();
    window.show();
    QComboBox* oids = window.ComboBox("cbOids_SG_RDN");
    oids->setCurrentIndex(3);
    QTest::mouseClick(window.Button("ADD_RDN"), Qt::LeftButton);
    QTableWidget* grid = window.Table("SUB_RDN");
    EXPECT_EQ(Rows(grid), (std::vector<std::string>{"2.5.4.6=введите значение"}));
    EXPECT_EQ(Text(grid->item(0, 2)->text()), "Страна");
    grid->item(0, 1)->setText(QStringLiteral("Описание"));
    oids->setCurrentIndex(13);
    QTest::mouseClick(window.Button("Set_SG_RDN"), Qt::LeftButton);
    EXPECT_EQ(Rows(grid), (std::vector<std::string>{"2.5.4.13=Описание"}));
    QTest::mouseClick(window.Button("Button2"), Qt::LeftButton);
    EXPECT_EQ(Rows(grid), (std::vector<std::string>{"2.5.4.13=Opisanie"}));
    QTest::mouseClick(window.Button("del_SUB_RDN"), Qt::LeftButton);
    EXPECT_FALSE(grid->isEnabled());
    EXPECT_EQ(grid->rowCount(), 1);
}

TEST_F(RequestWindowTest, CatalogueTreeLeavesInnerNodesAndShowingAgain) {
    TNew_req& window = Window("A|B|1.1|\nA|B|C|1.2|\nA|D|1.3|\n");
    window.show();
    QTreeWidget* tree = window.Tree();
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* a = tree->topLevelItem(0);
    ASSERT_EQ(a->childCount(), 2);
    QTreeWidgetItem* b = a->child(0);
    QTreeWidgetItem* c = b->child(0);
    QTreeWidgetItem* d = a->child(1);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(Text(c->text(0)), "C");

    // B holds C, so B is an inner node and its click does nothing.
    b->setCheckState(0, Qt::Checked);
    EXPECT_FALSE(window.Table("GridKEYUSAGE")->isEnabled());
    EXPECT_FALSE(window.CheckBox("CB_ENHANCED_KEY_USAGE")->isChecked());
    d->setCheckState(0, Qt::Checked);
    c->setCheckState(0, Qt::Checked);
    EXPECT_EQ(Rows(window.Table("GridKEYUSAGE")), (std::vector<std::string>{"1.2", "1.3"}));
    EXPECT_EQ(Text(window.Table("GridKEYUSAGE")->item(0, 1)->text()), "C");
    EXPECT_TRUE(window.CheckBox("CB_ENHANCED_KEY_USAGE")->isChecked());
    d->setCheckState(0, Qt::Unchecked);
    c->setCheckState(0, Qt::Unchecked);
    EXPECT_FALSE(window.Table("GridKEYUSAGE")->isEnabled());
    EXPECT_FALSE(window.CheckBox("CB_ENHANCED_KEY_USAGE")->isChecked());

    // Showing again empties the grids but keeps the tree and its marks, and
    // adds only the lines new in the file.
    c->setCheckState(0, Qt::Checked);
    window.hide();
    velmora::testing::WriteAll(folder_ / "OID.csv", "A|B|C|1.2|\nA|E|1.4|\nZ|1.5|\n");
    window.show();
    EXPECT_FALSE(window.Table("GridKEYUSAGE")->isEnabled());
    EXPECT_EQ(c->checkState(0), Qt::Checked);
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    EXPECT_EQ(a->childCount(), 3);
    EXPECT_EQ(Text(a->child(2)->text(0)), "E");
    // A leaf the file no longer holds does nothing.
    d->setCheckState(0, Qt::Checked);
    EXPECT_FALSE(window.Table("GridKEYUSAGE")->isEnabled());

    // A damaged catalogue is reported and fills nothing.
    window.hide();
    velmora::testing::WriteAll(folder_ / "OID.csv", "A|B|1.1\n");
    window.show();
    EXPECT_EQ(dialogs_.ErrorTexts(),
              (std::vector<std::string>{"Не все строки завершены символом \"|\""}));
    EXPECT_EQ(tree->topLevelItemCount(), 2);
}

// The to-be-signed part of a saved request.
Bytes ToBeSigned(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const Bytes der{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const auto content = platform::DecodeSignedContent(der);
    EXPECT_TRUE(content) << file;
    return content ? content->toBeSigned : Bytes{};
}

TEST_F(RequestWindowTest, LoadedRequestSavedAgainInItsContainerIsTheSameRequest) {
    velmora::testing::ScopedKeyFolder keys;
    platform::ScopedClockOverride clock(LocalToFileTime({2026, 12, 5, 6, 35, 39}));
    TNew_req& window = Window();
    window.Mcreate_reqClick();
    Type(window, "e_CN", QStringLiteral("Иванов Иван"));
    Type(window, "E_COUNTRY_NAME", QStringLiteral("RU"));
    Type(window, "e_SPZ", QStringLiteral("01234567"));
    Type(window, "e_email", QStringLiteral("ivanov@example.ru"));
    Type(window, "IDENTIFY_KEY", QStringLiteral("1205063539"));
    Type(window, "ContName", QStringLiteral("user"));
    QTest::mouseClick(window.CheckBox("addContName"), Qt::LeftButton);
    QTest::mouseClick(window.Button("apply"), Qt::LeftButton);
    window.ComboBox("cbOids_SG_CertPolicy")->setCurrentIndex(1);
    QTest::mouseClick(window.Button("add_SG_CertPolicy"), Qt::LeftButton);
    window.Tree()->topLevelItem(0)->child(0)->child(0)->setCheckState(0, Qt::Checked);
    window.CheckList("KeyUse")->item(0)->setCheckState(Qt::Checked);
    window.CheckList("attr_Key_USE")->item(2)->setCheckState(Qt::Checked);
    for (const char* box :
         {"CB_SUBJECT_ALT_NAME2", "CB_KEY_USAGE", "CB_KEY_ATTRIBUTES", "CB_S_EP"}) {
        QTest::mouseClick(window.CheckBox(box), Qt::LeftButton);
    }
    EXPECT_TRUE(window.CheckBox("CB_CERT_POLICIES")->isChecked());
    EXPECT_TRUE(window.CheckBox("CB_ENHANCED_KEY_USAGE")->isChecked());
    const std::filesystem::path first = folder_ / "first.req";
    dialogs_.saveAnswers.push_back(first);
    window.findChild<QAction*>("req_save")->trigger();
    ASSERT_TRUE(std::filesystem::exists(first)) << ::testing::PrintToString(dialogs_.ErrorTexts());
    EXPECT_TRUE(std::filesystem::exists(keys.Keys()));

    // Loaded into a window of its own (its include boxes set by hand, as a
    // user does), saved into the same container chosen with "Обзор".
    TNew_req second(dialogs_, folder_, [] { return std::string(); });
    second.Mcreate_reqClick();
    dialogs_.openAnswers.push_back(first);
    second.findChild<QAction*>("req_load")->trigger();
    EXPECT_EQ(dialogs_.openFilterIndexes.back(), 1);
    EXPECT_EQ(Text(second.findChild<QLabel*>("Label2")->text()), first.string());
    EXPECT_EQ(Text(second.Edit("e_CN")->text()), "Иванов Иван");
    EXPECT_EQ(Text(second.Edit("IDENTIFY_KEY")->text()), "1205063539");
    EXPECT_EQ(Rows(second.Table("GridKEYUSAGE")), (std::vector<std::string>{"1.2.3.4"}));
    EXPECT_EQ(second.CheckList("attr_Key_USE")->item(2)->checkState(), Qt::Checked);
    EXPECT_EQ(second.CheckList("KeyUse")->item(2)->checkState(), Qt::Unchecked);
    dialogs_.containerAnswers.push_back(
        ContainerChoice{75, std::string(platform::kCryptoPro2001Name), "user 1205063539"});
    QTest::mouseClick(second.Button("browse_cont"), Qt::LeftButton);
    EXPECT_EQ(Text(second.Edit("ContName")->text()), "user 1205063539");
    for (const char* box : {"CB_SUBJECT_ALT_NAME2", "CB_KEY_USAGE", "CB_KEY_ATTRIBUTES",
                            "CB_ENHANCED_KEY_USAGE", "CB_CERT_POLICIES", "CB_S_EP"}) {
        QTest::mouseClick(second.CheckBox(box), Qt::LeftButton);
    }
    const std::filesystem::path again = folder_ / "again.req";
    dialogs_.saveAnswers.push_back(again);
    second.findChild<QAction*>("req_save")->trigger();
    EXPECT_TRUE(dialogs_.ErrorTexts().empty()) << dialogs_.ErrorTexts().front();
    EXPECT_EQ(ToBeSigned(again), ToBeSigned(first));
    EXPECT_FALSE(ToBeSigned(first).empty());
}

}  // namespace
}  // namespace velmora
