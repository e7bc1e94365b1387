// One of the load script's editing agents: opens the register on a PostgreSQL server as the windows
// do and, until its time is up, saves one text field of a random airline after another through the
// airline cursor, each to a token no other save uses. Every save that went through is logged with
// the value this copy read before it, so the load script can check afterwards that the saves of
// all agents form one unbroken chain per field and that no refused save wrote anything.
//
// Log lines, tab-separated, values percent-encoded UTF-8:
//   save <airline id> <field> <from> <to>
//   refused <airline id> <field> <to>
//   error <message>
//   counts <saves> <conflicts> <errors>

#include "store/registerstore.h"
#include "store/storeerror.h"
#include "store/tablewriter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <random>
#include <unordered_map>

using namespace Qt::StringLiterals;
using namespace tarvex;

namespace {

// The fields edited: their widths decide the token's shape.
struct EditedField {
    QString name;
    bool narrow; // three characters, as AccCode
};
const EditedField kFields[] = {{u"AirName"_s, false}, {u"Comment"_s, false}, {u"AccCode"_s, true}};

// A narrow token is a lower-case letter naming the process and the airline's save number in two
// characters of this alphabet: no stored IATA code (digits) looks like one.
constexpr QStringView kDigits = u"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kNarrowTokens = 62 * 62;

// A value no other save of any process writes to this airline's field: the process and the
// number of this process's save of the airline. A wide token names the airline too, so that no two
// airlines come to share a name: a Smart Flow could not tell them apart and would not be written.
QString tokenFor(const EditedField& field, int process, qint64 airline, int number) {
    if (!field.narrow)
        return u"p%1-%2-%3"_s.arg(process).arg(airline).arg(number);
    return QString(QChar(u'a' + process)) + kDigits[number / 62] + kDigits[number % 62];
}

class LoadLog {
public:
    explicit LoadLog(const QString& path)
        : m_file(path) {
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            fail(m_file.errorString());
    }

    void line(const QList<QByteArray>& fields) {
        QByteArray text = fields.join('\t');
        text += '\n';
        if (m_file.write(text) != text.size())
            fail(m_file.errorString());
    }
    static QByteArray encoded(const QString& value) { return value.toUtf8().toPercentEncoding(); }

    void close() {
        if (!m_file.flush())
            fail(m_file.errorString());
        m_file.close();
    }

private:
    [[noreturn]] void fail(const QString& why) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(m_file.fileName()), qPrintable(why));
        std::exit(2);
    }
    QFile m_file;
};

struct Counts {
    qint64 saves = 0;
    qint64 conflicts = 0;
    qint64 errors = 0;
};

// Edits random airlines until `seconds` have passed.
Counts editUntil(RegisterStore& store, int process, int seconds, LoadLog& log) {
    TableCursor& airlines = store.airlines();
    std::mt19937 random(process);
    std::uniform_int_distribution<int> anyField(0, std::size(kFields) - 1);
    // Re-reading now and then keeps most edits on fresh rows, so refusals stay a fraction.
    std::bernoulli_distribution refreshNow(0.05);
    std::unordered_map<qint64, int> savesOfAirline;
    Counts counts;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < seconds * 1000LL) {
        try {
            if (refreshNow(random))
                airlines.refresh();
            airlines.setCurrentRow(std::uniform_int_distribution<int>(0, airlines.recordCount() - 1)(random));
            const qint64 id = airlines.value(0).toLongLong();
            int& number = savesOfAirline[id];
            // Once the airline's narrow tokens are spent, only a wide field is edited.
            const EditedField& field = kFields[number < kNarrowTokens ? anyField(random) : 0];
            airlines.edit();
            const QString from = airlines.value(field.name).toString();
            const QString to = tokenFor(field, process, id, number++);
            airlines.setValue(field.name, to);
            try {
                airlines.post();
            } catch (const RowChangedElsewhere&) {
                ++counts.conflicts; // nothing written; the cursor holds the stored row again
                log.line({"refused", QByteArray::number(id), field.name.toUtf8(), LoadLog::encoded(to)});
                continue;
            }
            ++counts.saves;
            log.line(
                {"save", QByteArray::number(id), field.name.toUtf8(), LoadLog::encoded(from), LoadLog::encoded(to)});
        } catch (const StoreError& error) {
            ++counts.errors;
            log.line({"error", LoadLog::encoded(error.message())});
            if (airlines.state() != TableCursor::State::Browse)
                airlines.cancel();
        }
    }
    return counts;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Edits airlines of a register on a PostgreSQL server for the load script."_s);
    parser.addHelpOption();
    const QCommandLineOption host(u"host"_s, u"The server's host or socket folder."_s, u"host"_s);
    const QCommandLineOption port(u"port"_s, u"The server's port."_s, u"port"_s, u"5432"_s);
    const QCommandLineOption name(u"name"_s, u"The database."_s, u"name"_s);
    const QCommandLineOption user(u"user"_s, u"The role to log in as."_s, u"user"_s);
    const QCommandLineOption process(u"process"_s, u"This editor's number, 1 to 25: seeds it, names its saves."_s,
                                     u"number"_s);
    const QCommandLineOption seconds(u"seconds"_s, u"How long to edit."_s, u"seconds"_s);
    const QCommandLineOption logPath(u"log"_s, u"The file the saves are logged to."_s, u"file"_s);
    parser.addOptions({host, port, name, user, process, seconds, logPath});
    parser.process(application);

    const int processNumber = parser.value(process).toInt();
    const int duration = parser.value(seconds).toInt();
    if (processNumber < 1 || processNumber > 25 || duration < 1 || !parser.isSet(logPath))
        parser.showHelp(1);

    ServerAddress address;
    address.host = parser.value(host);
    address.port = parser.value(port).toInt();
    address.name = parser.value(name);
    address.user = parser.value(user);

    LoadLog log(parser.value(logPath));
    RegisterStore store;
    try {
        store.openServer(address, {}, RegisterStore::Use::ForWindows);
    } catch (const StoreError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    if (store.isReadOnly() || store.airlines().isEmpty()) {
        std::fprintf(stderr, "the register cannot be edited: %s\n",
                     qPrintable(store.isReadOnly() ? store.readOnlyReason() : u"no airlines"_s));
        return 1;
    }
    const Counts counts = editUntil(store, processNumber, duration, log);
    log.line({"counts", QByteArray::number(counts.saves), QByteArray::number(counts.conflicts),
              QByteArray::number(counts.errors)});
    log.close();
    return 0;
}
