#pragma once

#include "findingmarks.h"

#include <QDialog>

#include <functional>
#include <memory>

namespace tarvex {

namespace Ui {
class AirlineEditor;
}

class ConditionEditor;
class CursorModel;
class RegisterStore;
class UserPrompts;

// The window in which one airline (the current row of the airline cursor, new or
// stored) is entered or changed, together with its list of commission conditions.
//
// The airline's boxes write into the airline row as the user types; Save stores the row
// with its summary texts, Cancel (also Escape and the frame's close button) drops what
// changed since the row was last stored. Conditions are stored one by one as the user
// adds, changes, duplicates or deletes them, each time with the airline's summary.
class AirlineEditor : public QDialog {
    Q_OBJECT
public:
    AirlineEditor(RegisterStore& store, ConditionEditor& conditionEditor, UserPrompts& prompts,
                  QWidget* parent = nullptr);
    ~AirlineEditor() override;

    // The condition list and its buttons are usable only for an airline that is stored.
    void setConditionControlsEnabled(bool enabled);

    // The rates the boxes of this window and of the rule editor are checked with.
    void setRoughRates(const RoughRates& rates);

    // The id of the airline shown, 0 for one not stored yet.
    qint64 airlineId() const { return m_airlineId; }

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setUpConditionList();
    void connectAirlineBoxes();
    void showAirline();
    void writeAirlineField(QStringView column, const QVariant& value);
    void watchFindings();
    void markFindings();
    void updateConditionButtons();
    void followCurrentCondition();

    void save();
    void addCondition();
    void editCondition();
    void duplicateCondition();
    void deleteCondition();
    void openConditionEditor();
    bool rebuildSummary();
    void growNote();
    void shrinkNote();
    void showWhetherTheNoteHoldsMore();

    // Runs a change of the register; a failure is shown and leaves the window open.
    bool tryStoreChange(const std::function<void()>& change);

    std::unique_ptr<Ui::AirlineEditor> m_ui;
    RegisterStore& m_store;
    ConditionEditor& m_conditionEditor;
    UserPrompts& m_prompts;
    CursorModel* m_conditionModel = nullptr;
    qint64 m_airlineId = 0;
    bool m_conditionControlsEnabled = true;
    FindingMarks m_findingMarks;
    CheckSettings m_checkSettings;
};

} // namespace tarvex
