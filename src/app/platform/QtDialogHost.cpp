#include "platform/QtDialogHost.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "platform/QtText.h"
#include "platform/TfErrorDialog.h"
#include "platform/TfFileDialog.h"

namespace qv::app {

QString qtFilter(const std::string& filter) {
    const QStringList parts = qs(filter).split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const QString pattern = parts[i + 1];
        QStringList patterns;
        for (const QString& p : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            patterns << p;
            if (p.toLower() != p)
                patterns << p.toLower();
        }
        // The toolkit reads the patterns from the last parentheses of the description.
        const qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (open >= 0)
            description = description.left(open).trimmed();
        out << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                   QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}

QString filterSuffix(const QString& filter) {
    const qsizetype star = filter.indexOf(QStringLiteral("*."));
    if (star < 0)
        return {};
    QString suffix;
    for (qsizetype i = star + 2; i < filter.size() && filter[i].isLetterOrNumber(); ++i)
        suffix += filter[i];
    const qsizetype end = star + 2 + suffix.size();
    // "*.*" and patterns such as "*.D64*" name no single extension.
    if (end < filter.size() && filter[end] != QLatin1Char(' ') && filter[end] != QLatin1Char(')'))
        return {};
    return suffix.toLower();
}

QtDialogHost::QtDialogHost(QWidget* parent) : parent_(parent) {}
QtDialogHost::~QtDialogHost() = default;

QuestionReply QtDialogHost::showQuestion(const QuestionRequest& request) {
    const auto index = static_cast<std::size_t>(request.form->mode);
    if (!questions_[index])
        questions_[index] = std::make_unique<TfFileDialog>(request.form->mode, parent_);
    TfFileDialog& dialog = *questions_[index];
    dialog.prepare(request);
    QApplication::restoreOverrideCursor();
    dialog.exec();
    return dialog.reply();
}

int QtDialogHost::showError(const ErrorLayout& layout) {
    TfErrorDialog dialog(layout, errorFont_, parent_);
    dialog.exec();
    return dialog.result();
}

void QtDialogHost::showMessage(const std::string& text) {
    QMessageBox::information(parent_, QStringLiteral("Quorvane"), qs(text));
}

bool QtDialogHost::askOkCancel(const std::string& caption, const std::string& text) {
    return QMessageBox::information(parent_, qs(caption), qs(text),
                                    QMessageBox::Ok | QMessageBox::Cancel,
                                    QMessageBox::Ok) == QMessageBox::Ok;
}

MessageAnswer QtDialogHost::askYesNoCancel(const std::string& caption, const std::string& text) {
    const auto b = QMessageBox::warning(parent_, qs(caption), qs(text),
                                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                        QMessageBox::Cancel);
    return b == QMessageBox::Yes  ? MessageAnswer::Yes
           : b == QMessageBox::No ? MessageAnswer::No
                                  : MessageAnswer::Cancel;
}

bool QtDialogHost::askYesNo(const std::string& caption, const std::string& text, MessageIcon icon) {
    QMessageBox box(icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::Question,
                    qs(caption), qs(text), QMessageBox::Yes | QMessageBox::No, parent_);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> QtDialogHost::askSaveFile(const SaveFileRequest& request) {
    QFileDialog dialog(parent_, qs(request.caption), qs(request.folder), qtFilter(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(qs(request.defaultExtension));
    dialog.selectFile(qs(request.proposedName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return ss(dialog.selectedFiles().front());
}

std::optional<std::string> QtDialogHost::askText(const std::string& caption,
                                                 const std::string& prompt,
                                                 const std::string& preset) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent_, qs(caption), qs(prompt), QLineEdit::Normal, qs(preset), &ok);
    if (!ok)
        return std::nullopt;
    return ss(text);
}

QStringList QtFileChooser::openFiles(QWidget* parent, const QString& caption, const QString& folder,
                                     const std::string& filter) {
    return QFileDialog::getOpenFileNames(parent, caption, folder, qtFilter(filter));
}

QString QtFileChooser::openFile(QWidget* parent, const QString& caption, const QString& folder,
                                const std::string& filter) {
    return QFileDialog::getOpenFileName(parent, caption, folder, qtFilter(filter));
}

FileChooser::SaveChoice QtFileChooser::openFileWithFilter(QWidget* parent, const QString& caption,
                                                          const QString& folder,
                                                          const std::string& filter) {
    QFileDialog dialog(parent, caption, folder, qtFilter(filter));
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return {dialog.selectedFiles().front(),
            static_cast<int>(dialog.nameFilters().indexOf(dialog.selectedNameFilter()))};
}

QString QtFileChooser::chooseFolder(QWidget* parent, const QString& caption, const QString& start) {
    return QFileDialog::getExistingDirectory(parent, caption, start);
}

std::optional<FileChooser::SaveChoice> QtFileChooser::saveFile(QWidget* parent,
                                                               const QString& caption,
                                                               const QString& folder,
                                                               const std::string& filter,
                                                               const QString& defaultSuffix) {
    QFileDialog dialog(parent, caption, folder, qtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    // A name typed without an extension gets the one of the chosen filter, so that the
    // file's name and its format agree.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, defaultSuffix](const QString& chosen) {
                         const QString suffix = filterSuffix(chosen);
                         dialog.setDefaultSuffix(suffix.isEmpty() ? defaultSuffix : suffix);
                     });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QStringList filters = dialog.nameFilters();
    SaveChoice c;
    c.path = dialog.selectedFiles().front();
    c.filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
    if (c.filterIndex < 0)
        c.filterIndex = 0;
    return c;
}

}  // namespace qv::app
