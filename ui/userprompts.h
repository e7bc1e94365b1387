#pragma once

#include <QString>

#include <optional>

class QDialog;
class QWidget;

namespace tarvex {

// Every question and message the windows put to the user, and every window of the
// program's own that one window opens over another, goes through this interface, so that
// tests answer it in advance instead of racing a real modal box.
class UserPrompts {
public:
    enum class Answer { Yes, No, Cancel };

    virtual ~UserPrompts() = default;

    // A warning box with Yes and No, No being the default. Closing the box answers No.
    virtual Answer askYesNo(QWidget* parent, const QString& title, const QString& text) = 0;
    // A question box with Yes, No and Cancel. Closing the box answers Cancel.
    virtual Answer askYesNoCancel(QWidget* parent, const QString& title, const QString& text) = 0;
    // A box with the information icon and one OK button.
    virtual void inform(QWidget* parent, const QString& title, const QString& text) = 0;
    // The application's error box: an error icon, the application's title, the error's own text.
    virtual void showError(QWidget* parent, const QString& text) = 0;
    // A plain box without an icon: the application's title, the text and one OK button.
    virtual void showMessage(QWidget* parent, const QString& text) = 0;
    // Shows one of the program's own windows modally until it is closed; how it was closed
    // (QDialog::Accepted or QDialog::Rejected).
    virtual int runDialog(QDialog& dialog) = 0;
    // Asks for a password, its characters hidden as they are typed; nothing when the user cancels.
    virtual std::optional<QString> askPassword(QWidget* parent, const QString& title, const QString& text) = 0;
};

// The real boxes: QMessageBox with Russian button texts.
class MessageBoxPrompts : public UserPrompts {
public:
    Answer askYesNo(QWidget* parent, const QString& title, const QString& text) override;
    Answer askYesNoCancel(QWidget* parent, const QString& title, const QString& text) override;
    void inform(QWidget* parent, const QString& title, const QString& text) override;
    void showError(QWidget* parent, const QString& text) override;
    void showMessage(QWidget* parent, const QString& text) override;
    int runDialog(QDialog& dialog) override;
    std::optional<QString> askPassword(QWidget* parent, const QString& title, const QString& text) override;
};

} // namespace tarvex
