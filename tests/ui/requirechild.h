#pragma once

#include <QObject>
#include <QString>

namespace tarvex::testing {

// The window's child of that object name. A missing one stops the test program: the
// window is broken, and every check after it would only repeat that.
template <typename T>
T* requireChild(const QObject* window, const QString& name) {
    T* found = window->findChild<T*>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

} // namespace tarvex::testing
