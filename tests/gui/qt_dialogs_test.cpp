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

QString Label(int index) {
    const std::string_view label = kOpenFilters.at(static_cast<std::size_t>(index - 1)).label;
    return QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size()));
}

TEST(QtDialogs, OpenDialogListsFilesByThePatternsOfTheChosenLabel) {
    // Letters match regardless of case, as the labels promise.
    EXPECT_EQ(FilterWildcards("*.req;*.p10"), (QStringList{"*.[rR][eE][qQ]", "*.[pP]10"}));
    EXPECT_EQ(FilterWildcards("*.*"), QStringList{"*"});

    QFileDialog dialog;
    ConfigureOpenDialog(dialog, 2, QString());
    EXPECT_EQ(dialog.nameFilters(),
              (QStringList{Label(1), Label(2), Label(3), Label(4), Label(5)}));
    EXPECT_EQ(dialog.selectedNameFilter(), Label(2));
    auto* model = dialog.findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->nameFilters(),
              (QStringList{"*.[cC][eE][rR]", "*.[pP][eE][mM]", "*.[cC][rR][tT]"}));

    // The user picks "все файлы (*.*)": every file is listed.
    auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(combo, nullptr);
    combo->setCurrentIndex(3);
    emit combo->activated(3);
    emit combo->textActivated(combo->itemText(3));
    EXPECT_EQ(model->nameFilters(), QStringList{"*"});
}

class QtFileDialogs : public testing::TempFolderTest {};

TEST_F(QtFileDialogs, OpenRemembersTheLastFileAndSaveProposesTheName) {
    const auto chosen = Copy("ee-256.cer", "user.cer");
    QtDialogs dialogs(nullptr);
    WhenShown<QFileDialog>([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.selectedNameFilter(), Label(3));
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
        EXPECT_EQ(box.button(QMessageBox::Cancel), nullptr);
        ASSERT_NE(box.button(QMessageBox::Ok), nullptr);
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
