#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <functional>

namespace tarvex {

// Where a writer's composed text goes: encoded and written out in pieces as it grows,
// once the writer is given somewhere to write, so no output is held whole. A writer
// used on its own, without a destination, gathers its whole file here instead.
class EncodedPieces {
public:
    using Encoder = QByteArray (*)(QStringView);
    using Destination = std::function<void(const QByteArray&)>;

    explicit EncodedPieces(Encoder encoder)
        : m_encoder(encoder) {}

    // From now on the pieces are written there; a destination reports a failure by throwing.
    void writeTo(Destination destination) { m_destination = std::move(destination); }

    // Writes the text and empties it once it is long enough to be worth a write. The
    // text must end between characters the encoder can take on their own (after a line
    // or an item, never inside a surrogate pair).
    void passOn(QString& text);

    // Hands on the rest of the text and returns the bytes not written to a destination:
    // the whole file when there is none, nothing otherwise.
    QByteArray finish(QString& text);

private:
    void put(QStringView text);

    Encoder m_encoder;
    Destination m_destination;
    QByteArray m_gathered;
};

// UTF-8, the encoding of both scripts.
QByteArray utf8Of(QStringView text);

} // namespace tarvex
