#pragma once

#include <QString>

class QFileDevice;

namespace tarvex {

// The system's own words for an error number, in the user's language: "No space left on device".
QString systemErrorText(int errorNumber);

// Why the last write to the file failed. Qt reports a short write (the disk filled up part way) without an error
// of its own; the system's reason is then in errno, so call this right after the failed write.
QString writeFailureReason(const QFileDevice& file);

// Forces what was written to the file onto the storage and reports whether that worked. A network or quota file
// system may report a failed write only here, and QSaveFile::commit() ignores the result of its own sync.
bool syncToStorage(QFileDevice& file, QString* reason);

} // namespace tarvex
