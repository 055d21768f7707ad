#include "ui/dialogs/certificate_selection_dialog.h"

#include "app/qt/certificate_report_window.h"
#include "app/qt/main_window.h"
#include "crypto/platform/certs/cert_hash.h"
#include "crypto/platform/stores/cert_store.h"
#include "crypto/stores/store_operations.h"
#include "encoding/atomic_file.h"
#include "support/scripted_dialogs.h"
#include "support/store_folders.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

namespace velmora {
namespace {

using platform::CertContext;
using testing::DataFile;

std::vector<CertContext> Chain() {
    auto store = platform::OpenFileStore(DataFile("chain.p7b"));
    return store ? platform::StoreCertificates(*store) : std::vector<CertContext>{};
}

// Runs `act` on the modal dialog of that name once it is shown.
void WhenShown(const char* name, std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [name, act] {
        QWidget* modal = nullptr;
        QTRY_VERIFY((modal = QApplication::activeModalWidget()) != nullptr &&
                    modal->objectName() == name);
        act(modal);
    });
}

TEST(CertificateSelection, ListsChoosesCancelsAndShowsTheReport) {
    testing::UseMoscowTime();
    const std::vector<CertContext> chain = Chain();
    ASSERT_EQ(chain.size(), 5u);
    std::vector<CertContext> reported;
    CertificateSelectionDialog dialog(
        chain, [&](QWidget*, const CertContext& certificate) { reported.push_back(certificate); });
    auto* list = dialog.findChild<QTreeWidget*>("certificates");
    auto* ok = dialog.findChild<QPushButton*>("ok");
    auto* view = dialog.findChild<QPushButton*>("view");
    ASSERT_TRUE(list && ok && view && dialog.findChild<QPushButton*>("cancel"));
    ASSERT_EQ(list->topLevelItemCount(), 5);
    EXPECT_EQ(list->columnCount(), 4);

    // Each row: subject, issuer, valid to and the thumbprint of its certificate.
    QTreeWidgetItem* intermediate = nullptr;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list->topLevelItem(i);
        EXPECT_EQ(item->text(3).size(), 40);
        if (item->text(0) == QStringLiteral("Тестовый подчинённый УЦ Velmora")) {
            intermediate = item;
        }
    }
    ASSERT_NE(intermediate, nullptr);
    EXPECT_EQ(intermediate->text(1), QStringLiteral("Тестовый корневой УЦ Velmora (ГОСТ 2012)"));
    EXPECT_EQ(intermediate->text(2), QStringLiteral("01.02.2044 03:00:00"));  // Moscow time

    list->setCurrentItem(intermediate);
    QTest::mouseClick(view, Qt::LeftButton);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0], dialog.Highlighted());
    EXPECT_EQ(platform::HashCertificateSha1(reported[0]->Encoded()),
              platform::HashCertificateSha1(*ReadFileBytes(DataFile("intermediate.cer"))));

    // Nothing highlighted: nothing to confirm or show.
    list->clearSelection();
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_FALSE(view->isEnabled());
    EXPECT_EQ(dialog.Highlighted(), nullptr);
}

TEST(CertificateSelection, SelectorAnswersWithTheChoiceOrNothing) {
    const std::vector<CertContext> chain = Chain();
    QWidget owner;
    QtCertificateSelector selector(&owner, &ShowCertificateReportWindow);

    WhenShown("CertificateSelection", [](QWidget* dialog) {
        auto* list = dialog->findChild<QTreeWidget*>("certificates");
        list->setCurrentItem(list->topLevelItem(2));
        // The view button opens the report window; it shows the certificate.
        WhenShown("CertificateReport", [](QWidget* report) {
            auto* text = report->findChild<QTextEdit*>("report");
            QTRY_VERIFY(text != nullptr && !text->toPlainText().isEmpty());
            EXPECT_TRUE(text->toPlainText().contains(QStringLiteral("Отпечаток")))
                << text->toPlainText().toStdString();
            static_cast<QDialog*>(report)->reject();
        });
        QTest::mouseClick(dialog->findChild<QPushButton*>("view"), Qt::LeftButton);
        QTest::mouseClick(dialog->findChild<QPushButton*>("ok"), Qt::LeftButton);
    });
    EXPECT_EQ(selector.SelectCertificate(chain), chain[2]);

    WhenShown("CertificateSelection", [](QWidget* dialog) {
        QTest::mouseClick(dialog->findChild<QPushButton*>("cancel"), Qt::LeftButton);
    });
    EXPECT_EQ(selector.SelectCertificate(chain), nullptr);
}

class StoreMenu : public testing::StoreFolderTest {};

// The shared handlers act on the store of the item that was triggered.
TEST_F(StoreMenu, ItemsReachTheirStores) {
    auto owned = std::make_unique<testing::ScriptedDialogs>();
    testing::ScriptedDialogs& dialogs = *owned;
    TFVelmora window(folder_, std::move(owned));
    testing::ScriptedSelector selector;
    platform::ScopedCertificateSelector installed(&selector);

    dialogs.openAnswers = {DataFile("ca.cer"), DataFile("chain.p7b")};
    window.MenuItem("BaddCertRoot")->trigger();
    EXPECT_EQ(window.InvokingItem(), "BaddCertRoot");
    EXPECT_EQ(window.Rep()->toPlainText(), QStringLiteral("Сертификат добавлен"));
    auto root = platform::OpenSystemStore(AdminStoreLocation(), "ROOT");
    EXPECT_EQ(platform::StoreCertificates(*root).size(), 1u);

    const Bytes ca = platform::HashCertificateSha1(*ReadFileBytes(DataFile("ca.cer")));
    selector.answers = {ca, std::nullopt, ca};
    window.MenuItem("BopenCertRoot")->trigger();
    ASSERT_NE(window.CurrentRecord(), nullptr);
    EXPECT_TRUE(window.Rep()->toPlainText().contains(QStringLiteral("Тестовый корневой УЦ")));
    window.MenuItem("BDelCACert")->trigger();  // the CA store: nothing there to choose
    EXPECT_EQ(window.Rep()->toPlainText(), QStringLiteral("Сертификат не удалён"));
    EXPECT_TRUE(selector.offered.back().empty());
    window.MenuItem("openP7B")->trigger();
    EXPECT_TRUE(window.Rep()->toPlainText().contains(QStringLiteral("Тестовый корневой УЦ")));
    EXPECT_EQ(dialogs.openFilterIndexes, (std::vector<int>{2, 5}));
}

}  // namespace
}  // namespace velmora
