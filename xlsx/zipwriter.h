#pragma once

#include "xmlwriter.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <vector>
#include <zlib.h>

class QIODevice;

namespace tarvex::xlsx {

// Writes a ZIP archive of deflated entries into a seekable device in one pass. Each
// entry's local header gets its CRC-32 and sizes after the data, by seeking back.
// Deflated data reaches the device in blocks of 64 KB, so an unbuffered file is
// written efficiently.
class ZipWriter : public ByteSink {
public:
    // zlib's default level (6), the one spreadsheet packages are usually written with.
    static constexpr int kDefaultLevel = Z_DEFAULT_COMPRESSION;

    ZipWriter(QIODevice& device, const QDateTime& entryTime, int level = kDefaultLevel);
    ~ZipWriter() override;
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    // The data of an entry goes through write() between these two.
    bool beginEntry(const QByteArray& utf8Name);
    bool write(const char* data, qsizetype size) override;
    bool endEntry();

    // Writes the central directory and the end record.
    bool finish();

    QString errorString() const { return m_error; }

private:
    struct EntryRecord {
        QByteArray name;
        quint32 crc = 0;
        quint32 compressedSize = 0;
        quint32 size = 0;
        quint32 headerOffset = 0;
    };

    bool deflateInput(const char* data, qsizetype size, int flush);
    // Hands the deflated data gathered in the output block to the device.
    bool writePending();
    bool writeDevice(const QByteArray& bytes);
    bool writeDevice(const char* data, qint64 size);
    bool fail(const QString& message);
    QByteArray localHeader(const EntryRecord& entry) const;
    QByteArray centralHeader(const EntryRecord& entry) const;

    QIODevice& m_device;
    quint16 m_dosTime = 0;
    quint16 m_dosDate = 0;
    z_stream m_stream{};
    bool m_streamReady = false;
    std::vector<char> m_output;
    std::size_t m_pending = 0; // deflated bytes in m_output not yet written
    std::vector<EntryRecord> m_entries;
    EntryRecord m_current;
    quint64 m_currentCompressed = 0;
    quint64 m_currentSize = 0;
    QString m_error;
};

} // namespace tarvex::xlsx
