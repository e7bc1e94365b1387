#pragma once

#include <QIODevice>
#include <QList>

namespace tarvex::testing {

// Stands before a file as a disk with room for `capacity` bytes of it: writes pass on
// to the file until it would grow past that, the write that reaches the limit is cut
// short, and the next one fails with the system's text for ENOSPC, just as write(2)
// behaves on a full disk. Rewriting bytes already written (a header patched in
// place) always succeeds. The length of every write asked for is added to writeLog
// when one is given.
class FullDiskDevice : public QIODevice {
public:
    FullDiskDevice(QIODevice& file, qint64 capacity, QList<qint64>* writeLog = nullptr);

    bool isSequential() const override { return false; }
    bool seek(qint64 position) override;
    qint64 size() const override { return m_file.size(); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 length) override;

private:
    QIODevice& m_file;
    qint64 m_capacity;
    QList<qint64>* m_writeLog;
};

} // namespace tarvex::testing
