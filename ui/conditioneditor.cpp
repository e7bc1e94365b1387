#include "conditioneditor.h"

#include "ui_conditioneditor.h"

#include "keyfilter.h"
#include "registerwait.h"
#include "userprompts.h"

#include "generation/scriptcheck.h"
#include "store/airlinerows.h"
#include "store/heldvalue.h"
#include "store/registerstore.h"
#include "store/schema.h"
#include "store/storeerror.h"
#include "store/summaryrebuild.h"
#include "store/validity.h"

#include <QApplication>
#include <QShowEvent>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

// The colour of a number box that the mode switches off (an inactive window border).
const QColor kSwitchedOffColour(0xD4, 0xD0, 0xC8);

void showSwitchedOn(QWidget* box, bool on) {
    box->setEnabled(on);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, on ? QColor(Qt::white) : kSwitchedOffColour);
    box->setPalette(palette);
}

QVariant textValue(const QString& text) {
    return text.isEmpty() ? QVariant() : QVariant(text);
}

// A text the box holds that is no number goes to the row as it is: the register then
// refuses it with a message naming the field, and the window keeps it for correcting.
QVariant percentValue(const QString& text) {
    if (text.isEmpty())
        return {};
    if (const auto percent = Decimal4::parse(text))
        return QVariant::fromValue(*percent);
    return text;
}

QVariant sumValue(const QString& text) {
    if (text.isEmpty())
        return {};
    bool ok = false;
    const qint64 sum = text.toLongLong(&ok);
    return ok ? QVariant(sum) : QVariant(text);
}

// Writes only what differs from the row, so an untouched NULL stays NULL.
void setIfChanged(TableCursor& cursor, QStringView column, const QVariant& value) {
    const ColumnDef& def = cursor.table().column(cursor.table().columnIndex(column));
    const QVariant held = cursor.value(column);
    if (held.isValid() == value.isValid() && displayText(def, held) == displayText(def, value))
        return;
    cursor.setValue(column, value);
}

} // namespace

ConditionEditor::ConditionEditor(RegisterStore& store, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint)
    , m_ui(std::make_unique<Ui::ConditionEditor>())
    , m_store(store)
    , m_prompts(prompts) {
    m_ui->setupUi(this);
    setFixedSize(size());
    m_ui->seValLen->setSpecialValueText(u" "_s); // 0 stands for no length: the box shows nothing
    KeyFilter::install(m_ui->eSum, sumTakes, KeyFilter::Sound::Beep);
    KeyFilter::install(m_ui->ePercent, percentTakes, KeyFilter::Sound::Beep);
    KeyFilter::install(m_ui->eRemarks, remarksTakes, KeyFilter::Sound::Silent);
    m_ui->cbCurrency->lineEdit()->setAccessibleName(m_ui->cbCurrency->accessibleName());
    connect(m_ui->cbPercent, &QCheckBox::clicked, this, &ConditionEditor::setPercentMode);
    watchFindings();
    connect(m_ui->btnSave, &QPushButton::clicked, this, &ConditionEditor::save);
    connect(m_ui->btnCancel, &QPushButton::clicked, this, &ConditionEditor::reject);
}

ConditionEditor::~ConditionEditor() = default;

bool ConditionEditor::isPercentMode() const {
    return m_ui->cbPercent->isChecked();
}

void ConditionEditor::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        showCurrentCondition();
    QDialog::showEvent(event);
}

void ConditionEditor::showCurrentCondition() {
    const TableCursor& row = m_store.conditions();
    m_ui->eComCondition->setPlainText(row.text(u"ComCondition"));
    m_ui->ePercent->setText(row.text(u"ComPCT"));
    m_ui->eSum->setText(row.text(u"ComSum"));
    m_ui->cbCurrency->setCurrentIndex(-1);
    m_ui->cbCurrency->setEditText(row.text(u"ComVal"));
    m_ui->seValLen->setValue(int(heldInteger(row.value(u"ValLen"))));
    m_shownLength = m_ui->seValLen->value();
    m_ui->eFee->setText(row.text(u"Fee"));
    m_ui->eRemarks->setPlainText(row.text(u"Remarks"));
    m_ui->eComFrom->setOptionalDate(row.value(u"ComFrom").toDate());
    m_ui->eComTill->setOptionalDate(row.value(u"ComTill").toDate());
    setPercentMode(heldInteger(row.value(u"ComSum")) < 1); // marks what the scripts would not carry
    (isPercentMode() ? m_ui->ePercent : m_ui->eSum)->setFocus();
}

void ConditionEditor::setPercentMode(bool percent) {
    m_ui->cbPercent->setChecked(percent);
    showSwitchedOn(m_ui->ePercent, percent);
    showSwitchedOn(m_ui->eSum, !percent);
    showSwitchedOn(m_ui->cbCurrency, !percent);
    showSwitchedOn(m_ui->seValLen, !percent);
    markFindings();
}

void ConditionEditor::watchFindings() {
    m_findingMarks.watch(u"ComCondition"_s, m_ui->eComCondition);
    m_findingMarks.watch(u"Remarks"_s, m_ui->eRemarks);
    m_findingMarks.watch(u"ComPCT"_s, m_ui->ePercent);
    m_findingMarks.watch(u"ComSum"_s, m_ui->eSum);
    m_findingMarks.watch(u"ComVal"_s, m_ui->cbCurrency);
    m_findingMarks.watch(u"ValLen"_s, m_ui->seValLen);
    for (QPlainTextEdit* box : {m_ui->eComCondition, m_ui->eRemarks})
        connect(box, &QPlainTextEdit::textChanged, this, &ConditionEditor::markFindings);
    for (QLineEdit* box : {m_ui->ePercent, m_ui->eSum})
        connect(box, &QLineEdit::textChanged, this, &ConditionEditor::markFindings);
    connect(m_ui->cbCurrency, &QComboBox::editTextChanged, this, &ConditionEditor::markFindings);
    connect(m_ui->seValLen, &QSpinBox::valueChanged, this, &ConditionEditor::markFindings);
}

ConditionRecord ConditionEditor::typedCondition() const {
    const TableCursor& row = m_store.conditions();
    ConditionRecord condition;
    condition.id = row.state() == TableCursor::State::Insert ? 0 : heldInteger(row.value(0));
    condition.comCondition = m_ui->eComCondition->toPlainText();
    condition.remarks = m_ui->eRemarks->toPlainText();
    condition.fee = m_ui->eFee->text();
    if (isPercentMode()) {
        condition.comPct = Decimal4::parse(m_ui->ePercent->text());
        return condition;
    }
    bool ok = false;
    if (const short sum = m_ui->eSum->text().toShort(&ok); ok)
        condition.comSum = sum;
    condition.comVal = m_ui->cbCurrency->currentText();
    if (const int length = m_ui->seValLen->value(); length > 0)
        condition.valLen = std::uint16_t(length);
    return condition;
}

// The condition as typed among the airline's stored ones, checked as the scripts would
// write them; only what concerns this condition is marked.
void ConditionEditor::markFindings() {
    ScriptFindings findings;
    if (!m_store.isOpen() || m_store.airlines().currentRow() < 0 || m_store.conditions().currentRow() < 0) {
        m_findingMarks.show(findings);
        return;
    }
    try {
        const AirlineRecord airline = currentAirline(m_store.airlines());
        if (airline.script) {
            const ConditionRecord typed = typedCondition();
            const RegisterStore::NoBusyWait typingGoesOn(m_store);
            ConditionList conditions = m_store.conditionQuery().conditionsOf(m_airlineId);
            const auto stored = std::find_if(conditions.begin(), conditions.end(),
                                             [&](const ConditionRecord& c) { return c.id == typed.id; });
            if (stored != conditions.end())
                *stored = typed;
            else
                conditions.append(typed);
            checkAirline(airline, conditions, m_checkSettings, findings);
            findings.removeIf([&](const ScriptFinding& finding) { return finding.conditionId != typed.id; });
            markUnstorableNumber(airline, typed.id, findings);
        }
    } catch (const StoreError&) {
        // What cannot be read is reported when the condition is saved or the script written.
    }
    m_findingMarks.show(findings);
}

// A number its field cannot hold stops Save, so its box says that rather than what the
// scripts would make of the field left empty (a sum of 40000 is no missing sum).
void ConditionEditor::markUnstorableNumber(const AirlineRecord& airline, qint64 conditionId,
                                           ScriptFindings& findings) const {
    const bool percent = isPercentMode();
    const QString typed = (percent ? m_ui->ePercent : m_ui->eSum)->text();
    const QString field = percent ? u"ComPCT"_s : u"ComSum"_s;
    if (typed.isEmpty())
        return;
    const TableDef& table = schema::tbComm();
    const HeldValue held =
        holdValue(table.column(table.columnIndex(field)), percent ? percentValue(typed) : sumValue(typed));
    if (held.fits())
        return;
    findings.removeIf([&](const ScriptFinding& finding) { return finding.field == field; });
    findings.append({FindingKind::Error, FindingScript::Both, airline.airCode, airline.id, conditionId, field, typed,
                     held.problem + u": условие не сохранится"_s});
}

QString ConditionEditor::entryProblem() const {
    if (const auto problem = validityProblem(m_ui->eComFrom->optionalDate(), m_ui->eComTill->optionalDate()))
        return *problem;
    if (isPercentMode())
        return m_ui->ePercent->text().isEmpty() ? u"Установите процент"_s : QString();
    if (m_ui->eSum->text().isEmpty())
        return u"Укажите сумму"_s;
    if (m_ui->cbCurrency->currentText().isEmpty())
        return u"Выберите валюту"_s;
    return {};
}

void ConditionEditor::writeEntryToRow() {
    TableCursor& row = m_store.conditions();
    row.edit();
    setIfChanged(row, u"ComCondition", textValue(m_ui->eComCondition->toPlainText()));
    setIfChanged(row, u"Fee", textValue(m_ui->eFee->text()));
    setIfChanged(row, u"Remarks", textValue(m_ui->eRemarks->toPlainText()));
    if (isPercentMode()) {
        setIfChanged(row, u"ComPCT", percentValue(m_ui->ePercent->text()));
        setIfChanged(row, u"ComSum", {});
        setIfChanged(row, u"ComVal", {});
    } else {
        setIfChanged(row, u"ComPCT", {});
        setIfChanged(row, u"ComSum", sumValue(m_ui->eSum->text()));
        setIfChanged(row, u"ComVal", textValue(m_ui->cbCurrency->currentText()));
        // A length the box cannot show (outside 1 to 9) stays as stored unless the user changes it.
        const int length = m_ui->seValLen->value();
        if (length != m_shownLength)
            setIfChanged(row, u"ValLen", length == 0 ? QVariant() : QVariant(qint64(length)));
    }
    for (const auto& [column, box] : {std::pair{u"ComFrom", m_ui->eComFrom}, std::pair{u"ComTill", m_ui->eComTill}}) {
        const QDate day = box->optionalDate();
        setIfChanged(row, column, day.isValid() ? QVariant(day) : QVariant());
    }
    setIfChanged(row, u"ComId", m_airlineId);
}

void ConditionEditor::save() {
    if (const QString missing = entryProblem(); !missing.isEmpty()) {
        m_prompts.inform(this, QApplication::applicationDisplayName(), missing);
        return;
    }
    try {
        const BusyCursor busy;
        writeEntryToRow();
        m_store.conditions().post();
    } catch (const StoreError& error) {
        m_prompts.showError(this, failedSaveMessage(error.message())); // the row stays pending, the window open
        return;
    }
    try {
        const BusyCursor busy;
        m_store.conditions().refresh();
        rebuildCommissionSummary(m_store, m_airlineId);
    } catch (const StoreError& error) {
        m_prompts.showError(this, u"Условие сохранено, а сводку условий авиакомпании сохранить не удалось: она "
                                  u"обновится при следующем сохранении авиакомпании.\n"_s +
                                      error.message());
    }
    QDialog::accept();
}

void ConditionEditor::reject() {
    m_store.conditions().cancel();
    QDialog::reject();
}

} // namespace tarvex
