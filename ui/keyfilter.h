#pragma once

#include <QObject>

namespace tarvex {

// Which typed characters a box takes. Only printable characters are judged here:
// editing keys, shortcuts and pasting are never filtered.
bool airlineCodeTakes(QChar c); // no ASCII punctuation but "_", no lower-case а..я
bool remarksTakes(QChar c);     // no [ ] ^ ` { } ~, no lower-case а..я
bool sumTakes(QChar c);         // digits, "+" and "-"
bool percentTakes(QChar c);     // digits, "+", "-", and both "," and "." for the decimal point

// Drops the typed characters a box does not take. With a sound, a dropped key beeps.
class KeyFilter : public QObject {
    Q_OBJECT
public:
    using Takes = bool (*)(QChar);
    enum class Sound { Silent, Beep };

    KeyFilter(Takes takes, Sound sound, QObject* parent);

    // Installs a new filter on the box; the box owns it.
    static void install(QObject* box, Takes takes, Sound sound);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Takes m_takes;
    Sound m_sound;
};

} // namespace tarvex
