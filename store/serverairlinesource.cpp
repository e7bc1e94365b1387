#include "airlinesource.h"

#include "libpq.h"
#include "registerstore.h"
#include "schema.h"
#include "serverconnection.h"
#include "storedrecords.h"
#include "storeerror.h"

#include <memory>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

const QString kAirlinesSubject = u"авиакомпании (tbMain)"_s;
const QString kConditionsSubject = u"условия авиакомпаний (tbComm)"_s;

// Rows fetched from a cursor at a time: few round trips, and little held at once.
constexpr int kBatchRows = 2000;

// A result of libpq, cleared when it goes out of scope.
struct ResultClearing {
    void operator()(PGresult* result) const { libpq().clear(result); }
};
using LibpqResult = std::unique_ptr<PGresult, ResultClearing>;

int rowsOf(const LibpqResult& result) {
    return result ? libpq().ntuples(result.get()) : 0;
}

// Where the reading of one cursor stands: a batch fetched, and the row in it.
struct CursorRows {
    CursorRows(QByteArray cursorName, QString readSubject)
        : name(std::move(cursorName))
        , subject(std::move(readSubject)) {}
    QByteArray name;
    QString subject;
    LibpqResult batch;
    int row = -1;
    bool lastBatch = false; // the batch held is the cursor's last: it came short
};

// The register on the server, read through libpq itself on the connection of Qt's driver: the
// rows come in text form, each text as the UTF-8 bytes the server keeps, with no conversion on
// the server and no value made for each field by the driver. Both queries run as cursors of one
// repeatable read transaction, whose snapshot serves them both, and are fetched in step a batch
// at a time.
//
// The cursor read through (the conditions, or the airlines when they are read alone) has its next
// batch asked for as soon as a batch arrives, so that the server finds the next rows while these
// are written. A cursor is planned for its first rows: with the airlines' index on their code
// (serverschema::createStatements()) the server finds them in order without sorting every
// condition first.
class ServerAirlineSource : public AirlineSource {
public:
    ServerAirlineSource(RegisterStore& store, bool withConditions)
        : m_store(store)
        , m_connection(connectionOf(store))
        , m_airlines("tarvex_airlines", kAirlinesSubject)
        , m_conditions("tarvex_conditions", kConditionsSubject)
        , m_readThrough(withConditions ? &m_conditions : &m_airlines) {
        command("BEGIN ISOLATION LEVEL REPEATABLE READ, READ ONLY", kAirlinesSubject);
        try {
            // Where the server does sort the conditions, its default sort memory (4 MB) would send the sort of a
            // register of thousands of airlines to disk. For this transaction only.
            command("SET LOCAL work_mem = '64MB'", kConditionsSubject);
            declare(m_airlines, airlinesInCodeOrder(airlineRecordColumns(store.format())));
            if (withConditions)
                declare(m_conditions,
                        conditionsInCodeOrder(schema::selectList(schema::tbComm(), store.format(), u"c")));
        } catch (...) {
            endTransaction();
            throw;
        }
    }
    ~ServerAirlineSource() override { endTransaction(); }

    int airlineCount() override {
        const LibpqResult count = command("SELECT COUNT(*) FROM tbMain", kAirlinesSubject);
        return rowsOf(count) == 1 ? QByteArray(libpq().getvalue(count.get(), 0, 0)).toInt() : 0;
    }
    bool nextAirline(AirlineRecord& airline) override {
        if (!step(m_airlines))
            return false;
        readAirlineRow(m_airlines.batch.get(), m_airlines.row, airline);
        return true;
    }
    // The conditions of all airlines in their airlines' order: the airline's own stand next.
    bool nextConditionOf(qint64 airlineId) override {
        if (!m_conditionStanding || m_conditionTaken)
            m_conditionStanding = step(m_conditions);
        m_conditionTaken = m_conditionStanding && ownerOfCondition() == airlineId;
        return m_conditionTaken;
    }
    void readCondition(ConditionRecord& condition) override {
        readConditionRow(m_conditions.batch.get(), m_conditions.row, condition);
    }

private:
    static PGconn* connectionOf(RegisterStore& store) {
        QSqlDatabase connection = store.connection();
        reconnectIfLost(connection, RegisterTask::Read, kAirlinesSubject);
        PGconn* handle = libpqConnection(connection);
        if (!handle)
            throw StoreError(u"Не удалось прочитать %1 из реестра %2: нет соединения с сервером"_s.arg(kAirlinesSubject,
                                                                                                       store.place()));
        return handle;
    }

    // Nothing was written: the transaction is rolled back, and its cursors close with it.
    void endTransaction() {
        if (m_fetchAhead) // its answer comes before any other
            takeResult();
        LibpqResult(libpq().exec(m_connection, "ROLLBACK"));
    }

    // Runs a statement and gives its result; StoreError with the server's reason when it fails.
    LibpqResult command(const QByteArray& sql, const QString& subject) {
        collectFetchAhead(); // the connection answers one statement at a time
        LibpqResult result(libpq().exec(m_connection, sql.constData()));
        requireSuccess(result, subject);
        return result;
    }
    void requireSuccess(const LibpqResult& result, const QString& subject) const {
        const ExecStatusType status = result ? libpq().resultStatus(result.get()) : PGRES_FATAL_ERROR;
        if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
            return;
        // The server's own words; for a failure of libpq itself (a lost connection), libpq's.
        QString reason =
            result ? QString::fromUtf8(libpq().resultErrorField(result.get(), PG_DIAG_MESSAGE_PRIMARY)) : QString();
        if (reason.isEmpty() && result)
            reason = QString::fromUtf8(libpq().resultErrorMessage(result.get())).trimmed();
        if (reason.isEmpty())
            reason = QString::fromUtf8(libpq().errorMessage(m_connection)).trimmed();
        throw StoreError(u"Не удалось прочитать %1 из реестра %2: %3"_s.arg(subject, m_store.place(), reason));
    }
    void declare(const CursorRows& cursor, const QString& query) {
        command("DECLARE " + cursor.name + " NO SCROLL CURSOR FOR " + query.toUtf8(), cursor.subject);
    }
    static QByteArray fetchStatement(const CursorRows& cursor) {
        return "FETCH " + QByteArray::number(kBatchRows) + " FROM " + cursor.name;
    }

    // The answer to the statement sent last, read to its end.
    LibpqResult takeResult() {
        LibpqResult result(libpq().getResult(m_connection));
        while (LibpqResult(libpq().getResult(m_connection))) {
        }
        return result;
    }
    // Asks for the next batch of the cursor read through, without waiting for it.
    void fetchAhead() {
        m_fetchAhead = libpq().sendQuery(m_connection, fetchStatement(*m_readThrough).constData()) == 1;
    }
    // Takes in the batch asked for ahead, so that another statement can be sent.
    void collectFetchAhead() {
        if (!m_fetchAhead)
            return;
        m_fetchAhead = false;
        m_batchAhead = takeResult();
        requireSuccess(m_batchAhead, m_readThrough->subject);
    }

    // Steps the cursor to its next row, taking the next batch when one is used up; false after the last row.
    bool step(CursorRows& cursor) {
        if (++cursor.row < rowsOf(cursor.batch))
            return true;
        if (cursor.lastBatch)
            return false;
        const bool readThrough = &cursor == m_readThrough;
        if (readThrough) {
            collectFetchAhead();
            cursor.batch = m_batchAhead ? std::move(m_batchAhead) : command(fetchStatement(cursor), cursor.subject);
        } else {
            cursor.batch = command(fetchStatement(cursor), cursor.subject);
        }
        cursor.row = 0;
        cursor.lastBatch = rowsOf(cursor.batch) < kBatchRows;
        if (readThrough && !cursor.lastBatch)
            fetchAhead();
        return rowsOf(cursor.batch) > 0;
    }
    qint64 ownerOfCondition() const {
        return QByteArray(libpq().getvalue(m_conditions.batch.get(), m_conditions.row, conditionOwnerColumn()))
            .toLongLong();
    }

    RegisterStore& m_store;
    PGconn* m_connection;
    CursorRows m_airlines;
    CursorRows m_conditions;
    CursorRows* m_readThrough;
    bool m_fetchAhead = false;        // a FETCH of m_readThrough is on its way
    LibpqResult m_batchAhead;         // its answer, taken in before it was needed
    bool m_conditionStanding = false; // the conditions' cursor stands on a row
    bool m_conditionTaken = false;    // that row was handed out: the next call steps past it
};

} // namespace

std::unique_ptr<AirlineSource> serverAirlineSource(RegisterStore& store, bool withConditions) {
    return std::make_unique<ServerAirlineSource>(store, withConditions);
}

} // namespace tarvex
