#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace tarvex::testing {

// Types text the way a keyboard delivers it: one key event per character carrying the
// character, whatever its key code, so that Cyrillic letters reach the boxes' key filters.
inline void typeText(QWidget* box, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(box, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(box, &release);
    }
}

} // namespace tarvex::testing
