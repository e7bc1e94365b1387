#pragma once

#include "xmlwriter.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <string>
#include <vector>

class QIODevice;
struct libdeflate_compressor;

namespace tarvex::xlsx {

struct DeflatedData;

// Writes a ZIP archive of deflated entries into a device in one pass. The data of an
// entry gathers in memory and is deflated in one piece when the entry ends: the
// compressor works on whole buffers, at about twice the speed of a streaming one, so
// the local header already carries the CRC-32 and sizes and the device need not seek.
// An entry too large to gather comes compressed as it was written (writeDeflatedEntry).
class ZipWriter : public ByteSink {
public:
    // On large sheet parts libdeflate's level 6 comes out 3.5 % larger than zlib's default
    // level (6); level 7 is 3 % smaller, in three quarters of zlib's time.
    static constexpr int kDefaultLevel = 7;

    ZipWriter(QIODevice& device, const QDateTime& entryTime, int level = kDefaultLevel);
    ~ZipWriter() override;
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    // The data of an entry goes through write() between these two.
    bool beginEntry(const QByteArray& utf8Name);
    bool write(const char* data, qsizetype size) override;
    bool endEntry();

    // Writes an entry compressed elsewhere (ChunkedDeflate), with no entry begun.
    bool writeDeflatedEntry(const QByteArray& utf8Name, const DeflatedData& data);

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

    bool writeDevice(const QByteArray& bytes);
    bool writeDevice(const char* data, qint64 size);
    bool flushDevice();
    bool fail(const QString& message);
    // Writes the local header and records the entry for the directory; its data follows.
    bool beginEntryData(EntryRecord entry, quint64 compressedSize);
    QByteArray localHeader(const EntryRecord& entry) const;
    QByteArray centralHeader(const EntryRecord& entry) const;

    QIODevice& m_device;
    quint16 m_dosTime = 0;
    quint16 m_dosDate = 0;
    libdeflate_compressor* m_compressor = nullptr;
    quint64 m_offset = 0;           // where the device stands, with what is still unwritten
    std::string m_unwritten;        // for the device, gathered into large blocks
    std::string m_data;             // the current entry's data
    std::vector<char> m_compressed; // reused from entry to entry
    std::vector<EntryRecord> m_entries;
    QByteArray m_currentName;
    QString m_error;
};

} // namespace tarvex::xlsx
