// tarvex: the desktop program over the register of its app folder (see locateAppFolder()).

#include "settings/appfolder.h"
#include "ui/desktopopener.h"
#include "ui/desktopprogram.h"
#include "ui/icons.h"
#include "ui/userprompts.h"

#include <QApplication>

using namespace Qt::StringLiterals;

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(u"Tarvex"_s);
    QApplication::setApplicationVersion(QStringLiteral(TARVEX_VERSION));
    QApplication::setWindowIcon(tarvex::programIcon());

    tarvex::MessageBoxPrompts prompts;
    tarvex::SystemDesktopOpener opener;
    tarvex::DesktopProgram program(tarvex::locateAppFolder(), prompts, opener);
    return application.exec();
}
