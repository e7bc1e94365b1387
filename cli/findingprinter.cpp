#include "findingprinter.h"

#include "common/devicewrite.h"
#include "generation/findingtext.h"
#include "generation/generationerror.h"

#include <QDir>
#include <QFileDevice>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

// Warnings held before they go to the file, and the pieces the file is read back in.
constexpr qsizetype kHeldWarnings = 256 * 1024;

} // namespace

FindingPrinter::FindingPrinter(bool severalOutputs)
    : m_severalOutputs(severalOutputs)
    , m_spool(QDir::tempPath() + u"/tarvex-findings-XXXXXX"_s) {}

void FindingPrinter::receive(const ScriptFinding& finding) {
    QByteArray line = findingLine(finding).toUtf8();
    line += '\n';
    if (finding.airlineId != m_airlineId) {
        m_airlineId = finding.airlineId;
        m_airlineLines.clear();
    }
    if (m_airlineLines.contains(line) || m_printed.contains(line))
        return;
    m_airlineLines << line;
    if (m_severalOutputs)
        m_lines << line;
    if (finding.kind == FindingKind::Error) {
        m_errors += line;
        return;
    }
    m_warnings += line;
    if (m_warnings.size() >= kHeldWarnings)
        setAside();
}

void FindingPrinter::setAside() {
    if (!m_spool.isOpen() && !m_spool.open())
        throw GenerationError(u"Не удалось создать временный файл для замечаний к скрипту %1: %2"_s.arg(
            m_spool.fileTemplate(), m_spool.errorString()));
    if (!writeFully(m_spool, m_warnings.constData(), m_warnings.size()))
        throw GenerationError(u"Не удалось записать замечания к скрипту во временный файл %1: %2"_s.arg(
            m_spool.fileName(), m_spool.errorString()));
    m_spooled += m_warnings.size();
    m_warnings.resize(0);
}

void FindingPrinter::print(QTextStream& stream) {
    stream.flush(); // what the stream holds comes first
    QIODevice& device = *stream.device();
    device.write(m_errors);
    if (m_spooled > 0) {
        if (!m_spool.flush() || !m_spool.seek(0))
            throw GenerationError(u"Не удалось прочитать замечания к скрипту из временного файла %1: %2"_s.arg(
                m_spool.fileName(), m_spool.errorString()));
        for (qint64 left = m_spooled; left > 0;) {
            const QByteArray piece = m_spool.read(std::min<qint64>(left, kHeldWarnings));
            if (piece.isEmpty())
                throw GenerationError(u"Не удалось прочитать замечания к скрипту из временного файла %1: %2"_s.arg(
                    m_spool.fileName(), m_spool.errorString()));
            device.write(piece);
            left -= piece.size();
        }
    }
    device.write(m_warnings);
    if (auto* file = qobject_cast<QFileDevice*>(&device))
        file->flush();
    for (const QByteArray& line : std::as_const(m_lines))
        m_printed.insert(line);
    drop();
}

void FindingPrinter::drop() {
    m_errors.clear();
    m_warnings.resize(0);
    m_lines.clear();
    m_airlineId.reset();
    m_airlineLines.clear();
    if (m_spooled > 0 && !m_spool.seek(0))
        throw GenerationError(u"Не удалось освободить временный файл замечаний к скрипту %1: %2"_s.arg(
            m_spool.fileName(), m_spool.errorString()));
    m_spooled = 0;
}

} // namespace tarvex
