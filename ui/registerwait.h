#pragma once

#include <QString>

namespace tarvex {

class RegisterStore;

// Shows the busy cursor while the register is asked something that may wait for another
// program's lock (at most the store's busy timeout). Let it go before showing a message.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// Waits under the busy cursor until the register may take changes, before a window opens
// for them (RegisterStore::waitUntilFreeForWriting()). Throws StoreError when it stays busy.
void waitUntilRegisterIsFree(RegisterStore& store);

// What an editor says when storing what the user typed failed: why, and that nothing typed is lost.
QString failedSaveMessage(const QString& reason);

} // namespace tarvex
