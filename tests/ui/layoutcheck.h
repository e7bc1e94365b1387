#pragma once

#include <QStringList>

class QWidget;

namespace tarvex::testing {

// The window's texts that are not shown whole: a label, button or check box narrower than its
// text, a group box narrower than its title, or a label whose text runs into the control beside it.
QStringList textsNotShownWhole(const QWidget* window);

} // namespace tarvex::testing
