// tarvex: the desktop program over the register in the folder of the executable.

#include "settings/appfolder.h"
#include "ui/desktopopener.h"
#include "ui/desktopprogram.h"
#include "ui/userprompts.h"

#include <QApplication>
#include <QIcon>

using namespace Qt::StringLiterals;

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(u"Tarvex"_s);
    QApplication::setApplicationVersion(QStringLiteral(TARVEX_VERSION));
    // Outside a desktop session Qt names no icon theme; the freedesktop names then come from Adwaita.
    if (QIcon::fallbackThemeName().isEmpty() || QIcon::fallbackThemeName() == u"hicolor"_s)
        QIcon::setFallbackThemeName(u"Adwaita"_s);
    QApplication::setWindowIcon(QIcon::fromTheme(u"tarvex"_s));

    tarvex::MessageBoxPrompts prompts;
    tarvex::SystemDesktopOpener opener;
    tarvex::DesktopProgram program(tarvex::executableAppFolder(), prompts, opener);
    return application.exec();
}
