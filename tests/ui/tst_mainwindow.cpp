// The main window with real widgets over a register in a temporary app folder.

#include "accessibility.h"
#include "generation/generationrun.h"
#include "generation/outputname.h"
#include "store/registerstore.h"
#include "support/registerfixture.h"
#include "support/registerlock.h"
#include "typing.h"
#include "ui/airlineeditor.h"
#include "ui/airlinegrid.h"
#include "ui/conditioneditor.h"
#include "ui/mainwindow.h"
#include "ui/scriptedprompts.h"

#include <QAbstractItemModel>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;
using namespace tarvex;
using namespace tarvex::testing;

namespace {

// Records what the main window shows of its runs instead of the progress window.
class RecordingRun : public RunDisplay {
public:
    void runStarted() override { ++started; }
    void showWritten(const RunResult& result) override { shownFiles << result.filePath; }
    int started = 0;
    QStringList shownFiles; // the files of the completion dialogs, in order
};

// A main window as the program makes it, with the airline editor it opens and a test
// double for the progress window.
struct Window {
    explicit Window(const QString& appDir)
        : main(appDir, store, prompts)
        , conditionEditor(store, prompts, &main)
        , airlineEditor(store, conditionEditor, prompts, &main) {
        main.setCompanions({&airlineEditor, nullptr, &run, nullptr, nullptr});
    }

    template <class T>
    T* find(const QString& name) {
        T* found = main.findChild<T*>(name);
        if (!found)
            qWarning("no %s", qPrintable(name));
        return found;
    }
    QLineEdit* searchBox() { return find<QLineEdit>(u"eSearchBox"_s); }
    QTableView* grid() { return find<QTableView>(u"grMain"_s); }
    QAction* action(const QString& name) { return find<QAction>(name); }
    QString panel(const QString& name) { return find<QLabel>(name)->text(); }
    int rows() { return grid()->model()->rowCount(); }
    QStringList shownCodes() {
        QStringList codes;
        TableCursor& airlines = store.airlines();
        const int code = airlines.table().columnIndex(u"AirCode");
        for (int row = 0; row < airlines.recordCount(); ++row)
            codes << airlines.valueAt(row, code).toString();
        return codes;
    }

    RegisterStore store;
    ScriptedPrompts prompts;
    RecordingRun run;
    MainWindow main;
    ConditionEditor conditionEditor;
    AirlineEditor airlineEditor;
};

void setMemo(RegisterStore& store, qint64 id, const QString& column, const QString& text) {
    TableCursor& airlines = store.airlines();
    for (int row = 0; row < airlines.recordCount(); ++row) {
        airlines.setCurrentRow(row);
        if (airlines.value(0).toLongLong() == id) {
            airlines.edit();
            airlines.setValue(column, text);
            airlines.post();
            return;
        }
    }
}

int countRows(RegisterStore& store, const QString& statement, qint64 id) {
    QSqlQuery query(store.connection());
    query.prepare(statement);
    query.addBindValue(id);
    if (!query.exec() || !query.next())
        return -1;
    return query.value(0).toInt();
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempAppFolder> m_folder;

    // Six airlines: four with an "s" somewhere in a searched column, two with "su".
    void addSearchRegister() {
        RegisterStore store;
        store.open(m_folder->appDir());
        addAirline(store, airline(u"SU"_s, u"Аэрофлот"_s, u"555"_s), {percentCondition(u"Все рейсы"_s, "5")});
        addAirline(store, airline(u"S7"_s, u"Сибирь"_s, u"421"_s));
        addAirline(store, airline(u"LH"_s, u"Lufthansa"_s, u"220"_s));
        addAirline(store, airline(u"UT"_s, u"ЮТэйр"_s, u"298"_s));
        addAirline(store, airline(u"KL"_s, u"KLM"_s, u"074"_s));
        const qint64 susi = addAirline(store, airline(u"XX"_s, u"Susi Air"_s, u"999"_s));
        setMemo(store, susi, u"Comment"_s, u"малая авиация"_s);
    }

    // Wide enough for the toolbar even where the desktop has no icons and the buttons show their captions.
    std::unique_ptr<Window> openWindow() {
        auto window = std::make_unique<Window>(m_folder->appDir());
        window->main.resize(1400, 516);
        window->main.show();
        return window;
    }

private slots:
    void init() {
        m_folder = std::make_unique<TempAppFolder>();
        QVERIFY(m_folder->isValid());
    }
    void cleanup() { m_folder.reset(); }

    void startUpFillsTheStatusBar() {
        addSearchRegister();
        auto window = openWindow();
        QCOMPARE(window->panel(u"statusAirlineCount"_s), u"Авиакомпаний: 6"_s);
        QCOMPARE(window->panel(u"statusDate"_s), shortDateText(QDate::currentDate()) + u"      "_s);
        QVERIFY(window->panel(u"statusHint"_s).isEmpty());
        QCOMPARE(window->rows(), 6);
        QCOMPARE(window->shownCodes(), QStringList({u"KL"_s, u"LH"_s, u"S7"_s, u"SU"_s, u"UT"_s, u"XX"_s}));
        QTRY_COMPARE(window->main.focusWidget(), window->searchBox());
        QVERIFY(window->prompts.shown().isEmpty());

        // The count is the register's: a search does not change it.
        QTest::keyClicks(window->searchBox(), u"zzz"_s);
        QCOMPARE(window->rows(), 0);
        QCOMPARE(window->panel(u"statusAirlineCount"_s), u"Авиакомпаний: 6"_s);
    }

    // Contracts and conditions that end within the days of the settings, or have ended, mark
    // their airline's code, are counted, and one command shows only those airlines.
    void endingAirlinesAreMarkedCountedAndShownAlone() {
        const QDate today = QDate::currentDate();
        {
            RegisterStore store;
            store.open(m_folder->appDir());
            addAirline(store, airline(u"EK"_s, u"Эмирейтс"_s),
                       {inForce(percentCondition(u"прошлый год"_s, "5"), {}, today.addDays(-365))});
            const qint64 su = addAirline(store, airline(u"SU"_s, u"Аэрофлот"_s), {percentCondition(u"все"_s, "5")});
            addAirline(store, airline(u"S7"_s, u"Сибирь"_s),
                       {inForce(percentCondition(u"весна"_s, "5"), {}, today.addDays(30))});
            addAirline(store, airline(u"UT"_s, u"ЮТэйр"_s));
            QSqlQuery contract(store.connection());
            QVERIFY(contract.exec(u"UPDATE tbMain SET DogDate = '%1 00:00:00' WHERE id = %2"_s.arg(
                today.addDays(5).toString(Qt::ISODate), QString::number(su))));
        }
        auto window = openWindow();
        QCOMPARE(window->panel(u"statusEnding"_s), u"Истекают сроки: 2"_s);
        QCOMPARE(window->shownCodes(), (QStringList{u"EK"_s, u"S7"_s, u"SU"_s, u"UT"_s}));
        window->grid()->setCurrentIndex(window->grid()->model()->index(3, 0)); // UT: no highlight on the others
        const QImage cells = window->grid()->viewport()->grab().toImage();
        const auto codeColour = [&](int row) {
            const QRect cell = window->grid()->visualRect(window->grid()->model()->index(row, 0));
            return QColor(cells.pixel(cell.topLeft() + QPoint(2, cell.height() - 3)));
        };
        QCOMPARE(codeColour(0), AirlineGrid::kEndedColour);
        QCOMPARE(codeColour(2), AirlineGrid::kEndingSoonColour);
        QVERIFY(codeColour(1) != AirlineGrid::kEndingSoonColour && codeColour(1) != AirlineGrid::kEndedColour);

        window->action(u"acShowEnding"_s)->trigger();
        QCOMPARE(window->shownCodes(), (QStringList{u"EK"_s, u"SU"_s}));
        QVERIFY(window->action(u"acShowEnding"_s)->isChecked());
        window->action(u"acShowEnding"_s)->trigger();
        QCOMPARE(window->rows(), 4);

        // More days in the settings take in the condition that ends in a month.
        m_folder->writeOptions("[params]\r\nexpirydays=30\r\n");
        auto longer = openWindow();
        QCOMPARE(longer->panel(u"statusEnding"_s), u"Истекают сроки: 3"_s);
    }

    // The generation commands write as of the day in the toolbar, today unless changed.
    void outputsAreWrittenAsOfTheToolbarDay() {
        {
            RegisterStore store;
            store.open(m_folder->appDir());
            addAirline(store, airline(u"SU"_s, u"Аэрофлот"_s),
                       {inForce(percentCondition(u"весна"_s, "5"), QDate(2027, 3, 1), QDate(2027, 5, 31))});
        }
        m_folder->writeOptions("[flow]\r\ndate=1\r\n[group]\r\n1=cbSF\r\n");
        auto window = openWindow();
        auto* day = window->find<QDateEdit>(u"eOnDate"_s);
        QCOMPARE(day->date(), QDate::currentDate());
        day->setDate(QDate(2027, 3, 1));
        window->action(u"acCreateAll"_s)->trigger();
        const QString written = m_folder->filesDir() + u"/Tarvex-SmartFlow_01.03.2027.txt"_s;
        QCOMPARE(filesIn(m_folder->filesDir()), QStringList{QFileInfo(written).fileName()});
        QVERIFY(readFile(written).contains(u"Аэрофлот"_s.toUtf8())); // today the airline would be left out
    }

    void statusPanelOneShowsHints() {
        auto window = openWindow();
        QStatusTipEvent tip(u"Удалить авиакомпанию"_s);
        QApplication::sendEvent(&window->main, &tip);
        QCOMPARE(window->panel(u"statusHint"_s), u"Удалить авиакомпанию"_s);
    }

    void titleCarriesTheHeader_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("title");
        const QString base = u"Tarvex - агентская комиссия авиакомпаний"_s;
        QTest::newRow("no options.ini") << QByteArray() << base;
        QTest::newRow("empty header") << QByteArray("[params]\r\nheader=\r\n") << base;
        QTest::newRow("header") << u"[params]\r\nheader=Агентство Восток\r\n"_s.toUtf8()
                                << u"Агентство Восток | "_s + base;
    }
    void titleCarriesTheHeader() {
        QFETCH(QByteArray, ini);
        QFETCH(QString, title);
        if (!ini.isEmpty())
            m_folder->writeOptions(ini);
        auto window = openWindow();
        QCOMPARE(window->main.windowTitle(), title);
    }

    void gridFontFollowsMainfont_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("points");
        QTest::newRow("default") << QByteArray() << 8;
        QTest::newRow("12") << QByteArray("[params]\r\nmainfont=12\r\n") << 12;
    }
    void gridFontFollowsMainfont() {
        QFETCH(QByteArray, ini);
        QFETCH(int, points);
        addSearchRegister();
        if (!ini.isEmpty())
            m_folder->writeOptions(ini);
        auto window = openWindow();
        QTableView* grid = window->grid();
        QCOMPARE(grid->font().pointSize(), points);
        QCOMPARE(grid->horizontalHeader()->font().pointSize(), 8);
        QVERIFY(grid->horizontalHeader()->font().bold());
        // Every row holds two lines of the data's type: the designed 34 pixels at the usual size, more for larger type.
        const int twoLines = 2 * QFontMetrics(grid->font()).lineSpacing() + 1; // and the grid line
        QVERIFY2(grid->rowHeight(0) >= twoLines, qPrintable(u"%1 < %2"_s.arg(grid->rowHeight(0)).arg(twoLines)));
        QCOMPARE(grid->rowHeight(5), grid->rowHeight(0));
        if (points == 8)
            QCOMPARE(grid->rowHeight(0), 34);
    }

    void gridShowsTheDescribedColumns() {
        addSearchRegister();
        auto window = openWindow();
        QTableView* grid = window->grid();
        QHeaderView* titles = grid->horizontalHeader();
        QStringList shown;
        for (int visual = 0; visual < titles->count(); ++visual) {
            const int logical = titles->logicalIndex(visual);
            if (!grid->isColumnHidden(logical))
                shown << grid->model()->headerData(logical, Qt::Horizontal).toString();
        }
        QCOMPARE(shown,
                 QStringList({u"Код"_s, u"IATA"_s, u"Название"_s, u"BSP"_s, u"Комиссия"_s, u"Сервисный сбор"_s}));
        QCOMPARE(grid->palette().color(QPalette::AlternateBase), QColor(255, 251, 240));
        QVERIFY(grid->alternatingRowColors());
        QVERIFY(grid->wordWrap());

        // The columns fill the width, whatever it is.
        for (int width : {742, 1000, 500}) {
            window->main.resize(width, 516);
            QCoreApplication::processEvents();
            int total = 0;
            for (int logical = 0; logical < titles->count(); ++logical)
                total += grid->isColumnHidden(logical) ? 0 : grid->columnWidth(logical);
            QCOMPARE(total, grid->viewport()->width());
        }
    }

    // Assistive technology meets the grid as it is shown: six columns in their order, with their titles.
    void gridIsReadAsShown() {
        addSearchRegister();
        auto window = openWindow();
        QCOMPARE(columnTitlesRead(window->grid()),
                 QStringList({u"Код"_s, u"IATA"_s, u"Название"_s, u"BSP"_s, u"Комиссия"_s, u"Сервисный сбор"_s}));
        QAccessibleTableInterface* table = QAccessible::queryAccessibleInterface(window->grid())->tableInterface();
        QCOMPARE(table->rowCount(), 6);
        QStringList firstRow;
        for (int column = 0; column < 3; ++column)
            firstRow << table->cellAt(0, column)->text(QAccessible::Name);
        QCOMPARE(firstRow, QStringList({u"KL"_s, u"074"_s, u"KLM"_s}));
    }

    // The count is the register's: it follows adding and deleting, never the search.
    void airlineCountFollowsAddingAndDeleting() {
        addSearchRegister();
        auto window = openWindow();
        const auto count = [&] { return window->panel(u"statusAirlineCount"_s); };
        QCOMPARE(count(), u"Авиакомпаний: 6"_s);

        const auto addAirline = [&](bool save) {
            window->prompts.whenDialog([&, save](QDialog&) {
                QTest::keyClicks(window->airlineEditor.findChild<QLineEdit*>(u"eAirCode"_s), u"ZZ"_s);
                if (save)
                    QTest::mouseClick(window->airlineEditor.findChild<QPushButton*>(u"btnSave"_s), Qt::LeftButton);
                else
                    window->airlineEditor.reject();
            });
            window->action(u"acAddAirComp"_s)->trigger();
        };
        addAirline(false);
        QCOMPARE(count(), u"Авиакомпаний: 6"_s);
        addAirline(true);
        QCOMPARE(window->rows(), 7);
        QCOMPARE(count(), u"Авиакомпаний: 7"_s);

        QTest::keyClicks(window->searchBox(), u"su"_s);
        QCOMPARE(window->rows(), 2);
        window->prompts.answerNext(UserPrompts::Answer::Yes);
        window->action(u"acDelAirComp"_s)->trigger();
        QCOMPARE(window->rows(), 1);
        QCOMPARE(count(), u"Авиакомпаний: 6"_s);
    }

    void searchNarrowsAndBackspaceOrClearRestores() {
        addSearchRegister();
        auto window = openWindow();
        QLineEdit* box = window->searchBox();

        QTest::keyClick(box, 's');
        QCOMPARE(window->shownCodes(), QStringList({u"LH"_s, u"S7"_s, u"SU"_s, u"XX"_s}));
        QTest::keyClick(box, 'u');
        QCOMPARE(window->shownCodes(), QStringList({u"SU"_s, u"XX"_s}));
        QCOMPARE(window->rows(), 2);

        // Backspace clears the whole search, not one character.
        QTest::keyClick(box, Qt::Key_Backspace);
        QVERIFY(box->text().isEmpty());
        QCOMPARE(window->rows(), 6);

        QTest::keyClicks(box, u"su"_s);
        QCOMPARE(window->rows(), 2);
        QAction* clear = window->find<QAction>(u"eSearchBoxClear"_s);
        QCOMPARE(clear->toolTip(), u"отменить фильтр"_s);
        clear->trigger();
        QVERIFY(box->text().isEmpty());
        QCOMPARE(window->rows(), 6);
        QVERIFY(window->prompts.shown().isEmpty());
    }

    void searchFollowsTheBoxText() {
        addSearchRegister();
        auto window = openWindow();
        QLineEdit* box = window->searchBox();
        QTest::keyClicks(box, u"sux"_s);
        QCOMPARE(window->rows(), 0);
        // Deleting the last character with Delete (not Backspace) searches for what is left.
        QTest::keyClick(box, Qt::Key_Left);
        QTest::keyClick(box, Qt::Key_Delete);
        QCOMPARE(box->text(), u"su"_s);
        QCOMPARE(window->rows(), 2);
        box->selectAll();
        box->insert(u"lufT"_s); // as a paste does
        QCOMPARE(window->shownCodes(), QStringList({u"LH"_s}));
    }

    void searchTakesTextLiterally_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("codes");
        QTest::newRow("apostrophe") << u"'"_s << QStringList({u"OB"_s});
        QTest::newRow("per cent") << u"%"_s << QStringList({u"PC"_s});
        QTest::newRow("underscore") << u"_"_s << QStringList({u"UN"_s});
        QTest::newRow("Cyrillic in capitals") << u"АЭРОФЛОТ"_s << QStringList({u"SU"_s});
        QTest::newRow("Cyrillic in small letters") << u"малая"_s << QStringList({u"XX"_s});
    }
    void searchTakesTextLiterally() {
        QFETCH(QString, typed);
        QFETCH(QStringList, codes);
        addSearchRegister();
        {
            RegisterStore store;
            store.open(m_folder->appDir());
            addAirline(store, airline(u"OB"_s, u"O'Brien Air"_s));
            const qint64 percent = addAirline(store, airline(u"PC"_s, u"Percent Air"_s));
            setMemo(store, percent, u"Commision"_s, u"7.5%\r"_s);
            addAirline(store, airline(u"UN"_s, u"Under_Score"_s));
        }
        auto window = openWindow();
        typeText(window->searchBox(), typed);
        QCOMPARE(window->searchBox()->text(), typed);
        QCOMPARE(window->shownCodes(), codes);
        QVERIFY(window->prompts.shown().isEmpty());
    }

    void addingClearsTheSearchAndOpensTheEditor() {
        addSearchRegister();
        auto window = openWindow();
        QTest::keyClicks(window->searchBox(), u"su"_s);
        bool shown = false;
        QString searchText = u"not seen"_s;
        TableCursor::State state = TableCursor::State::Inactive;
        int rows = 0;
        window->prompts.whenDialog([&](QDialog&) {
            shown = true;
            searchText = window->searchBox()->text();
            state = window->store.airlines().state();
            rows = window->rows();
            window->airlineEditor.reject();
        });
        window->action(u"acAddAirComp"_s)->trigger();
        QVERIFY(shown);
        QVERIFY(searchText.isEmpty());
        QCOMPARE(state, TableCursor::State::Insert);
        QCOMPARE(rows, 7); // every airline and the new row
        QCOMPARE(window->store.airlines().state(), TableCursor::State::Browse);
        QCOMPARE(window->rows(), 6);
    }

    void editingKeepsTheSearch() {
        addSearchRegister();
        auto window = openWindow();
        QTest::keyClicks(window->searchBox(), u"su"_s);
        bool shown = false;
        TableCursor::State state = TableCursor::State::Inactive;
        window->prompts.whenDialog([&](QDialog&) {
            shown = true;
            state = window->store.airlines().state();
            window->airlineEditor.reject();
        });
        QTest::keyClick(window->grid(), Qt::Key_Return);
        QVERIFY(shown);
        QCOMPARE(state, TableCursor::State::Edit);
        QCOMPARE(window->searchBox()->text(), u"su"_s);
        QCOMPARE(window->store.airlines().state(), TableCursor::State::Browse);
        QCOMPARE(window->rows(), 2);
    }

    void deleteAsksAndRemovesTheAirlineWithItsRows() {
        RegisterStore seed;
        seed.open(m_folder->appDir());
        addAirline(seed, airline(u"AA"_s, u"American"_s));
        const qint64 doomed =
            addAirline(seed, airline(u"BB"_s, u"Бета Авиа"_s),
                       {percentCondition(u"Все рейсы"_s, "5"), sumCondition(u"Бизнес"_s, 10, u"EUR"_s)});
        addAirline(seed, airline(u"CC"_s, u"Charlie"_s));
        seed.fees().insert();
        seed.fees().setValue(u"FeeId", doomed);
        seed.fees().setValue(u"FeeCondition", u"сбор"_s);
        seed.fees().post();

        auto window = openWindow();
        window->grid()->selectRow(1);
        QCOMPARE(window->store.airlines().text(u"AirCode"), u"BB"_s);

        window->prompts.answerNext(UserPrompts::Answer::No);
        window->action(u"acDelAirComp"_s)->trigger();
        QCOMPARE(window->prompts.shown().size(), 1);
        const ScriptedPrompts::Shown question = window->prompts.shown().first();
        QCOMPARE(question.kind, u"yesno"_s);
        QCOMPARE(question.title, u"Удаление авиакомпании"_s);
        QCOMPARE(question.text.split(u'\n'),
                 QStringList({u"Вы действительно хотите удалить информацию об авиакомпании?"_s,
                              u"Название - Бета Авиа"_s, u"Код - BB"_s}));
        QCOMPARE(window->shownCodes(), QStringList({u"AA"_s, u"BB"_s, u"CC"_s}));
        QCOMPARE(countRows(window->store, u"SELECT COUNT(*) FROM tbComm WHERE ComId = ?"_s, doomed), 2);

        window->prompts.answerNext(UserPrompts::Answer::Yes);
        window->action(u"acDelAirComp"_s)->trigger();
        QCOMPARE(window->shownCodes(), QStringList({u"AA"_s, u"CC"_s}));
        QCOMPARE(countRows(window->store, u"SELECT COUNT(*) FROM tbMain WHERE id = ?"_s, doomed), 0);
        QCOMPARE(countRows(window->store, u"SELECT COUNT(*) FROM tbComm WHERE ComId = ?"_s, doomed), 0);
        QCOMPARE(countRows(window->store, u"SELECT COUNT(*) FROM tbFee WHERE FeeId = ?"_s, doomed), 0);
        QCOMPARE(window->store.airlines().text(u"AirCode"), u"CC"_s);
        QTRY_COMPARE(window->grid()->currentIndex().row(), 1);
    }

    void editAndDeleteNeedAnAirline() {
        addSearchRegister();
        auto window = openWindow();
        QAction* edit = window->action(u"acEditRules"_s);
        QAction* remove = window->action(u"acDelAirComp"_s);
        QVERIFY(edit->isEnabled() && remove->isEnabled());
        QTest::keyClicks(window->searchBox(), u"nothing like it"_s);
        QVERIFY(!edit->isEnabled() && !remove->isEnabled());
        QTest::keyClick(window->searchBox(), Qt::Key_Backspace);
        QVERIFY(edit->isEnabled() && remove->isEnabled());
    }

    void emptyRegisterHasNothingToEdit() {
        auto window = openWindow();
        QCOMPARE(window->panel(u"statusAirlineCount"_s), u"Авиакомпаний: 0"_s);
        QVERIFY(!window->action(u"acEditRules"_s)->isEnabled());
        QVERIFY(!window->action(u"acDelAirComp"_s)->isEnabled());
        QVERIFY(window->action(u"acAddAirComp"_s)->isEnabled());
    }

    void everyGenerationCommandClearsTheSearch_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("asksForRemarks");
        QTest::newRow("Smart Flow") << u"acCreateSmartFlow"_s << true;
        QTest::newRow("Smart Key") << u"acCreateRules"_s << true;
        QTest::newRow("Excel") << u"acCreateExcell"_s << false;
        QTest::newRow("CSV") << u"acExportAir"_s << false;
        QTest::newRow("Create all") << u"acCreateAll"_s << false;
    }
    void everyGenerationCommandClearsTheSearch() {
        QFETCH(QString, command);
        QFETCH(bool, asksForRemarks);
        addSearchRegister();
        m_folder->writeOptions("[group]\r\n1=cbCSV\r\n");
        auto window = openWindow();
        QTest::keyClicks(window->searchBox(), u"su"_s);
        QCOMPARE(window->rows(), 2);
        if (asksForRemarks)
            window->prompts.answerNext(UserPrompts::Answer::No);
        window->action(command)->trigger();
        QVERIFY(window->searchBox()->text().isEmpty());
        QCOMPARE(window->rows(), 6);
        QCOMPARE(window->run.started, 1);
        QCOMPARE(window->prompts.pendingAnswers(), 0);
    }

    // Only the airlines whose texts the scripts would not carry as meant; resetting the view
    // or any generation command shows them all again.
    void findingsFilterShowsOnlyAirlinesWithFindings_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("asksForRemarks");
        QTest::newRow("untick") << u"acShowFindings"_s << false;
        QTest::newRow("Smart Flow") << u"acCreateSmartFlow"_s << true;
        QTest::newRow("CSV") << u"acExportAir"_s << false;
    }
    void findingsFilterShowsOnlyAirlinesWithFindings() {
        QFETCH(QString, command);
        QFETCH(bool, asksForRemarks);
        {
            RegisterStore store;
            store.open(m_folder->appDir());
            addAirline(store, airline(u"SU"_s, u"Аэрофлот"_s), {percentCondition(u"Все рейсы"_s, "5")});
            addAirline(store, airline(u"EV"_s, u"Evil<XE ALL<SEND>>"_s));
            addAirline(store, airline(u"AB"_s, u"Alpha, Beta"_s), {percentCondition(u"Все рейсы"_s, "5")});
            addAirline(store, airline(u"UT"_s, u"ЮТэйр"_s), {percentCondition(u"Все"_s, "5", u"<RF"_s)});
            addAirline(store, airline(u"NS"_s, u"No<script>"_s, {}, false)); // left out of the scripts
        }
        auto window = openWindow();
        QAction* onlyWithFindings = window->action(u"acShowFindings"_s);
        QVERIFY(onlyWithFindings->isCheckable());
        QCOMPARE(onlyWithFindings->text(), u"Только с замечаниями"_s);
        QTest::keyClicks(window->searchBox(), u"s"_s);

        onlyWithFindings->trigger();
        QVERIFY(onlyWithFindings->isChecked());
        QVERIFY(window->searchBox()->text().isEmpty());
        QCOMPARE(window->shownCodes(), QStringList({u"AB"_s, u"EV"_s, u"UT"_s}));
        QCOMPARE(window->rows(), 3);
        QVERIFY(window->prompts.shown().isEmpty());

        if (asksForRemarks)
            window->prompts.answerNext(UserPrompts::Answer::No);
        window->action(command)->trigger();
        QVERIFY(!onlyWithFindings->isChecked());
        QCOMPARE(window->rows(), 5);
        QCOMPARE(window->prompts.pendingAnswers(), 0);
    }

    void cancelInTheRemarksQuestionWritesNothing_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("product");
        QTest::newRow("Smart Flow") << u"acCreateSmartFlow"_s << u"Smart Flow"_s;
        QTest::newRow("Smart Key") << u"acCreateRules"_s << u"Smart Key"_s;
    }
    void cancelInTheRemarksQuestionWritesNothing() {
        QFETCH(QString, command);
        QFETCH(QString, product);
        addSearchRegister();
        auto window = openWindow();
        QTest::keyClicks(window->searchBox(), u"su"_s);
        window->prompts.answerNext(UserPrompts::Answer::Cancel);
        window->action(command)->trigger();

        QCOMPARE(window->prompts.shown().size(), 1);
        const ScriptedPrompts::Shown question = window->prompts.shown().first();
        QCOMPARE(question.kind, u"yesnocancel"_s);
        QCOMPARE(question.title, u"Включать ремарки?"_s);
        QCOMPARE(question.text, u"Включать ремарки в результат работы "_s + product +
                                    u"?\n\nЕсли выбрать НЕТ - клавиша будет вставлять в бронь только комиссию.\n"
                                    u"Если выбрать ДА - в имя файла будет добавлено \"with-remarks\"."_s);
        QVERIFY(filesIn(m_folder->filesDir()).isEmpty());
        QCOMPARE(window->run.started, 0);
        QVERIFY(window->searchBox()->text().isEmpty()); // the reset came first
    }

    void remarksAnswerNamesTheScript_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("file");
        QTest::newRow("Smart Flow, yes") << u"acCreateSmartFlow"_s << int(UserPrompts::Answer::Yes)
                                         << u"Tarvex-SmartFlow-with-remarks.txt"_s;
        QTest::newRow("Smart Flow, no") << u"acCreateSmartFlow"_s << int(UserPrompts::Answer::No)
                                        << u"Tarvex-SmartFlow.txt"_s;
        QTest::newRow("Smart Key, yes") << u"acCreateRules"_s << int(UserPrompts::Answer::Yes)
                                        << u"Tarvex-Rules-with-remarks.txt"_s;
    }
    void remarksAnswerNamesTheScript() {
        QFETCH(QString, command);
        QFETCH(int, answer);
        QFETCH(QString, file);
        addSearchRegister();
        auto window = openWindow();
        window->prompts.answerNext(UserPrompts::Answer(answer));
        window->action(command)->trigger();
        QCOMPARE(filesIn(m_folder->filesDir()), QStringList({file}));
        // The completion dialog shows the file once the run is over.
        QCOMPARE(window->run.shownFiles, QStringList{m_folder->filesDir() + u'/' + file});
    }

    void createAllWritesEveryListedFileWithoutQuestions() {
        addSearchRegister();
        m_folder->writeOptions("[group]\r\n1=cbSF\r\n2=cbSFrmk\r\n");
        auto window = openWindow();
        window->action(u"acCreateAll"_s)->trigger();
        QCOMPARE(filesIn(m_folder->filesDir()),
                 QStringList({u"Tarvex-SmartFlow-with-remarks.txt"_s, u"Tarvex-SmartFlow.txt"_s}));
        QVERIFY(window->prompts.shown().isEmpty());
        QCOMPARE(window->run.started, 2);
        QVERIFY(window->run.shownFiles.isEmpty()); // Create all shows no completion dialog
    }

    void readOnlyTargetIsRefused() {
        addSearchRegister();
        const QString list = m_folder->filesDir() + u"/Tarvex_AviaList.csv"_s;
        writeFile(list, "old");
        QFile::setPermissions(list, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        auto window = openWindow();
        window->action(u"acExportAir"_s)->trigger();
        QCOMPARE(window->prompts.shown().size(), 1);
        QCOMPARE(window->prompts.shown().first().kind, u"inform"_s);
        QCOMPARE(window->prompts.shown().first().title, u"Ошибка сохранения"_s);
        QCOMPARE(window->prompts.shown().first().text, u"Файл защищен от записи."_s);
        QCOMPARE(readFile(list), QByteArray("old"));
        QVERIFY(window->run.shownFiles.isEmpty());
    }

    void failedRunIsShownInTheErrorBox() {
        addSearchRegister();
        m_folder->writeOptions("[xls]\r\npath=/nonexistent-tarvex-folder\r\n");
        auto window = openWindow();
        window->action(u"acCreateExcell"_s)->trigger();
        QCOMPARE(window->prompts.shown().size(), 1);
        QCOMPARE(window->prompts.shown().first().kind, u"error"_s);
        QVERIFY2(window->prompts.shown().first().text.contains(u"/nonexistent-tarvex-folder"_s),
                 qPrintable(window->prompts.shown().first().text));
        QVERIFY(window->run.shownFiles.isEmpty());
    }

    void unusableRegisterLeavesAnEmptyWorkingWindow_data() {
        QTest::addColumn<QByteArray>("content"); // empty: no file at all
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("not a database") << QByteArray("This is not an SQLite file, just some text.\n");
    }
    void unusableRegisterLeavesAnEmptyWorkingWindow() {
        QFETCH(QByteArray, content);
        m_folder->writeOptions("[params]\r\nheader=Агентство\r\nmainfont=12\r\n[group]\r\n1=cbCSV\r\n");
        const QString path = m_folder->databasePath();
        QVERIFY(QFile::remove(path));
        if (!content.isEmpty())
            writeFile(path, content);

        auto window = openWindow();
        QCOMPARE(window->prompts.shown().size(), 1);
        QCOMPARE(window->prompts.shown().first().kind, u"error"_s);
        const QString error = window->prompts.shown().first().text;
        QVERIFY2(error.contains(path), qPrintable(error));
        QCOMPARE(window->rows(), 0);
        QVERIFY(window->panel(u"statusAirlineCount"_s).isEmpty());
        QVERIFY(window->panel(u"statusDate"_s).isEmpty());
        QCOMPARE(window->main.windowTitle(), MainWindow::baseTitle());
        QCOMPARE(window->grid()->font().pointSize(), 8);
        QVERIFY(!window->action(u"acEditRules"_s)->isEnabled());

        // Searching does nothing; every command that needs the register says why it cannot run.
        QTest::keyClicks(window->searchBox(), u"su"_s);
        for (const QString& command : {u"acCreateSmartFlow"_s, u"acCreateRules"_s, u"acCreateExcell"_s,
                                       u"acExportAir"_s, u"acCreateAll"_s, u"acAddAirComp"_s}) {
            window->prompts.clear();
            window->action(command)->trigger();
            QCOMPARE(window->prompts.shown().size(), 1);
            QCOMPARE(window->prompts.shown().first().kind, u"error"_s);
            QCOMPARE(window->prompts.shown().first().text, error);
        }
        QVERIFY(filesIn(m_folder->filesDir()).isEmpty());
    }

    void changesWhileAnotherProgramWritesSayTheRegisterIsBusy_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("add") << u"acAddAirComp"_s << u"изменение не начато"_s;
        QTest::newRow("edit") << u"acEditRules"_s << u"изменение не начато"_s;
        QTest::newRow("delete") << u"acDelAirComp"_s << u"ничего не удалено"_s;
    }
    void changesWhileAnotherProgramWritesSayTheRegisterIsBusy() {
        QFETCH(QString, command);
        QFETCH(QString, outcome);
        addSearchRegister();
        auto window = openWindow();
        window->store.setBusyTimeout(std::chrono::milliseconds(100));
        window->grid()->selectRow(0);
        RegisterLock other(m_folder->databasePath(), RegisterLock::Kind::Write);
        QVERIFY(other.isHeld());
        if (command == u"acDelAirComp"_s)
            window->prompts.answerNext(UserPrompts::Answer::Yes);
        // No editor may open: the scripted prompts fail the test if one does.
        window->action(command)->trigger();
        const QList<ScriptedPrompts::Shown> errors = window->prompts.shown().mid(command == u"acDelAirComp"_s);
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors.first().kind, u"error"_s);
        QCOMPARE(errors.first().text, u"Реестр занят другой программой, которая сейчас в него записывает; %1, "
                                      u"повторите через минуту. (SQLite: database is locked)"_s.arg(outcome));
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
        QCOMPARE(window->rows(), 6);
        QCOMPARE(window->store.airlines().state(), TableCursor::State::Browse);
    }

    // A register this user may not change: the window says so in its title, keeps the commands that would change it
    // off with the reason as their hint, and still writes every file.
    void readOnlyRegisterIsShownAndStillGenerates() {
        addSearchRegister();
        m_folder->writeOptions("[params]\r\nheader=Агентство\r\n");
        QVERIFY(QFile::setPermissions(m_folder->databasePath(), QFile::ReadOwner | QFile::ReadGroup));
        auto window = openWindow();
        QVERIFY2(window->prompts.shown().isEmpty(), qPrintable(window->prompts.shown().value(0).text));
        QCOMPARE(window->main.windowTitle(), u"Агентство | Tarvex - агентская комиссия авиакомпаний (только чтение)"_s);
        QCOMPARE(window->rows(), 6);
        const QString why = u"Реестр открыт только для чтения: файл %1 защищён от записи. Добавлять, изменять и "
                            u"удалять авиакомпании нельзя; формировать файлы можно."_s.arg(m_folder->databasePath());
        for (const QString& command : {u"acAddAirComp"_s, u"acEditRules"_s, u"acDelAirComp"_s}) {
            QVERIFY2(!window->action(command)->isEnabled(), qPrintable(command));
            QCOMPARE(window->action(command)->toolTip(), why);
            QCOMPARE(window->action(command)->statusTip(), why);
        }
        // Enter in the grid, as a double click, runs the editing command, which stays off.
        window->grid()->setFocus();
        QTest::keyClick(window->grid(), Qt::Key_Return);
        QCOMPARE(window->store.airlines().state(), TableCursor::State::Browse);

        window->action(u"acExportAir"_s)->trigger();
        QVERIFY2(window->prompts.shown().isEmpty(), qPrintable(window->prompts.shown().value(0).text));
        QCOMPARE(filesIn(m_folder->filesDir()), QStringList{u"Tarvex_AviaList.csv"_s});
        QVERIFY(window->action(u"acCreateExcell"_s)->isEnabled());
    }

    void twoCopiesWorkSideBySide() {
        addSearchRegister();
        auto first = openWindow();
        auto second = openWindow();
        QCOMPARE(first->rows(), 6);
        QCOMPARE(second->rows(), 6);
        first->grid()->selectRow(0);
        first->prompts.answerNext(UserPrompts::Answer::Yes);
        first->action(u"acDelAirComp"_s)->trigger();
        QVERIFY(first->prompts.shown().size() == 1);
        QCOMPARE(first->rows(), 5);
        QVERIFY(second->prompts.shown().isEmpty());
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
