#pragma once

#include "settings/options.h"

#include <QDate>
#include <QString>

namespace tarvex {

// The date as it goes into file names and texts: the Russian short date, 09.12.2024.
QString shortDateText(const QDate& date);

// path + "/" + name [+ "-with-remarks"] [+ "_" + date] + extension. The path is used as configured: no separator
// is removed and the folder is not created. A name holding "/" or a NUL character, or a path holding a NUL
// character, would put the file somewhere else than the settings say: it throws GenerationError naming the
// setting.
QString composeOutputName(const OutputNaming& naming, const QString& extension, bool withRemarks, const QDate& today);

} // namespace tarvex
