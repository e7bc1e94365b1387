#pragma once

#include <QByteArray>
#include <QTemporaryFile>

namespace tarvex {

class OutputFile;

// Bytes set aside in an unnamed temporary file beside an output, for text that must
// follow a part composed only once all of it is known. A failure ends the run as one
// of the output's own does; the temporary file goes when the spool does.
class SpoolFile {
public:
    // Throws GenerationError when the temporary file cannot be created.
    explicit SpoolFile(const OutputFile& output);

    void write(const QByteArray& bytes);
    // Appends everything set aside to the output, in pieces.
    void copyInto(OutputFile& output);

private:
    const OutputFile& m_output; // whose name the failures carry
    QTemporaryFile m_file;
};

} // namespace tarvex
