#include "zipentries.h"

#include <QtEndian>

#include <zlib.h>

namespace {

quint16 u16(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

quint32 u32(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

QByteArray inflateRaw(const QByteArray& compressed, qsizetype expectedSize, bool* ok) {
    QByteArray out(expectedSize, '\0');
    z_stream stream{};
    *ok = inflateInit2(&stream, -MAX_WBITS) == Z_OK;
    if (!*ok)
        return {};
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.constData()));
    stream.avail_in = uInt(compressed.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    const int status = inflate(&stream, Z_FINISH);
    *ok = status == Z_STREAM_END && stream.avail_out == 0 && stream.avail_in == 0;
    inflateEnd(&stream);
    return out;
}

} // namespace

QStringList ZipArchive::names() const {
    QStringList list;
    for (const ZipEntry& entry : entries)
        list.append(entry.name);
    return list;
}

QByteArray ZipArchive::data(const QString& name) const {
    const ZipEntry* found = entry(name);
    return found ? found->data : QByteArray();
}

const ZipEntry* ZipArchive::entry(const QString& name) const {
    for (const ZipEntry& candidate : entries) {
        if (candidate.name == name)
            return &candidate;
    }
    return nullptr;
}

ZipArchive readZip(const QByteArray& archive) {
    ZipArchive result;
    const qsizetype endRecord = archive.size() - 22;
    if (endRecord < 0 || u32(archive, endRecord) != 0x06054b50) {
        result.problems.append(QStringLiteral("no end record without comment at the end"));
        return result;
    }
    const int count = u16(archive, endRecord + 10);
    const qsizetype directorySize = u32(archive, endRecord + 12);
    qsizetype at = u32(archive, endRecord + 16);
    if (at + directorySize != endRecord)
        result.problems.append(QStringLiteral("central directory does not end at the end record"));

    for (int i = 0; i < count; ++i) {
        if (u32(archive, at) != 0x02014b50) {
            result.problems.append(QStringLiteral("bad central header %1").arg(i));
            return result;
        }
        const quint32 crc = u32(archive, at + 16);
        const quint32 compressedSize = u32(archive, at + 20);
        const quint32 size = u32(archive, at + 24);
        const int nameLength = u16(archive, at + 28);
        const int extraAndComment = u16(archive, at + 30) + u16(archive, at + 32);
        const qsizetype local = u32(archive, at + 42);
        const QByteArray name = archive.mid(at + 46, nameLength);
        at += 46 + nameLength + extraAndComment;

        const QString label = QString::fromUtf8(name);
        if (u32(archive, local) != 0x04034b50 || u16(archive, local + 4) != 20 || u16(archive, local + 6) != 0x0800 ||
            u16(archive, local + 8) != 8 || u16(archive, local + 28) != 0)
            result.problems.append(label + QStringLiteral(": local header fields"));
        if (u32(archive, local + 14) != crc || u32(archive, local + 18) != compressedSize ||
            u32(archive, local + 22) != size || archive.mid(local + 30, u16(archive, local + 26)) != name)
            result.problems.append(label + QStringLiteral(": local header differs from the directory"));

        bool inflated = false;
        const QByteArray data = inflateRaw(archive.mid(local + 30 + nameLength, compressedSize), size, &inflated);
        if (!inflated)
            result.problems.append(label + QStringLiteral(": deflate data"));
        if (crc32(0, reinterpret_cast<const Bytef*>(data.constData()), uInt(data.size())) != crc)
            result.problems.append(label + QStringLiteral(": CRC-32"));
        result.entries.append({label, data, compressedSize});
    }
    return result;
}
