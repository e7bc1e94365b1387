#include "progressdialog.h"

#include "desktopopener.h"
#include "generation/findingtext.h"
#include "generation/generationrun.h"
#include "icons.h"
#include "ui_progressdialog.h"
#include "userprompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

constexpr int kMargin = 8;
constexpr int kNoFindingsHeight = 16;
constexpr int kFindingsListHeight = 130;

} // namespace

ProgressDialog::ProgressDialog(QString appDir, DesktopOpener& opener, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_ui(std::make_unique<Ui::ProgressDialog>())
    , m_appDir(std::move(appDir))
    , m_opener(opener)
    , m_prompts(prompts) {
    m_ui->setupUi(this);
    m_plainSize = size();
    setFixedSize(m_plainSize);
    m_ui->PrBar->setStyleSheet(u"QProgressBar { border: none; background: #e6e6e6; text-align: center; }"
                               u"QProgressBar::chunk { background: #1e64c8; }"_s);
    m_ui->btOpenFile->setIcon(tarvexIcon("document-open"));
    m_ui->btOpenFolder->setIcon(tarvexIcon("folder-open"));
    m_ui->btOK->setIcon(tarvexIcon("dialog-ok"));
    m_ui->Label1->hide();
    setUpFindings();
    connect(m_ui->btOpenFile, &QPushButton::clicked, this, &ProgressDialog::openFile);
    connect(m_ui->btOpenFolder, &QPushButton::clicked, this, &ProgressDialog::openFolder);
    connect(m_ui->btOK, &QPushButton::clicked, this, &QDialog::accept);
}

ProgressDialog::~ProgressDialog() = default;

void ProgressDialog::setUpFindings() {
    m_findingsList = new QPlainTextEdit(m_ui->panel);
    m_findingsList->setObjectName(u"mFindings"_s);
    m_findingsList->setReadOnly(true);
    m_findingsList->setGeometry(kMargin, m_plainSize.height(), m_plainSize.width() - 2 * kMargin,
                                kFindingsListHeight - kMargin);
    m_noFindings = new QLabel(u"Замечаний нет"_s, m_ui->panel);
    m_noFindings->setObjectName(u"lbNoFindings"_s);
    m_noFindings->setAlignment(Qt::AlignCenter);
    m_noFindings->setGeometry(kMargin, m_plainSize.height() - kMargin / 2, m_plainSize.width() - 2 * kMargin,
                              kNoFindingsHeight);
    clearFindings();
}

void ProgressDialog::setFindings(const ScriptFindings& findings) {
    QStringList lines;
    for (const ScriptFinding& finding : findings)
        lines << findingText(finding);
    m_findingsList->setPlainText(lines.join(u'\n'));
    m_findingsList->setVisible(!findings.isEmpty());
    m_noFindings->setVisible(findings.isEmpty());
    growBy(findings.isEmpty() ? kNoFindingsHeight : kFindingsListHeight);
}

void ProgressDialog::setWarnings(const QStringList& warnings) {
    m_findingsList->setAccessibleName(u"Предупреждения к файлу"_s);
    m_findingsList->setPlainText(warnings.join(u'\n'));
    m_findingsList->show();
    growBy(kFindingsListHeight);
}

void ProgressDialog::clearFindings() {
    m_findingsList->setAccessibleName(u"Замечания к скрипту"_s);
    m_findingsList->clear();
    m_findingsList->hide();
    m_noFindings->hide();
    growBy(0);
}

void ProgressDialog::growBy(int height) {
    const QSize grown(m_plainSize.width(), m_plainSize.height() + height);
    m_ui->panel->resize(grown);
    setFixedSize(grown);
}

void ProgressDialog::runStarted() {
    clearFindings();
    m_ui->Label1->hide();
    setButtonsEnabled(false);
    m_ui->PrBar->setValue(0);
    centreOnMainWindow();
    show();
    paintNow();
}

void ProgressDialog::progressChanged(int percent) {
    m_ui->PrBar->setValue(percent);
    paintNow();
}

void ProgressDialog::runEnded() {
    hide();
}

void ProgressDialog::showWritten(const RunResult& result) {
    clearFindings();
    if (result.kind == OutputKind::SmartKey || result.kind == OutputKind::SmartFlow)
        setFindings(result.findings);
    else if (!result.warnings.isEmpty())
        setWarnings(result.warnings);
    setButtonsEnabled(true);
    m_ui->Label1->show();
    m_filePath = result.filePath;
    m_ui->PrBar->setValue(m_ui->PrBar->maximum());
    centreOnMainWindow();
    m_prompts.runDialog(*this);
}

// Placed explicitly each time: a borderless window shown again would otherwise be left
// wherever the window manager puts it.
void ProgressDialog::centreOnMainWindow() {
    if (const QWidget* mainWindow = parentWidget() ? parentWidget()->window() : nullptr)
        move(mainWindow->frameGeometry().center() - rect().center());
}

void ProgressDialog::setButtonsEnabled(bool enabled) {
    m_ui->btOpenFile->setEnabled(enabled);
    m_ui->btOpenFolder->setEnabled(enabled);
    m_ui->btOK->setEnabled(enabled);
}

// A run keeps the event loop busy until it ends: the gauge is painted at once, and the
// window system may map and expose the window, while the user's input waits in the queue.
void ProgressDialog::paintNow() {
    m_ui->PrBar->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ProgressDialog::openFile() {
    const QFileInfo file(m_filePath);
    if (file.isFile()) {
        openOrReport(file.absoluteFilePath(), u"Не удалось открыть файл\r\n%1"_s);
    } else {
        m_prompts.showMessage(this, u"Файл %1\r\nне найден в каталоге %2"_s.arg(
                                        file.fileName(), QDir::toNativeSeparators(file.absolutePath())));
    }
    accept();
}

void ProgressDialog::openFolder() {
    // Before any run has written a file the default output folder stands in.
    const QString folder = m_filePath.isEmpty() ? m_appDir + u"Files"_s : QFileInfo(m_filePath).absolutePath();
    openOrReport(folder, u"Не удалось открыть папку\r\n%1"_s);
    accept();
}

void ProgressDialog::openOrReport(const QString& path, const QString& failureText) {
    if (!m_opener.openPath(path))
        m_prompts.showError(this, failureText.arg(QDir::toNativeSeparators(path)));
}

} // namespace tarvex
