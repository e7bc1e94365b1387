#include "peakmemory.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include <cstdio>

namespace tarvex::bench {

long ownPeakResidentKilobytes() {
    // VmHWM belongs to the address space made by exec, so nothing of the parent is counted
    // (ru_maxrss would count the parent's pages when it spawned the child).
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

void printOwnPeak() {
    std::printf("%ld\n", ownPeakResidentKilobytes());
}

long childPeakResidentKilobytes(const QStringList& arguments) {
    QProcess child;
    child.start(QStringLiteral("/proc/self/exe"), arguments);
    if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return -1;
    bool ok = false;
    const long peak = child.readAllStandardOutput().trimmed().toLong(&ok);
    return ok ? peak : -1;
}

} // namespace tarvex::bench
