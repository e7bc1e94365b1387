#pragma once

#include "ui/desktopopener.h"
#include "ui/userprompts.h"

#include <QList>
#include <QQueue>
#include <QString>

#include <functional>

namespace tarvex {

// Answers the windows' questions from a list set in advance and records every box.
// A question asked with no answer left fails the test that asked it. A window of the
// program's own opens without a modal loop of its own: the next action set in advance runs
// in it, and a window the action left open is then cancelled.
class ScriptedPrompts : public UserPrompts {
public:
    struct Shown {
        QString kind; // "yesno", "yesnocancel", "inform", "error", "message" or "password"
        QString title;
        QString text;
    };

    void answerNext(Answer answer) { m_answers.enqueue(answer); }
    // The next password asked for; nothing answers as a cancel does.
    void givePassword(std::optional<QString> password) { m_passwords.enqueue(std::move(password)); }
    // What to do in the next window that opens, while it is open.
    void whenDialog(std::function<void(QDialog&)> action) { m_dialogActions.enqueue(std::move(action)); }
    int pendingDialogs() const { return int(m_dialogActions.size()); }
    const QList<Shown>& shown() const { return m_shown; }
    int pendingAnswers() const { return int(m_answers.size()); }
    void clear() {
        m_shown.clear();
        m_answers.clear();
        m_passwords.clear();
        m_dialogActions.clear();
    }

    Answer askYesNo(QWidget* parent, const QString& title, const QString& text) override;
    Answer askYesNoCancel(QWidget* parent, const QString& title, const QString& text) override;
    void inform(QWidget* parent, const QString& title, const QString& text) override;
    void showError(QWidget* parent, const QString& text) override;
    void showMessage(QWidget* parent, const QString& text) override;
    int runDialog(QDialog& dialog) override;
    std::optional<QString> askPassword(QWidget* parent, const QString& title, const QString& text) override;

private:
    Answer nextAnswer();

    QQueue<Answer> m_answers;
    QQueue<std::optional<QString>> m_passwords;
    QQueue<std::function<void(QDialog&)>> m_dialogActions;
    QList<Shown> m_shown;
};

// Records what the windows ask the desktop to open.
class RecordingOpener : public DesktopOpener {
public:
    bool openPath(const QString& path) override {
        opened << path;
        return succeeds;
    }
    QStringList opened;
    bool succeeds = true;
};

} // namespace tarvex
