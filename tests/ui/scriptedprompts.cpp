#include "scriptedprompts.h"

#include <QDialog>
#include <QTest>

using namespace Qt::StringLiterals;

namespace tarvex {

UserPrompts::Answer ScriptedPrompts::nextAnswer() {
    if (m_answers.isEmpty()) {
        QTest::qFail("a question was asked that the test did not expect", __FILE__, __LINE__);
        return Answer::Cancel;
    }
    return m_answers.dequeue();
}

UserPrompts::Answer ScriptedPrompts::askYesNo(QWidget*, const QString& title, const QString& text) {
    m_shown.append({u"yesno"_s, title, text});
    return nextAnswer();
}

UserPrompts::Answer ScriptedPrompts::askYesNoCancel(QWidget*, const QString& title, const QString& text) {
    m_shown.append({u"yesnocancel"_s, title, text});
    return nextAnswer();
}

void ScriptedPrompts::inform(QWidget*, const QString& title, const QString& text) {
    m_shown.append({u"inform"_s, title, text});
}

void ScriptedPrompts::showError(QWidget*, const QString& text) {
    m_shown.append({u"error"_s, {}, text});
}

void ScriptedPrompts::showMessage(QWidget*, const QString& text) {
    m_shown.append({u"message"_s, {}, text});
}

std::optional<QString> ScriptedPrompts::askPassword(QWidget*, const QString& title, const QString& text) {
    m_shown.append({u"password"_s, title, text});
    if (m_passwords.isEmpty()) {
        QTest::qFail("a password was asked for that the test did not expect", __FILE__, __LINE__);
        return std::nullopt;
    }
    return m_passwords.dequeue();
}

int ScriptedPrompts::runDialog(QDialog& dialog) {
    dialog.setResult(QDialog::Rejected);
    if (m_dialogActions.isEmpty()) {
        QTest::qFail("a window opened that the test did not expect", __FILE__, __LINE__);
        return QDialog::Rejected;
    }
    const std::function<void(QDialog&)> action = m_dialogActions.dequeue();
    dialog.show();
    action(dialog);
    if (dialog.isVisible())
        dialog.reject();
    return dialog.result();
}

} // namespace tarvex
