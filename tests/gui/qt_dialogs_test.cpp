#include "app/qt/qt_dialogs.h"

#include "app/input/open_filters.h"
#include "gui/test_files.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace velmora {
namespace {

// Runs the action on the modal dialog of the given type as soon as it is
// shown (the dialog's own event loop runs the check).
template <typename Dialog>
void WhenShown(std::function<void(Dialog&)> action) {
    auto* timer = new QTimer;
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(*dialog);
        }
    });
    timer->start();
}

QStringList Labels() {
    QStringList labels;
    for (const OpenFilter& filter : kOpenFilters) {
        labels << QString::fromUtf8(filter.label.data(),
                                    static_cast<qsizetype>(filter.label.size()));
    }
    return labels;
}

TEST(QtDialogs, FilterWildcardsListFilesAsTheLabelsPromise) {
    EXPECT_EQ(FilterWildcards("*.req;*.p10"), (QStringList{"*.[rR][eE][qQ]", "*.[pP]10"}));
    EXPECT_EQ(FilterWildcards("*.cer;*.pem;*.crt"),
              (QStringList{"*.[cC][eE][rR]", "*.[pP][eE][mM]", "*.[cC][rR][tT]"}));
    EXPECT_EQ(FilterWildcards("*.*"), QStringList{"*"});
}

TEST(QtDialogs, OpenDialogShowsTheLabelsAndListsByTheirPatterns) {
    QFileDialog dialog;
    ConfigureOpenDialog(dialog, 2, QString());
    EXPECT_EQ(dialog.nameFilters(), Labels());
    EXPECT_EQ(dialog.selectedNameFilter(), Labels()[1]);
    auto* model = dialog.findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->nameFilters(), FilterWildcards("*.cer;*.pem;*.crt"));

    // The user picks "все файлы (*.*)": every file is listed.
    auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(combo, nullptr);
    combo->setCurrentIndex(3);
    emit combo->activated(3);
    emit combo->textActivated(combo->itemText(3));
    EXPECT_EQ(model->nameFilters(), QStringList{"*"});
}

class QtFileDialogs : public testing::TempFolderTest {};

TEST_F(QtFileDialogs, OpenDialogRemembersTheLastFile) {
    const auto chosen = Copy("ee-256.cer", "user.cer");
    QtDialogs dialogs(nullptr);
    WhenShown<QFileDialog>([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.selectedNameFilter(), Labels()[2]);
        dialog.selectFile(QString::fromStdString(chosen.string()));
        static_cast<QDialog&>(dialog).accept();
    });
    EXPECT_EQ(dialogs.ChooseOpenFile(3), chosen);

    QString preselected;
    WhenShown<QFileDialog>([&](QFileDialog& dialog) {
        preselected = dialog.selectedFiles().value(0);
        dialog.reject();
    });
    EXPECT_EQ(dialogs.ChooseOpenFile(1), std::nullopt);
    EXPECT_EQ(preselected.toStdString(), chosen.string());
}

TEST_F(QtFileDialogs, SaveDialogProposesTheNameInTheFolder) {
    QtDialogs dialogs(nullptr);
    QString directory;
    WhenShown<QFileDialog>([&](QFileDialog& dialog) {
        directory = dialog.directory().absolutePath();
        static_cast<QDialog&>(dialog).accept();
    });
    EXPECT_EQ(dialogs.ChooseSaveFile(folder_, "DER-user.pem"), folder_ / "DER-user.pem");
    EXPECT_EQ(directory.toStdString(), folder_.string());
}

TEST(QtDialogs, MessageBoxCarriesCaptionIconAndButtons) {
    QtDialogs dialogs(nullptr);
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenShown<QMessageBox>([&](QMessageBox& box) {
        title = box.windowTitle();
        text = box.text();
        icon = box.icon();
        EXPECT_NE(box.button(QMessageBox::Ok), nullptr);
        EXPECT_EQ(box.button(QMessageBox::Cancel), nullptr);
        box.button(QMessageBox::Ok)->click();
    });
    ShowErrorBox(dialogs, "Файл не поддерживается");
    EXPECT_EQ(title, "Ошибка");
    EXPECT_EQ(text, "Файл не поддерживается");
    EXPECT_EQ(icon, QMessageBox::Critical);

    WhenShown<QMessageBox>([](QMessageBox& box) {
        EXPECT_EQ(box.icon(), QMessageBox::Question);
        box.button(QMessageBox::No)->click();
    });
    EXPECT_EQ(
        dialogs.ShowMessage("Удалить?", "Velmora", MessageIcon::Question, MessageButtons::YesNo),
        MessageAnswer::No);
}

}  // namespace
}  // namespace velmora
