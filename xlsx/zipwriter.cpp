#include "zipwriter.h"

#include "common/devicewrite.h"

#include <QIODevice>
#include <QtEndian>

#include <limits>

namespace tarvex::xlsx {

namespace {

constexpr quint32 kLocalHeaderSignature = 0x04034b50;
constexpr quint32 kCentralHeaderSignature = 0x02014b50;
constexpr quint32 kEndRecordSignature = 0x06054b50;
constexpr quint16 kVersion = 20; // 2.0: deflate
constexpr quint16 kUtf8NameFlag = 0x0800;
constexpr quint16 kDeflated = 8;
constexpr int kCrcOffsetInLocalHeader = 14;
constexpr std::size_t kOutputSize = 64 * 1024;
constexpr quint64 kMaxZip32 = std::numeric_limits<quint32>::max();

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
    , m_output(kOutputSize) {
    const QDate date = entryTime.date();
    const QTime time = entryTime.time();
    m_dosTime = quint16((time.hour() << 11) | (time.minute() << 5) | (time.second() / 2));
    m_dosDate = quint16((qMax(date.year() - 1980, 0) << 9) | (date.month() << 5) | date.day());
    // Negative window bits: raw deflate data, as ZIP stores it.
    m_streamReady = deflateInit2(&m_stream, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    if (!m_streamReady)
        m_error = QStringLiteral("Cannot initialise deflate");
}

ZipWriter::~ZipWriter() {
    if (m_streamReady)
        deflateEnd(&m_stream);
}

bool ZipWriter::fail(const QString& message) {
    if (m_error.isEmpty())
        m_error = message;
    return false;
}

bool ZipWriter::writeDevice(const char* data, qint64 size) {
    if (!writeFully(m_device, data, size))
        return fail(m_device.errorString());
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
    if (!m_streamReady)
        return false;
    const qint64 offset = m_device.pos();
    if (quint64(offset) > kMaxZip32)
        return fail(QStringLiteral("The archive is too large"));
    m_current = EntryRecord{utf8Name, quint32(crc32(0, nullptr, 0)), 0, 0, quint32(offset)};
    m_currentCompressed = 0;
    m_currentSize = 0;
    deflateReset(&m_stream);
    return writeDevice(localHeader(m_current));
}

bool ZipWriter::write(const char* data, qsizetype size) {
    m_current.crc = quint32(crc32_z(m_current.crc, reinterpret_cast<const Bytef*>(data), z_size_t(size)));
    m_currentSize += quint64(size);
    return deflateInput(data, size, Z_NO_FLUSH);
}

bool ZipWriter::deflateInput(const char* data, qsizetype size, int flush) {
    if (!m_error.isEmpty())
        return false;
    m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    m_stream.avail_in = uInt(size);
    int status = Z_OK;
    do {
        if (m_pending == m_output.size() && !writePending())
            return false;
        const std::size_t room = m_output.size() - m_pending;
        m_stream.next_out = reinterpret_cast<Bytef*>(m_output.data() + m_pending);
        m_stream.avail_out = uInt(room);
        status = deflate(&m_stream, flush);
        if (status == Z_STREAM_ERROR)
            return fail(QStringLiteral("Deflate failed"));
        const std::size_t produced = room - m_stream.avail_out;
        m_pending += produced;
        m_currentCompressed += produced;
    } while (m_stream.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
    return true;
}

bool ZipWriter::writePending() {
    const qint64 size = qint64(m_pending);
    m_pending = 0;
    return size == 0 || writeDevice(m_output.data(), size);
}

bool ZipWriter::endEntry() {
    if (!deflateInput(nullptr, 0, Z_FINISH) || !writePending())
        return false;
    if (m_currentSize > kMaxZip32 || m_currentCompressed > kMaxZip32)
        return fail(QStringLiteral("The entry %1 is too large").arg(QString::fromUtf8(m_current.name)));
    m_current.size = quint32(m_currentSize);
    m_current.compressedSize = quint32(m_currentCompressed);

    const qint64 end = m_device.pos();
    QByteArray sizes;
    FieldWriter(sizes).u32(m_current.crc).u32(m_current.compressedSize).u32(m_current.size);
    if (!m_device.seek(m_current.headerOffset + kCrcOffsetInLocalHeader) || !writeDevice(sizes) || !m_device.seek(end))
        return fail(m_error.isEmpty() ? m_device.errorString() : m_error);
    m_entries.push_back(m_current);
    return true;
}

bool ZipWriter::finish() {
    if (!m_error.isEmpty())
        return false;
    const qint64 directoryOffset = m_device.pos();
    QByteArray directory;
    for (const EntryRecord& entry : m_entries)
        directory += centralHeader(entry);
    const qint64 directorySize = directory.size();
    if (quint64(directoryOffset) + quint64(directorySize) > kMaxZip32)
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
    return writeDevice(directory);
}

} // namespace tarvex::xlsx
