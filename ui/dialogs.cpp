#include "ui/dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace wright::ui {

QStringList FileDialogRequest::qtNameFilters() const {
    QStringList filters;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(u';', u' ');
        filters << QStringLiteral("%1 (%2)").arg(parts.at(i), patterns);
    }
    return filters;
}

namespace {

QString startPath(const FileDialogRequest& request) {
    const QDir dir(request.directory.isEmpty() ? QStringLiteral(".") : request.directory);
    if (request.fileName.isEmpty()) return dir.absolutePath();
    return QFileInfo(request.fileName).isAbsolute() ? request.fileName : dir.absoluteFilePath(request.fileName);
}

std::optional<QString> runFileDialog(QWidget* parent, const FileDialogRequest& request, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    const QStringList filters = request.qtNameFilters();
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(request.defaultSuffix);
    const QString start = startPath(request);
    dialog.setDirectory(QFileInfo(start).isDir() ? start : QFileInfo(start).absolutePath());
    if (!request.fileName.isEmpty()) dialog.selectFile(QFileInfo(start).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::None: return QMessageBox::NoIcon;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Critical: return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton qtButton(MessageButton button) {
    switch (button) {
    case MessageButton::Ok: return QMessageBox::Ok;
    case MessageButton::Yes: return QMessageBox::Yes;
    case MessageButton::No: return QMessageBox::No;
    case MessageButton::Cancel: return QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

}  // namespace

std::optional<QString> QtDialogBackend::openFile(QWidget* parent, const FileDialogRequest& request) {
    return runFileDialog(parent, request, QFileDialog::AcceptOpen);
}

std::optional<QString> QtDialogBackend::saveFile(QWidget* parent, const FileDialogRequest& request) {
    return runFileDialog(parent, request, QFileDialog::AcceptSave);
}

std::optional<QString> QtDialogBackend::chooseFolder(QWidget* parent, const FolderDialogRequest& request) {
    const QString start = QDir(request.directory.isEmpty() ? QStringLiteral(".") : request.directory).absolutePath();
    const QString chosen = QFileDialog::getExistingDirectory(parent, request.title, start);
    if (chosen.isEmpty()) return std::nullopt;
    return chosen;
}

MessageButton QtDialogBackend::message(QWidget* parent, const MessageRequest& request) {
    QMessageBox box(qtIcon(request.icon), request.caption, request.text, QMessageBox::NoButton, parent);
    for (MessageButton button : request.buttons) box.addButton(qtButton(button));
    const int answer = box.exec();
    for (MessageButton button : request.buttons)
        if (answer == qtButton(button)) return button;
    // Closed by the window manager: the last button is the safe answer
    // (No for a question, OK for a notice).
    return request.buttons.isEmpty() ? MessageButton::Ok : request.buttons.constLast();
}

std::optional<QString> Dialogs::confirmFile(const std::optional<QString>& chosen) {
    if (!chosen) return std::nullopt;
    const QFileInfo info(*chosen);
    QDir::setCurrent(info.absolutePath());
    return info.absoluteFilePath();
}

std::optional<QString> Dialogs::openFile(QWidget* parent, const FileDialogRequest& request) {
    return confirmFile(backend_.openFile(parent, request));
}

std::optional<QString> Dialogs::saveFile(QWidget* parent, const FileDialogRequest& request) {
    return confirmFile(backend_.saveFile(parent, request));
}

std::optional<QString> Dialogs::chooseFolder(QWidget* parent, const FolderDialogRequest& request) {
    const std::optional<QString> chosen = backend_.chooseFolder(parent, request);
    if (!chosen) return std::nullopt;
    if (!QDir::setCurrent(*chosen)) return std::nullopt;
    return QDir::currentPath();
}

MessageButton Dialogs::message(QWidget* parent, const MessageRequest& request) {
    return backend_.message(parent, request);
}

void Dialogs::inform(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon) {
    backend_.message(parent, MessageRequest{caption, text, icon, {MessageButton::Ok}});
}

bool Dialogs::askYesNo(QWidget* parent, const QString& caption, const QString& text) {
    const MessageRequest request{caption, text, MessageIcon::Question, {MessageButton::Yes, MessageButton::No}};
    return backend_.message(parent, request) == MessageButton::Yes;
}

}  // namespace wright::ui
