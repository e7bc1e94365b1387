#pragma once

#include "iniquery.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <functional>

namespace tarvex {

// The settings file as the program reads and writes it. Every call opens the file, does its work and closes it
// again; nothing is kept between calls, so a write is seen by the very next read. A missing file reads as empty,
// so every reader returns its default. A file that exists but cannot be read (no permission, a folder or a pipe
// in its place, a failing read) makes every reader throw SettingsError: defaults in place of the user's values
// would quietly write outputs elsewhere.
class IniFile {
public:
    explicit IniFile(QString path);

    const QString& path() const { return m_path; }

    // Throws SettingsError, naming the file and the reason, when the file exists but cannot be read.
    void checkReadable() const;

    QString readText(QStringView section, QStringView key, const QString& defaultValue) const;
    // A missing key or a value that parseIniInteger does not take gives the default.
    int readInteger(QStringView section, QStringView key, int defaultValue) const;
    // Exactly 1 is on; any other number, a word or a missing key is off.
    bool readFlag(QStringView section, QStringView key) const;
    QList<IniEntry> readSectionLines(QStringView section) const;

    // Each write replaces the file through a temporary file, so a failed write leaves the old file whole. A file
    // whose owner-write permission is off, or that cannot be read, is not written. On failure errorString() says
    // which file and why.
    bool writeText(QStringView section, QStringView key, QStringView value);
    bool writeInteger(QStringView section, QStringView key, int value);
    bool eraseSection(QStringView section);

    // "Unable to write to <full path>: <the system's reason>" after a failed write, empty after a successful one.
    QString errorString() const { return m_errorString; }

private:
    QString readContents() const;
    bool rewrite(const std::function<QString(QStringView)>& edit);

    QString m_path;
    QString m_errorString;
};

} // namespace tarvex
