#include "generation/generationrun.h"
#include "generation/runobserver.h"
#include "settings/options.h"
#include "store/schema.h"
#include "support/postgresserver.h"
#include "support/registerfixture.h"
#include "ui/accessibility.h"
#include "ui/folderchooser.h"
#include "ui/requirechild.h"
#include "ui/scriptedprompts.h"
#include "ui/settingsdialog.h"
#include "ui/windowtitle.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <csignal>
#include <memory>

#include <sys/resource.h>

using namespace tarvex;
using namespace tarvex::testing;
using namespace Qt::StringLiterals;

namespace {

const QDate kToday(2024, 12, 9);
const QString kOwnTitle = u"Tarvex - агентская комиссия авиакомпаний"_s;

// Answers the browse buttons with a folder set in advance and records where each dialog started.
class ScriptedFolderChooser : public FolderChooser {
public:
    QString chooseFolder(QWidget*, const QString& startFolder) override {
        startFolders << startFolder;
        return answer;
    }
    QString answer;
    QStringList startFolders;
};

// Files may not grow past a size while it lives; a write beyond it fails instead of stopping the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, m_previous.rlim_max};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            qFatal("cannot limit the file size");
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, SIG_DFL);
    }

private:
    rlimit m_previous{};
};

// The settings file as a save writes it into a new file, with the app folder in place of APP.
QByteArray expectedFile(const QString& appDir, const QByteArray& lines) {
    QByteArray bytes = lines;
    return bytes.replace("APP/", appDir.toUtf8()).replace("\n", "\r\n");
}

} // namespace

class TestSettingsDialog : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstOpeningShowsTheDefaults();
    void describedTexts_data();
    void describedTexts();
    void everyControlHasAnAccessibleName();
    void pageTreeChoosesThePage();
    void tickingADateBoxUpdatesItsPreview_data();
    void tickingADateBoxUpdatesItsPreview();
    void savingAtOnceWritesEveryKey();
    void fontSizeHeldWithinRange_data();
    void fontSizeHeldWithinRange();
    void roughRatesAreShownAndSaved();
    void titleAfterSave_data();
    void titleAfterSave();
    void heldValuesSurviveEverySave();
    void noTaskTickedLeavesNoGroupSection();
    void failedWriteChangesNothing_data();
    void failedWriteChangesNothing();
    void failedWriteKeepsTheKeysWrittenBefore();
    void closeWritesNothingAndReopeningShowsTheStoredState();
    void enteringTheExcelPageKeepsWhatWasTyped();
    void relativeFolderIsKeptAsTyped();
    void browseButtonsPickAFolder_data();
    void browseButtonsPickAFolder();
    void nextGenerationRunUsesTheSavedValues();
    void registerPageShowsAndSavesTheServerKeys();
    void serverFieldsOnlyForTheServer();
    void checkButtonSaysWhatHappened_data();
    void checkButtonSaysWhatHappened();

private:
    template <typename T>
    T* control(const QString& name) const {
        return testing::requireChild<T>(m_dialog.get(), name);
    }
    QString optionsPath() const { return m_folder->appDir() + u"options.ini"_s; }
    QByteArray optionsBytes() const { return readFile(optionsPath()); }
    void openDialog();
    void typeInto(const QString& lineEdit, const QString& text);
    void click(const QString& button) { QTest::mouseClick(control<QAbstractButton>(button), Qt::LeftButton); }
    void save() { click(u"btnSave"_s); }
    // A radio button takes a click on its circle or its text, not on the blank rest of its row.
    void chooseEngine(const QString& button) {
        QRadioButton* radio = control<QRadioButton>(button);
        QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(radio->height() / 2, radio->height() / 2));
        QVERIFY(radio->isChecked());
    }

    std::unique_ptr<TempAppFolder> m_folder;
    ScriptedPrompts m_prompts;
    ScriptedFolderChooser m_chooser;
    std::unique_ptr<SettingsDialog> m_dialog;
    std::unique_ptr<PostgresServer> m_server; // started by the first test that needs it
};

void TestSettingsDialog::init() {
    m_folder = std::make_unique<TempAppFolder>();
    QVERIFY(m_folder->isValid());
    m_prompts.clear();
    m_chooser = {};
    m_dialog = std::make_unique<SettingsDialog>(m_folder->appDir(), m_prompts);
    m_dialog->setFolderChooser(m_chooser);
    m_dialog->setClock([] { return kToday; });
}

void TestSettingsDialog::cleanup() {
    m_dialog.reset();
    if (QFileInfo::exists(optionsPath()))
        QFile::setPermissions(optionsPath(), QFile::ReadOwner | QFile::WriteOwner);
    m_folder.reset();
}

void TestSettingsDialog::openDialog() {
    m_dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
}

void TestSettingsDialog::typeInto(const QString& lineEdit, const QString& text) {
    QLineEdit* box = control<QLineEdit>(lineEdit);
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    box->insert(text); // as typed: key clicks carry Latin-1 letters only
    QCOMPARE(box->text(), text);
}

void TestSettingsDialog::firstOpeningShowsTheDefaults() {
    openDialog();
    const QString files = m_folder->appDir() + u"Files"_s;
    QCOMPARE(m_dialog->windowTitle(), u"Настройки"_s);
    QCOMPARE(m_dialog->size(), QSize(554, 352).expandedTo(m_dialog->minimumSizeHint()));
    QCOMPARE(m_dialog->minimumSize(), m_dialog->maximumSize());
    QCOMPARE(control<QStackedWidget>(u"pcPages"_s)->currentWidget()->objectName(), u"tsExcel"_s);
    QCOMPARE(control<QLineEdit>(u"eXLSpath"_s)->text(), files);
    QCOMPARE(control<QLineEdit>(u"eXLSname"_s)->text(), u"Tarvex_comissions"_s);
    QCOMPARE(control<QLineEdit>(u"eScriptPath"_s)->text(), files);
    QCOMPARE(control<QLineEdit>(u"eFlowName"_s)->text(), u"Tarvex-SmartFlow"_s);
    QVERIFY(!control<QCheckBox>(u"cbXLSdate"_s)->isChecked());
    QVERIFY(!control<QCheckBox>(u"cbFlowDate"_s)->isChecked());
    QCOMPARE(control<QLabel>(u"lbXLSnameEnding"_s)->text(), u".xlsx"_s);
    QCOMPARE(control<QLabel>(u"lbFlowNameEnding"_s)->text(), u".txt"_s);
    QCOMPARE(control<QSpinBox>(u"seMainFont"_s)->value(), 8);
    QCOMPARE(control<QLineEdit>(u"eHeader"_s)->text(), QString());
    for (const QString& task : createAllTaskBoxNames())
        QVERIFY2(!control<QCheckBox>(task)->isChecked(), qPrintable(task));
    QVERIFY(!QFileInfo::exists(optionsPath()));
    QVERIFY(m_prompts.shown().isEmpty());
}

void TestSettingsDialog::describedTexts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    const auto row = [](const char* name, const QString& text) {
        QTest::newRow(name) << QString::fromUtf8(name) << text;
    };
    row("gbXLSpath", u"Путь сохранения файла экспорта"_s);
    row("gbXLSname", u"Имя файла экспорта"_s);
    row("cbXLSdate", u"добавлять текущую дату в конце имени"_s);
    row("gbScriptPath", u"Путь сохранения файлов скрипта"_s);
    row("gbFlowName", u"Имя файла скрипта (Smart Flow) для терминалов Selling Connect"_s);
    row("cbFlowDate", u"добавлять текущую дату в конце имени"_s);
    row("gbTasks", u"Выберите задачи для групповой обработки"_s);
    row("lbTasksHint", u"Эти задачи будут запускаться по выбору пункта меню \"Генерировать всё\""_s);
    row("lbCreate", u"Создать:"_s);
    row("gbSF", u"Smart Flow для Amadeus Selling Connect"_s);
    row("cbSFrmk", u"с ремарками"_s);
    row("cbSF", u"без ремарок"_s);
    row("gbSK", u"Smart Key для Amadeus Vista"_s);
    row("cbSKrmk", u"с ремарками"_s);
    row("cbSK", u"без ремарок"_s);
    row("gbXL", u"Таблицу в формате XLS (эксель) "_s);
    row("cbXLrmk", u"со сборами"_s);
    row("cbXL", u"без сборов"_s);
    row("gbCSV", u"Список авиакомпаний в формате CSV "_s);
    row("cbCSV", u"создать список"_s);
    row("gbHeader", u"Добавить текст в заголовок окна программы "_s);
    row("gbFontSize", u"Размер шрифта"_s);
    row("lbMainFont", u"Основная таблица"_s);
    row("gbRegisterEngine", u"Где хранится реестр"_s);
    row("rbSqlite", u"Файл SQLite в папке программы"_s);
    row("rbPostgres", u"Сервер PostgreSQL"_s);
    row("gbServer", u"Подключение к серверу"_s);
    row("lbDbName", u"База данных"_s);
    row("lbDbPassword", u"Пароль"_s);
    row("btnCheckConnection", u"Проверить подключение"_s);
    row("btnSave", u"Сохранить"_s);
    row("btnClose", u"Закрыть"_s);
}

void TestSettingsDialog::describedTexts() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    QWidget* widget = control<QWidget>(name);
    if (auto* group = qobject_cast<QGroupBox*>(widget))
        QCOMPARE(group->title(), text);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        QCOMPARE(label->text(), text);
    else
        QCOMPARE(qobject_cast<QAbstractButton*>(widget)->text(), text);
    QCOMPARE(spokenName(widget), text);
}

void TestSettingsDialog::everyControlHasAnAccessibleName() {
    openDialog();
    QCOMPARE(control<QWidget>(u"frXLSopt1"_s)->metaObject()->className(), "tarvex::WorkbookOptionsFrame");
    for (const char* browse : {"btnXLSpath", "btnScriptPath"})
        QCOMPARE(control<QToolButton>(QString::fromUtf8(browse))->toolTip(), u"Нажмите для выбора папки"_s);
    QLineEdit* header = control<QLineEdit>(u"eHeader"_s);
    QCOMPARE(header->placeholderText(), u"Например: СуперФирма"_s);
    QCOMPARE(header->toolTip(), u"Удобно, если используется несколько экземпляров программы на одном компьютере"_s);
    QSpinBox* size = control<QSpinBox>(u"seMainFont"_s);
    QCOMPARE(size->minimum(), 8);
    QCOMPARE(size->maximum(), 24);
    const QTreeWidget* tree = control<QTreeWidget>(u"tvPages"_s);
    QVERIFY(tree->width() >= 139);
    QStringList pages;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* page = tree->topLevelItem(i);
        pages << page->text(0);
        QVERIFY2(tree->visualItemRect(page).right() < tree->viewport()->width(), qPrintable(page->text(0)));
        QVERIFY2(tree->fontMetrics().horizontalAdvance(page->text(0)) < tree->viewport()->width(),
                 qPrintable(page->text(0)));
    }
    QCOMPARE(pages, (QStringList{u"Экспорт в Excel"_s, u"Скрипт Амадеуса"_s, u"Групповая обработка"_s, u"Прочее"_s,
                                 u"Реестр"_s}));

    int controls = 0;
    for (QWidget* widget : m_dialog->findChildren<QWidget*>()) {
        const QString name = widget->objectName();
        if (name.isEmpty() || name.startsWith(u"qt_"_s))
            continue; // parts Qt builds inside its own widgets
        ++controls;
        QVERIFY2(!spokenName(widget).isEmpty(), qPrintable(name));
    }
    QVERIFY(controls > 30);
}

void TestSettingsDialog::pageTreeChoosesThePage() {
    openDialog();
    QTreeWidget* tree = control<QTreeWidget>(u"tvPages"_s);
    const QStringList pages{u"tsExcel"_s, u"tsScript"_s, u"tsGroup"_s, u"tsOther"_s, u"tsRegister"_s};
    for (int i = pages.size() - 1; i >= 0; --i) {
        tree->setCurrentItem(tree->topLevelItem(i));
        QCOMPARE(control<QStackedWidget>(u"pcPages"_s)->currentWidget()->objectName(), pages[i]);
    }
    // Task boxes the user cannot change stay out of sight.
    tree->setCurrentItem(tree->topLevelItem(2));
    QVERIFY(control<QCheckBox>(u"cbSFrmk"_s)->isVisible());
    QVERIFY(control<QCheckBox>(u"cbCSV"_s)->isVisible());
    for (const char* hidden : {"cbSKrmk", "cbSK", "cbXL"})
        QVERIFY2(!control<QCheckBox>(QString::fromUtf8(hidden))->isVisible(), hidden);
}

void TestSettingsDialog::tickingADateBoxUpdatesItsPreview_data() {
    QTest::addColumn<QString>("dateBox");
    QTest::addColumn<QString>("preview");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("extension");
    QTest::newRow("Excel") << u"cbXLSdate"_s << u"lbXLSnameEnding"_s << 0 << u".xlsx"_s;
    QTest::newRow("Smart Flow") << u"cbFlowDate"_s << u"lbFlowNameEnding"_s << 1 << u".txt"_s;
}

void TestSettingsDialog::tickingADateBoxUpdatesItsPreview() {
    QFETCH(QString, dateBox);
    QFETCH(QString, preview);
    QFETCH(int, page);
    QFETCH(QString, extension);
    openDialog();
    QTreeWidget* tree = control<QTreeWidget>(u"tvPages"_s);
    tree->setCurrentItem(tree->topLevelItem(page));
    click(dateBox);
    QCOMPARE(control<QLabel>(preview)->text(), u"_09.12.2024"_s + extension);
    QCOMPARE(spokenName(control<QLabel>(preview)), u"_09.12.2024"_s + extension);
    click(dateBox);
    QCOMPARE(control<QLabel>(preview)->text(), extension);
}

void TestSettingsDialog::savingAtOnceWritesEveryKey() {
    openDialog();
    QSignalSpy saved(m_dialog.get(), &SettingsDialog::settingsSaved);
    save();
    QCOMPARE(optionsBytes(),
             expectedFile(m_folder->appDir(), "[params]\nheader=\nmainfont=8\nrateEUR=100\nrateUSD=90\nexpirydays=14\n"
                                              "[script]\nprefix=\npath=APP/Files\nname=Tarvex-Rules\n"
                                              "date=0\n"
                                              "[flow]\npath=APP/Files\nname=Tarvex-SmartFlow\ndate=0\n"
                                              "[xls]\npath=APP/Files\nname=Tarvex_comissions\ndate=0\n"
                                              "[db]\ndriver=sqlite\nhost=\nport=\nname=\nuser=\nsslmode=\n"));
    QCOMPARE(saved.count(), 1);
    QCOMPARE(m_prompts.shown().size(), 1);
    QCOMPARE(m_prompts.shown().first().kind, u"message"_s);
    QCOMPARE(m_prompts.shown().first().text, u"Настройки сохранены."_s);
    QVERIFY(m_dialog->isVisible()); // the window stays open
    // The workbook writer and the window agree on the name.
    QCOMPARE(Options(m_folder->appDir()).workbookNaming().name, u"Tarvex_comissions"_s);
}

void TestSettingsDialog::fontSizeHeldWithinRange_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("shown");
    QTest::newRow("30") << QByteArray("30") << 24;
    QTest::newRow("3") << QByteArray("3") << 8;
    QTest::newRow("letters") << QByteArray("abc") << 8;
    QTest::newRow("12") << QByteArray("12") << 12;
}

void TestSettingsDialog::fontSizeHeldWithinRange() {
    QFETCH(QByteArray, stored);
    QFETCH(int, shown);
    m_folder->writeOptions("[params]\nmainfont=" + stored + "\n");
    openDialog();
    QCOMPARE(control<QSpinBox>(u"seMainFont"_s)->value(), shown);
    save();
    QCOMPARE(Options(m_folder->appDir()).mainFont(), shown);
    QVERIFY(optionsBytes().contains("mainfont=" + QByteArray::number(shown) + "\n"));
}

void TestSettingsDialog::roughRatesAreShownAndSaved() {
    m_folder->writeOptions("[params]\nrateUSD=95\n");
    openDialog();
    QCOMPARE(control<QSpinBox>(u"seRateEUR"_s)->value(), 100); // the default
    QCOMPARE(control<QSpinBox>(u"seRateUSD"_s)->value(), 95);
    control<QSpinBox>(u"seRateEUR"_s)->setValue(105);
    save();
    const RoughRates rates = Options(m_folder->appDir()).roughRates();
    QCOMPARE(rates.rubPerEur, 105);
    QCOMPARE(rates.rubPerUsd, 95);
}

void TestSettingsDialog::titleAfterSave_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("addition replaced") << u"Офис 1 | "_s + kOwnTitle << u"Офис 2"_s << u"Офис 2 | "_s + kOwnTitle;
    QTest::newRow("plain title gets one") << kOwnTitle << u"Офис 2"_s << u"Офис 2 | "_s + kOwnTitle;
    QTest::newRow("emptied box keeps the title")
        << u"Офис 1 | "_s + kOwnTitle << QString() << u"Офис 1 | "_s + kOwnTitle;
}

// The main window applies the title and the grid font when the dialog says it saved; a stand-in does the same here.
void TestSettingsDialog::titleAfterSave() {
    QFETCH(QString, title);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    m_folder->writeOptions("[params]\nheader=Офис 1\n");
    QWidget mainWindow;
    mainWindow.setWindowTitle(title);
    connect(m_dialog.get(), &SettingsDialog::settingsSaved, &mainWindow, [&] {
        const Options options(m_folder->appDir());
        mainWindow.setWindowTitle(titleWithAddition(mainWindow.windowTitle(), options.header()));
        QFont font = mainWindow.font();
        font.setPointSize(options.mainFont());
        mainWindow.setFont(font);
    });
    openDialog();
    QCOMPARE(control<QLineEdit>(u"eHeader"_s)->text(), u"Офис 1"_s);
    typeInto(u"eHeader"_s, typed);
    control<QSpinBox>(u"seMainFont"_s)->setValue(14);
    save();
    QCOMPARE(Options(m_folder->appDir()).header(), typed);
    QCOMPARE(mainWindow.windowTitle(), expected);
    QCOMPARE(mainWindow.font().pointSize(), 14);
}

void TestSettingsDialog::heldValuesSurviveEverySave() {
    m_folder->writeOptions("[script]\nprefix=RT;TTP\nname=Agency-Rules\ndate=1\n"
                           "[group]\n1=cbSK\n2=cbSFrmk\n3=cbXL\n4=zzSFrmk\n");
    openDialog();
    QVERIFY(control<QCheckBox>(u"cbSK"_s)->isChecked());
    QVERIFY(control<QCheckBox>(u"cbXL"_s)->isChecked());
    QTreeWidget* tree = control<QTreeWidget>(u"tvPages"_s);
    tree->setCurrentItem(tree->topLevelItem(2));
    click(u"cbSFrmk"_s); // untick
    click(u"cbCSV"_s);
    for (int round = 0; round < 2; ++round) {
        save();
        const QByteArray bytes = optionsBytes();
        const Options options(m_folder->appDir());
        QCOMPARE(options.scriptPrefix(), u"RT;TTP"_s);
        QCOMPARE(options.smartKeyNaming().name, u"Agency-Rules"_s);
        QVERIFY(options.smartKeyNaming().date);
        QVERIFY2(bytes.contains("[group]\n1=cbSK\n2=cbXL\n3=cbCSV\n"), bytes.constData());
    }
}

void TestSettingsDialog::noTaskTickedLeavesNoGroupSection() {
    m_folder->writeOptions("[group]\n1=cbSF\n2=cbCSV\n[other]\nkept=1\n");
    openDialog();
    QTreeWidget* tree = control<QTreeWidget>(u"tvPages"_s);
    tree->setCurrentItem(tree->topLevelItem(2));
    click(u"cbSF"_s);
    click(u"cbCSV"_s);
    save();
    const QByteArray bytes = optionsBytes(); // lines end as the hand-written file's do
    QVERIFY2(!bytes.contains("[group]"), bytes.constData());
    QVERIFY2(bytes.contains("[other]\nkept=1"), bytes.constData());
    QVERIFY(Options(m_folder->appDir()).groupTasks().isEmpty());
}

void TestSettingsDialog::failedWriteChangesNothing_data() {
    QTest::addColumn<bool>("fileIsFolder");
    // The program treats a file without the owner's write permission as read-only, also for root.
    QTest::newRow("read-only options.ini") << false;
    // A folder in the file's place cannot be replaced, whoever runs the program.
    QTest::newRow("folder in the file's place") << true;
}

void TestSettingsDialog::failedWriteChangesNothing() {
    QFETCH(bool, fileIsFolder);
    const QByteArray before = "[params]\r\nheader=Офис 1\r\nmainfont=10\r\n";
    if (fileIsFolder) {
        QVERIFY(QDir(m_folder->appDir()).mkdir(u"options.ini"_s));
    } else {
        m_folder->writeOptions(before);
        QVERIFY(QFile::setPermissions(optionsPath(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    }
    QSignalSpy saved(m_dialog.get(), &SettingsDialog::settingsSaved);
    openDialog();
    if (fileIsFolder) { // the window says at once that it cannot read the file
        QCOMPARE(m_prompts.shown().size(), 1);
        QCOMPARE(m_prompts.shown().first().kind, u"error"_s);
        QVERIFY(m_prompts.shown().first().text.startsWith(u"Не удалось прочитать файл настроек "_s + optionsPath()));
        m_prompts.clear();
    }
    typeInto(u"eHeader"_s, u"Офис 2"_s);
    save();
    QCOMPARE(m_prompts.shown().size(), 1);
    QCOMPARE(m_prompts.shown().first().kind, u"error"_s);
    QVERIFY(m_prompts.shown().first().text.startsWith(u"Unable to write to "_s + optionsPath() + u": "_s));
    QCOMPARE(saved.count(), 0);
    if (fileIsFolder)
        QVERIFY(QFileInfo(optionsPath()).isDir());
    else
        QCOMPARE(optionsBytes(), before);
    QCOMPARE(control<QLineEdit>(u"eHeader"_s)->text(), u"Офис 2"_s); // what the user typed is still there
}

// The operating system refuses the write part-way through the save, also for root: no file may grow past the
// size limit, so the keys of section params fit and the next key does not.
void TestSettingsDialog::failedWriteKeepsTheKeysWrittenBefore() {
    const QByteArray params = "[params]\r\nheader=Офис 2\r\nmainfont=8\r\n";
    QSignalSpy saved(m_dialog.get(), &SettingsDialog::settingsSaved);
    openDialog();
    typeInto(u"eHeader"_s, u"Офис 2"_s);
    {
        const FileSizeLimit limit(params.size());
        save();
    }
    QCOMPARE(optionsBytes(), params);
    QCOMPARE(m_prompts.shown().size(), 1);
    QCOMPARE(m_prompts.shown().first().kind, u"error"_s);
    QVERIFY(m_prompts.shown().first().text.startsWith(u"Unable to write to "_s + optionsPath() + u": "_s));
    QCOMPARE(saved.count(), 0);
}

void TestSettingsDialog::closeWritesNothingAndReopeningShowsTheStoredState() {
    const QByteArray stored = "[xls]\r\nname=Book\r\ndate=1\r\n[group]\r\n1=cbSF\r\n";
    m_folder->writeOptions(stored);
    openDialog();
    typeInto(u"eXLSname"_s, u"Other"_s);
    click(u"cbXLSdate"_s);
    QTreeWidget* tree = control<QTreeWidget>(u"tvPages"_s);
    tree->setCurrentItem(tree->topLevelItem(2));
    click(u"cbSF"_s);  // untick a stored task
    click(u"cbCSV"_s); // tick one not stored
    click(u"btnClose"_s);
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(optionsBytes(), stored);

    openDialog();
    QCOMPARE(control<QLineEdit>(u"eXLSname"_s)->text(), u"Book"_s);
    QVERIFY(control<QCheckBox>(u"cbXLSdate"_s)->isChecked());
    QCOMPARE(control<QLabel>(u"lbXLSnameEnding"_s)->text(), u"_09.12.2024.xlsx"_s);
    QVERIFY(control<QCheckBox>(u"cbSF"_s)->isChecked());
    QVERIFY(!control<QCheckBox>(u"cbCSV"_s)->isChecked());
    QVERIFY(m_prompts.shown().isEmpty());
}

void TestSettingsDialog::enteringTheExcelPageKeepsWhatWasTyped() {
    m_folder->writeOptions("[xls]\nname=Book\n");
    openDialog();
    typeInto(u"eXLSname"_s, u"Typed"_s);
    QTreeWidget* tree = control<QTreeWidget>(u"tvPages"_s);
    tree->setCurrentItem(tree->topLevelItem(1));
    control<QLineEdit>(u"eFlowName"_s)->setFocus();
    tree->setCurrentItem(tree->topLevelItem(0));
    QLineEdit* name = control<QLineEdit>(u"eXLSname"_s);
    QTest::mouseClick(name, Qt::LeftButton);
    name->setFocus();
    QCOMPARE(name->text(), u"Typed"_s);
}

void TestSettingsDialog::relativeFolderIsKeptAsTyped() {
    openDialog();
    typeInto(u"eXLSpath"_s, u"Книги"_s);
    typeInto(u"eScriptPath"_s, u"out/scripts"_s);
    save();
    const Options options(m_folder->appDir());
    QCOMPARE(options.configuredFolder(u"xls"), u"Книги"_s);
    QCOMPARE(options.configuredFolder(u"script"), u"out/scripts"_s);
    QCOMPARE(options.configuredFolder(u"flow"), u"out/scripts"_s);
    // The outputs take it from the app folder.
    QCOMPARE(options.workbookNaming().path, m_folder->appDir() + u"Книги"_s);
    m_dialog->hide();
    openDialog();
    QCOMPARE(control<QLineEdit>(u"eXLSpath"_s)->text(), u"Книги"_s);
    QCOMPARE(control<QLineEdit>(u"eScriptPath"_s)->text(), u"out/scripts"_s);
}

void TestSettingsDialog::browseButtonsPickAFolder_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("folderBox");
    QTest::addColumn<int>("page");
    QTest::newRow("Excel") << u"btnXLSpath"_s << u"eXLSpath"_s << 0;
    QTest::newRow("scripts") << u"btnScriptPath"_s << u"eScriptPath"_s << 1;
}

void TestSettingsDialog::browseButtonsPickAFolder() {
    QFETCH(QString, button);
    QFETCH(QString, folderBox);
    QFETCH(int, page);
    openDialog();
    QTreeWidget* tree = control<QTreeWidget>(u"tvPages"_s);
    tree->setCurrentItem(tree->topLevelItem(page));
    typeInto(folderBox, u"out"_s);
    click(button); // cancelled
    QCOMPARE(m_chooser.startFolders, QStringList{m_folder->appDir() + u"out"_s});
    QCOMPARE(control<QLineEdit>(folderBox)->text(), u"out"_s);
    m_chooser.answer = u"/srv/agency/Выгрузка"_s;
    click(button);
    QCOMPARE(control<QLineEdit>(folderBox)->text(), u"/srv/agency/Выгрузка"_s);
    typeInto(folderBox, QString());
    click(button); // an empty folder is the app folder
    QCOMPARE(m_chooser.startFolders.last(), m_folder->appDir());
}

void TestSettingsDialog::nextGenerationRunUsesTheSavedValues() {
    RegisterStore& data = m_folder->openStore();
    addAirline(data, airline(u"SU"_s, u"Аэрофлот"_s));
    const QString workbookFolder = m_folder->appDir() + u"Книги"_s;
    const QString scriptFolder = m_folder->appDir() + u"Скрипты"_s;
    QVERIFY(QDir().mkpath(workbookFolder));
    QVERIFY(QDir().mkpath(scriptFolder));

    openDialog();
    typeInto(u"eXLSpath"_s, workbookFolder);
    typeInto(u"eXLSname"_s, u"Комиссии"_s);
    click(u"cbXLSdate"_s);
    QTreeWidget* tree = control<QTreeWidget>(u"tvPages"_s);
    tree->setCurrentItem(tree->topLevelItem(1));
    typeInto(u"eScriptPath"_s, scriptFolder);
    typeInto(u"eFlowName"_s, u"Поток"_s);
    tree->setCurrentItem(tree->topLevelItem(2));
    click(u"cbSFrmk"_s);
    save();

    const Options options(m_folder->appDir());
    RunObserver observer;
    GenerationRun run(data, options, observer);
    run.setClock([] { return kToday; });
    GenerationRequest workbook;
    workbook.kind = OutputKind::Workbook;
    const RunResult written = run.run(workbook);
    QCOMPARE(written.status, RunResult::Status::Written);
    QCOMPARE(written.filePath, workbookFolder + u"/Комиссии_09.12.2024.xlsx"_s);
    QVERIFY(QFileInfo(written.filePath).isFile());

    const QList<RunResult> all = run.createAll();
    QCOMPARE(all.size(), 1);
    QCOMPARE(all.first().filePath, scriptFolder + u"/Поток-with-remarks.txt"_s);
    QVERIFY(QFileInfo(all.first().filePath).isFile());
}

void TestSettingsDialog::registerPageShowsAndSavesTheServerKeys() {
    m_folder->writeOptions("[db]\ndriver=postgresql\nhost=db.office\nport=5433\nname=реестр\nuser=agent\n"
                           "sslmode=require\n");
    openDialog();
    QVERIFY(control<QRadioButton>(u"rbPostgres"_s)->isChecked());
    QCOMPARE(control<QLineEdit>(u"eDbHost"_s)->text(), u"db.office"_s);
    QCOMPARE(control<QSpinBox>(u"seDbPort"_s)->value(), 5433);
    QCOMPARE(control<QLineEdit>(u"eDbName"_s)->text(), u"реестр"_s);
    QCOMPARE(control<QLineEdit>(u"eDbUser"_s)->text(), u"agent"_s);
    QCOMPARE(control<QComboBox>(u"cbDbSslMode"_s)->currentText(), u"require"_s);

    typeInto(u"eDbHost"_s, u"/run/postgresql"_s);
    control<QSpinBox>(u"seDbPort"_s)->setValue(0); // shown as libpq's default
    QCOMPARE(control<QSpinBox>(u"seDbPort"_s)->text(), u"5432"_s);
    control<QComboBox>(u"cbDbSslMode"_s)->setCurrentIndex(0);
    typeInto(u"eDbPassword"_s, u"секрет-1"_s);
    save();
    const Options options(m_folder->appDir());
    QVERIFY(options.registerEngine() == RegisterEngine::Postgres);
    QCOMPARE(options.serverAddress(), (ServerAddress{u"/run/postgresql"_s, 0, u"реестр"_s, u"agent"_s, QString()}));
    QVERIFY(!optionsBytes().contains("секрет"));
    QVERIFY(control<QLineEdit>(u"eDbPassword"_s)->toolTip().startsWith(u"Пароль не записывается в файл настроек"_s));

    // The password stays for the session, and reopening shows what was saved.
    m_dialog->hide();
    openDialog();
    QCOMPARE(m_dialog->serverPassword(), u"секрет-1"_s);
    QCOMPARE(control<QLineEdit>(u"eDbHost"_s)->text(), u"/run/postgresql"_s);
    QCOMPARE(control<QComboBox>(u"cbDbSslMode"_s)->currentText(), u"по умолчанию"_s);
}

void TestSettingsDialog::serverFieldsOnlyForTheServer() {
    openDialog();
    QTreeWidget* tree = control<QTreeWidget>(u"tvPages"_s);
    tree->setCurrentItem(tree->topLevelItem(4));
    QVERIFY(control<QRadioButton>(u"rbSqlite"_s)->isChecked());
    const QStringList serverControls{u"eDbHost"_s,     u"seDbPort"_s,    u"eDbName"_s,           u"eDbUser"_s,
                                     u"cbDbSslMode"_s, u"eDbPassword"_s, u"btnCheckConnection"_s};
    for (const QString& name : serverControls)
        QVERIFY2(!control<QWidget>(name)->isEnabled(), qPrintable(name));
    chooseEngine(u"rbPostgres"_s);
    for (const QString& name : serverControls)
        QVERIFY2(control<QWidget>(name)->isEnabled(), qPrintable(name));
    typeInto(u"eDbName"_s, u"реестр"_s);
    chooseEngine(u"rbSqlite"_s);
    QVERIFY(!control<QWidget>(u"eDbName"_s)->isEnabled());
    save(); // what was typed for the server is kept for a later change of mind
    const Options options(m_folder->appDir());
    QVERIFY(options.registerEngine() == RegisterEngine::Sqlite);
    QCOMPARE(options.serverAddress().name, u"реестр"_s);
}

void TestSettingsDialog::checkButtonSaysWhatHappened_data() {
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("answer"); // how the answer starts
    QTest::addColumn<bool>("passwordBoxFocused");
    QTest::newRow("connected") << u"пароль"_s << u"Подключение установлено"_s << false;
    QTest::newRow("wrong password") << u"не тот"_s << u"Сервер PostgreSQL"_s << true;
}

void TestSettingsDialog::checkButtonSaysWhatHappened() {
    QFETCH(QString, password);
    QFETCH(QString, answer);
    QFETCH(bool, passwordBoxFocused);
    if (!m_server) {
        m_server = std::make_unique<PostgresServer>();
        if (m_server->isRunning()) {
            QString tables;
            for (const TableDef* table : schema::allTables())
                tables += u"CREATE TABLE %1 (id bigint);"_s.arg(table->name);
            QVERIFY(m_server->execute(u"CREATE DATABASE register"_s));
            QVERIFY(m_server->execute(u"CREATE ROLE agent LOGIN PASSWORD 'пароль'"_s));
            QVERIFY(
                m_server->execute(tables + u"GRANT SELECT ON ALL TABLES IN SCHEMA public TO agent"_s, u"register"_s));
        }
    }
    TARVEX_REQUIRE_POSTGRESQL(*m_server);
    const ServerAddress address = m_server->address(u"register"_s, u"agent"_s);
    m_folder->writeOptions("[db]\ndriver=postgresql\nhost=" + address.host.toUtf8() +
                           "\nport=" + QByteArray::number(address.port) + "\nname=register\nuser=agent\n");
    openDialog();
    QTreeWidget* tree = control<QTreeWidget>(u"tvPages"_s);
    tree->setCurrentItem(tree->topLevelItem(4));
    QLabel* result = control<QLabel>(u"lbConnectionResult"_s);
    QCOMPARE(result->text(), u"Подключение ещё не проверялось."_s);
    typeInto(u"eDbPassword"_s, password);
    click(u"btnCheckConnection"_s);
    QVERIFY2(result->text().startsWith(answer), qPrintable(result->text()));
    QCOMPARE(spokenName(result), result->text());
    QCOMPARE(control<QLineEdit>(u"eDbPassword"_s)->hasFocus(), passwordBoxFocused);
    QVERIFY(m_prompts.shown().isEmpty());
}

QTEST_MAIN(TestSettingsDialog)
#include "tst_settingsdialog.moc"
