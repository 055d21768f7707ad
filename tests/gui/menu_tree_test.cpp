#include "app/qt/main_window.h"

#include "support/scripted_dialogs.h"

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

    bool operator==(const Item&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Item& item) {
    return out << std::string(static_cast<std::size_t>(item.depth) * 2, ' ') << item.name << " \""
               << item.caption << "\"" << (item.submenu ? " submenu" : "");
}

// The menu tree as designed, written out independently of the window's own table.
const std::vector<Item> kDesign = {
    {0, "Mfile", "Файл", true},
    {1, "Mopen", "Открыть", true},
    {2, "Mrequest", "Запрос на сертификат", false},
    {2, "MCert", "Сертификат", false},
    {2, "crl1", "crl", false},
    {2, "openP7B", "P7B", false},
    {2, "bexpP7b", "P7B -Экспорт - > CER", false},
    {1, "N10", "C\xD0\xB5ртификаты", true},  // Latin C, then Cyrillic
    {2, "N11", "Личные", true},
    {3, "addMyCert", "Установить", false},
    {3, "delMyCert", "Удалить", false},
    {3, "Opmycer", "Посмотреть", false},
    {3, "bExpCert", "Экспорт", false},
    {2, "CA1", "Центр сертифкации", true},
    {3, "BCA_Add", "Установить", false},
    {3, "Bopenca", "Посмотреть", false},
    {3, "BDelCACert", "Удалить", false},
    {2, "Root", "Доверенные корневые", true},
    {3, "BopenCertRoot", "Посмотреть", false},
    {3, "BDelCertRoot", "Удалить", false},
    {3, "BaddCertRoot", "Установить", false},
    {1, "N4", "Подпись...", true},
    {2, "BsignFile", "Подписать файл", false},
    {2, "BaddSign", "Добавить подпись", false},
    {2, "verifySign", "Проверить", false},
    {2, "N7", "", false},
    {2, "N6", "Подписать файл(отс. подпись)", false},
    {2, "N9", "Добавить подпись", false},
    {2, "N8", "Проверить", false},
    {1, "Mcreate", "Создать", true},
    {2, "Mcreate_req", "Запрос", false},
    {1, "mPrint", "Печать", true},
    {2, "bPrint", "в Excel", false},
    {2, "WORD1", "в WORD", false},
    {2, "PrintotzyvCer", "Отзыв", false},
    {2, "Pr_ReQAPCont", "Заявка АП Континент", false},
    {2, "printVrs", "как в ВРС", false},
    {1, "convertS", "Конвертация", true},
    {2, "PEMtoDER1", "PEM to DER", false},
    {2, "DERtoPEM1", "DER to PEM", false},
    {1, "N1", "", false},
    {1, "quit", "Выход", false},
    {0, "N5", "инфо", true},
    {1, "skziInfo", " установленные СКЗИ", false},
    {1, "cont", "Контейнера", false},
    {1, "BcertValid", "Проверить сертификат", false},
};

// The commands that are connected so far; the others are present and stay
// disabled until their windows exist. The print menu is off until a file is
// shown.
const std::set<std::string> kConnected = {
    "Mrequest",  "MCert",      "crl1",          "openP7B",      "bexpP7b",
    "addMyCert", "delMyCert",  "Opmycer",       "bExpCert",     "BCA_Add",
    "Bopenca",   "BDelCACert", "BopenCertRoot", "BDelCertRoot", "BaddCertRoot",
    "PEMtoDER1", "DERtoPEM1",  "quit",          "skziInfo",     "cont",
    "BsignFile", "BaddSign",   "verifySign",    "N6",           "N9",
    "N8",        "BcertValid", "Mcreate_req"};
const std::set<std::string> kPrintItems = {"mPrint",        "bPrint",       "WORD1",
                                           "PrintotzyvCer", "Pr_ReQAPCont", "printVrs"};

void Walk(const QList<QAction*>& actions, int depth, std::vector<Item>& items,
          std::vector<bool>& enabled) {
    for (QAction* action : actions) {
        QMenu* menu = action->menu();
        EXPECT_EQ(action->isSeparator(), action->text().isEmpty())
            << action->objectName().toStdString();
        items.push_back({depth, action->objectName().toStdString(), action->text().toStdString(),
                         menu != nullptr});
        enabled.push_back(action->isEnabled());
        if (menu != nullptr) {
            EXPECT_EQ(menu->objectName(), action->objectName());
            Walk(menu->actions(), depth + 1, items, enabled);
        }
    }
}

// The report's popup menu as designed.
const std::vector<Item> kPopupDesign = {
    {0, "itemUndo", "Отмена", false},
    {0, "", "", false},
    {0, "itemCut", "Вырезать", false},
    {0, "itemCopy", "Копировать", false},
    {0, "itemPaste", "Вставить", false},
    {0, "itemDelete", "Удалить", false},
    {0, "", "", false},
    {0, "itemSelectAll", "Выделить всё", false},
};

TEST(MenuTree, CaptionsNamesOrderAndStartStatesAsDesigned) {
    TFVelmora window({}, std::make_unique<testing::ScriptedDialogs>());
    EXPECT_EQ(window.objectName(), "FVelmora");
    EXPECT_EQ(window.menuBar()->objectName(), "MainMenuCI");
    std::vector<Item> items;
    std::vector<bool> enabled;
    Walk(window.menuBar()->actions(), 0, items, enabled);

    ASSERT_EQ(items, kDesign);
    for (std::size_t i = 0; i < kDesign.size(); ++i) {
        const Item& item = kDesign[i];
        const bool starts_enabled =
            !kPrintItems.contains(item.name) &&
            (item.submenu || item.caption.empty() || kConnected.contains(item.name));
        EXPECT_EQ(enabled[i], starts_enabled) << item;
    }

    QMenu* popup = window.PopupMenu();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->objectName(), "PM_rep");
    EXPECT_EQ(window.Rep()->contextMenuPolicy(), Qt::CustomContextMenu);
    items.clear();
    Walk(popup->actions(), 0, items, enabled);
    EXPECT_EQ(items, kPopupDesign);
}

}  // namespace
}  // namespace velmora
