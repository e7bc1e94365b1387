#include "inifile.h"

#include "common/writeprotection.h"
#include "iniedit.h"
#include "initext.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <optional>

namespace tarvex {

namespace {

// The file's contents; nothing when the file is missing; an error when it exists but cannot be read.
struct LoadResult {
    bool readable = true;
    IniText contents;
};

LoadResult load(const QString& path) {
    QFile file(path);
    if (!file.exists())
        return {};
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return {false, {}};
    return {true, decodeIniBytes(file.readAll())};
}

bool save(const QString& path, const IniText& contents) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(encodeIniText(contents));
    return file.commit();
}

} // namespace

IniFile::IniFile(QString path)
    : m_path(std::move(path)) {}

QString IniFile::readContents() const {
    return load(m_path).contents.text;
}

QString IniFile::readText(QStringView section, QStringView key, const QString& defaultValue) const {
    return findIniValue(readContents(), section, key).value_or(defaultValue);
}

int IniFile::readInteger(QStringView section, QStringView key, int defaultValue) const {
    const std::optional<QString> value = findIniValue(readContents(), section, key);
    return value ? parseIniInteger(*value).value_or(defaultValue) : defaultValue;
}

bool IniFile::readFlag(QStringView section, QStringView key) const {
    return readInteger(section, key, 0) == 1;
}

QList<IniEntry> IniFile::readSectionLines(QStringView section) const {
    return iniSectionEntries(readContents(), section);
}

bool IniFile::writeText(QStringView section, QStringView key, QStringView value) {
    return rewrite([&](QStringView text) { return iniTextWithValue(text, section, key, value); });
}

bool IniFile::writeInteger(QStringView section, QStringView key, int value) {
    return writeText(section, key, QString::number(value));
}

bool IniFile::eraseSection(QStringView section) {
    return rewrite([&](QStringView text) { return iniTextWithoutSection(text, section); });
}

bool IniFile::rewrite(const std::function<QString(QStringView)>& edit) {
    m_errorString.clear();
    // A file that exists but cannot be read must not be replaced by one holding only the new key.
    LoadResult loaded = load(m_path);
    if (loaded.readable && !isWriteProtected(m_path)) {
        loaded.contents.text = edit(loaded.contents.text);
        if (save(m_path, loaded.contents))
            return true;
    }
    m_errorString = QStringLiteral("Unable to write to %1").arg(QFileInfo(m_path).absoluteFilePath());
    return false;
}

} // namespace tarvex
