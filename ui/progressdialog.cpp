#include "progressdialog.h"

using namespace Qt::StringLiterals;

namespace tarvex {

ProgressDialog::ProgressDialog(QString appDir, DesktopOpener& opener, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent)
    , m_appDir(std::move(appDir))
    , m_opener(opener)
    , m_prompts(prompts) {
    setWindowTitle(u"Генерируем файлы"_s);
}

void ProgressDialog::runStarted() {}

void ProgressDialog::progressChanged(int percent) {
    (void)percent;
}

void ProgressDialog::runFinished(const QString& filePath, bool startedByCreateAll) {
    (void)filePath;
    (void)startedByCreateAll;
}

void ProgressDialog::runAbandoned() {}

} // namespace tarvex
