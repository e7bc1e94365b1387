#include "filenamepreview.h"

#include "generation/outputname.h"

#include <QLabel>

namespace tarvex {

void showFileNameEnding(QLabel& preview, bool withDate, const QString& extension, const QDate& today) {
    const QString ending = withDate ? u'_' + shortDateText(today) + extension : extension;
    preview.setText(ending);
}

} // namespace tarvex
