#pragma once

#include "generationerror.h"

#include <QSaveFile>
#include <QString>

#include <functional>
#include <memory>

namespace tarvex {

// Stands between the writers and the output file when given: it passes on to the file
// what it accepts. Tests place one there that fails at a given byte, as a full disk does.
using DeviceFilter = std::function<std::unique_ptr<QIODevice>(QIODevice& file)>;

// "Cannot create file "<path>". <reason>": how a run reports a file it could not write.
QString cannotCreateFileMessage(const QString& path, const QString& reason);

// An output file written in full to a temporary file beside the target and put in
// its place only by commit(), so a failed run leaves the previous file untouched.
// Every write reaches the system at once and is checked, so a failure carries the
// system's own reason and is never found out only after the rename.
class OutputFile {
public:
    // Throws GenerationError (cannotCreateFileMessage) when the file cannot be created:
    // a missing folder, no access.
    explicit OutputFile(const QString& path, const DeviceFilter& filter = {});

    const QString& path() const { return m_path; }
    // What the writers write to: the file, or the filter standing before it.
    QIODevice& device() { return m_filter ? *m_filter : static_cast<QIODevice&>(m_file); }
    // Throws GenerationError when the bytes cannot all be written.
    void write(const QByteArray& bytes);
    // Throws GenerationError when the data cannot be made durable or put in place.
    void commit();
    // Ends the run with cannotCreateFileMessage; the target is untouched.
    [[noreturn]] void fail(const QString& reason) const;

private:
    QString m_path;
    QSaveFile m_file;
    std::unique_ptr<QIODevice> m_filter; // declared after the file it writes to
};

} // namespace tarvex
