#include "settingsdialog.h"

using namespace Qt::StringLiterals;

namespace tarvex {

SettingsDialog::SettingsDialog(QString appDir, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent)
    , m_appDir(std::move(appDir))
    , m_prompts(prompts) {
    setWindowTitle(u"Настройки"_s);
}

} // namespace tarvex
