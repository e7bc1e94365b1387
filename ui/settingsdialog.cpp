#include "settingsdialog.h"
#include "ui_settingsdialog.h"

#include "filenamepreview.h"
#include "userprompts.h"

#include "settings/options.h"
#include "settings/settingserror.h"
#include "store/serverconnection.h"

#include <QApplication>
#include <QShowEvent>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tarvex {

SettingsDialog::SettingsDialog(QString appDir, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::SettingsDialog>())
    , m_appDir(std::move(appDir))
    , m_prompts(prompts) {
    m_ui->setupUi(this);
    m_ui->frXLSopt1->setFolderBrowsing(*m_folderChooser, m_appDir);
    connect(m_ui->tvPages, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* page) {
        if (page)
            m_ui->pcPages->setCurrentIndex(m_ui->tvPages->indexOfTopLevelItem(page));
    });
    m_ui->tvPages->setCurrentItem(m_ui->tvPages->topLevelItem(0));
    fitPageTreeToItsNames();
    // A fixed size: 554 by 352 pixels, or what the desktop's font needs to show every caption whole.
    setFixedSize(minimumSizeHint().expandedTo(QSize(554, 352)));
    connect(m_ui->cbFlowDate, &QCheckBox::toggled, this, &SettingsDialog::refreshFlowNamePreview);
    connect(m_ui->btnScriptPath, &QToolButton::clicked, this, &SettingsDialog::browseScriptFolder);
    connect(m_ui->btnSave, &QPushButton::clicked, this, &SettingsDialog::saveSettings);
    connect(m_ui->btnClose, &QPushButton::clicked, this, &SettingsDialog::reject);
    m_ui->cbDbSslMode->addItem(u"по умолчанию"_s, QString());
    for (const QString& mode : ServerAddress::sslModes())
        m_ui->cbDbSslMode->addItem(mode, mode);
    connect(m_ui->rbPostgres, &QRadioButton::toggled, m_ui->gbServer, &QWidget::setEnabled);
    connect(m_ui->btnCheckConnection, &QPushButton::clicked, this, &SettingsDialog::checkConnection);
    showRegisterEngine(RegisterEngine::Sqlite);
    refreshFlowNamePreview();
}

SettingsDialog::~SettingsDialog() = default;

void SettingsDialog::fitPageTreeToItsNames() {
    // The tree is 139 pixels wide unless the desktop's font needs more room for a whole page name.
    QAbstractItemView& tree = *m_ui->tvPages;
    const int needed = tree.sizeHintForColumn(0) + 2 * tree.frameWidth();
    if (needed > tree.minimumWidth())
        tree.setFixedWidth(needed);
}

void SettingsDialog::setFolderChooser(FolderChooser& chooser) {
    m_folderChooser = &chooser;
    m_ui->frXLSopt1->setFolderBrowsing(chooser, m_appDir);
}

void SettingsDialog::setClock(std::function<QDate()> today) {
    m_today = today;
    m_ui->frXLSopt1->setClock(std::move(today));
    refreshFlowNamePreview();
}

void SettingsDialog::showEvent(QShowEvent* event) {
    // Each opening shows the stored state; a window restored by the desktop keeps what the user typed.
    if (!event->spontaneous())
        loadOptionValues();
    QDialog::showEvent(event);
}

void SettingsDialog::loadOptionValues() {
    try {
        m_stored = Options(m_appDir).values();
    } catch (const SettingsError& error) {
        // The window still opens, with what it showed before, so the user can see the message and close it.
        m_prompts.showError(this, error.message());
        return;
    }
    m_ui->frXLSopt1->showNaming(m_stored.workbook);
    m_ui->eHeader->setText(m_stored.header);
    m_ui->seMainFont->setValue(m_stored.mainFont); // the spin box holds it within 8 to 24
    m_ui->seRateEUR->setValue(m_stored.rates.rubPerEur);
    m_ui->seRateUSD->setValue(m_stored.rates.rubPerUsd);
    m_ui->seExpiryDays->setValue(m_stored.expiryWarningDays);
    m_ui->eScriptPath->setText(m_stored.scriptsPath);
    m_ui->eFlowName->setText(m_stored.smartFlow.name);
    m_ui->cbFlowDate->setChecked(m_stored.smartFlow.date);
    refreshFlowNamePreview();
    // A task box unticked here but named by the file is ticked again, and one ticked but not stored is cleared.
    for (const QString& task : createAllTaskBoxNames())
        findChild<QCheckBox*>(task)->setChecked(m_stored.tickedTasks.contains(task));
    showRegisterEngine(m_stored.registerEngine);
    const ServerAddress& address = m_stored.serverAddress;
    m_ui->eDbHost->setText(address.host);
    m_ui->seDbPort->setValue(address.port);
    m_ui->eDbName->setText(address.name);
    m_ui->eDbUser->setText(address.user);
    m_ui->cbDbSslMode->setCurrentIndex(std::max(0, m_ui->cbDbSslMode->findData(address.sslMode)));
}

void SettingsDialog::showRegisterEngine(RegisterEngine engine) {
    const bool server = engine == RegisterEngine::Postgres;
    (server ? m_ui->rbPostgres : m_ui->rbSqlite)->setChecked(true);
    m_ui->gbServer->setEnabled(server);
}

ServerAddress SettingsDialog::serverAddressFromControls() const {
    return {m_ui->eDbHost->text().trimmed(), m_ui->seDbPort->value(), m_ui->eDbName->text().trimmed(),
            m_ui->eDbUser->text().trimmed(), m_ui->cbDbSslMode->currentData().toString()};
}

QString SettingsDialog::serverPassword() const {
    return m_ui->eDbPassword->text();
}

void SettingsDialog::checkConnection() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ServerCheck check = checkServerConnection(serverAddressFromControls(), serverPassword());
    QApplication::restoreOverrideCursor();
    m_ui->lbConnectionResult->setText(check.message);
    if (check.asksForPassword()) {
        m_ui->eDbPassword->setFocus();
        m_ui->eDbPassword->selectAll();
    }
}

OptionValues SettingsDialog::settingsFromControls() const {
    OptionValues settings = m_stored;
    settings.header = m_ui->eHeader->text();
    settings.mainFont = m_ui->seMainFont->value();
    settings.rates = {m_ui->seRateEUR->value(), m_ui->seRateUSD->value()};
    settings.expiryWarningDays = m_ui->seExpiryDays->value();
    settings.scriptsPath = m_ui->eScriptPath->text();
    settings.smartFlow.name = m_ui->eFlowName->text();
    settings.smartFlow.date = m_ui->cbFlowDate->isChecked();
    settings.workbook = m_ui->frXLSopt1->naming();
    settings.tickedTasks.clear();
    for (const QString& task : createAllTaskBoxNames()) {
        if (findChild<QCheckBox*>(task)->isChecked())
            settings.tickedTasks.append(task);
    }
    settings.registerEngine = m_ui->rbPostgres->isChecked() ? RegisterEngine::Postgres : RegisterEngine::Sqlite;
    settings.serverAddress = serverAddressFromControls();
    return settings;
}

bool SettingsDialog::saveSettings() {
    Options options(m_appDir);
    if (!options.save(settingsFromControls())) {
        m_prompts.showError(this, options.errorString());
        return false;
    }
    emit settingsSaved();
    m_prompts.showMessage(this, u"Настройки сохранены."_s);
    return true;
}

void SettingsDialog::refreshFlowNamePreview() {
    showFileNameEnding(*m_ui->lbFlowNameEnding, m_ui->cbFlowDate->isChecked(), u".txt"_s, m_today());
}

void SettingsDialog::browseScriptFolder() {
    browseFolderInto(*m_folderChooser, *m_ui->eScriptPath, m_appDir);
}

} // namespace tarvex
