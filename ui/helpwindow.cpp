#include "helpwindow.h"

using namespace Qt::StringLiterals;

namespace tarvex {

HelpWindow::HelpWindow(QString appDir, UserPrompts& prompts)
    : m_appDir(std::move(appDir))
    , m_prompts(prompts) {
    setWindowTitle(u"Справка по программе Tarvex"_s);
}

void HelpWindow::openHelp(QWidget* messageParent) {
    (void)messageParent;
}

} // namespace tarvex
