#include "registerwait.h"

#include "store/registerstore.h"

#include <QCursor>
#include <QGuiApplication>

using namespace Qt::StringLiterals;

namespace tarvex {

BusyCursor::BusyCursor() {
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

BusyCursor::~BusyCursor() {
    QGuiApplication::restoreOverrideCursor();
}

void waitUntilRegisterIsFree(RegisterStore& store) {
    const BusyCursor busy;
    store.waitUntilFreeForWriting();
}

QString failedSaveMessage(const QString& reason) {
    return reason + u"\nВсё введённое осталось в окне."_s;
}

} // namespace tarvex
