#include "keyfilter.h"

#include <QApplication>
#include <QKeyEvent>

namespace tarvex {

namespace {

bool isLowerCyrillic(QChar c) {
    return c >= QChar(0x0430) && c <= QChar(0x044F);
}

bool isAsciiPunctuation(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x21 && u <= 0x2F) || (u >= 0x3A && u <= 0x40) || (u >= 0x5B && u <= 0x60) || (u >= 0x7B && u <= 0x7E);
}

} // namespace

bool airlineCodeTakes(QChar c) {
    return c == u'_' || !(isAsciiPunctuation(c) || isLowerCyrillic(c));
}

bool remarksTakes(QChar c) {
    static constexpr QStringView refused = u"[]^`{}~";
    return !refused.contains(c) && !isLowerCyrillic(c);
}

bool sumTakes(QChar c) {
    return (c >= u'0' && c <= u'9') || c == u'+' || c == u'-';
}

bool percentTakes(QChar c) {
    return sumTakes(c) || c == u',' || c == u'.';
}

KeyFilter::KeyFilter(Takes takes, Sound sound, QObject* parent)
    : QObject(parent)
    , m_takes(takes)
    , m_sound(sound) {}

void KeyFilter::install(QObject* box, Takes takes, Sound sound) {
    box->installEventFilter(new KeyFilter(takes, sound, box));
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    // Shortcuts pass; AltGr, which some keyboards report as Ctrl+Alt, types characters.
    const Qt::KeyboardModifiers modifiers = key->modifiers();
    if ((modifiers & Qt::MetaModifier) || ((modifiers & Qt::ControlModifier) && !(modifiers & Qt::AltModifier)))
        return false;
    for (const QChar c : key->text()) {
        if (c.isPrint() && !m_takes(c)) {
            if (m_sound == Sound::Beep)
                QApplication::beep();
            return true;
        }
    }
    return false;
}

} // namespace tarvex
