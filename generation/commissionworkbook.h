#pragma once

#include "airlinesink.h"
#include "xlsx/workbook.h"

#include <QString>
#include <QStringList>

namespace tarvex {

// Builds the agency's commission table: a title, a header row and one block of rows per
// airline (its comment first, then one row per condition), with the airline's values
// merged down the block. Writing the workbook to a file is the caller's part.
class CommissionWorkbook : public AirlineSink {
public:
    // The date text ("09.12.2024") names the sheet and ends the title. Without fees the
    // service fee column stays empty.
    CommissionWorkbook(const QString& dateText, bool includeFees);

    void addAirline(const AirlineRecord& airline, const ConditionList& conditions) override;

    const xlsx::Workbook& workbook() const { return m_workbook; }
    // One line for each text of the register that was longer than a cell holds and went in cut, with "…" at
    // its end: a spreadsheet program would refuse the whole file otherwise.
    const QStringList& warnings() const { return m_warnings; }

    // The sheet keeps at least this many rows; a longer register grows it.
    static constexpr int kMinimumRowCount = 10000;
    static constexpr int kColumnCount = 10;
    static constexpr int kFirstBlockRow = 3; // row 4

private:
    void setUpStyles();
    void writeTitleAndHeaders(const QString& dateText);
    void ensureRow(int row);
    void styleAirlineCells(int row);               // A to C, and D like the headers
    void styleCommissionCells(int row, int style); // E and F
    // Which text of the register a cell holds, named in the warning when it is cut.
    enum class RegisterText { Code, IataCode, Name, Comment, Commission, Fee };
    // Puts a text of the airline (or of its condition `conditionId`) into a cell, cut to what a cell holds.
    void setRegisterText(int column, int row, const QString& text, const AirlineRecord& airline, RegisterText what,
                         qint64 conditionId = 0);

    xlsx::Workbook m_workbook;
    xlsx::Sheet* m_sheet = nullptr;
    bool m_includeFees = true;
    int m_nextRow = kFirstBlockRow;
    QStringList m_warnings;
};

} // namespace tarvex
