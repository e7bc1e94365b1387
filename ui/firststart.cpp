#include "firststart.h"

#include "common/tarvexerror.h"
#include "settings/appfolder.h"
#include "settings/options.h"
#include "store/registercreation.h"
#include "store/registerstore.h"
#include "userprompts.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

// Whether the settings already in the folder name a register on a server: the office keeps no
// register file here then. Settings that cannot be read are the main window's to report.
bool choosesServer(const QString& appDir) {
    try {
        return Options(appDir).registerEngine() == RegisterEngine::Postgres;
    } catch (const TarvexError&) {
        return false;
    }
}

} // namespace

FirstStart::FirstStart(const AppFolder& folder)
    : m_appDir(folder.path) {
    const QString database = RegisterStore::databasePath(folder.path);
    if (folder.kind != AppFolderKind::UserData || QFileInfo::exists(database))
        return;
    try {
        if (choosesServer(folder.path)) {
            createOutputFolder(folder.path);
            return;
        }
        createRegister(database);
        m_createdRegister = database;
        createOutputFolder(folder.path);
    } catch (const TarvexError& error) {
        m_error = error.message();
    }
}

void FirstStart::tell(UserPrompts& prompts, QWidget* parent) const {
    if (!m_error.isEmpty()) {
        prompts.showError(parent, m_error);
    } else if (!m_createdRegister.isEmpty()) {
        prompts.inform(
            parent, u"Новый реестр"_s,
            u"Создан новый пустой реестр авиакомпаний:\n%1\n\n"
            u"Папка данных программы — %2. В ней хранятся реестр (DB/Tarvex.mdb), "
            u"настройки (options.ini) и сформированные файлы (папка Files)."_s.arg(
                QDir::toNativeSeparators(m_createdRegister), QDir::toNativeSeparators(QDir::cleanPath(m_appDir))));
    }
}

} // namespace tarvex
