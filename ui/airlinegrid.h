#pragma once

#include "endingmarks.h"

#include <QTableView>

namespace tarvex {

class CursorModel;
class TableCursor;

// The register's airlines as the main window shows them: code, IATA code, name, BSP,
// commission and fee, in columns that share the grid's width in fixed proportions, and
// rows tall enough for two lines of the data's type, whose text wraps; the code of an
// airline whose contract or condition ends soon is marked. The grid's current
// row is the airline cursor's current row, whichever of the two moves it.
class AirlineGrid : public QTableView {
    Q_OBJECT
public:
    explicit AirlineGrid(TableCursor& airlines, QWidget* parent = nullptr);

    // The size of the data's type, and rows that hold two lines of it; the column titles keep theirs.
    void setDataFontSize(int points);

    // Marks the code of each airline whose contract or condition ends soon (yellow) or
    // has ended (red); its tooltip says what ends when.
    void setEndingMarks(QHash<qint64, EndingMark> marks);
    static const QColor kEndingSoonColour;
    static const QColor kEndedColour;

protected:
    bool viewportEvent(QEvent* event) override;

private:
    void fitColumns();
    const EndingMark* markOfRow(int row) const;
    void followCursorLater();
    void showCursorRow();

    TableCursor& m_airlines;
    CursorModel* m_model;
    QHash<qint64, EndingMark> m_endingMarks;
    bool m_modelChanging = false;
    bool m_followPending = false;
};

} // namespace tarvex
