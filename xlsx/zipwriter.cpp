#include "zipwriter.h"

#include "chunkeddeflate.h"

#include "common/devicewrite.h"

#include <QIODevice>
#include <QtEndian>

#include <libdeflate.h>

#include <limits>

namespace tarvex::xlsx {

namespace {

constexpr quint32 kLocalHeaderSignature = 0x04034b50;
constexpr quint32 kCentralHeaderSignature = 0x02014b50;
constexpr quint32 kEndRecordSignature = 0x06054b50;
constexpr quint16 kVersion = 20; // 2.0: deflate
constexpr quint16 kUtf8NameFlag = 0x0800;
constexpr quint16 kDeflated = 8;
constexpr quint64 kMaxZip32 = std::numeric_limits<quint32>::max();
// The device is written unbuffered: headers and the pieces of streamed entries go in blocks of this size.
constexpr std::size_t kDeviceBlockSize = 256 * 1024;

// Little-endian fields, as every ZIP structure has them.
class FieldWriter {
public:
    explicit FieldWriter(QByteArray& out)
        : m_out(out) {}
    FieldWriter& u16(quint16 value) {
        const quint16 le = qToLittleEndian(value);
        m_out.append(reinterpret_cast<const char*>(&le), 2);
        return *this;
    }
    FieldWriter& u32(quint32 value) {
        const quint32 le = qToLittleEndian(value);
        m_out.append(reinterpret_cast<const char*>(&le), 4);
        return *this;
    }

private:
    QByteArray& m_out;
};

} // namespace

ZipWriter::ZipWriter(QIODevice& device, const QDateTime& entryTime, int level)
    : m_device(device)
    , m_compressor(libdeflate_alloc_compressor(level))
    , m_offset(quint64(device.pos())) {
    const QDate date = entryTime.date();
    const QTime time = entryTime.time();
    m_dosTime = quint16((time.hour() << 11) | (time.minute() << 5) | (time.second() / 2));
    m_dosDate = quint16((qMax(date.year() - 1980, 0) << 9) | (date.month() << 5) | date.day());
    if (!m_compressor)
        m_error = QStringLiteral("Cannot initialise deflate");
}

ZipWriter::~ZipWriter() {
    libdeflate_free_compressor(m_compressor);
}

bool ZipWriter::fail(const QString& message) {
    if (m_error.isEmpty())
        m_error = message;
    return false;
}

bool ZipWriter::writeDevice(const char* data, qint64 size) {
    m_offset += quint64(size);
    if (m_unwritten.size() + std::size_t(size) < kDeviceBlockSize) {
        m_unwritten.append(data, std::size_t(size));
        return true;
    }
    if (!flushDevice())
        return false;
    if (size >= qint64(kDeviceBlockSize))
        return writeFully(m_device, data, size) || fail(m_device.errorString());
    m_unwritten.assign(data, std::size_t(size));
    return true;
}

bool ZipWriter::flushDevice() {
    if (!writeFully(m_device, m_unwritten.data(), qint64(m_unwritten.size())))
        return fail(m_device.errorString());
    m_unwritten.clear();
    return true;
}

bool ZipWriter::writeDevice(const QByteArray& bytes) {
    return writeDevice(bytes.constData(), bytes.size());
}

QByteArray ZipWriter::localHeader(const EntryRecord& entry) const {
    QByteArray header;
    FieldWriter(header)
        .u32(kLocalHeaderSignature)
        .u16(kVersion)
        .u16(kUtf8NameFlag)
        .u16(kDeflated)
        .u16(m_dosTime)
        .u16(m_dosDate)
        .u32(entry.crc)
        .u32(entry.compressedSize)
        .u32(entry.size)
        .u16(quint16(entry.name.size()))
        .u16(0); // no extra field
    return header + entry.name;
}

QByteArray ZipWriter::centralHeader(const EntryRecord& entry) const {
    QByteArray header;
    FieldWriter(header)
        .u32(kCentralHeaderSignature)
        .u16(kVersion) // made by
        .u16(kVersion) // needed
        .u16(kUtf8NameFlag)
        .u16(kDeflated)
        .u16(m_dosTime)
        .u16(m_dosDate)
        .u32(entry.crc)
        .u32(entry.compressedSize)
        .u32(entry.size)
        .u16(quint16(entry.name.size()))
        .u16(0) // extra field
        .u16(0) // comment
        .u16(0) // disk
        .u16(0) // internal attributes
        .u32(0) // external attributes
        .u32(entry.headerOffset);
    return header + entry.name;
}

bool ZipWriter::beginEntry(const QByteArray& utf8Name) {
    if (!m_error.isEmpty())
        return false;
    m_currentName = utf8Name;
    m_data.clear();
    return true;
}

bool ZipWriter::write(const char* data, qsizetype size) {
    if (!m_error.isEmpty())
        return false;
    if (m_data.size() + std::size_t(size) > kMaxZip32)
        return fail(QStringLiteral("The entry %1 is too large").arg(QString::fromUtf8(m_currentName)));
    m_data.append(data, std::size_t(size));
    return true;
}

bool ZipWriter::endEntry() {
    if (!m_error.isEmpty())
        return false;
    m_compressed.resize(libdeflate_deflate_compress_bound(m_compressor, m_data.size()));
    const std::size_t compressedSize = libdeflate_deflate_compress(m_compressor, m_data.data(), m_data.size(),
                                                                   m_compressed.data(), m_compressed.size());
    if (compressedSize == 0)
        return fail(QStringLiteral("Deflate failed"));
    const EntryRecord entry{m_currentName, libdeflate_crc32(0, m_data.data(), m_data.size()), 0, quint32(m_data.size()),
                            0};
    m_data.clear();
    return beginEntryData(entry, compressedSize) && writeDevice(m_compressed.data(), qint64(compressedSize));
}

bool ZipWriter::writeDeflatedEntry(const QByteArray& utf8Name, const DeflatedData& data) {
    if (!m_error.isEmpty())
        return false;
    if (data.failed)
        return fail(QStringLiteral("Deflate failed"));
    if (data.size > kMaxZip32)
        return fail(QStringLiteral("The entry %1 is too large").arg(QString::fromUtf8(utf8Name)));
    if (!beginEntryData({utf8Name, data.crc, 0, quint32(data.size), 0}, data.compressedSize()))
        return false;
    for (const std::string& piece : data.pieces) {
        if (!writeDevice(piece.data(), qint64(piece.size())))
            return false;
    }
    return true;
}

bool ZipWriter::beginEntryData(EntryRecord entry, quint64 compressedSize) {
    if (m_offset > kMaxZip32)
        return fail(QStringLiteral("The archive is too large"));
    if (compressedSize > kMaxZip32)
        return fail(QStringLiteral("The entry %1 is too large").arg(QString::fromUtf8(entry.name)));
    entry.compressedSize = quint32(compressedSize);
    entry.headerOffset = quint32(m_offset);
    if (!writeDevice(localHeader(entry)))
        return false;
    m_entries.push_back(entry);
    return true;
}

bool ZipWriter::finish() {
    if (!m_error.isEmpty())
        return false;
    const quint64 directoryOffset = m_offset;
    QByteArray directory;
    for (const EntryRecord& entry : m_entries)
        directory += centralHeader(entry);
    const qint64 directorySize = directory.size();
    if (directoryOffset + quint64(directorySize) > kMaxZip32)
        return fail(QStringLiteral("The archive is too large"));
    FieldWriter(directory)
        .u32(kEndRecordSignature)
        .u16(0) // this disk
        .u16(0) // disk of the directory
        .u16(quint16(m_entries.size()))
        .u16(quint16(m_entries.size()))
        .u32(quint32(directorySize))
        .u32(quint32(directoryOffset))
        .u16(0); // no comment
    return writeDevice(directory) && flushDevice();
}

} // namespace tarvex::xlsx
