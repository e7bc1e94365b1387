#include "generation/generationrun.h"
#include "settings/options.h"
#include "support/registerfixture.h"
#include "ui/progressdialog.h"
#include "ui/scriptedprompts.h"

#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <functional>

using namespace tarvex;
using namespace tarvex::testing;
using namespace Qt::StringLiterals;

namespace {

// Notes the window's state at each step of the gauge.
class ObservedProgressDialog : public ProgressDialog {
public:
    using ProgressDialog::ProgressDialog;

    struct Step {
        int gauge;
        bool visible;
        bool buttonsEnabled;
    };
    QList<Step> steps;

    void progressChanged(int percent) override {
        ProgressDialog::progressChanged(percent);
        steps << Step{gauge()->value(), isVisible(), button("btOK")->isEnabled()};
    }

    QProgressBar* gauge() const { return findChild<QProgressBar*>(u"PrBar"_s); }
    QLabel* completionLabel() const { return findChild<QLabel*>(u"Label1"_s); }
    QPushButton* button(const char* name) const { return findChild<QPushButton*>(QString::fromLatin1(name)); }
    bool buttonsEnabled() const {
        return button("btOpenFile")->isEnabled() && button("btOpenFolder")->isEnabled() && button("btOK")->isEnabled();
    }
    bool buttonsDisabled() const {
        return !button("btOpenFile")->isEnabled() && !button("btOpenFolder")->isEnabled() &&
               !button("btOK")->isEnabled();
    }
};

} // namespace

class TestProgressDialog : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_folder = std::make_unique<TempAppFolder>();
        m_mainWindow = std::make_unique<QWidget>();
        m_mainWindow->setGeometry(100, 80, 742, 516);
        m_mainWindow->show();
        m_prompts.clear();
        m_opener = RecordingOpener();
        m_dialog =
            std::make_unique<ObservedProgressDialog>(m_folder->appDir(), m_opener, m_prompts, m_mainWindow.get());
    }
    void cleanup() {
        m_dialog.reset();
        m_mainWindow.reset();
        m_folder.reset();
    }

    void layoutAndNames() {
        QCOMPARE(m_dialog->size(), QSize(352, 101));
        QVERIFY(m_dialog->windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(m_dialog->windowTitle(), u"Генерируем файлы"_s);
        QCOMPARE(m_dialog->completionLabel()->text(), u"Процесс завершён. Выберите действие -"_s);
        QVERIFY(m_dialog->completionLabel()->font().bold());
        QCOMPARE(m_dialog->gauge()->geometry(), QRect(8, 35, 334, 17));
        QCOMPARE(m_dialog->button("btOpenFile")->text(), u"Открыть файл"_s);
        QCOMPARE(m_dialog->button("btOpenFolder")->text(), u"Открыть папку"_s);
        QCOMPARE(m_dialog->button("btOK")->text(), u"OK"_s);
        for (const char* name : {"btOpenFile", "btOpenFolder", "btOK"}) {
            QPushButton* button = m_dialog->button(name);
            QVERIFY2(!button->icon().isNull(), name);
            QCOMPARE(button->accessibleName(), button->text());
        }
    }

    void runningShowsTheGaugeWithButtonsDisabled() {
        m_dialog->runStarted();
        QVERIFY(m_dialog->isVisible());
        QVERIFY(!m_dialog->isModal());
        QVERIFY(m_dialog->buttonsDisabled());
        QVERIFY(m_dialog->completionLabel()->isHidden());
        QCOMPARE(m_dialog->gauge()->value(), 0);
        QVERIFY(centredOnMainWindow());

        m_dialog->progressChanged(37);
        QCOMPARE(m_dialog->gauge()->value(), 37);
        QCOMPARE(m_dialog->gauge()->text(), u"37%"_s);
    }

    void writtenFileShowsTheCompletionDialog() {
        const QString path = writeOutput(u"Tarvex-SmartFlow.txt"_s);
        m_dialog->runStarted();
        m_dialog->progressChanged(50);
        m_dialog->runEnded();
        QVERIFY(!m_dialog->isVisible());
        m_mainWindow->move(300, 200); // the completion dialog follows the main window
        bool shown = false;
        m_prompts.whenDialog([&](QDialog& dialog) {
            shown = &dialog == m_dialog.get();
            QVERIFY(m_dialog->isVisible());
            QVERIFY(centredOnMainWindow());
            QVERIFY(m_dialog->buttonsEnabled());
            QVERIFY(m_dialog->completionLabel()->isVisible());
            QCOMPARE(m_dialog->gauge()->value(), 100);
            QCOMPARE(m_dialog->filePath(), path);
        });
        m_dialog->showWritten(written(OutputKind::SmartFlow, path));
        QVERIFY(shown);
    }

    void endedRunHidesTheWindow() {
        m_dialog->runStarted();
        m_dialog->progressChanged(20);
        m_dialog->runEnded();
        QVERIFY(!m_dialog->isVisible());
    }

    void gaugeFollowsARealRun() {
        RegisterStore& data = m_folder->openStore();
        for (int index = 0; index < 25; ++index)
            addAirline(data, airline(u"%1"_s.arg(index, 2, 10, QChar(u'0')), u"Airline %1"_s.arg(index)));
        const Options options(m_folder->appDir());
        GenerationRun run(data, options, *m_dialog);

        const RunResult result = run.run({OutputKind::AirlineList});
        QCOMPARE(result.status, RunResult::Status::Written);
        QVERIFY(m_dialog->steps.size() >= 2);
        int previous = -1;
        for (const auto& step : m_dialog->steps) {
            QVERIFY(step.visible);
            QVERIFY(!step.buttonsEnabled);
            QVERIFY(step.gauge > previous);
            previous = step.gauge;
        }
        QCOMPARE(m_dialog->steps.last().gauge, 100);
        QVERIFY(!m_dialog->isVisible()); // the main window shows the completion dialog once the run has returned
    }

    void createAllRunShowsNoCompletionDialog() {
        RegisterStore& data = m_folder->openStore();
        addAirline(data, airline(u"SU"_s, u"Аэрофлот"_s));
        m_folder->writeOptions("[group]\r\n1=cbSF\r\n2=cbSFrmk\r\n");
        const Options options(m_folder->appDir());
        GenerationRun run(data, options, *m_dialog);

        const QList<RunResult> results = run.createAll();
        QCOMPARE(results.size(), 2);
        QVERIFY(!m_dialog->isVisible());
    }

    // The completion dialog of a script lists what the check found; other outputs list nothing.
    void completionDialogListsTheScriptsFindings_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("listed"); // pieces of the one finding line; empty: none listed
        QTest::addColumn<bool>("saysNone");
        const QStringList evil{u"Предупреждение · SU · Название (AirName) «Evil<XE ALL<SEND>>»: "_s};
        QTest::newRow("Smart Flow with a finding")
            << int(OutputKind::SmartFlow) << u"Evil<XE ALL<SEND>>"_s << evil << false;
        QTest::newRow("Smart Key with a finding")
            << int(OutputKind::SmartKey) << u"Evil<XE ALL<SEND>>"_s << evil << false;
        QTest::newRow("clean Smart Flow") << int(OutputKind::SmartFlow) << u"Аэрофлот"_s << QStringList() << true;
        QTest::newRow("list of airlines")
            << int(OutputKind::AirlineList) << u"Evil<XE ALL<SEND>>"_s << QStringList() << false;
    }
    void completionDialogListsTheScriptsFindings() {
        QFETCH(int, kind);
        QFETCH(QString, name);
        QFETCH(QStringList, listed);
        QFETCH(bool, saysNone);
        RegisterStore& data = m_folder->openStore();
        addAirline(data, airline(u"SU"_s, name),
                   {percentCondition(u"Эконом"_s, "5"), percentCondition(u"Бизнес"_s, "7")});
        const Options options(m_folder->appDir());
        GenerationRun run(data, options, *m_dialog);
        m_dialog->setFindings({}); // what an earlier script listed must not stay

        const RunResult result = run.run({OutputKind(kind)});
        QCOMPARE(result.status, RunResult::Status::Written);
        m_prompts.whenDialog([&](QDialog&) { listsFindings(result, listed, saysNone); });
        m_dialog->showWritten(result);
        QCOMPARE(m_prompts.pendingDialogs(), 0);
    }
    void listsFindings(const RunResult& result, const QStringList& listed, bool saysNone) {
        auto* list = m_dialog->findChild<QPlainTextEdit*>(u"mFindings"_s);
        auto* none = m_dialog->findChild<QLabel*>(u"lbNoFindings"_s);
        QVERIFY(list && none);
        QCOMPARE(list->isVisible(), !listed.isEmpty());
        QCOMPARE(none->isVisible(), saysNone);
        QCOMPARE(none->text(), u"Замечаний нет"_s);
        QCOMPARE(list->accessibleName(), u"Замечания к скрипту"_s);
        if (listed.isEmpty()) {
            QCOMPARE(m_dialog->height() > 101, saysNone);
            return;
        }
        QVERIFY(list->isReadOnly());
        const QStringList lines = list->toPlainText().split(u'\n');
        QCOMPARE(lines.size(), result.findings.size());
        QVERIFY2(lines.first().startsWith(listed.first()), qPrintable(lines.first()));
        QVERIFY(lines.first().endsWith(result.findings.first().effect));
        QVERIFY(!result.findings.first().effect.isEmpty());
        // The list sits below the buttons, inside the grown window.
        QVERIFY(list->geometry().top() > m_dialog->findChild<QPushButton*>(u"btOK"_s)->geometry().bottom());
        QVERIFY(m_dialog->rect().contains(list->geometry()));
    }

    // A text cut to fit a workbook cell is told in the completion dialog.
    void completionDialogListsTheWorkbooksWarnings() {
        RegisterStore& data = m_folder->openStore();
        addAirline(data, withComment(airline(u"SU"_s, u"Аэрофлот"_s), QString(40000, u'к')));
        const Options options(m_folder->appDir());
        GenerationRun run(data, options, *m_dialog);

        const RunResult result = run.run({OutputKind::Workbook});
        QCOMPARE(result.status, RunResult::Status::Written);
        QCOMPARE(result.warnings.size(), 1);
        bool listed = false;
        m_prompts.whenDialog([&](QDialog&) {
            auto* list = m_dialog->findChild<QPlainTextEdit*>(u"mFindings"_s);
            QVERIFY(list && list->isVisible());
            QCOMPARE(list->toPlainText(), result.warnings.first());
            QCOMPARE(list->accessibleName(), u"Предупреждения к файлу"_s);
            QVERIFY(m_dialog->rect().contains(list->geometry()));
            listed = true;
        });
        m_dialog->showWritten(result);
        QVERIFY(listed);
    }

    void openFileOpensTheWrittenFile() {
        const QString path = writeOutput(u"Tarvex-SmartFlow.txt"_s);
        finish(path, [&] { QTest::mouseClick(m_dialog->button("btOpenFile"), Qt::LeftButton); });
        QCOMPARE(m_opener.opened, QStringList{path});
        QVERIFY(m_prompts.shown().isEmpty());
        QVERIFY(!m_dialog->isVisible());
    }

    void openFileNamesTheMissingFileAndFolder() {
        const QString folder = m_folder->appDir() + u"scripts"_s;
        QDir().mkpath(folder);
        const QString path = writeOutput(u"scripts/Tarvex-SmartFlow-with-remarks.txt"_s);
        finish(path, [&] {
            QVERIFY(QFile::remove(path));
            QTest::mouseClick(m_dialog->button("btOpenFile"), Qt::LeftButton);
        });
        QVERIFY(m_opener.opened.isEmpty());
        QCOMPARE(m_prompts.shown().size(), 1);
        QCOMPARE(m_prompts.shown().first().kind, u"message"_s);
        QCOMPARE(m_prompts.shown().first().text, u"Файл Tarvex-SmartFlow-with-remarks.txt\r\nне найден в каталоге "_s +
                                                     QDir::toNativeSeparators(folder));
        QVERIFY(!m_dialog->isVisible());
    }

    void openFolderOpensTheFolderOfTheWrittenFile() {
        const QString folder = m_folder->appDir() + u"Отчёты"_s;
        QDir().mkpath(folder);
        finish(writeOutput(u"Отчёты/Tarvex_comissions.xlsx"_s),
               [&] { QTest::mouseClick(m_dialog->button("btOpenFolder"), Qt::LeftButton); });
        QCOMPARE(m_opener.opened, QStringList{folder});
        QVERIFY(m_prompts.shown().isEmpty());
        QVERIFY(!m_dialog->isVisible());
    }

    void okClosesWithoutOpening() {
        finish(writeOutput(u"Tarvex-SmartFlow.txt"_s),
               [&] { QTest::mouseClick(m_dialog->button("btOK"), Qt::LeftButton); });
        QVERIFY(m_opener.opened.isEmpty());
        QVERIFY(m_prompts.shown().isEmpty());
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
    }

    void desktopThatCannotOpenIsReported_data() {
        QTest::addColumn<QString>("buttonName");
        QTest::addColumn<QString>("text");
        QTest::newRow("file") << u"btOpenFile"_s << u"Не удалось открыть файл\r\n%1/Files/Tarvex-Rules.txt"_s;
        QTest::newRow("folder") << u"btOpenFolder"_s << u"Не удалось открыть папку\r\n%1/Files"_s;
    }
    void desktopThatCannotOpenIsReported() {
        QFETCH(QString, buttonName);
        QFETCH(QString, text);
        m_opener.succeeds = false;
        finish(writeOutput(u"Files/Tarvex-Rules.txt"_s),
               [&] { QTest::mouseClick(m_dialog->button(buttonName.toLatin1().constData()), Qt::LeftButton); });
        QCOMPARE(m_prompts.shown().size(), 1);
        QCOMPARE(m_prompts.shown().first().kind, u"error"_s);
        const QString appFolder = QDir::toNativeSeparators(QDir(m_folder->appDir()).absolutePath());
        QCOMPARE(m_prompts.shown().first().text, text.arg(appFolder));
        QVERIFY(!m_dialog->isVisible());
    }

private:
    // Give or take a pixel of rounding.
    bool centredOnMainWindow() const {
        return (m_dialog->geometry().center() - m_mainWindow->geometry().center()).manhattanLength() <= 2;
    }
    QString writeOutput(const QString& relativePath) const {
        const QString path = m_folder->appDir() + relativePath;
        writeFile(path, "content\r\n");
        return QFileInfo(path).absoluteFilePath();
    }
    static RunResult written(OutputKind kind, const QString& path) {
        RunResult result{RunResult::Status::Written, path, {}};
        result.kind = kind;
        return result;
    }
    // A run that wrote the file, then the completion dialog, in which `act` runs.
    void finish(const QString& path, const std::function<void()>& act) {
        m_dialog->runStarted();
        m_dialog->runEnded();
        bool shown = false;
        m_prompts.whenDialog([&](QDialog&) {
            shown = m_dialog->isVisible();
            act();
        });
        m_dialog->showWritten(written(OutputKind::SmartFlow, path));
        QVERIFY(shown);
    }

    std::unique_ptr<TempAppFolder> m_folder;
    std::unique_ptr<QWidget> m_mainWindow;
    ScriptedPrompts m_prompts;
    RecordingOpener m_opener;
    std::unique_ptr<ObservedProgressDialog> m_dialog;
};

QTEST_MAIN(TestProgressDialog)
#include "tst_progressdialog.moc"
