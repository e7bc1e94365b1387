#include "inifile.h"

#include "common/pathstatus.h"
#include "common/systemerror.h"
#include "common/writeprotection.h"
#include "iniedit.h"
#include "initext.h"
#include "settingserror.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <optional>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

// The file's contents, empty when the file is missing; failure says why a file that exists cannot be read.
struct LoadResult {
    IniText contents;
    QString failure;
};

LoadResult load(const QString& path) {
    const PathStatus status = pathStatus(path);
    switch (status.kind) {
    case PathStatus::Kind::Missing:
        return {};
    case PathStatus::Kind::Folder:
        return {{}, systemErrorText(EISDIR)};
    case PathStatus::Kind::OtherKind:
        return {{}, u"это не обычный файл"_s};
    case PathStatus::Kind::Unreachable:
        return {{}, status.reason()};
    case PathStatus::Kind::File:
        break;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, file.errorString()};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {{}, file.errorString()};
    QString problem;
    std::optional<IniText> contents = decodeIniBytes(bytes, &problem);
    if (!contents)
        return {{}, problem};
    return {std::move(*contents), {}};
}

// Writes the whole file beside the target and renames it over the target only once every byte is on the storage.
// Unbuffered, because a buffered QSaveFile whose final flush fails still renames; and a short write, which Qt
// reports without an error, must not be committed either.
bool replaceFile(const QString& path, const QByteArray& bytes, QString* reason) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *reason = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        *reason = writeFailureReason(file);
        return false; // the temporary file goes with `file`
    }
    if (!syncToStorage(file, reason))
        return false;
    if (!file.commit()) {
        *reason = file.errorString();
        return false;
    }
    return true;
}

} // namespace

IniFile::IniFile(QString path)
    : m_path(std::move(path)) {}

void IniFile::checkReadable() const {
    readContents();
}

QString IniFile::readContents() const {
    LoadResult loaded = load(m_path);
    if (!loaded.failure.isEmpty()) {
        throw SettingsError(
            u"Не удалось прочитать файл настроек %1: %2"_s.arg(QFileInfo(m_path).absoluteFilePath(), loaded.failure));
    }
    return loaded.contents.text;
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
    QString reason = loaded.failure;
    if (reason.isEmpty() && isWriteProtected(m_path))
        reason = systemErrorText(EACCES);
    if (reason.isEmpty()) {
        loaded.contents.text = edit(loaded.contents.text);
        if (replaceFile(m_path, encodeIniText(loaded.contents), &reason))
            return true;
    }
    m_errorString = u"Unable to write to %1: %2"_s.arg(QFileInfo(m_path).absoluteFilePath(), reason);
    return false;
}

} // namespace tarvex
