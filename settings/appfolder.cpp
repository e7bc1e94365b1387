#include "appfolder.h"

#include "common/tarvexerror.h"
#include "options.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

const QString kHelpFileName = u"Tarvex_Help.html"_s;

bool holdsProgramData(const QString& folder) {
    return QFileInfo(folder + u"DB"_s).isDir() || QFileInfo::exists(folder + u"options.ini"_s);
}

QString userDataFolder(const QString& xdgDataHome, const QString& homeFolder) {
    if (!xdgDataHome.isEmpty() && QDir::isAbsolutePath(xdgDataHome))
        return xdgDataHome;
    return homeFolder + u"/.local/share"_s;
}

} // namespace

QString appFolder(const QString& directory) {
    const QString path = QDir(directory).absolutePath();
    return path.endsWith(u'/') ? path : path + u'/';
}

AppFolder locateAppFolder(const QString& executableFolder, const QString& xdgDataHome, const QString& homeFolder) {
    const QString own = appFolder(executableFolder);
    if (holdsProgramData(own))
        return {own, AppFolderKind::Portable};
    return {appFolder(userDataFolder(xdgDataHome, homeFolder) + u"/tarvex"_s), AppFolderKind::UserData};
}

AppFolder locateAppFolder() {
    return locateAppFolder(QCoreApplication::applicationDirPath(), qEnvironmentVariable("XDG_DATA_HOME"),
                           QDir::homePath());
}

void createOutputFolder(const QString& appDir) {
    const QString folder = Options(appDir).defaultOutputFolder();
    if (!QDir().mkpath(folder))
        throw TarvexError(u"Не удалось создать папку %1"_s.arg(QDir::toNativeSeparators(folder)));
}

QString helpPagePath(const QString& executableFolder) {
    const QString beside = appFolder(executableFolder) + kHelpFileName;
    const QString installed =
        appFolder(executableFolder + u'/' + QStringLiteral(TARVEX_DATA_FROM_BINDIR)) + kHelpFileName;
    return !QFileInfo(beside).isFile() && QFileInfo(installed).isFile() ? installed : beside;
}

QString helpPagePath() {
    return helpPagePath(QCoreApplication::applicationDirPath());
}

} // namespace tarvex
