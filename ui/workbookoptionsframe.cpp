#include "workbookoptionsframe.h"
#include "ui_workbookoptionsframe.h"

#include "filenamepreview.h"

using namespace Qt::StringLiterals;

namespace tarvex {

WorkbookOptionsFrame::WorkbookOptionsFrame(QWidget* parent)
    : QFrame(parent)
    , m_ui(std::make_unique<Ui::WorkbookOptionsFrame>()) {
    m_ui->setupUi(this);
    connect(m_ui->cbXLSdate, &QCheckBox::toggled, this, &WorkbookOptionsFrame::refreshNamePreview);
    connect(m_ui->btnXLSpath, &QToolButton::clicked, this, &WorkbookOptionsFrame::browseFolder);
    refreshNamePreview();
}

WorkbookOptionsFrame::~WorkbookOptionsFrame() = default;

void WorkbookOptionsFrame::setFolderBrowsing(FolderChooser& chooser, const QString& appDir) {
    m_folderChooser = &chooser;
    m_appDir = appDir;
}

void WorkbookOptionsFrame::setClock(std::function<QDate()> today) {
    m_today = std::move(today);
    refreshNamePreview();
}

void WorkbookOptionsFrame::showNaming(const OutputNaming& naming) {
    m_ui->eXLSpath->setText(naming.path);
    m_ui->eXLSname->setText(naming.name);
    m_ui->cbXLSdate->setChecked(naming.date);
    refreshNamePreview();
}

OutputNaming WorkbookOptionsFrame::naming() const {
    return {m_ui->eXLSpath->text(), m_ui->eXLSname->text(), m_ui->cbXLSdate->isChecked()};
}

void WorkbookOptionsFrame::refreshNamePreview() {
    showFileNameEnding(*m_ui->lbXLSnameEnding, m_ui->cbXLSdate->isChecked(), u".xlsx"_s, m_today());
}

void WorkbookOptionsFrame::browseFolder() {
    browseFolderInto(*m_folderChooser, *m_ui->eXLSpath, m_appDir);
}

} // namespace tarvex
