#pragma once

#include "findingmarks.h"
#include "generation/scriptcheck.h"

#include <QDialog>

#include <memory>

namespace tarvex {

namespace Ui {
class ConditionEditor;
}

class RegisterStore;
class UserPrompts;

// The window in which one commission condition of an airline is entered or changed:
// the current row of the condition cursor, which the caller has put into insert or
// edit state. Save checks the entry, stores the row under the airline and rebuilds the
// airline's summary texts; Cancel, Escape and the frame's close button drop the change.
class ConditionEditor : public QDialog {
    Q_OBJECT
public:
    ConditionEditor(RegisterStore& store, UserPrompts& prompts, QWidget* parent = nullptr);
    ~ConditionEditor() override;

    // The airline whose condition is edited; its id is written into the stored row.
    void setAirlineId(qint64 airlineId) { m_airlineId = airlineId; }

    // Percent mode (the "%" box ticked) or sum mode.
    bool isPercentMode() const;

    // The rates the capture length of a sum in another currency is checked with.
    void setRoughRates(const RoughRates& rates) { m_checkSettings.rates = rates; }

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showCurrentCondition();
    void setPercentMode(bool percent);
    void save();
    // The message of the first check the entry fails, empty when it passes.
    QString entryProblem() const;
    void writeEntryToRow();
    void watchFindings();
    // The condition as typed, in the form the scripts read it.
    ConditionRecord typedCondition() const;
    void markFindings();
    void markUnstorableNumber(const AirlineRecord& airline, qint64 conditionId, ScriptFindings& findings) const;

    std::unique_ptr<Ui::ConditionEditor> m_ui;
    RegisterStore& m_store;
    UserPrompts& m_prompts;
    qint64 m_airlineId = 0;
    int m_shownLength = 0; // what the length box showed on opening
    FindingMarks m_findingMarks;
    CheckSettings m_checkSettings;
};

} // namespace tarvex
