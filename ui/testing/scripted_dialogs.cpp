#include "ui/testing/scripted_dialogs.h"

namespace wright::ui::testing {

QList<MessageRequest> ScriptedDialogs::messages() const {
    QList<MessageRequest> result;
    for (const Asked& a : asked_)
        if (a.kind == Kind::Message) result << a.message;
    return result;
}

void ScriptedDialogs::clear() {
    files_.clear();
    folders_.clear();
    answers_.clear();
    asked_.clear();
    unscripted_.clear();
}

std::optional<QString> ScriptedDialogs::nextFile(const QString& what) {
    if (files_.empty()) {
        unscripted_ << what;
        return std::nullopt;
    }
    std::optional<QString> answer = files_.front();
    files_.pop_front();
    return answer;
}

std::optional<QString> ScriptedDialogs::openFile(QWidget*, const FileDialogRequest& request) {
    asked_ << Asked{Kind::OpenFile, request, {}, {}};
    return nextFile(QStringLiteral("open file: ") + request.filter);
}

std::optional<QString> ScriptedDialogs::saveFile(QWidget*, const FileDialogRequest& request) {
    asked_ << Asked{Kind::SaveFile, request, {}, {}};
    return nextFile(QStringLiteral("save file: ") + request.filter);
}

std::optional<QString> ScriptedDialogs::chooseFolder(QWidget*, const FolderDialogRequest& request) {
    asked_ << Asked{Kind::ChooseFolder, {}, request, {}};
    if (folders_.empty()) {
        unscripted_ << QStringLiteral("choose folder: ") + request.title;
        return std::nullopt;
    }
    std::optional<QString> answer = folders_.front();
    folders_.pop_front();
    return answer;
}

MessageButton ScriptedDialogs::message(QWidget*, const MessageRequest& request) {
    asked_ << Asked{Kind::Message, {}, {}, request};
    if (request.buttons.size() <= 1) {
        // A notice has one answer and takes none of the scripted ones.
        return request.buttons.isEmpty() ? MessageButton::Ok : request.buttons.constFirst();
    }
    if (answers_.empty()) {
        unscripted_ << QStringLiteral("message: ") + request.text;
        return request.buttons.constLast();
    }
    const MessageButton answer = answers_.front();
    answers_.pop_front();
    return answer;
}

}  // namespace wright::ui::testing
