#include "helpwindow.h"

#include "icons.h"
#include "userprompts.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tarvex {

HelpWindow::HelpWindow(QString helpFilePath, UserPrompts& prompts)
    : m_helpFilePath(std::move(helpFilePath))
    , m_prompts(prompts)
    , m_browser(new QTextBrowser(this)) {
    setObjectName(u"HelpWindow"_s);
    setWindowTitle(u"Справка по программе Tarvex"_s);
    setWindowIcon(programIcon());
    // Closing the main window ends the program even while the help stays open.
    setAttribute(Qt::WA_QuitOnClose, false);
    m_browser->setObjectName(u"helpBrowser"_s);
    m_browser->setAccessibleName(u"Справка"_s);
    // Links inside the page and to other local pages are followed here, web and mail
    // links go to the desktop.
    m_browser->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(760, 620);
}

void HelpWindow::openHelp(QWidget* messageParent) {
    const QString& path = m_helpFilePath;
    if (!QFileInfo(path).isFile()) {
        m_prompts.showMessage(messageParent,
                              u"Файл справки %1\r\nне найден в каталоге программы"_s.arg(QFileInfo(path).fileName()));
        return;
    }
    // Shown again where the reader left it.
    const QUrl page = QUrl::fromLocalFile(path);
    if (m_browser->source().adjusted(QUrl::RemoveFragment) != page)
        m_browser->setSource(page);
    show();
    raise();
    activateWindow();
}

} // namespace tarvex
