#pragma once

#include <QDate>
#include <QString>

class QLabel;

namespace tarvex {

// Shows what follows a base name box: "_" + the date + the extension when the date goes into the name, else the
// extension alone.
void showFileNameEnding(QLabel& preview, bool withDate, const QString& extension, const QDate& today);

} // namespace tarvex
