#pragma once

#include "generationerror.h"

#include <QSaveFile>
#include <QString>

namespace tarvex {

// Whether an existing file is marked read-only: its owner may not write it. The
// permission bit is asked for itself, so the answer holds for root too.
bool isWriteProtected(const QString& path);

// An output file written in full to a temporary file beside the target and put in
// its place only by commit(), so a failed run leaves the previous file untouched.
class OutputFile {
public:
    // Throws GenerationError "Cannot create file "<path>". <reason>" when the file
    // cannot be created: a missing folder, no access, a read-only target.
    explicit OutputFile(const QString& path);

    QIODevice& device() { return m_file; }
    void write(const QByteArray& bytes);
    // Throws GenerationError when the data cannot be written or put in place.
    void commit();
    // Ends the run with "Cannot create file "<path>". <reason>"; the target is untouched.
    [[noreturn]] void fail(const QString& reason) const;

private:
    QString m_path;
    QSaveFile m_file;
};

} // namespace tarvex
