#include "userprompts.h"

#include <QApplication>
#include <QDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

// Russian texts on the standard buttons, whatever translations the system has.
void nameButtons(QMessageBox& box) {
    const std::pair<QMessageBox::StandardButton, QString> captions[] = {
        {QMessageBox::Yes, u"Да"_s},
        {QMessageBox::No, u"Нет"_s},
        {QMessageBox::Cancel, u"Отмена"_s},
        {QMessageBox::Ok, u"OK"_s},
    };
    for (const auto& [button, caption] : captions) {
        if (QAbstractButton* shown = box.button(button)) {
            shown->setText(caption);
            shown->setAccessibleName(caption);
        }
    }
}

QMessageBox::StandardButton showBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
                                    QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton,
                                    QMessageBox::StandardButton escapeButton) {
    QMessageBox box(icon, title, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    box.setEscapeButton(escapeButton);
    nameButtons(box);
    const int result = box.exec();
    return static_cast<QMessageBox::StandardButton>(result);
}

} // namespace

UserPrompts::Answer MessageBoxPrompts::askYesNo(QWidget* parent, const QString& title, const QString& text) {
    const auto answer = showBox(parent, QMessageBox::Warning, title, text, QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No, QMessageBox::No);
    return answer == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

UserPrompts::Answer MessageBoxPrompts::askYesNoCancel(QWidget* parent, const QString& title, const QString& text) {
    const auto answer =
        showBox(parent, QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                QMessageBox::Yes, QMessageBox::Cancel);
    if (answer == QMessageBox::Yes)
        return Answer::Yes;
    return answer == QMessageBox::No ? Answer::No : Answer::Cancel;
}

void MessageBoxPrompts::inform(QWidget* parent, const QString& title, const QString& text) {
    showBox(parent, QMessageBox::Information, title, text, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok);
}

void MessageBoxPrompts::showError(QWidget* parent, const QString& text) {
    showBox(parent, QMessageBox::Critical, QApplication::applicationDisplayName(), text, QMessageBox::Ok,
            QMessageBox::Ok, QMessageBox::Ok);
}

void MessageBoxPrompts::showMessage(QWidget* parent, const QString& text) {
    showBox(parent, QMessageBox::NoIcon, QApplication::applicationDisplayName(), text, QMessageBox::Ok, QMessageBox::Ok,
            QMessageBox::Ok);
}

int MessageBoxPrompts::runDialog(QDialog& dialog) {
    return dialog.exec();
}

std::optional<QString> MessageBoxPrompts::askPassword(QWidget* parent, const QString& title, const QString& text) {
    QInputDialog box(parent);
    box.setWindowTitle(title);
    box.setLabelText(text);
    box.setTextEchoMode(QLineEdit::Password);
    box.setOkButtonText(u"Подключиться"_s);
    box.setCancelButtonText(u"Отмена"_s);
    box.setAccessibleName(title);
    // A message of the server's may be long: it wraps instead of widening the box past the screen.
    if (auto* label = box.findChild<QLabel*>()) {
        label->setWordWrap(true);
        label->setMinimumWidth(480);
    }
    if (box.exec() != QDialog::Accepted)
        return std::nullopt;
    return box.textValue();
}

} // namespace tarvex
