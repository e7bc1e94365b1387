#pragma once

#include "airlinesink.h"
#include "xlsx/rowstreamedworkbook.h"
#include "xlsx/workbook.h"

#include <QString>
#include <QStringList>

#include <array>
#include <memory>

class QIODevice;

namespace tarvex {

// Composes the agency's commission table: a title, a header row and one block of rows per
// airline (its comment first, then one row per condition), with the airline's values
// merged down the block. The rows are written as the airlines come, in the workbook's
// compressed form; the caller has the package written at the end.
class CommissionWorkbook : public AirlineSink {
public:
    // The date text ("09.12.2024") names the sheet and ends the title. Without fees the
    // service fee column stays empty.
    CommissionWorkbook(const QString& dateText, bool includeFees);

    void addAirline(const AirlineRecord& airline, const ConditionList& conditions) override;

    // Fills the sheet to its minimum rows and writes the package into the device; once, after
    // the last airline. On failure returns false and, when asked, the reason.
    bool writePackage(QIODevice& out, QString* errorMessage = nullptr);

    // One line for each text of the register that was longer than a cell holds and went in cut, with "…" at
    // its end: a spreadsheet program would refuse the whole file otherwise.
    const QStringList& warnings() const { return m_warnings; }

    // The sheet keeps at least this many rows; a longer register grows it.
    static constexpr int kMinimumRowCount = 10000;
    static constexpr int kColumnCount = 10;
    static constexpr int kFirstBlockRow = 3; // row 4

private:
    void setUpStyles();
    void setUpColumns();
    void writeTitleAndHeaders(const QString& dateText);
    // The row being composed goes into the sheet and the next one starts empty.
    void endRow();
    void styleAirlineCells();             // A to C, and D like the headers
    void styleCommissionCells(int style); // E and F
    void merge(int column1, int row1, int column2, int row2);
    // Which text of the register a cell holds, named in the warning when it is cut.
    enum class RegisterText { Code, IataCode, Name, Comment, Commission, Fee };
    // Puts a text of the airline (or of its condition `conditionId`) into a cell of the row being composed,
    // cut to what a cell holds.
    void setRegisterText(int column, const QString& text, const AirlineRecord& airline, RegisterText what,
                         qint64 conditionId = 0);

    // The styles, the sheet's title and columns: what the rows are written with.
    xlsx::Workbook m_frame;
    std::unique_ptr<xlsx::RowStreamedWorkbook> m_sheet;
    std::array<xlsx::Cell, kColumnCount> m_row;
    xlsx::LineOptions m_rowOptions{xlsx::Sheet::kDefaultRowHeight};
    bool m_includeFees = true;
    QStringList m_warnings;
};

} // namespace tarvex
