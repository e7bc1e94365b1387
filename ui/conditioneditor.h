#pragma once

#include <QDialog>

namespace tarvex {

class RegisterStore;
class UserPrompts;

// The window in which one commission condition of an airline is entered or changed.
class ConditionEditor : public QDialog {
    Q_OBJECT
public:
    ConditionEditor(RegisterStore& store, UserPrompts& prompts, QWidget* parent = nullptr);

private:
    RegisterStore& m_store;
    UserPrompts& m_prompts;
};

} // namespace tarvex
