#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QObject;
class QWidget;

namespace tarvex::testing {

// The name assistive technology reads for the object: what Qt's accessibility interface gives.
QString spokenName(QObject* object);

// The window's labels that assistive technology reads as something other than the text they
// show, each as "object name: «read» for «shown»". Labels that show only a picture are left out.
QStringList labelsNotReadAsShown(const QWidget* window);

// The column titles of an item view as assistive technology reads them, through the view's table interface.
QStringList columnTitlesRead(QWidget* view);

// The visible, enabled controls of the window that Tab stops at, in focus-chain order.
QList<QWidget*> tabStops(QWidget* window);

// Activates the window and walks its focus order with real key presses, Tab (forward) or
// Shift+Tab, from the control that has the focus until the focus comes back to it. Returns
// what went wrong (a control that keeps the focus, a tab stop never reached), or nothing. A
// window of fewer than two tab stops has nowhere to walk.
QString focusWalkFault(QWidget* window, bool forward);

} // namespace tarvex::testing
