// tarvex: the desktop program over the register of its app folder (see locateAppFolder()).

#include "settings/appfolder.h"
#include "ui/desktopopener.h"
#include "ui/desktopprogram.h"
#include "ui/greydisabledicons.h"
#include "ui/icons.h"
#include "ui/qttranslations.h"
#include "ui/userprompts.h"

#include <QApplication>
#include <QLibraryInfo>

using namespace Qt::StringLiterals;

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(u"Tarvex"_s);
    QApplication::setApplicationVersion(QStringLiteral(TARVEX_VERSION));
    QApplication::setWindowIcon(tarvex::programIcon());
    QApplication::setStyle(new tarvex::GreyDisabledIconsStyle);
    if (!tarvex::installQtRussian(application))
        qWarning("%s", qPrintable(u"Перевод Qt (qtbase_ru.qm) не найден в %1: стандартные окна Qt будут на английском. "
                                  u"В Debian его ставит пакет qt6-translations-l10n."_s.arg(
                                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))));

    tarvex::MessageBoxPrompts prompts;
    tarvex::SystemDesktopOpener opener;
    tarvex::DesktopProgram program(tarvex::locateAppFolder(), prompts, opener);
    return application.exec();
}
