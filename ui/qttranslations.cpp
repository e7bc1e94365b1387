#include "qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace tarvex {

bool installQtRussian(QCoreApplication& application) {
    auto* translator = new QTranslator(&application);
    const bool found = translator->load(QLocale(QLocale::Russian, QLocale::Russia), u"qtbase"_s, u"_"_s,
                                        QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (!found || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

} // namespace tarvex
