#include "airlineeditor.h"

#include "ui_airlineeditor.h"

#include "conditioneditor.h"
#include "keyfilter.h"
#include "registerwait.h"
#include "uppercasevalidator.h"
#include "userprompts.h"

#include "generation/scriptcheck.h"
#include "store/airlineselection.h"
#include "store/conditioncopy.h"
#include "store/cursormodel.h"
#include "store/registerstore.h"
#include "store/storeerror.h"
#include "store/summaryrebuild.h"
#include "store/tablewriter.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QShowEvent>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

// Widths of the list's columns, in the order they are shown, by table column name.
struct ListColumn {
    const char16_t* name;
    int width;
};
constexpr ListColumn kListColumns[] = {{u"ComCondition", 200}, {u"ComPCT", 45}, {u"ComSum", 45},
                                       {u"ComVal", 50},        {u"Fee", 45},    {u"Remarks", 135}};

const QColor kCream(255, 251, 240);
constexpr int kListRowHeight = 30;
constexpr int kListTitleHeight = 20;

// The standard layout of the airline group and of the one-line note.
constexpr int kAirlineGroupHeight = 98;
constexpr int kNoteHeight = 21;
// The grown note: the group fills the window above the buttons, the note the group below its boxes.
constexpr int kGrownGroupMargin = 40;
constexpr int kGrownNoteMargin = 75;

QVariant textValue(const QString& text) {
    return text.isEmpty() ? QVariant() : QVariant(text);
}

QIcon conditionIcon(const QWidget* widget, const QString& themeName, QStyle::StandardPixmap fallback) {
    return QIcon::fromTheme(themeName, widget->style()->standardIcon(fallback));
}

} // namespace

AirlineEditor::AirlineEditor(RegisterStore& store, ConditionEditor& conditionEditor, UserPrompts& prompts,
                             QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint)
    , m_ui(std::make_unique<Ui::AirlineEditor>())
    , m_store(store)
    , m_conditionEditor(conditionEditor)
    , m_prompts(prompts) {
    m_ui->setupUi(this);
    setFixedSize(size());
    m_ui->eAirCode->setValidator(new UpperCaseValidator(m_ui->eAirCode));
    m_ui->eAccCode->setValidator(new UpperCaseValidator(m_ui->eAccCode));
    KeyFilter::install(m_ui->eAirCode, airlineCodeTakes, KeyFilter::Sound::Silent);

    m_ui->btnDuplicate->setIcon(conditionIcon(this, u"edit-copy"_s, QStyle::SP_FileDialogContentsView));
    m_ui->btnAdd->setIcon(conditionIcon(this, u"list-add"_s, QStyle::SP_FileIcon));
    m_ui->btnEdit->setIcon(conditionIcon(this, u"document-properties"_s, QStyle::SP_FileDialogDetailedView));
    m_ui->btnDelete->setIcon(conditionIcon(this, u"list-remove"_s, QStyle::SP_TrashIcon));

    setUpConditionList();
    connectAirlineBoxes();
    watchFindings();
    connect(m_ui->btnSave, &QPushButton::clicked, this, &AirlineEditor::save);
    connect(m_ui->btnCancel, &QPushButton::clicked, this, &AirlineEditor::reject);
    connect(m_ui->btnAdd, &QToolButton::clicked, this, &AirlineEditor::addCondition);
    connect(m_ui->btnEdit, &QToolButton::clicked, this, &AirlineEditor::editCondition);
    connect(m_ui->btnDuplicate, &QToolButton::clicked, this, &AirlineEditor::duplicateCondition);
    connect(m_ui->btnDelete, &QToolButton::clicked, this, &AirlineEditor::deleteCondition);
    connect(m_ui->sbNoteDown, &QToolButton::clicked, this, &AirlineEditor::growNote);
    connect(m_ui->sbNoteUp, &QToolButton::clicked, this, &AirlineEditor::shrinkNote);
    connect(m_ui->eComment, &QPlainTextEdit::textChanged, this, &AirlineEditor::showWhetherTheNoteHoldsMore);
}

AirlineEditor::~AirlineEditor() = default;

void AirlineEditor::setUpConditionList() {
    QTableView* list = m_ui->grComm;
    QStringList shown;
    for (const ListColumn& column : kListColumns)
        shown << QString::fromUtf16(column.name);
    m_conditionModel = new CursorModel(m_store.conditions(), shown, this);
    list->setModel(m_conditionModel);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setTabKeyNavigation(false); // Tab goes on to the buttons; the arrow keys move between rows
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setWordWrap(true);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->setAlternatingRowColors(true);
    QPalette palette = list->palette();
    palette.setColor(QPalette::AlternateBase, kCream);
    list->setPalette(palette);

    QHeaderView* rows = list->verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(kListRowHeight);
    rows->setSectionResizeMode(QHeaderView::Fixed);

    QHeaderView* titles = list->horizontalHeader();
    titles->setFixedHeight(kListTitleHeight);
    titles->setSectionResizeMode(QHeaderView::Fixed);
    titles->setSectionsMovable(false);
    QFont bold = titles->font();
    bold.setBold(true);
    titles->setFont(bold);

    for (int section = 0; section < m_conditionModel->columnCount(); ++section)
        list->setColumnWidth(section, kListColumns[section].width);

    list->installEventFilter(this);
    connect(list, &QTableView::doubleClicked, this, &AirlineEditor::editCondition);
    connect(list->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& index) {
        if (index.isValid() && m_store.conditions().state() == TableCursor::State::Browse)
            tryStoreChange([&] { m_store.conditions().setCurrentRow(index.row()); });
    });
    connect(m_conditionModel, &QAbstractItemModel::modelReset, this, &AirlineEditor::followCurrentCondition);
    connect(m_conditionModel, &QAbstractItemModel::rowsInserted, this, &AirlineEditor::followCurrentCondition);
    connect(m_conditionModel, &QAbstractItemModel::rowsRemoved, this, &AirlineEditor::followCurrentCondition);
}

// The list marks the condition cursor's current row, the one the buttons act on.
void AirlineEditor::followCurrentCondition() {
    const int row = m_store.conditions().currentRow();
    if (row >= 0)
        m_ui->grComm->selectRow(row);
    else
        m_ui->grComm->clearSelection();
    updateConditionButtons();
}

void AirlineEditor::connectAirlineBoxes() {
    const std::pair<QLineEdit*, const char16_t*> lines[] = {{m_ui->eAirCode, u"AirCode"},
                                                            {m_ui->eAccCode, u"AccCode"},
                                                            {m_ui->eAirName, u"AirName"},
                                                            {m_ui->eContrAgent, u"ContrAgent"},
                                                            {m_ui->eDog, u"Dog"}};
    for (const auto& [box, column] : lines) {
        connect(box, &QLineEdit::textEdited, this,
                [this, column](const QString& text) { writeAirlineField(column, textValue(text)); });
    }
    connect(m_ui->cbBSP, &QCheckBox::clicked, this, [this](bool on) { writeAirlineField(u"BSP", on); });
    connect(m_ui->cbScript, &QCheckBox::clicked, this, [this](bool on) { writeAirlineField(u"Script", on); });
    connect(m_ui->eDogDate, &OptionalDateEdit::optionalDateEdited, this, [this](const QDate& date) {
        writeAirlineField(u"DogDate", date.isValid() ? QVariant(QDateTime(date, QTime(0, 0))) : QVariant());
    });
    connect(m_ui->eComment, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_ui->eComment->signalsBlocked())
            writeAirlineField(u"Comment", textValue(m_ui->eComment->toPlainText()));
    });
}

void AirlineEditor::watchFindings() {
    m_findingMarks.watch(u"AirCode"_s, m_ui->eAirCode);
    m_findingMarks.watch(u"AccCode"_s, m_ui->eAccCode);
    m_findingMarks.watch(u"AirName"_s, m_ui->eAirName);
    m_findingMarks.watch(u"Comment"_s, m_ui->eComment);
    for (QLineEdit* box : {m_ui->eAirCode, m_ui->eAccCode, m_ui->eAirName})
        connect(box, &QLineEdit::textChanged, this, &AirlineEditor::markFindings);
    connect(m_ui->eComment, &QPlainTextEdit::textChanged, this, &AirlineEditor::markFindings);
    connect(m_ui->cbScript, &QCheckBox::toggled, this, &AirlineEditor::markFindings);
    // Whether the name and comment are shown at all depends on how many conditions there are.
    connect(m_conditionModel, &QAbstractItemModel::modelReset, this, &AirlineEditor::markFindings);
}

// The airline as typed, checked as the outputs would write it with its stored conditions:
// the scripts only when it is in them, the CSV list always.
void AirlineEditor::markFindings() {
    AirlineRecord airline;
    airline.id = m_airlineId;
    airline.airCode = m_ui->eAirCode->text();
    airline.accCode = m_ui->eAccCode->text();
    airline.airName = m_ui->eAirName->text();
    airline.comment = m_ui->eComment->toPlainText();
    airline.bsp = m_ui->cbBSP->isChecked();
    airline.script = m_ui->cbScript->isChecked();
    ConditionList conditions;
    try {
        const RegisterStore::NoBusyWait typingGoesOn(m_store);
        if (airline.script && m_airlineId != 0)
            conditions = m_store.conditionQuery().conditionsOf(m_airlineId);
    } catch (const StoreError&) {
        // A condition that cannot be read is reported when the airline is saved or written.
    }
    ScriptFindings findings;
    checkAirline(airline, conditions, m_checkSettings, findings);
    findings.removeIf([](const ScriptFinding& finding) { return finding.conditionId.has_value(); });
    m_findingMarks.show(findings);
}

void AirlineEditor::setRoughRates(const RoughRates& rates) {
    m_checkSettings.rates = rates;
    m_conditionEditor.setRoughRates(rates);
}

void AirlineEditor::setConditionControlsEnabled(bool enabled) {
    m_conditionControlsEnabled = enabled;
    updateConditionButtons();
}

void AirlineEditor::updateConditionButtons() {
    // A new airline has no id for its conditions yet; with no condition there is nothing to edit.
    const bool allowed = m_conditionControlsEnabled && m_airlineId != 0;
    const bool hasCondition = allowed && m_store.conditions().currentRow() >= 0;
    m_ui->grComm->setEnabled(allowed);
    m_ui->btnAdd->setEnabled(allowed);
    m_ui->btnEdit->setEnabled(hasCondition);
    m_ui->btnDuplicate->setEnabled(hasCondition);
    m_ui->btnDelete->setEnabled(hasCondition);
}

void AirlineEditor::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        showAirline();
    QDialog::showEvent(event);
}

void AirlineEditor::showAirline() {
    const TableCursor& airline = m_store.airlines();
    m_airlineId = heldInteger(airline.value(0));
    tryStoreChange([this] {
        TableCursor& conditions = m_store.conditions();
        conditions.cancel();
        conditions.setFilter(EqualsFilter{u"ComId"_s, m_airlineId});
        conditions.setFiltered(true);
        conditions.first();
    });

    m_ui->eAirCode->setText(airline.text(u"AirCode"));
    m_ui->eAccCode->setText(airline.text(u"AccCode"));
    m_ui->eAirName->setText(airline.text(u"AirName"));
    m_ui->eContrAgent->setText(airline.text(u"ContrAgent"));
    m_ui->eDog->setText(airline.text(u"Dog"));
    for (QLineEdit* box : {m_ui->eAirCode, m_ui->eAccCode, m_ui->eAirName, m_ui->eContrAgent, m_ui->eDog})
        box->setCursorPosition(0); // a long text shows its beginning
    m_ui->cbBSP->setChecked(heldBool(airline.value(u"BSP")));
    m_ui->cbScript->setChecked(heldBool(airline.value(u"Script")));
    m_ui->eDogDate->setOptionalDate(airline.value(u"DogDate").toDate());
    {
        const QSignalBlocker quiet(m_ui->eComment); // showing the stored note is no edit
        m_ui->eComment->setPlainText(airline.text(u"Comment"));
    }
    shrinkNote();
    followCurrentCondition();
    markFindings();
    m_ui->eAirCode->setFocus();
}

void AirlineEditor::writeAirlineField(QStringView column, const QVariant& value) {
    tryStoreChange([&] {
        TableCursor& airlines = m_store.airlines();
        if (m_airlineId != 0 && !selectAirline(airlines, m_airlineId))
            throw StoreError(u"Авиакомпания не найдена: возможно, её удалили в другой копии программы"_s);
        airlines.edit();
        airlines.setValue(column, value);
    });
}

bool AirlineEditor::tryStoreChange(const std::function<void()>& change) {
    try {
        change();
        return true;
    } catch (const StoreError& error) {
        m_prompts.showError(this, error.message());
        return false;
    }
}

bool AirlineEditor::rebuildSummary() {
    return tryStoreChange([this] {
        const BusyCursor busy;
        m_airlineId = rebuildCommissionSummary(m_store, m_airlineId);
    });
}

void AirlineEditor::save() {
    // Storing the summary stores the airline row with every field typed since it was last stored.
    try {
        const BusyCursor busy;
        m_airlineId = rebuildCommissionSummary(m_store, m_airlineId);
    } catch (const RowChangedElsewhere& error) {
        m_prompts.showError(this, error.message());
        showAirline(); // the stored row, for the user to type the change again
        return;
    } catch (const StoreError& error) {
        m_prompts.showError(this, failedSaveMessage(error.message()));
        return;
    }
    QDialog::accept();
}

void AirlineEditor::reject() {
    // Only what changed since the airline row was last stored is dropped; conditions
    // stored meanwhile stay.
    m_store.airlines().cancel();
    m_store.conditions().cancel();
    m_store.fees().cancel();
    QDialog::reject();
}

void AirlineEditor::openConditionEditor() {
    m_conditionEditor.setAirlineId(m_airlineId);
    m_prompts.runDialog(m_conditionEditor);
    followCurrentCondition();
}

void AirlineEditor::addCondition() {
    if (!m_ui->btnAdd->isEnabled())
        return;
    if (tryStoreChange([this] {
            waitUntilRegisterIsFree(m_store);
            m_store.conditions().insert();
        }))
        openConditionEditor();
}

void AirlineEditor::editCondition() {
    if (!m_ui->btnEdit->isEnabled())
        return;
    if (tryStoreChange([this] {
            waitUntilRegisterIsFree(m_store);
            m_store.conditions().edit();
        }))
        openConditionEditor();
}

void AirlineEditor::duplicateCondition() {
    if (!m_ui->btnDuplicate->isEnabled())
        return;
    if (!tryStoreChange([this] {
            const BusyCursor busy;
            duplicateCurrentCondition(m_store.conditions());
            m_store.conditions().edit();
        }))
        return;
    openConditionEditor();
    rebuildSummary(); // the copy is stored whether the rule editor saved or not
}

void AirlineEditor::deleteCondition() {
    if (!m_ui->btnDelete->isEnabled())
        return;
    if (m_prompts.askYesNo(this, u"Удаление условия"_s, u"Удалить строку условия?"_s) != UserPrompts::Answer::Yes)
        return;
    // The summary follows at once, so the list of airlines never shows a deleted condition.
    if (tryStoreChange([this] {
            const BusyCursor busy;
            m_store.conditions().remove();
        }))
        rebuildSummary();
}

void AirlineEditor::growNote() {
    m_ui->gbConditions->hide();
    QRect group = m_ui->gbAirline->geometry();
    group.setHeight(height() - kGrownGroupMargin);
    m_ui->gbAirline->setGeometry(group);
    QRect note = m_ui->eComment->geometry();
    note.setHeight(group.height() - kGrownNoteMargin);
    m_ui->eComment->setGeometry(note);
    m_ui->eComment->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void AirlineEditor::shrinkNote() {
    m_ui->gbConditions->show();
    QRect note = m_ui->eComment->geometry();
    note.setHeight(kNoteHeight);
    m_ui->eComment->setGeometry(note);
    showWhetherTheNoteHoldsMore();
    QRect group = m_ui->gbAirline->geometry();
    group.setHeight(kAirlineGroupHeight);
    m_ui->gbAirline->setGeometry(group);
}

// The one-line note shows one line; a scroll bar says it holds more and steps through them.
void AirlineEditor::showWhetherTheNoteHoldsMore() {
    if (m_ui->gbConditions->isHidden())
        return; // grown: the bar is always there
    const bool more = m_ui->eComment->document()->lineCount() > 1;
    m_ui->eComment->setVerticalScrollBarPolicy(more ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

bool AirlineEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ui->grComm && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            editCondition();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tarvex
