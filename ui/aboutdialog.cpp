#include "aboutdialog.h"

using namespace Qt::StringLiterals;

namespace tarvex {

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(u"О программе Tarvex"_s);
}

} // namespace tarvex
