#include "common/hugepageheap.h"

#include <QFile>
#include <QTest>

#include <cstdint>
#include <cstdlib>
#include <cstring>

using namespace Qt::StringLiterals;

// The heap the command-line tool grows in huge pages: the range its blocks come from carries the
// advice, and a block of several megabytes comes from that range rather than a mapping of its own.
class TestHugePageHeap : public QObject {
    Q_OBJECT
private slots:
    void largeBlocksComeFromTheAdvisedHeap() {
#ifdef __SANITIZE_ADDRESS__
        QSKIP("AddressSanitizer's allocator keeps its blocks in mappings of its own, not in the heap");
#endif
        if (!QFile::exists(u"/sys/kernel/mm/transparent_hugepage/enabled"_s))
            QSKIP("this system offers no huge pages");
        tarvex::growHeapInHugePages();
        constexpr std::size_t kBlock = 8 << 20;
        void* block = std::malloc(kBlock);
        QVERIFY(block);
        std::memset(block, 1, kBlock);
        // The advice starts at the first huge page boundary of the heap, which a block's start may come before.
        const QByteArray flags = mappingFlags(reinterpret_cast<std::uintptr_t>(block) + kBlock - 1);
        std::free(block);
        QVERIFY2(!flags.isNull(), "the block is in no mapping of the process");
        QVERIFY2(flags.split(' ').contains("hg"), flags.constData());
    }

private:
    // The VmFlags of the mapping that holds the address; null when none does.
    static QByteArray mappingFlags(std::uintptr_t address) {
        QFile maps(u"/proc/self/smaps"_s);
        if (!maps.open(QIODevice::ReadOnly))
            return {};
        bool inside = false;
        for (const QByteArray& untrimmed : maps.readAll().split('\n')) {
            const QByteArray line = untrimmed.trimmed();
            const qsizetype dash = line.indexOf('-');
            const qsizetype space = line.indexOf(' ');
            if (dash > 0 && space > dash && !line.startsWith("VmFlags")) {
                bool ok = false;
                const std::uintptr_t start = line.left(dash).toULongLong(&ok, 16);
                const std::uintptr_t end = line.mid(dash + 1, space - dash - 1).toULongLong(nullptr, 16);
                inside = ok && address >= start && address < end;
            } else if (inside && line.startsWith("VmFlags:")) {
                return line.mid(8).trimmed();
            }
        }
        return {};
    }
};

QTEST_GUILESS_MAIN(TestHugePageHeap)
#include "tst_hugepageheap.moc"
