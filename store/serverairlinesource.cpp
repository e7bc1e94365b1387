#include "airlinesource.h"

#include "registerstore.h"
#include "schema.h"
#include "serverconnection.h"
#include "serverschema.h"
#include "storedrecords.h"
#include "storeerror.h"

#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

const QString kAirlinesSubject = u"авиакомпании (tbMain)"_s;
const QString kConditionsSubject = u"условия авиакомпаний (tbComm)"_s;

StoreError readFailure(const RegisterStore& store, const QString& subject, const QSqlQuery& query) {
    return StoreError(
        u"Не удалось прочитать %1 из реестра %2: %3"_s.arg(subject, store.place(), query.lastError().databaseText()));
}

// The store's connection, made again first when it was lost since the last command.
QSqlDatabase liveConnection(RegisterStore& store) {
    QSqlDatabase connection = store.connection();
    reconnectIfLost(connection, RegisterTask::Read, kAirlinesSubject);
    return connection;
}

// The register on the server through Qt's PostgreSQL driver. The snapshot of a repeatable
// read transaction is taken at its first query and serves both result sets.
class ServerAirlineSource : public AirlineSource {
public:
    ServerAirlineSource(RegisterStore& store, bool withConditions)
        : m_store(store)
        , m_airlines(liveConnection(store))
        , m_conditions(store.connection()) {
        QSqlQuery begin(store.connection());
        if (!begin.exec(u"BEGIN ISOLATION LEVEL REPEATABLE READ, READ ONLY"_s))
            throw readFailure(store, kAirlinesSubject, begin);
        m_inTransaction = true;
        // The conditions are sorted in their airlines' order; the server's default sort memory (4 MB) sends the
        // sort of a register of thousands of airlines to disk. For this transaction only.
        if (!begin.exec(u"SET LOCAL work_mem = '64MB'"_s))
            throw readFailure(store, kConditionsSubject, begin);
        // Qt's driver streams a forward-only query row by row, and a connection streams one query at a time: the
        // airlines, far fewer than the conditions, are read whole first, and the conditions stream. A reader of the
        // airlines alone has them streamed.
        m_conditions.setForwardOnly(true);
        m_airlines.setForwardOnly(!withConditions);
    }
    ~ServerAirlineSource() override {
        m_airlines.finish();
        m_conditions.finish();
        if (m_inTransaction)
            QSqlQuery(m_store.connection()).exec(u"ROLLBACK"_s); // nothing was written
    }

    int airlineCount() override {
        QSqlQuery count(m_store.connection());
        if (!count.exec(u"SELECT COUNT(*) FROM tbMain"_s) || !count.next())
            throw readFailure(m_store, kAirlinesSubject, count);
        const int airlines = count.value(0).toInt();
        run(m_airlines, airlinesInCodeOrder(serverschema::selectList(schema::tbMain(), m_store.format())),
            kAirlinesSubject);
        return airlines;
    }
    bool nextAirline(AirlineRecord& airline) override {
        if (!step(m_airlines, kAirlinesSubject))
            return false;
        readAirlineRow(m_airlines, 0, airline);
        return true;
    }
    // The conditions of all airlines in their airlines' order: the airline's own stand next.
    bool nextConditionOf(qint64 airlineId) override {
        // Sent at the first condition asked for, so a reader of the airlines alone never sends it.
        if (!m_conditionsSent) {
            run(m_conditions, conditionsInCodeOrder(serverschema::selectList(schema::tbComm(), m_store.format(), u"c")),
                kConditionsSubject);
            m_conditionsSent = true;
            m_conditionStanding = step(m_conditions, kConditionsSubject);
        } else if (m_conditionTaken) {
            m_conditionStanding = step(m_conditions, kConditionsSubject);
        }
        m_conditionTaken = m_conditionStanding && m_conditions.value(conditionOwnerColumn()).toLongLong() == airlineId;
        return m_conditionTaken;
    }
    void readCondition(ConditionRecord& condition) override { readConditionRow(m_conditions, 0, condition); }

private:
    void run(QSqlQuery& query, const QString& sql, const QString& subject) {
        if (!query.exec(sql))
            throw readFailure(m_store, subject, query);
    }
    // A query that ends its rows and one the connection lost both stop next(): only the error tells them apart.
    bool step(QSqlQuery& query, const QString& subject) {
        if (query.next())
            return true;
        if (query.lastError().isValid())
            throw readFailure(m_store, subject, query);
        return false;
    }

    RegisterStore& m_store;
    QSqlQuery m_airlines;
    QSqlQuery m_conditions;
    bool m_inTransaction = false;
    bool m_conditionsSent = false;
    bool m_conditionStanding = false; // the conditions' query stands on a row
    bool m_conditionTaken = false;    // that row was handed out: the next call steps past it
};

} // namespace

std::unique_ptr<AirlineSource> serverAirlineSource(RegisterStore& store, bool withConditions) {
    return std::make_unique<ServerAirlineSource>(store, withConditions);
}

} // namespace tarvex
