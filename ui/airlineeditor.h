#pragma once

#include <QDialog>

namespace tarvex {

class ConditionEditor;
class RegisterStore;
class UserPrompts;

// The window in which one airline (the current row of the airline cursor, new or
// stored) is entered or changed, together with its list of commission conditions.
class AirlineEditor : public QDialog {
    Q_OBJECT
public:
    AirlineEditor(RegisterStore& store, ConditionEditor& conditionEditor, UserPrompts& prompts,
                  QWidget* parent = nullptr);

    // The condition list and its buttons are usable only for an airline that is stored.
    void setConditionControlsEnabled(bool enabled);

private:
    RegisterStore& m_store;
    ConditionEditor& m_conditionEditor;
    UserPrompts& m_prompts;
};

} // namespace tarvex
