#include "airlineeditor.h"

using namespace Qt::StringLiterals;

namespace tarvex {

AirlineEditor::AirlineEditor(RegisterStore& store, ConditionEditor& conditionEditor, UserPrompts& prompts,
                             QWidget* parent)
    : QDialog(parent)
    , m_store(store)
    , m_conditionEditor(conditionEditor)
    , m_prompts(prompts) {
    setWindowTitle(u"Tarvex - Комиссионные правила авиакомпании"_s);
}

void AirlineEditor::setConditionControlsEnabled(bool enabled) {
    (void)enabled;
}

} // namespace tarvex
