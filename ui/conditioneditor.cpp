#include "conditioneditor.h"

using namespace Qt::StringLiterals;

namespace tarvex {

ConditionEditor::ConditionEditor(RegisterStore& store, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent)
    , m_store(store)
    , m_prompts(prompts) {
    setWindowTitle(u"Правило начисления комиссии"_s);
}

} // namespace tarvex
