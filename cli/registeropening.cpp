#include "registeropening.h"

#include "settings/options.h"
#include "store/registerstore.h"

namespace tarvex {

void openRegisterForOutputs(RegisterStore& store, const QString& appDir, const Options& options) {
    if (options.registerEngine() == RegisterEngine::Postgres)
        store.openServer(options.serverAddress());
    else
        store.open(appDir, RegisterStore::Use::ForOutputs);
}

} // namespace tarvex
