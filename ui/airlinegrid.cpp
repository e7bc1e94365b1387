#include "airlinegrid.h"

#include "airlinegriddelegate.h"
#include "columnwidths.h"
#include "rowindicator.h"
#include "store/cursormodel.h"
#include "store/tablecursor.h"

#include <QEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QToolTip>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

struct ShownColumn {
    QString field;
    int designWidth;
};

// The columns of the grid, left to right, with their widths as designed.
const QList<ShownColumn>& shownColumns() {
    static const QList<ShownColumn> columns = {
        {u"AirCode"_s, 39}, {u"AccCode"_s, 39},    {u"AirName"_s, 155},
        {u"BSP"_s, 39},     {u"Commision"_s, 218}, {u"Fee"_s, 226},
    };
    return columns;
}

constexpr int kRowHeight = 34;
constexpr int kRowMargin = 8; // what a row holds besides two lines of the usual type
constexpr int kTitleHeight = 17;
const QColor kAlternateRowColor(255, 251, 240);

QStringList shownFields() {
    QStringList fields;
    for (const ShownColumn& column : shownColumns())
        fields << column.field;
    return fields;
}

} // namespace

AirlineGrid::AirlineGrid(TableCursor& airlines, QWidget* parent)
    : QTableView(parent)
    , m_airlines(airlines)
    , m_model(new CursorModel(airlines, shownFields(), this)) {
    setModel(m_model);
    setObjectName(u"grMain"_s);
    setAccessibleName(u"Авиакомпании"_s);
    setEditTriggers(NoEditTriggers);
    setTabKeyNavigation(false); // Tab goes on to the next control; the arrow keys move between rows
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setAlternatingRowColors(true);
    setWordWrap(true);
    setShowGrid(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(ScrollPerItem);

    QPalette colors = palette();
    colors.setColor(QPalette::AlternateBase, kAlternateRowColor);
    setPalette(colors);

    QHeaderView* titles = horizontalHeader();
    QFont titleFont(u"Tahoma"_s, 8);
    titleFont.setBold(true);
    titles->setFont(titleFont);
    titles->setFixedHeight(kTitleHeight);
    titles->setSectionsClickable(false);
    titles->setHighlightSections(false);
    titles->setSectionResizeMode(QHeaderView::Fixed);
    titles->setMinimumSectionSize(1);
    titles->setAccessibleName(u"Заголовки столбцов"_s);

    setVerticalHeader(new RowIndicator(this));
    QHeaderView* rows = verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(kRowHeight);
    rows->setDefaultSectionSize(kRowHeight);
    rows->setAccessibleName(u"Строки"_s);

    setItemDelegate(new AirlineGridDelegate(
        int(shownFields().indexOf(u"BSP"_s)),
        [this](int row) {
            const EndingMark* mark = markOfRow(row);
            return mark ? (mark->ended ? kEndedColour : kEndingSoonColour) : QColor();
        },
        this));

    // The cursor may move many times in a row (a generation walk moves it through every
    // airline); the grid catches up once control returns to the event loop.
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { m_modelChanging = true; });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        m_modelChanging = false;
        followCursorLater();
    });
    connect(&airlines, &TableCursor::currentRowChanged, this, &AirlineGrid::followCursorLater);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this, rows](const QModelIndex& current) {
        rows->viewport()->update();
        // A pending change of the current row belongs to the editor; the grid never posts it.
        if (!m_modelChanging && current.isValid() && m_airlines.state() == TableCursor::State::Browse)
            m_airlines.setCurrentRow(current.row());
    });
}

void AirlineGrid::setDataFontSize(int points) {
    QFont data = font();
    data.setPointSize(points);
    setFont(data);
    // Two lines of a larger type need taller rows; the designed height holds them at the usual size.
    const int twoLines = 2 * QFontMetrics(data).lineSpacing() + kRowMargin;
    verticalHeader()->setMinimumSectionSize(std::max(kRowHeight, twoLines));
    verticalHeader()->setDefaultSectionSize(std::max(kRowHeight, twoLines));
}

const QColor AirlineGrid::kEndingSoonColour(255, 236, 160);
const QColor AirlineGrid::kEndedColour(248, 196, 196);

void AirlineGrid::setEndingMarks(QHash<qint64, EndingMark> marks) {
    m_endingMarks = std::move(marks);
    viewport()->update();
}

const EndingMark* AirlineGrid::markOfRow(int row) const {
    if (m_endingMarks.isEmpty())
        return nullptr;
    const auto found = m_endingMarks.constFind(heldInteger(m_airlines.valueAt(row, 0)));
    return found == m_endingMarks.cend() ? nullptr : &*found;
}

bool AirlineGrid::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Resize)
        fitColumns();
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        if (const EndingMark* mark = index.isValid() && index.column() == 0 ? markOfRow(index.row()) : nullptr) {
            QToolTip::showText(help->globalPos(), mark->text, viewport(), visualRect(index));
            return true;
        }
    }
    return QTableView::viewportEvent(event);
}

void AirlineGrid::fitColumns() {
    QList<int> design;
    for (const ShownColumn& column : shownColumns())
        design << column.designWidth;
    const QList<int> widths = proportionalWidths(design, viewport()->width());
    for (int i = 0; i < widths.size(); ++i)
        setColumnWidth(i, widths[i]);
}

void AirlineGrid::followCursorLater() {
    if (m_followPending)
        return;
    m_followPending = true;
    QMetaObject::invokeMethod(this, &AirlineGrid::showCursorRow, Qt::QueuedConnection);
}

void AirlineGrid::showCursorRow() {
    m_followPending = false;
    if (m_modelChanging)
        return;
    const int row = m_airlines.currentRow();
    if (row < 0 || row >= m_model->rowCount()) {
        selectionModel()->clear();
        return;
    }
    const QModelIndex current = m_model->index(row, 0);
    if (selectionModel()->currentIndex().row() != row || !selectionModel()->isRowSelected(row)) {
        selectionModel()->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(current);
    }
}

} // namespace tarvex
