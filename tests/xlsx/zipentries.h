#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// A small independent reader of the archives the package writer makes: it walks the
// central directory, checks each local header against it and inflates the data.
struct ZipEntry {
    QString name;
    QByteArray data;
    qint64 compressedSize = 0;
};

struct ZipArchive {
    QList<ZipEntry> entries; // in directory order
    QStringList problems;    // empty for a sound archive

    QStringList names() const;
    QByteArray data(const QString& name) const;
    const ZipEntry* entry(const QString& name) const; // nullptr when missing
};

ZipArchive readZip(const QByteArray& archive);
