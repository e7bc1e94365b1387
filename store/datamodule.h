#pragma once

#include "sharedquery.h"
#include "tablecursor.h"

#include <QObject>
#include <QSqlDatabase>
#include <QString>

namespace tarvex {

// The one data module of the program: the connection to the register file, the three
// table cursors every window shares, and the shared query of the generators.
class TDataModule1 : public QObject {
    Q_OBJECT
public:
    explicit TDataModule1(QObject* parent = nullptr);
    ~TDataModule1() override;

    // The register file of an app folder (given with its trailing separator).
    static QString databasePath(const QString& appDir);

    // Opens the register and reads the three tables; tbMain is sorted by code.
    // Throws StoreError, naming the file, when it is missing, is not a database or
    // lacks a table or column. The file is never created here.
    void open(const QString& appDir);
    bool isOpen() const { return tbMain.isOpen(); }

    // Creates an empty register file; refuses when the file exists. Throws StoreError.
    static void createDatabase(const QString& path);

    // Shows every airline again in code order: the search filter is switched off.
    void resetAirlineView();

    // Deletes the current airline together with its conditions and fee rows, found by
    // the airline's own id, in one transaction.
    void deleteCurrentAirline();

    QSqlDatabase MainConnection;
    TableCursor tbMain;
    TableCursor tbComm;
    TableCursor tbFee;
    SharedQuery SQLQuery;

private:
    void checkSchema(const QString& path);
    const QString m_connectionName;
};

} // namespace tarvex
