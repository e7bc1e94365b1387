#pragma once

#include "iniquery.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <functional>

namespace tarvex {

// The settings file as the program reads and writes it. Every call opens the file, does its work and closes it
// again; nothing is kept between calls, so a write is seen by the very next read. A missing or unreadable file
// reads as empty, so every reader returns its default.
class IniFile {
public:
    explicit IniFile(QString path);

    const QString& path() const { return m_path; }

    QString readText(QStringView section, QStringView key, const QString& defaultValue) const;
    // A missing key or a value that parseIniInteger does not take gives the default.
    int readInteger(QStringView section, QStringView key, int defaultValue) const;
    // Exactly 1 is on; any other number, a word or a missing key is off.
    bool readFlag(QStringView section, QStringView key) const;
    QList<IniEntry> readSectionLines(QStringView section) const;

    // Each write replaces the file through a temporary file, so a failed write leaves the old file whole. A file
    // whose owner-write permission is off is not written. On failure errorString() says which file.
    bool writeText(QStringView section, QStringView key, QStringView value);
    bool writeInteger(QStringView section, QStringView key, int value);
    bool eraseSection(QStringView section);

    // "Unable to write to <full path>" after a failed write, empty after a successful one.
    QString errorString() const { return m_errorString; }

private:
    QString readContents() const;
    bool rewrite(const std::function<QString(QStringView)>& edit);

    QString m_path;
    QString m_errorString;
};

} // namespace tarvex
