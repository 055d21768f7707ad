#include "app/qt/main_window.h"

#include "gui/scripted_dialogs.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTextEdit>

#include <set>

namespace velmora {
namespace {

struct Item {
    int depth;
    std::string name;
    std::string caption;  // empty for a separator
    bool submenu;
    bool off;  // disabled at start by design

    bool operator==(const Item&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Item& item) {
    return out << std::string(static_cast<std::size_t>(item.depth) * 2, ' ') << item.name << " \""
               << item.caption << "\"" << (item.submenu ? " submenu" : "")
               << (item.off ? " off" : "");
}

// The menu tree as designed, written out independently of the window's own table.
const std::vector<Item> kDesign = {
    {0, "Mfile", "Файл", true, false},
    {1, "Mopen", "Открыть", true, false},
    {2, "Mrequest", "Запрос на сертификат", false, false},
    {2, "MCert", "Сертификат", false, false},
    {2, "crl1", "crl", false, false},
    {2, "openP7B", "P7B", false, false},
    {2, "bexpP7b", "P7B -Экспорт - > CER", false, false},
    {1, "N10", "C\xD0\xB5ртификаты", true, false},  // Latin C, then Cyrillic
    {2, "N11", "Личные", true, false},
    {3, "addMyCert", "Установить", false, false},
    {3, "delMyCert", "Удалить", false, false},
    {3, "Opmycer", "Посмотреть", false, false},
    {3, "bExpCert", "Экспорт", false, false},
    {2, "CA1", "Центр сертифкации", true, false},
    {3, "BCA_Add", "Установить", false, false},
    {3, "Bopenca", "Посмотреть", false, false},
    {3, "BDelCACert", "Удалить", false, false},
    {2, "Root", "Доверенные корневые", true, false},
    {3, "BopenCertRoot", "Посмотреть", false, false},
    {3, "BDelCertRoot", "Удалить", false, false},
    {3, "BaddCertRoot", "Установить", false, false},
    {1, "N4", "Подпись...", true, false},
    {2, "BsignFile", "Подписать файл", false, false},
    {2, "BaddSign", "Добавить подпись", false, false},
    {2, "verifySign", "Проверить", false, false},
    {2, "N7", "", false, false},
    {2, "N6", "Подписать файл(отс. подпись)", false, false},
    {2, "N9", "Добавить подпись", false, false},
    {2, "N8", "Проверить", false, false},
    {1, "Mcreate", "Создать", true, false},
    {2, "Mcreate_req", "Запрос", false, false},
    {1, "mPrint", "Печать", true, true},
    {2, "bPrint", "в Excel", false, true},
    {2, "WORD1", "в WORD", false, true},
    {2, "PrintotzyvCer", "Отзыв", false, true},
    {2, "Pr_ReQAPCont", "Заявка АП Континент", false, true},
    {2, "printVrs", "как в ВРС", false, true},
    {1, "convertS", "Конвертация", true, false},
    {2, "PEMtoDER1", "PEM to DER", false, false},
    {2, "DERtoPEM1", "DER to PEM", false, false},
    {1, "N1", "", false, false},
    {1, "quit", "Выход", false, false},
    {0, "N5", "инфо", true, false},
    {1, "skziInfo", " установленные СКЗИ", false, false},
    {1, "cont", "Контейнера", false, false},
    {1, "BcertValid", "Проверить сертификат", false, false},
};

// The commands that are connected so far; the others are present and stay
// disabled until their windows exist.
const std::set<std::string> kConnected = {"Mrequest",  "MCert", "crl1",    "PEMtoDER1",
                                          "DERtoPEM1", "quit",  "skziInfo"};

void Walk(const QList<QAction*>& actions, int depth, std::vector<Item>& items,
          std::vector<bool>& enabled) {
    for (QAction* action : actions) {
        QMenu* menu = action->menu();
        EXPECT_EQ(action->isSeparator(), action->text().isEmpty())
            << action->objectName().toStdString();
        items.push_back({depth, action->objectName().toStdString(), action->text().toStdString(),
                         menu != nullptr, false});
        enabled.push_back(action->isEnabled());
        if (menu != nullptr) {
            EXPECT_EQ(menu->objectName(), action->objectName());
            Walk(menu->actions(), depth + 1, items, enabled);
        }
    }
}

TEST(MenuTree, CaptionsNamesOrderAndStartStatesAsDesigned) {
    TFVelmora window({}, std::make_unique<testing::ScriptedDialogs>());
    EXPECT_EQ(window.menuBar()->objectName(), "MainMenuCI");
    std::vector<Item> items;
    std::vector<bool> enabled;
    Walk(window.menuBar()->actions(), 0, items, enabled);

    std::vector<Item> expected = kDesign;
    for (Item& item : expected) {
        item.off = false;  // compared below, against the enabled states
    }
    ASSERT_EQ(items, expected);
    for (std::size_t i = 0; i < kDesign.size(); ++i) {
        const Item& item = kDesign[i];
        const bool is_separator = item.caption.empty();
        const bool starts_enabled =
            !item.off && (item.submenu || is_separator || kConnected.contains(item.name));
        EXPECT_EQ(enabled[i], starts_enabled) << item;
    }
}

TEST(MenuTree, PopupMenuOfTheReport) {
    TFVelmora window({}, std::make_unique<testing::ScriptedDialogs>());
    QMenu* popup = window.PopupMenu();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->objectName(), "PM_rep");
    std::vector<std::pair<std::string, std::string>> items;
    for (QAction* action : popup->actions()) {
        items.emplace_back(action->objectName().toStdString(), action->text().toStdString());
    }
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"itemUndo", "Отмена"},
        {"", ""},
        {"itemCut", "Вырезать"},
        {"itemCopy", "Копировать"},
        {"itemPaste", "Вставить"},
        {"itemDelete", "Удалить"},
        {"", ""},
        {"itemSelectAll", "Выделить всё"},
    };
    EXPECT_EQ(items, expected);
    EXPECT_EQ(window.Rep()->contextMenuPolicy(), Qt::CustomContextMenu);
}

}  // namespace
}  // namespace velmora
