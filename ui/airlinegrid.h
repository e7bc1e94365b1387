#pragma once

#include <QTableView>

namespace tarvex {

class CursorModel;
class TableCursor;

// The register's airlines as the main window shows them: code, IATA code, name, BSP,
// commission and fee, in columns that share the grid's width in fixed proportions, and
// rows tall enough for two lines of the data's type, whose text wraps. The grid's current
// row is the airline cursor's current row, whichever of the two moves it.
class AirlineGrid : public QTableView {
    Q_OBJECT
public:
    explicit AirlineGrid(TableCursor& airlines, QWidget* parent = nullptr);

    // The size of the data's type, and rows that hold two lines of it; the column titles keep theirs.
    void setDataFontSize(int points);

protected:
    bool viewportEvent(QEvent* event) override;

private:
    void fitColumns();
    void followCursorLater();
    void showCursorRow();

    TableCursor& m_airlines;
    CursorModel* m_model;
    bool m_modelChanging = false;
    bool m_followPending = false;
};

} // namespace tarvex
