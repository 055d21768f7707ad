#include "app/qt/qt_dialogs.h"

#include "app/input/open_filters.h"

#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>

namespace velmora {
namespace {

QMessageBox::Icon IconOf(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ButtonsOf(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case MessageButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case MessageButtons::Ok:
            break;
    }
    return QMessageBox::Ok;
}

MessageAnswer AnswerOf(int button, MessageButtons buttons) {
    switch (button) {
        case QMessageBox::Ok:
            return MessageAnswer::Ok;
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        default:
            // Closed without a button: the cautious answer of the box.
            return buttons == MessageButtons::Ok      ? MessageAnswer::Ok
                   : buttons == MessageButtons::YesNo ? MessageAnswer::No
                                                      : MessageAnswer::Cancel;
    }
}

QStringList FilterLabels() {
    QStringList labels;
    for (const OpenFilter& filter : kOpenFilters) {
        labels << QString::fromUtf8(filter.label.data(),
                                    static_cast<qsizetype>(filter.label.size()));
    }
    return labels;
}

// Qt takes a filter's patterns from its label, and the labels here do not
// spell their patterns the way Qt reads them; so the dialog's file model is
// given the patterns of the selected filter itself.
void ApplyFilterPatterns(QFileDialog& dialog, const QString& label) {
    auto* model = dialog.findChild<QFileSystemModel*>();
    if (model == nullptr) {
        return;
    }
    for (const OpenFilter& filter : kOpenFilters) {
        if (label ==
            QString::fromUtf8(filter.label.data(), static_cast<qsizetype>(filter.label.size()))) {
            model->setNameFilters(FilterWildcards(filter.patterns));
            return;
        }
    }
}

}  // namespace

QStringList FilterWildcards(std::string_view patterns) {
    QStringList wildcards;
    for (const QString& pattern :
         QString::fromUtf8(patterns.data(), static_cast<qsizetype>(patterns.size()))
             .split(u';', Qt::SkipEmptyParts)) {
        if (pattern == u"*.*") {
            wildcards << QStringLiteral("*");
            continue;
        }
        QString wildcard;
        for (const QChar c : pattern) {
            if (c.isLetter() && c.toLower() != c.toUpper()) {
                wildcard += u'[' + c.toLower() + c.toUpper() + u']';
            } else {
                wildcard += c;
            }
        }
        wildcards << wildcard;
    }
    return wildcards;
}

std::filesystem::path NativePath(const QString& file) {
    return std::filesystem::path(QFile::encodeName(file).toStdString());
}

void ConfigureOpenDialog(QFileDialog& dialog, int filter_index, const QString& last_file) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    const QStringList labels = FilterLabels();
    dialog.setNameFilters(labels);
    const QString selected =
        labels.value(filter_index - 1, labels.value(open_filter::kAllFiles - 1));
    dialog.selectNameFilter(selected);
    ApplyFilterPatterns(dialog, selected);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& label) { ApplyFilterPatterns(dialog, label); });
    if (!last_file.isEmpty()) {
        dialog.selectFile(last_file);
    }
}

MessageAnswer QtDialogs::ShowMessage(const std::string& text, const std::string& caption,
                                     MessageIcon icon, MessageButtons buttons) {
    QMessageBox box(IconOf(icon), QString::fromStdString(caption), QString::fromStdString(text),
                    ButtonsOf(buttons), parent_);
    return AnswerOf(box.exec(), buttons);
}

std::optional<std::filesystem::path> QtDialogs::ChooseOpenFile(int filter_index) {
    QFileDialog dialog(parent_);
    ConfigureOpenDialog(dialog, filter_index, last_file_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    last_file_ = dialog.selectedFiles().first();
    return NativePath(last_file_);
}

std::vector<std::filesystem::path> QtDialogs::ChooseOpenFiles(int filter_index) {
    QFileDialog dialog(parent_);
    ConfigureOpenDialog(dialog, filter_index, last_file_);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    std::vector<std::filesystem::path> files;
    if (dialog.exec() != QDialog::Accepted) {
        return files;
    }
    for (const QString& file : dialog.selectedFiles()) {
        files.push_back(NativePath(file));
    }
    if (!dialog.selectedFiles().isEmpty()) {
        last_file_ = dialog.selectedFiles().first();
    }
    return files;
}

std::optional<std::filesystem::path> QtDialogs::ChooseOpenFileTitled(
    int filter_index, const std::string& title, const std::filesystem::path& preset) {
    QFileDialog dialog(parent_);
    const QString preset_name = QFile::decodeName(preset.native().c_str());
    ConfigureOpenDialog(dialog, filter_index, preset_name.isEmpty() ? last_file_ : preset_name);
    dialog.setWindowTitle(QString::fromStdString(title));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    last_file_ = dialog.selectedFiles().first();
    return NativePath(last_file_);
}

std::optional<std::filesystem::path> QtDialogs::ChooseSaveFileTitled(
    const std::filesystem::path& initial_folder, const std::string& proposed_name,
    const std::string& title) {
    title_ = title;
    auto file = ChooseSaveFile(initial_folder, proposed_name);
    title_.clear();
    return file;
}

std::optional<std::filesystem::path> QtDialogs::ChooseSaveFile(
    const std::filesystem::path& initial_folder, const std::string& proposed_name) {
    QFileDialog dialog(parent_);
    if (!title_.empty()) {
        dialog.setWindowTitle(QString::fromStdString(title_));
    }
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDirectory(QFile::decodeName(initial_folder.native().c_str()));
    dialog.selectFile(QString::fromStdString(proposed_name));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return NativePath(dialog.selectedFiles().first());
}

std::optional<ContainerChoice> QtDialogs::ChooseContainer() {
    return container_chooser_ ? container_chooser_() : std::nullopt;
}

}  // namespace velmora
