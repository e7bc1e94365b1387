#include "mainwindow.h"

#include "aboutdialog.h"
#include "airlineeditor.h"
#include "airlinegrid.h"
#include "common/tarvexerror.h"
#include "generation/checkedwalk.h"
#include "generation/findingtext.h"
#include "generation/generationrun.h"
#include "generation/outputname.h"
#include "helpwindow.h"
#include "icons.h"
#include "registerwait.h"
#include "settings/options.h"
#include "settingsdialog.h"
#include "store/expiry.h"
#include "store/registerstore.h"
#include "store/serverconnection.h"
#include "ui/windowtitle.h"
#include "userprompts.h"

#include <QAction>
#include <QCloseEvent>
#include <QDateEdit>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

constexpr int kDefaultFontSize = 8;

// The columns a search looks in.
const QStringList& searchedColumns() {
    static const QStringList columns = {u"AirCode"_s, u"AirName"_s, u"Commision"_s, u"Fee"_s,
                                        u"Comment"_s, u"AccCode"_s, u"Dog"_s,       u"ContrAgent"_s};
    return columns;
}

constexpr int kSearchBoxWidth = 145;

// Wide enough to show its placeholder whole beside the clear button, never narrower than designed.
int searchBoxWidth(const QLineEdit& box) {
    // A line edit's size hint is room for 17 "x" and its frame, margins and buttons; the text
    // cursor takes one pixel more.
    const QFontMetrics metrics = box.fontMetrics();
    const int around = box.sizeHint().width() - 17 * metrics.horizontalAdvance(u'x') + 1;
    return std::max(kSearchBoxWidth, around + metrics.horizontalAdvance(box.placeholderText()));
}

QString remarksQuestion(const QString& product) {
    return u"Включать ремарки в результат работы %1?\n\n"
           u"Если выбрать НЕТ - клавиша будет вставлять в бронь только комиссию.\n"
           u"Если выбрать ДА - в имя файла будет добавлено \"with-remarks\"."_s.arg(product);
}

// A panel is read by its text; what it is for is its description.
QLabel* statusPanel(const QString& name, const QString& description, int width, Qt::Alignment alignment) {
    auto* panel = new QLabel;
    panel->setObjectName(name);
    panel->setAccessibleDescription(description);
    panel->setFixedWidth(width);
    panel->setAlignment(alignment | Qt::AlignVCenter);
    return panel;
}

} // namespace

MainWindow::MainWindow(QString appDir, RegisterStore& store, UserPrompts& prompts, QWidget* parent)
    : QMainWindow(parent)
    , m_appDir(std::move(appDir))
    , m_store(store)
    , m_prompts(prompts)
    , m_actions(MainWindowActions::create(this)) {
    setObjectName(u"fMain"_s);
    setWindowTitle(baseTitle()); // assistive technology reads the title as the window's name, whatever it becomes
    setFont(QFont(u"Tahoma"_s, 8));
    setContextMenuPolicy(Qt::NoContextMenu); // no menu to hide the toolbar with
    const QSize size(742, 516);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, screen->availableGeometry()));
    else
        resize(size);

    m_grid = new AirlineGrid(store.airlines(), this);
    setCentralWidget(m_grid);
    buildMenus();
    buildToolBar();
    buildStatusBar();
    setTabOrder(m_searchBox, m_grid);
    connectCommands();
    nameUnnamedControls();
    updateCommandStates();
}

QString MainWindow::baseTitle() {
    return u"Tarvex - агентская комиссия авиакомпаний"_s;
}

void MainWindow::setCompanions(const Companions& companions) {
    m_companions = companions;
    if (m_companions.settings)
        connect(m_companions.settings, &SettingsDialog::settingsSaved, this, &MainWindow::applySettings);
}

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(u"ActionMainMenuBar1"_s);
    bar->setAccessibleName(u"Главное меню"_s);
    bar->setFont(QFont(u"Segoe UI"_s, 9));

    QMenu* operations = bar->addMenu(u"Операции"_s);
    operations->addActions({m_actions.addAirline, m_actions.editAirline, m_actions.deleteAirline});
    operations->addSeparator();
    operations->addActions({m_actions.createSmartFlow, m_actions.createSmartKey});
    operations->addSeparator();
    operations->addActions({m_actions.createWorkbook, m_actions.exportAirlines});
    operations->addSeparator();
    operations->addAction(m_actions.createAll);
    operations->addSeparator();
    operations->addActions({m_actions.showFindings, m_actions.showEnding});

    QMenu* settings = bar->addMenu(u"Настройки"_s);
    settings->addAction(m_actions.settings);

    QMenu* help = bar->addMenu(u"Помощь"_s);
    help->addActions({m_actions.help, m_actions.about});

    // A menu bar shows an action's icon instead of its caption; "Выход" stands there as text.
    QAction* exit = bar->addAction(m_actions.exit->text(), m_actions.exit, &QAction::trigger);
    exit->setStatusTip(m_actions.exit->statusTip());

    for (QMenu* menu : {operations, settings, help}) {
        menu->setToolTipsVisible(true);
        menu->setAccessibleName(menu->title());
    }
}

void MainWindow::buildToolBar() {
    QToolBar* bar = addToolBar(u"Панель инструментов"_s);
    bar->setObjectName(u"ActionToolBar1"_s);
    bar->setAccessibleName(bar->windowTitle());
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setFixedHeight(34);
    bar->setIconSize(QSize(24, 24));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);

    bar->addActions({m_actions.addAirline, m_actions.editAirline, m_actions.deleteAirline});
    bar->addSeparator();

    auto* createMenu = new QMenu(this);
    createMenu->setObjectName(u"createMenu"_s);
    createMenu->setAccessibleName(m_actions.openCreateMenu->text());
    createMenu->setToolTipsVisible(true);
    standIn(m_actions.createSmartFlow, u"Скрипт для Amadeus &SellConnect"_s, createMenu);
    standIn(m_actions.createSmartKey, u"Скрипт для Amadeus &Vista"_s, createMenu);
    createMenu->addSeparator();
    createMenu->addActions({m_actions.createWorkbook, m_actions.exportAirlines});
    createMenu->addSeparator();
    createMenu->addAction(m_actions.createAll);
    m_actions.openCreateMenu->setMenu(createMenu);
    bar->addAction(m_actions.openCreateMenu);
    m_createButton = qobject_cast<QToolButton*>(bar->widgetForAction(m_actions.openCreateMenu));
    m_createButton->setObjectName(u"btnCreateOpen"_s);
    m_createButton->setPopupMode(QToolButton::InstantPopup);
    auto* dayLabel = new QLabel(u"на дату"_s, bar);
    dayLabel->setObjectName(u"lbOnDate"_s);
    dayLabel->setContentsMargins(6, 0, 4, 0);
    m_dayBox = new QDateEdit(QDate::currentDate(), bar);
    m_dayBox->setObjectName(u"eOnDate"_s);
    m_dayBox->setDisplayFormat(u"dd.MM.yyyy"_s);
    m_dayBox->setCalendarPopup(true);
    m_dayBox->setToolTip(u"Скрипты формируются на этот день: в них попадают условия, действующие в этот день, и эта "
                         u"дата стоит в заголовках и именах файлов"_s);
    m_dayBox->setStatusTip(m_dayBox->toolTip());
    m_dayBox->setAccessibleName(u"Формировать на дату"_s);
    m_dayBox->findChild<QLineEdit*>()->setAccessibleName(m_dayBox->accessibleName());
    dayLabel->setBuddy(m_dayBox);
    bar->addWidget(dayLabel);
    bar->addWidget(m_dayBox);
    bar->addSeparator();
    bar->addActions({m_actions.settings, m_actions.help});
    bar->addSeparator();
    bar->addAction(m_actions.exit);

    // The search box stands at the right end whatever the window's width.
    auto* gap = new QWidget(bar);
    gap->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    bar->addWidget(gap);
    m_searchBox = new QLineEdit(bar);
    m_searchBox->setObjectName(u"eSearchBox"_s);
    m_searchBox->setPlaceholderText(u"поиск по контексту"_s);
    m_searchBox->setToolTip(u"поиск во всех полях"_s);
    m_searchBox->setStatusTip(m_searchBox->toolTip());
    m_searchBox->setAccessibleName(m_searchBox->toolTip());
    QAction* clear = m_searchBox->addAction(tarvexIcon("edit-clear"), QLineEdit::TrailingPosition);
    clear->setObjectName(u"eSearchBoxClear"_s);
    clear->setText(u"отменить фильтр"_s);
    clear->setToolTip(clear->text());
    clear->setStatusTip(clear->text());
    connect(clear, &QAction::triggered, this, [this] {
        resetAirlineView();
        m_searchBox->setFocus();
    });
    m_searchBox->setFixedWidth(searchBoxWidth(*m_searchBox));
    bar->addWidget(m_searchBox);
}

void MainWindow::nameUnnamedControls() {
    // Buttons and menus Qt adds itself (toolbar and menu bar overflow, the grid's corner) have no text of their own.
    for (QMenu* menu : findChildren<QMenu*>()) {
        if (menu->accessibleName().isEmpty())
            menu->setAccessibleName(menu->title().isEmpty() ? u"Другие команды"_s : menu->title());
    }
    for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
        if (!button->accessibleName().isEmpty())
            continue;
        const auto* tool = qobject_cast<QToolButton*>(button);
        if (tool && tool->defaultAction())
            button->setAccessibleName(tool->defaultAction()->iconText());
        else if (!button->text().isEmpty())
            button->setAccessibleName(button->text());
        else if (!button->toolTip().isEmpty())
            button->setAccessibleName(button->toolTip());
        else
            button->setAccessibleName(u"Другие команды"_s);
    }
}

void MainWindow::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(u"mxStatusBar1"_s);
    bar->setAccessibleName(u"Строка состояния"_s);
    m_hintPanel = statusPanel(u"statusHint"_s, u"Подсказка"_s, 330, Qt::AlignLeft);
    m_countPanel = statusPanel(u"statusAirlineCount"_s, u"Количество авиакомпаний"_s, 130, Qt::AlignLeft);
    m_endingPanel = statusPanel(u"statusEnding"_s,
                                u"Авиакомпании, у которых договор или условие скоро кончится или "
                                u"кончилось"_s,
                                140, Qt::AlignLeft);
    m_datePanel = statusPanel(u"statusDate"_s, u"Дата"_s, 100, Qt::AlignRight);
    bar->addWidget(m_hintPanel);
    bar->addWidget(m_countPanel);
    bar->addWidget(m_endingPanel);
    bar->addWidget(m_datePanel);
}

void MainWindow::connectCommands() {
    const MainWindowActions& a = m_actions;
    connect(a.addAirline, &QAction::triggered, this, &MainWindow::addAirline);
    connect(a.editAirline, &QAction::triggered, this, &MainWindow::editAirline);
    connect(a.deleteAirline, &QAction::triggered, this, &MainWindow::deleteAirline);
    connect(a.createSmartFlow, &QAction::triggered, this,
            [this] { createScript(OutputKind::SmartFlow, u"Smart Flow"_s); });
    connect(a.createSmartKey, &QAction::triggered, this,
            [this] { createScript(OutputKind::SmartKey, u"Smart Key"_s); });
    connect(a.createWorkbook, &QAction::triggered, this, &MainWindow::createWorkbook);
    connect(a.exportAirlines, &QAction::triggered, this, &MainWindow::exportAirlines);
    connect(a.createAll, &QAction::triggered, this, &MainWindow::createAll);
    connect(a.showFindings, &QAction::toggled, this, &MainWindow::showOnlyAirlinesWithFindings);
    connect(a.showEnding, &QAction::toggled, this, &MainWindow::showOnlyAirlinesEnding);
    connect(a.openCreateMenu, &QAction::triggered, m_createButton, &QToolButton::showMenu);
    connect(a.settings, &QAction::triggered, this, [this] {
        if (m_companions.settings)
            m_prompts.runDialog(*m_companions.settings);
    });
    connect(a.help, &QAction::triggered, this, [this] {
        if (m_companions.help)
            m_companions.help->openHelp(this);
    });
    connect(a.about, &QAction::triggered, this, [this] {
        if (m_companions.about)
            m_prompts.runDialog(*m_companions.about);
    });
    connect(a.exit, &QAction::triggered, this, &QWidget::close);

    connect(m_searchBox, &QLineEdit::textChanged, this, &MainWindow::search);
    m_searchBox->installEventFilter(this);
    m_grid->installEventFilter(this);
    connect(m_grid, &QAbstractItemView::doubleClicked, a.editAirline, &QAction::trigger);

    QAbstractItemModel* rows = m_grid->model();
    connect(rows, &QAbstractItemModel::modelReset, this, &MainWindow::updateCommandStates);
    connect(rows, &QAbstractItemModel::rowsInserted, this, &MainWindow::updateCommandStates);
    connect(rows, &QAbstractItemModel::rowsRemoved, this, &MainWindow::updateCommandStates);
}

bool MainWindow::event(QEvent* event) {
    // Status panel 1 shows the hint of whatever the mouse is over.
    if (event->type() == QEvent::StatusTip) {
        m_hintPanel->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // Backspace clears the whole search, not one character.
        if (watched == m_searchBox && key == Qt::Key_Backspace) {
            resetAirlineView();
            return true;
        }
        if (watched == m_grid && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            m_actions.editAirline->trigger();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_shownBefore)
        return;
    m_shownBefore = true;
    // The toolbar shows its widgets once it is laid out, and only a shown box takes the focus.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_searchBox->setFocus();
            nameUnnamedControls();
        },
        Qt::QueuedConnection);
    startUp();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closing();
}

void MainWindow::startUp() {
    try {
        openRegister();
        m_store.airlines().first();
    } catch (const TarvexError& error) {
        // The window stays usable but empty; commands that need the register repeat this message.
        m_openError = error.message();
        updateCommandStates();
        m_prompts.showError(this, m_openError);
        return;
    }
    showAirlineCount();
    m_datePanel->setText(shortDateText(QDate::currentDate()) + u"      "_s);
    if (m_store.isReadOnly())
        showReadOnly();
    applySettings();
    updateCommandStates();
}

// The register the settings name: the file of the app folder, or the office's register on a
// server. A server that wants a password nobody keeps for the user (~/.pgpass, PGPASSWORD) gets
// it asked for; it is kept for this session only, in the connection, and never written anywhere.
void MainWindow::openRegister() {
    const Options options(m_appDir);
    if (options.registerEngine() != RegisterEngine::Postgres) {
        m_store.open(m_appDir);
        return;
    }
    QString password;
    for (;;) {
        try {
            m_store.openServer(options.serverAddress(), password, RegisterStore::Use::ForWindows);
            return;
        } catch (const ServerConnectionError& error) {
            if (!error.check().asksForPassword())
                throw;
            const std::optional<QString> given = m_prompts.askPassword(
                this, u"Пароль для реестра на сервере"_s,
                u"%1\n\nПароль пользователя «%2»:"_s.arg(error.message(), options.serverAddress().user));
            if (!given)
                throw;
            password = *given;
        }
    }
}

// The register is only read: the title says so, and the commands that would change it say why they cannot.
void MainWindow::showReadOnly() {
    setWindowTitle(windowTitle() + u" (только чтение)"_s);
    const QString why = u"Реестр открыт только для чтения: %1. Добавлять, изменять и удалять авиакомпании нельзя; "
                        u"формировать файлы можно."_s.arg(m_store.readOnlyReason());
    for (QAction* command : {m_actions.addAirline, m_actions.editAirline, m_actions.deleteAirline}) {
        command->setToolTip(why);
        command->setStatusTip(why);
    }
}

void MainWindow::applySettings() {
    try {
        const Options options(m_appDir);
        setWindowTitle(titleWithAddition(windowTitle(), options.header()));
        const int fontSize = options.mainFont();
        m_grid->setDataFontSize(fontSize > 0 ? fontSize : kDefaultFontSize);
        showEndingMarks();
    } catch (const TarvexError& error) { // a settings file that cannot be read: the window keeps its defaults
        m_prompts.showError(this, error.message());
    }
}

void MainWindow::updateCommandStates() {
    // Editing and deleting need an airline to act on; a register that is only read takes no change.
    const bool changeable = !m_store.isReadOnly();
    const bool anyAirline = m_store.isOpen() && !m_store.airlines().isEmpty();
    m_actions.addAirline->setEnabled(changeable);
    m_actions.editAirline->setEnabled(changeable && anyAirline);
    m_actions.deleteAirline->setEnabled(changeable && anyAirline);
}

void MainWindow::showEndingMarks() {
    if (!m_store.isOpen())
        return;
    try {
        const QDate today = QDate::currentDate();
        const QHash<qint64, EndingMark> marks =
            endingMarks(endingSoon(m_store, today, Options(m_appDir).expiryWarningDays()), today);
        m_endingAirlines = QSet<qint64>(marks.keyBegin(), marks.keyEnd());
        m_grid->setEndingMarks(marks);
        m_endingPanel->setText(u"Истекают сроки: %1"_s.arg(m_endingAirlines.size()));
    } catch (const TarvexError& error) {
        m_prompts.showError(this, error.message());
    }
}

QDate MainWindow::generationDay() const {
    return m_dayBox->date();
}

// Every airline of the register, whatever the search shows.
void MainWindow::showAirlineCount() {
    m_countPanel->setText(u"Авиакомпаний: %1"_s.arg(m_store.airlines().storedRowCount()));
}

bool MainWindow::registerReady() {
    if (m_store.isOpen())
        return true;
    m_prompts.showError(this, m_openError.isEmpty() ? u"База данных не открыта"_s : m_openError);
    return false;
}

void MainWindow::resetAirlineView() {
    const QSignalBlocker quiet(m_searchBox);
    m_searchBox->clear();
    for (QAction* narrowing : {m_actions.showFindings, m_actions.showEnding}) {
        const QSignalBlocker allAirlines(narrowing);
        narrowing->setChecked(false);
    }
    if (!m_store.isOpen())
        return;
    try {
        m_store.resetAirlineView();
    } catch (const TarvexError& error) {
        m_prompts.showError(this, error.message());
    }
}

void MainWindow::search(const QString& text) {
    if (!m_store.isOpen())
        return;
    try {
        TableCursor& airlines = m_store.airlines();
        for (QAction* narrowing : {m_actions.showFindings, m_actions.showEnding}) {
            const QSignalBlocker searchReplacesIt(narrowing);
            narrowing->setChecked(false);
        }
        if (text.isEmpty()) {
            airlines.setFiltered(false);
            return;
        }
        airlines.setFilter(SearchFilter{text, searchedColumns()});
        airlines.setFiltered(true);
    } catch (const TarvexError& error) {
        m_prompts.showError(this, error.message());
    }
}

// The airlines in code order, narrowed to those the script check finds fault with.
void MainWindow::showOnlyAirlinesWithFindings(bool on) {
    if (!on) {
        resetAirlineView();
        return;
    }
    showOnly(m_actions.showFindings, [this] {
        QSet<qint64> ids;
        for (const ScriptFinding& finding : checkRegister(m_store, Options(m_appDir), generationDay())) {
            if (finding.airlineId)
                ids.insert(*finding.airlineId);
        }
        return ids;
    });
}

// The airlines in code order, narrowed to those the status bar counts as ending.
void MainWindow::showOnlyAirlinesEnding(bool on) {
    if (!on) {
        resetAirlineView();
        return;
    }
    showOnly(m_actions.showEnding, [this] { return m_endingAirlines; });
}

void MainWindow::showOnly(QAction* command, const std::function<QSet<qint64>()>& airlineIds) {
    resetAirlineView(); // unticks the command: it is ticked again once the view is narrowed
    if (!m_store.isOpen()) {
        registerReady();
        return;
    }
    try {
        TableCursor& airlines = m_store.airlines();
        airlines.setFilter(IdSetFilter{u"id"_s, airlineIds()});
        airlines.setFiltered(true);
        airlines.first();
        const QSignalBlocker narrowed(command);
        command->setChecked(true);
    } catch (const TarvexError& error) {
        m_prompts.showError(this, error.message());
    }
}

void MainWindow::addAirline() {
    if (!registerReady())
        return;
    resetAirlineView();
    try {
        waitUntilRegisterIsFree(m_store);
        m_store.airlines().insert();
    } catch (const TarvexError& error) {
        m_prompts.showError(this, error.message());
        return;
    }
    showAirlineEditor(false); // the new airline has no id for conditions yet
}

void MainWindow::editAirline() {
    if (!registerReady() || m_store.airlines().isEmpty())
        return;
    try {
        waitUntilRegisterIsFree(m_store);
        m_store.airlines().edit();
    } catch (const TarvexError& error) {
        m_prompts.showError(this, error.message());
        return;
    }
    showAirlineEditor(true);
}

void MainWindow::showAirlineEditor(bool conditionsUsable) {
    TableCursor& airlines = m_store.airlines();
    if (m_companions.airlineEditor) {
        RoughRates rates; // an unreadable settings file is reported by the commands that need it
        try {
            rates = Options(m_appDir).roughRates();
        } catch (const TarvexError&) {
        }
        m_companions.airlineEditor->setRoughRates(rates);
        m_companions.airlineEditor->setConditionControlsEnabled(conditionsUsable);
        m_prompts.runDialog(*m_companions.airlineEditor);
    }
    // The editor posts or cancels its change; one it left pending is dropped, never stored unseen.
    if (airlines.state() != TableCursor::State::Browse)
        airlines.cancel();
    showAirlineCount();
    showEndingMarks();
}

void MainWindow::deleteAirline() {
    if (!registerReady() || m_store.airlines().isEmpty())
        return;
    const TableCursor& airlines = m_store.airlines();
    const QString question =
        u"Вы действительно хотите удалить информацию об авиакомпании?\nНазвание - %1\nКод - %2"_s.arg(
            airlines.text(u"AirName"), airlines.text(u"AirCode"));
    if (m_prompts.askYesNo(this, u"Удаление авиакомпании"_s, question) != UserPrompts::Answer::Yes)
        return;
    try {
        const BusyCursor busy;
        m_store.deleteCurrentAirline();
    } catch (const TarvexError& error) {
        m_prompts.showError(this, error.message());
    }
    showAirlineCount();
    showEndingMarks();
}

void MainWindow::createScript(OutputKind kind, const QString& product) {
    if (!registerReady())
        return;
    resetAirlineView();
    const UserPrompts::Answer answer = m_prompts.askYesNoCancel(this, u"Включать ремарки?"_s, remarksQuestion(product));
    if (answer == UserPrompts::Answer::Cancel)
        return;
    GenerationRequest request;
    request.kind = kind;
    request.withRemarks = answer == UserPrompts::Answer::Yes;
    generate(request);
}

void MainWindow::createWorkbook() {
    if (!registerReady())
        return;
    resetAirlineView();
    GenerationRequest request;
    request.kind = OutputKind::Workbook;
    request.includeFees = true;
    generate(request);
}

void MainWindow::exportAirlines() {
    if (!registerReady())
        return;
    resetAirlineView();
    GenerationRequest request;
    request.kind = OutputKind::AirlineList;
    generate(request);
}

void MainWindow::createAll() {
    if (!registerReady())
        return;
    resetAirlineView();
    const Options options(m_appDir);
    GenerationRun run(m_store, options, m_companions.runDisplay ? *m_companions.runDisplay : m_quietRun);
    for (const RunResult& result : run.createAll(generationDay()))
        report(result);
}

void MainWindow::generate(GenerationRequest request) {
    request.onDay = generationDay();
    const Options options(m_appDir);
    GenerationRun run(m_store, options, m_companions.runDisplay ? *m_companions.runDisplay : m_quietRun);
    const RunResult result = run.run(request);
    // The run has returned: what it wrote is shown now, with nothing of it left on the stack.
    if (result.status == RunResult::Status::Written && m_companions.runDisplay)
        m_companions.runDisplay->showWritten(result);
    report(result);
}

void MainWindow::report(const RunResult& result) {
    switch (result.status) {
    case RunResult::Status::Written:
        break; // a command's file is shown by the completion dialog; Create all shows none
    case RunResult::Status::Refused:
        m_prompts.inform(this, u"Ошибка сохранения"_s, result.message);
        break;
    case RunResult::Status::Failed:
        m_prompts.showError(this, result.message);
        break;
    case RunResult::Status::ScriptErrors:
        m_prompts.showError(this, messageWithFindings(result.message, result.findings));
        break;
    }
}

} // namespace tarvex
