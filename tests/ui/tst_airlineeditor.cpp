#include "accessibility.h"
#include "requirechild.h"
#include "scriptedprompts.h"
#include "support/registerfixture.h"
#include "support/registerlock.h"
#include "support/testregister.h"
#include "typing.h"

#include "store/airlineselection.h"
#include "store/registerstore.h"
#include "ui/airlineeditor.h"
#include "ui/conditioneditor.h"
#include "ui/optionaldateedit.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace tarvex {

using testing::addAirline;
using testing::airline;
using testing::percentCondition;
using testing::sumCondition;
using testing::typeText;

namespace {

struct Summary {
    QString commission;
    QString fee;
    bool operator==(const Summary&) const = default;
};

char* toString(const Summary& summary) {
    QString shown = u"commission \"%1\", fee \"%2\""_s.arg(summary.commission, summary.fee);
    return QTest::toString(shown.replace(u'\r', u"\\r"_s));
}

} // namespace

// Every case runs on a register file and on a register on a server; the lock of a register
// file, which a server does not have, is tried on the file alone.
class AirlineEditorTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data() { testing::addEngineRows(); }
    void init();
    void cleanup();

    void newAirlineIsSavedAndReopened();
    void conditionFlowKeepsTheSummary();
    void cancelInTheRuleEditorAtEachStep();
    void enterAndDoubleClickEditTheSelectedCondition_data();
    void enterAndDoubleClickEditTheSelectedCondition();
    void cancelDropsOnlyWhatWasNotStored_data();
    void cancelDropsOnlyWhatWasNotStored();
    void newAirlineCancelLeavesNoRow();
    void typingAfterTheAirlineLeftTheSearchEditsTheSameAirline();
    void codeBoxKeys_data();
    void codeBoxKeys();
    void capitalsAndWidths();
    void dateBoxMayStayEmpty();
    void noteGrowsAndShrinks();
    void oneLineNoteShowsThatItHoldsMore_data();
    void oneLineNoteShowsThatItHoldsMore();
    void focusOrderAndAccessibleNames();
    void airlineBoxMarksWhatTheScriptsWouldNotCarry_data();
    void airlineBoxMarksWhatTheScriptsWouldNotCarry();
    void ruleEditorMarksRemarksThatRunAsCommands_data();
    void ruleEditorMarksRemarksThatRunAsCommands();
    void ruleEditorChecksTheCaptureWithTheGivenRates_data();
    void ruleEditorChecksTheCaptureWithTheGivenRates();
    void saveWhileAnotherProgramWritesKeepsWhatWasTyped_data();
    void saveWhileAnotherProgramWritesKeepsWhatWasTyped();
    void savingOverAnotherCopysChangeShowsTheStoredAirline();
    void ruleEditorDoesNotOpenWhileAnotherProgramWrites();
    void typingWhileAnotherProgramWritesDoesNotWait();

private:
    template <typename T>
    T* child(const char* name) const {
        return testing::requireChild<T>(m_editor.get(), QLatin1StringView(name));
    }
    template <typename T>
    T* rule(const char* name) const {
        return testing::requireChild<T>(m_conditionEditor.get(), QLatin1StringView(name));
    }
    void openNew();
    void openExisting(qint64 id);
    // Clicks the button, which opens the rule editor modally, and acts in the rule editor.
    void withRuleEditor(const std::function<void()>& open, const std::function<void()>& act);
    void click(const char* name) { QTest::mouseClick(child<QAbstractButton>(name), Qt::LeftButton); }
    void selectCondition(int row);
    Summary storedSummary(qint64 id) const;
    QString storedField(qint64 id, const QString& column) const;
    int storedConditionCount() const;

    // The file's lock is taken by another program; a server locks rows, not the register.
    bool onServer() const { return m_register->engine() == RegisterEngine::Postgres; }

    testing::PostgresServer m_server;
    std::unique_ptr<testing::TestRegister> m_register;
    std::unique_ptr<RegisterStore> m_store;
    ScriptedPrompts m_prompts;
    std::unique_ptr<ConditionEditor> m_conditionEditor;
    std::unique_ptr<AirlineEditor> m_editor;
};

void AirlineEditorTest::init() {
    TARVEX_NEW_TEST_REGISTER(m_register, m_server);
    m_store = std::make_unique<RegisterStore>();
    m_register->open(*m_store);
    m_prompts.clear();
    m_conditionEditor = std::make_unique<ConditionEditor>(*m_store, m_prompts);
    m_editor = std::make_unique<AirlineEditor>(*m_store, *m_conditionEditor, m_prompts);
}

void AirlineEditorTest::cleanup() {
    m_editor.reset();
    m_conditionEditor.reset();
    m_store.reset();
    m_register.reset();
}

// As the main window opens the editor for a new airline.
void AirlineEditorTest::airlineBoxMarksWhatTheScriptsWouldNotCarry_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("markedOutOfScripts"); // the CSV list holds every airline
    QTest::newRow("bracket") << u"<"_s << u"warning"_s << u"Предупреждение: в Smart Key это стало бы командой"_s
                             << false;
    QTest::newRow("comma") << u","_s << u"warning"_s
                           << u"Предупреждение: запятая разделила бы список авиакомпаний Smart Flow"_s << false;
    QTest::newRow("character the CSV list lacks")
        << u"\u2708"_s << u"warning"_s << u"Предупреждение: в кодировке списка CSV (Windows-1251) нет знака «\u2708»"_s
        << true;
}

void AirlineEditorTest::airlineBoxMarksWhatTheScriptsWouldNotCarry() {
    QFETCH(QString, typed);
    QFETCH(QString, mark);
    QFETCH(QString, reason);
    QFETCH(bool, markedOutOfScripts);
    const qint64 id = addAirline(*m_store, airline(u"SU"_s, u"Аэрофлот"_s),
                                 {percentCondition(u"Эконом"_s, "5"), percentCondition(u"Бизнес"_s, "7")});
    openExisting(id);
    auto* name = child<QLineEdit>("eAirName");
    const QString ownTip = name->toolTip();
    QCOMPARE(name->property("finding").toString(), QString());

    name->end(false);
    typeText(name, typed);
    QCOMPARE(name->text(), u"Аэрофлот"_s + typed);
    QCOMPARE(name->property("finding").toString(), mark);
    QVERIFY2(name->toolTip().startsWith(reason), qPrintable(name->toolTip()));
    QVERIFY(name->toolTip().endsWith(ownTip));
    QVERIFY(name->styleSheet().contains(u"border"_s));
    QCOMPARE(child<QLineEdit>("eAirCode")->property("finding").toString(), QString());

    QTest::keyClick(name, Qt::Key_Backspace);
    QCOMPARE(name->text(), u"Аэрофлот"_s);
    QCOMPARE(name->property("finding").toString(), QString());
    QCOMPARE(name->toolTip(), ownTip);
    QVERIFY(name->styleSheet().isEmpty());

    // An airline left out of the scripts is marked only for the CSV list.
    typeText(name, typed);
    QTest::mouseClick(child<QCheckBox>("cbScript"), Qt::LeftButton);
    QCOMPARE(name->property("finding").toString(), markedOutOfScripts ? mark : QString());
}

void AirlineEditorTest::ruleEditorMarksRemarksThatRunAsCommands_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("mark");
    QTest::newRow("paired") << u"<RF AGENT>"_s << u"warning"_s;
    QTest::newRow("unpaired") << u"<RF AGENT"_s << u"error"_s;
    QTest::newRow("none") << u"RF AGENT"_s << QString();
}

void AirlineEditorTest::ruleEditorMarksRemarksThatRunAsCommands() {
    QFETCH(QString, typed);
    QFETCH(QString, mark);
    const qint64 id = addAirline(*m_store, airline(u"SU"_s, u"Аэрофлот"_s),
                                 {percentCondition(u"Эконом"_s, "5"), percentCondition(u"Бизнес"_s, "7")});
    QVERIFY(selectAirline(m_store->airlines(), id));
    TableCursor& conditions = m_store->conditions();
    conditions.setFilter(EqualsFilter{u"ComId"_s, id});
    conditions.setFiltered(true);
    conditions.first();
    conditions.edit();
    m_conditionEditor->setAirlineId(id);
    m_conditionEditor->show(); // shown without blocking: the test types into it
    auto* remarks = rule<QPlainTextEdit>("eRemarks");
    remarks->setFocus();
    typeText(remarks, typed);
    QCOMPARE(remarks->toPlainText(), typed);
    QCOMPARE(remarks->property("finding").toString(), mark);
    QCOMPARE(remarks->toolTip().startsWith(u"Ошибка: "_s), mark == u"error"_s);
    QCOMPARE(
        remarks->toolTip().startsWith(u"Предупреждение: Smart Key выполнит текст в скобках < > как свою команду"_s),
        mark == u"warning"_s);
    QCOMPARE(rule<QPlainTextEdit>("eComCondition")->property("finding").toString(), QString());
    m_conditionEditor->reject();
}

void AirlineEditorTest::ruleEditorChecksTheCaptureWithTheGivenRates_data() {
    QTest::addColumn<int>("rubPerUsd");
    QTest::addColumn<QString>("mark");
    QTest::newRow("20 USD is 1800 roubles") << 90 << u"warning"_s;
    QTest::newRow("20 USD is 20 roubles") << 1 << QString();
}

void AirlineEditorTest::ruleEditorChecksTheCaptureWithTheGivenRates() {
    QFETCH(int, rubPerUsd);
    QFETCH(QString, mark);
    const qint64 id =
        addAirline(*m_store, airline(u"SU"_s, u"Аэрофлот"_s), {sumCondition(u"Все рейсы"_s, 20, u"USD"_s, 2)});
    RoughRates rates;
    rates.rubPerUsd = rubPerUsd;
    m_editor->setRoughRates(rates); // the airline editor hands them on to the rule editor
    QVERIFY(selectAirline(m_store->airlines(), id));
    TableCursor& conditions = m_store->conditions();
    conditions.setFilter(EqualsFilter{u"ComId"_s, id});
    conditions.setFiltered(true);
    conditions.first();
    conditions.edit();
    m_conditionEditor->setAirlineId(id);
    m_conditionEditor->show();
    auto* length = rule<QSpinBox>("seValLen");
    QCOMPARE(length->value(), 2);
    QCOMPARE(length->property("finding").toString(), mark);
    QCOMPARE(length->toolTip().startsWith(u"Предупреждение: ValLen 2 берёт 2 из 4 цифр суммы 20 USD в рублях"_s),
             !mark.isEmpty());
    length->setValue(4); // long enough for any rate here
    QCOMPARE(length->property("finding").toString(), QString());
    m_conditionEditor->reject();
}

void AirlineEditorTest::openNew() {
    m_store->resetAirlineView();
    m_store->airlines().insert();
    m_editor->setConditionControlsEnabled(false);
    m_editor->show();
}

// As the main window opens the editor for the current airline.
void AirlineEditorTest::openExisting(qint64 id) {
    QVERIFY(selectAirline(m_store->airlines(), id));
    m_store->airlines().edit();
    m_editor->setConditionControlsEnabled(true);
    m_editor->show();
}

void AirlineEditorTest::withRuleEditor(const std::function<void()>& open, const std::function<void()>& act) {
    bool acted = false;
    m_prompts.whenDialog([&](QDialog& dialog) {
        QCOMPARE(&dialog, static_cast<QDialog*>(m_conditionEditor.get()));
        acted = true;
        act();
    });
    open();
    QVERIFY2(acted, "the rule editor did not open");
}

void AirlineEditorTest::selectCondition(int row) {
    auto* list = child<QTableView>("grComm");
    list->setCurrentIndex(list->model()->index(row, 1));
    QCOMPARE(m_store->conditions().currentRow(), row);
}

Summary AirlineEditorTest::storedSummary(qint64 id) const {
    QSqlQuery query(m_store->connection());
    query.prepare(u"SELECT Commision, Fee FROM tbMain WHERE id = ?"_s);
    query.addBindValue(id);
    if (!query.exec() || !query.next())
        return {u"<missing>"_s, u"<missing>"_s};
    return {query.value(0).toString(), query.value(1).toString()};
}

QString AirlineEditorTest::storedField(qint64 id, const QString& column) const {
    QSqlQuery query(m_store->connection());
    query.prepare(u"SELECT %1 FROM tbMain WHERE id = ?"_s.arg(column));
    query.addBindValue(id);
    return query.exec() && query.next() ? query.value(0).toString() : u"<missing>"_s;
}

int AirlineEditorTest::storedConditionCount() const {
    QSqlQuery query(m_store->connection());
    query.exec(u"SELECT COUNT(*) FROM tbComm"_s);
    return query.next() ? query.value(0).toInt() : -1;
}

void AirlineEditorTest::newAirlineIsSavedAndReopened() {
    openNew();
    for (const char* name : {"grComm", "btnAdd", "btnEdit", "btnDelete", "btnDuplicate"})
        QVERIFY2(!child<QWidget>(name)->isEnabled(), name);
    typeText(child<QLineEdit>("eAirCode"), u"su"_s);
    typeText(child<QLineEdit>("eAirName"), u"Аэрофлот"_s);
    QTest::mouseClick(child<QCheckBox>("cbScript"), Qt::LeftButton);

    click("btnSave");

    QVERIFY(!m_editor->isVisible());
    QCOMPARE(m_store->airlines().state(), TableCursor::State::Browse);
    const qint64 id = heldInteger(m_store->airlines().value(0));
    QVERIFY(id > 0);
    QCOMPARE(storedField(id, u"AirCode"_s), u"SU"_s);
    QCOMPARE(storedField(id, u"AirName"_s), u"Аэрофлот"_s);
    QCOMPARE(storedField(id, u"Script"_s), u"1"_s);
    QCOMPARE(storedSummary(id), (Summary{}));

    openExisting(id);
    QCOMPARE(m_editor->airlineId(), id);
    QCOMPARE(child<QLineEdit>("eAirCode")->text(), u"SU"_s);
    QVERIFY(child<QCheckBox>("cbScript")->isChecked());
    QVERIFY(child<QWidget>("grComm")->isEnabled());
    QVERIFY(child<QWidget>("btnAdd")->isEnabled());
    for (const char* name : {"btnEdit", "btnDelete", "btnDuplicate"})
        QVERIFY2(!child<QWidget>(name)->isEnabled(), name); // nothing to act on yet
}

// Add a percent and a sum condition, duplicate, edit, delete: the summary follows each step.
void AirlineEditorTest::conditionFlowKeepsTheSummary() {
    const qint64 id = addAirline(*m_store, airline(u"SU"_s, u"Аэрофлот"_s));
    openExisting(id);

    withRuleEditor([&] { click("btnAdd"); },
                   [&] {
                       QVERIFY(m_conditionEditor->isPercentMode());
                       typeText(rule<QPlainTextEdit>("eComCondition"), u"Продажа из Москвы"_s);
                       typeText(rule<QLineEdit>("ePercent"), u"7,5"_s);
                       typeText(rule<QLineEdit>("eFee"), u"200"_s);
                       QTest::mouseClick(rule<QPushButton>("btnSave"), Qt::LeftButton);
                   });
    QCOMPARE(storedSummary(id), (Summary{u"Продажа из Москвы - 7.5%\r"_s, u"Продажа из Москвы - 200\r"_s}));
    QCOMPARE(child<QTableView>("grComm")->model()->rowCount(), 1);
    QVERIFY(child<QWidget>("btnEdit")->isEnabled());

    withRuleEditor([&] { click("btnAdd"); },
                   [&] {
                       typeText(rule<QPlainTextEdit>("eComCondition"), u"Продажа из Питера"_s);
                       QTest::mouseClick(rule<QCheckBox>("cbPercent"), Qt::LeftButton);
                       typeText(rule<QLineEdit>("eSum"), u"500"_s);
                       typeText(rule<QComboBox>("cbCurrency")->lineEdit(), u"EUR"_s);
                       QTest::mouseClick(rule<QPushButton>("btnSave"), Qt::LeftButton);
                   });
    const Summary two{u"Продажа из Москвы - 7.5%\rПродажа из Питера - 500EUR\r"_s, u"Продажа из Москвы - 200\r\r"_s};
    QCOMPARE(storedSummary(id), two);

    // The copy is stored even when the rule editor is left with Cancel, and the summary lists it.
    selectCondition(0);
    withRuleEditor([&] { click("btnDuplicate"); },
                   [&] {
                       QCOMPARE(rule<QLineEdit>("ePercent")->text(), u"7.5"_s);
                       QTest::mouseClick(rule<QPushButton>("btnCancel"), Qt::LeftButton);
                   });
    QCOMPARE(storedConditionCount(), 3);
    QCOMPARE(storedSummary(id).commission,
             u"Продажа из Москвы - 7.5%\rПродажа из Питера - 500EUR\rПродажа из Москвы - 7.5%\r"_s);

    // The copy, changed in the rule editor.
    selectCondition(2);
    withRuleEditor([&] { click("btnEdit"); },
                   [&] {
                       rule<QPlainTextEdit>("eComCondition")->setPlainText(u"Продажа из Казани"_s);
                       rule<QLineEdit>("ePercent")->setText(u"12.0"_s);
                       rule<QLineEdit>("eFee")->clear();
                       QTest::mouseClick(rule<QPushButton>("btnSave"), Qt::LeftButton);
                   });
    QCOMPARE(storedSummary(id), (Summary{two.commission + u"Продажа из Казани - 12%\r"_s, two.fee + u"\r"_s}));

    // Delete answered No changes nothing; Yes removes the row and its summary line at once.
    m_prompts.answerNext(UserPrompts::Answer::No);
    click("btnDelete");
    QCOMPARE(m_prompts.shown().last().title, u"Удаление условия"_s);
    QCOMPARE(m_prompts.shown().last().text, u"Удалить строку условия?"_s);
    QCOMPARE(storedConditionCount(), 3);
    m_prompts.answerNext(UserPrompts::Answer::Yes);
    click("btnDelete");
    QCOMPARE(storedConditionCount(), 2);
    QCOMPARE(child<QTableView>("grComm")->model()->rowCount(), 2);
    QCOMPARE(storedSummary(id), two);

    // Leaving the airline with Cancel keeps every condition stored meanwhile.
    click("btnCancel");
    QVERIFY(!m_editor->isVisible());
    QCOMPARE(storedConditionCount(), 2);
    QCOMPARE(storedSummary(id), two);
}

void AirlineEditorTest::cancelInTheRuleEditorAtEachStep() {
    const qint64 id = addAirline(*m_store, airline(u"SU"_s, u"Аэрофлот"_s),
                                 {percentCondition(u"A"_s, "0.125"), sumCondition(u"B"_s, 100, u"USD"_s)});
    openExisting(id);
    click("btnSave"); // a save without changes still writes the summary
    const Summary before{u"A - 0.125%\rB - 100USD\r"_s, u"\r\r"_s};
    QCOMPARE(storedSummary(id), before);
    openExisting(id);

    withRuleEditor([&] { click("btnAdd"); },
                   [&] {
                       typeText(rule<QLineEdit>("ePercent"), u"5"_s);
                       QTest::mouseClick(rule<QPushButton>("btnCancel"), Qt::LeftButton);
                   });
    QCOMPARE(storedConditionCount(), 2);
    QCOMPARE(child<QTableView>("grComm")->model()->rowCount(), 2);

    selectCondition(1);
    withRuleEditor([&] { click("btnEdit"); },
                   [&] {
                       QVERIFY(!m_conditionEditor->isPercentMode());
                       rule<QLineEdit>("eSum")->setText(u"999"_s);
                       m_conditionEditor->close(); // the frame's close button acts as Cancel
                   });
    QCOMPARE(m_store->conditions().text(u"ComSum"), u"100"_s);
    QCOMPARE(m_store->conditions().state(), TableCursor::State::Browse);

    m_prompts.answerNext(UserPrompts::Answer::No);
    click("btnDelete");
    QCOMPARE(storedConditionCount(), 2);
    QCOMPARE(storedSummary(id), before);
}

void AirlineEditorTest::enterAndDoubleClickEditTheSelectedCondition_data() {
    QTest::addColumn<bool>("doubleClick");
    QTest::newRow("Enter") << false;
    QTest::newRow("double click") << true;
}

void AirlineEditorTest::enterAndDoubleClickEditTheSelectedCondition() {
    QFETCH(bool, doubleClick);
    const qint64 id = addAirline(*m_store, airline(u"SU"_s, u"Аэрофлот"_s),
                                 {percentCondition(u"первое"_s, "1"), percentCondition(u"второе"_s, "2")});
    openExisting(id);
    selectCondition(1);
    auto* list = child<QTableView>("grComm");
    QString shownWording;
    withRuleEditor(
        [&] {
            if (doubleClick) {
                const QRect cell = list->visualRect(list->model()->index(1, 1));
                // A real double click begins with a click; the view needs that press.
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
                QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
            } else {
                QTest::keyClick(list, Qt::Key_Return);
            }
        },
        [&] {
            shownWording = rule<QPlainTextEdit>("eComCondition")->toPlainText();
            QCOMPARE(m_store->conditions().state(), TableCursor::State::Edit);
            QTest::mouseClick(rule<QPushButton>("btnCancel"), Qt::LeftButton);
        });
    QCOMPARE(shownWording, u"второе"_s);
}

void AirlineEditorTest::cancelDropsOnlyWhatWasNotStored_data() {
    QTest::addColumn<bool>("byFrame");
    QTest::newRow("Отмена") << false;
    QTest::newRow("frame close") << true;
}

// Every condition save stores the airline row too; Cancel drops only what was typed after it.
void AirlineEditorTest::cancelDropsOnlyWhatWasNotStored() {
    QFETCH(bool, byFrame);
    const qint64 id = addAirline(*m_store, airline(u"SU"_s, u"Аэрофлот"_s));
    openExisting(id);
    child<QLineEdit>("eAirName")->clear();
    typeText(child<QLineEdit>("eAirName"), u"Первое имя"_s);
    withRuleEditor([&] { click("btnAdd"); },
                   [&] {
                       typeText(rule<QLineEdit>("ePercent"), u"3"_s);
                       QTest::mouseClick(rule<QPushButton>("btnSave"), Qt::LeftButton);
                   });
    QCOMPARE(storedField(id, u"AirName"_s), u"Первое имя"_s);
    child<QLineEdit>("eAirName")->clear();
    typeText(child<QLineEdit>("eAirName"), u"Второе имя"_s);
    typeText(child<QPlainTextEdit>("eComment"), u"Заметка"_s);

    if (byFrame)
        m_editor->close();
    else
        click("btnCancel");

    QVERIFY(!m_editor->isVisible());
    QCOMPARE(m_store->airlines().state(), TableCursor::State::Browse);
    QCOMPARE(storedField(id, u"AirName"_s), u"Первое имя"_s);
    QCOMPARE(m_store->airlines().text(u"AirName"), u"Первое имя"_s);
    QVERIFY(storedField(id, u"Comment"_s).isEmpty());
    QCOMPARE(storedSummary(id).commission, u" - 3%\r"_s);
}

void AirlineEditorTest::newAirlineCancelLeavesNoRow() {
    addAirline(*m_store, airline(u"AF"_s, u"Air France"_s));
    openNew();
    typeText(child<QLineEdit>("eAirCode"), u"LH"_s);
    click("btnCancel");
    QCOMPARE(m_store->airlines().recordCount(), 1);
    QSqlQuery query(m_store->connection());
    query.exec(u"SELECT COUNT(*) FROM tbMain"_s);
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toInt(), 1);
}

// Deleting the condition a search matched takes the airline out of the search; what is
// typed next must still go to that airline, never to the row the search shows instead.
void AirlineEditorTest::typingAfterTheAirlineLeftTheSearchEditsTheSameAirline() {
    const qint64 edited = addAirline(*m_store, airline(u"SU"_s, u"Аэрофлот"_s), {percentCondition(u"Москва"_s, "5")});
    const qint64 bystander = addAirline(*m_store, airline(u"MA"_s, u"Москва-Авиа"_s));
    openExisting(edited);
    click("btnSave");
    m_store->airlines().setFilter(SearchFilter{u"Москва"_s, {u"AirName"_s, u"Commision"_s}});
    m_store->airlines().setFiltered(true);
    QCOMPARE(m_store->airlines().recordCount(), 2);
    openExisting(edited);

    m_prompts.answerNext(UserPrompts::Answer::Yes);
    click("btnDelete");
    QCOMPARE(m_store->airlines().recordCount(), 1); // only the bystander still matches
    QTest::keyClick(child<QLineEdit>("eAirName"), Qt::Key_End);
    typeText(child<QLineEdit>("eAirName"), u"-Россия"_s);
    click("btnSave");
    QVERIFY(!m_editor->isVisible());

    QCOMPARE(storedField(edited, u"AirName"_s), u"Аэрофлот-Россия"_s);
    QCOMPARE(storedField(bystander, u"AirName"_s), u"Москва-Авиа"_s);
    QVERIFY(storedSummary(edited).commission.isEmpty());
    QVERIFY(storedSummary(bystander).commission.isEmpty());
}

void AirlineEditorTest::codeBoxKeys_data() {
    QTest::addColumn<QString>("character");
    QTest::addColumn<QString>("shown");
    for (const QChar c : u"!\"#$%&'()*+,-./:;<=>?@[\\]^`{|}~абжпря"_s)
        QTest::addRow("dropped U+%04X", c.unicode()) << QString(c) << QString();
    const std::pair<QString, QString> accepted[] = {
        {u"0"_s, u"0"_s}, {u"9"_s, u"9"_s}, {u"s"_s, u"S"_s}, {u"U"_s, u"U"_s}, {u" "_s, u" "_s},
        {u"_"_s, u"_"_s}, {u"А"_s, u"А"_s}, {u"Я"_s, u"Я"_s}, {u"ё"_s, u"Ё"_s}, {u"Ё"_s, u"Ё"_s}};
    for (const auto& [typed, shown] : accepted)
        QTest::addRow("accepted U+%04X", typed.front().unicode()) << typed << shown;
}

void AirlineEditorTest::codeBoxKeys() {
    QFETCH(QString, character);
    QFETCH(QString, shown);
    const qint64 id = addAirline(*m_store, airline({}, u"Без кода"_s));
    openExisting(id);
    typeText(child<QLineEdit>("eAirCode"), character);
    QCOMPARE(child<QLineEdit>("eAirCode")->text(), shown);
    click("btnSave");
    QCOMPARE(storedField(id, u"AirCode"_s), shown);
}

void AirlineEditorTest::capitalsAndWidths() {
    openNew();
    typeText(child<QLineEdit>("eAirCode"), u"sub"_s);
    QCOMPARE(child<QLineEdit>("eAirCode")->text(), u"SU"_s); // a third character is not taken
    typeText(child<QLineEdit>("eAccCode"), u"a5bz"_s);
    QCOMPARE(child<QLineEdit>("eAccCode")->text(), u"A5B"_s);
    const std::pair<const char*, int> widths[] = {{"eAirName", 50}, {"eContrAgent", 150}, {"eDog", 100}};
    for (const auto& [name, width] : widths)
        QCOMPARE(child<QLineEdit>(name)->maxLength(), width);
    click("btnSave");
    const qint64 id = heldInteger(m_store->airlines().value(0));
    QCOMPARE(storedField(id, u"AccCode"_s), u"A5B"_s);
}

void AirlineEditorTest::dateBoxMayStayEmpty() {
    const qint64 id = addAirline(*m_store, airline(u"SU"_s, u"Аэрофлот"_s));
    openExisting(id);
    auto* date = child<OptionalDateEdit>("eDogDate");
    QCOMPARE(date->calendarWidget()->firstDayOfWeek(), Qt::Monday);
    QVERIFY(date->isEmpty());
    QVERIFY(date->calendarPopup());
    date->setDate(QDate(2025, 12, 31)); // as a choice in the calendar does
    click("btnSave");
    QCOMPARE(storedField(id, u"DogDate"_s), u"2025-12-31 00:00:00"_s);

    openExisting(id);
    QCOMPARE(date->optionalDate(), QDate(2025, 12, 31));
    date->setFocus();
    date->selectAll();
    QTest::keyClick(date, Qt::Key_Delete);
    QVERIFY(date->isEmpty());
    click("btnSave");
    QVERIFY(storedField(id, u"DogDate"_s).isEmpty());

    openExisting(id);
    QTest::keyClick(date, Qt::Key_Up);
    QCOMPARE(date->optionalDate(), QDate::currentDate());
}

void AirlineEditorTest::noteGrowsAndShrinks() {
    const qint64 id = addAirline(*m_store, airline(u"SU"_s, u"Аэрофлот"_s));
    openExisting(id);
    auto* group = child<QGroupBox>("gbAirline");
    auto* note = child<QPlainTextEdit>("eComment");
    const QRect standardGroup = group->geometry();
    const QRect standardNote = note->geometry();
    QCOMPARE(standardGroup.height(), 98);
    QCOMPARE(standardNote.height(), 21);

    for (const char* order : {"down", "down", "up", "up", "down", "up"}) {
        const bool down = qstrcmp(order, "down") == 0;
        click(down ? "sbNoteDown" : "sbNoteUp");
        QCOMPARE(child<QGroupBox>("gbConditions")->isHidden(), down);
        if (down) {
            QCOMPARE(group->height(), m_editor->height() - 40);
            QCOMPARE(note->height(), group->height() - 75);
            QCOMPARE(note->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        } else {
            QCOMPARE(group->geometry(), standardGroup);
            QCOMPARE(note->geometry(), standardNote);
            QCOMPARE(note->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff); // a one-line note
        }
    }
}

void AirlineEditorTest::oneLineNoteShowsThatItHoldsMore_data() {
    QTest::addColumn<QString>("note");
    QTest::addColumn<bool>("more");
    QTest::newRow("one line") << u"Комиссия по договору"_s << false;
    QTest::newRow("two lines") << u"Комиссия по договору\nс представительством"_s << true;
    QTest::newRow("first line empty") << u"\r\nпо договору"_s << true;
}

// The one-line note opens at its first line; when it holds more, its scroll bar says so.
void AirlineEditorTest::oneLineNoteShowsThatItHoldsMore() {
    QFETCH(QString, note);
    QFETCH(bool, more);
    const qint64 id = addAirline(*m_store, testing::withComment(airline(u"KC"_s, u"Эйр Астана"_s), note));
    openExisting(id);
    auto* box = child<QPlainTextEdit>("eComment");
    QCOMPARE(box->height(), 21);
    QCOMPARE(box->verticalScrollBar()->isVisible(), more);
    QCOMPARE(box->verticalScrollBar()->value(), 0);

    // A line break typed at the end of a one-line note shows the empty new line, and the bar says there is more.
    box->setFocus();
    box->moveCursor(QTextCursor::End);
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(box->verticalScrollBar()->isVisible());
    QVERIFY(box->verticalScrollBar()->value() > 0);
    m_editor->reject();
}

void AirlineEditorTest::focusOrderAndAccessibleNames() {
    const qint64 id = addAirline(*m_store, airline(u"SU"_s, u"Аэрофлот"_s), {percentCondition(u"A"_s, "1")});
    openExisting(id);
    const QStringList expected{u"eAirCode"_s, u"eAccCode"_s, u"eAirName"_s, u"cbScript"_s, u"eContrAgent"_s,
                               u"eDog"_s,     u"eDogDate"_s, u"eComment"_s, u"cbBSP"_s};
    QStringList order;
    QWidget* widget = child<QWidget>("eAirCode");
    do {
        if (expected.contains(widget->objectName()) && !order.contains(widget->objectName()))
            order << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != child<QWidget>("eAirCode"));
    QCOMPARE(order, expected);

    for (QWidget* each : m_editor->findChildren<QWidget*>()) {
        if (each->objectName().isEmpty() || each->objectName().startsWith(u"qt_") || each->inherits("QLabel"))
            continue;
        QVERIFY2(!each->accessibleName().isEmpty(), qPrintable(each->objectName()));
    }
    const std::pair<const char*, const char16_t*> tips[] = {
        {"btnDuplicate", u"Дублировать условие"}, {"btnAdd", u"Добавить условие"},
        {"btnEdit", u"Изменить условие"},         {"btnDelete", u"Удалить условие"},
        {"eAirName", u"Название авиакомпании"},   {"cbBSP", u"Участник BSP"},
        {"cbScript", u"Выгружать в Амадеус"},     {"eContrAgent", u"С кем заключен договор?"}};
    for (const auto& [name, tip] : tips)
        QCOMPARE(child<QWidget>(name)->toolTip(), QString::fromUtf16(tip));

    // The list has the shown columns alone, so assistive technology reads them as shown.
    auto* list = child<QTableView>("grComm");
    QHeaderView* titles = list->horizontalHeader();
    QCOMPARE(testing::columnTitlesRead(list),
             (QStringList{u"Условие начисления комиссии"_s, u"%"_s, u"Сумма"_s, u"Валюта"_s, u"Сбор"_s, u"Ремарки"_s}));
    QList<int> widths;
    for (int column = 0; column < titles->count(); ++column)
        widths << list->columnWidth(column);
    QCOMPARE(widths, (QList<int>{200, 45, 45, 50, 45, 135}));
    QCOMPARE(list->rowHeight(0), 30);
    QCOMPARE(titles->height(), 20);
    QVERIFY(titles->font().bold());
    QVERIFY(list->wordWrap());
    QVERIFY(list->alternatingRowColors());
    QCOMPARE(list->palette().color(QPalette::AlternateBase), QColor(255, 251, 240));
    QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(list->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(m_editor->windowTitle(), u"Tarvex - Комиссионные правила авиакомпании"_s);
    QCOMPARE(m_editor->size(), QSize(594, 430));
}

void AirlineEditorTest::saveWhileAnotherProgramWritesKeepsWhatWasTyped_data() {
    QTest::addColumn<bool>("inRuleEditor");
    QTest::addColumn<testing::RegisterLock::Kind>("lock");
    QTest::newRow("airline, write lock") << false << testing::RegisterLock::Kind::Write;
    // The save reads the conditions first; it still says that the save failed.
    QTest::newRow("airline, exclusive lock") << false << testing::RegisterLock::Kind::Exclusive;
    QTest::newRow("condition, write lock") << true << testing::RegisterLock::Kind::Write;
    QTest::newRow("condition, exclusive lock") << true << testing::RegisterLock::Kind::Exclusive;
}

// The save waits a moment for the other program, then says why it failed; nothing typed is lost,
// and once the other program is done the same save goes through.
void AirlineEditorTest::saveWhileAnotherProgramWritesKeepsWhatWasTyped() {
    if (onServer())
        QSKIP("a server has no lock of the whole register for another program to hold");
    QFETCH(bool, inRuleEditor);
    QFETCH(testing::RegisterLock::Kind, lock);
    const qint64 id = addAirline(*m_store, airline(u"SU"_s, u"Аэрофлот"_s), {percentCondition(u"A"_s, "1")});
    m_store->setBusyTimeout(std::chrono::milliseconds(100));
    openExisting(id);
    const QString busy = u"Реестр занят другой программой, которая сейчас в него записывает; изменения не "
                         u"сохранены, повторите через минуту. (SQLite: database is locked)\nВсё введённое осталось в "
                         u"окне."_s;
    const auto saveUnderLock = [&](QWidget* window, QLineEdit* box, const QString& typed) {
        box->clear();
        typeText(box, typed);
        testing::RegisterLock other(RegisterStore::databasePath(m_register->appDir()), lock);
        QVERIFY(other.isHeld());
        QTest::mouseClick(testing::requireChild<QPushButton>(window, u"btnSave"_s), Qt::LeftButton);
        QCOMPARE(m_prompts.shown().size(), 1);
        QCOMPARE(m_prompts.shown().first().kind, u"error"_s);
        QCOMPARE(m_prompts.shown().first().text, busy);
        QVERIFY(QGuiApplication::overrideCursor() == nullptr); // the busy cursor is gone before the message
        QVERIFY(window->isVisible());
        QCOMPARE(box->text(), typed);
        other.release();
        m_prompts.clear();
        QTest::mouseClick(testing::requireChild<QPushButton>(window, u"btnSave"_s), Qt::LeftButton);
        QVERIFY2(m_prompts.shown().isEmpty(), qPrintable(m_prompts.shown().value(0).text));
        QVERIFY(!window->isVisible());
    };

    if (inRuleEditor) {
        selectCondition(0);
        withRuleEditor([&] { click("btnEdit"); },
                       [&] { saveUnderLock(m_conditionEditor.get(), rule<QLineEdit>("ePercent"), u"7"_s); });
        QCOMPARE(storedSummary(id).commission, u"A - 7%\r"_s);
    } else {
        saveUnderLock(m_editor.get(), child<QLineEdit>("eAirName"), u"Аэрофлот ПАО"_s);
        QCOMPARE(storedField(id, u"AirName"_s), u"Аэрофлот ПАО"_s);
    }
}

// Another copy of the program renamed the airline while this one was editing its name:
// the save is refused and the window shows the stored name, to be typed again if need be.
void AirlineEditorTest::savingOverAnotherCopysChangeShowsTheStoredAirline() {
    const qint64 id = addAirline(*m_store, airline(u"SU"_s, u"Аэрофлот"_s));
    openExisting(id);
    QLineEdit* name = child<QLineEdit>("eAirName");
    name->clear();
    typeText(name, u"Aeroflot"_s);
    {
        RegisterStore other;
        m_register->open(other);
        QSqlQuery rename(other.connection());
        QVERIFY(rename.exec(u"UPDATE tbMain SET AirName = 'Аэрофлот ПАО' WHERE id = %1"_s.arg(id)));
    }
    click("btnSave");
    QCOMPARE(m_prompts.shown().size(), 1);
    QCOMPARE(m_prompts.shown().first().kind, u"error"_s);
    QVERIFY2(m_prompts.shown().first().text.contains(u"изменили в другой копии программы"_s),
             qPrintable(m_prompts.shown().first().text));
    QVERIFY(m_editor->isVisible());
    QCOMPARE(name->text(), u"Аэрофлот ПАО"_s);
    QCOMPARE(storedField(id, u"AirName"_s), u"Аэрофлот ПАО"_s);
}

// Opening the rule editor while another program writes would let the user type what cannot be stored.
void AirlineEditorTest::ruleEditorDoesNotOpenWhileAnotherProgramWrites() {
    if (onServer())
        QSKIP("a server has no lock of the whole register for another program to hold");
    const qint64 id = addAirline(*m_store, airline(u"SU"_s, u"Аэрофлот"_s), {percentCondition(u"A"_s, "1")});
    m_store->setBusyTimeout(std::chrono::milliseconds(100));
    openExisting(id);
    selectCondition(0);
    testing::RegisterLock other(RegisterStore::databasePath(m_register->appDir()), testing::RegisterLock::Kind::Write);
    QVERIFY(other.isHeld());
    for (const char* button : {"btnAdd", "btnEdit"}) {
        m_prompts.clear();
        // No rule editor may open: the scripted prompts fail the test if one does.
        click(button);
        QCOMPARE(m_prompts.shown().size(), 1);
        QCOMPARE(m_prompts.shown().first().text,
                 u"Реестр занят другой программой, которая сейчас в него записывает; изменение не начато, повторите "
                 u"через минуту. (SQLite: database is locked)"_s);
        QCOMPARE(m_store->conditions().state(), TableCursor::State::Browse);
        QCOMPARE(m_store->conditions().recordCount(), 1);
    }
}

// What is typed is checked against the stored conditions at every key; a lock on the register must not
// hold up a single key for the store's wait, however long that is.
void AirlineEditorTest::typingWhileAnotherProgramWritesDoesNotWait() {
    if (onServer())
        QSKIP("a server has no lock of the whole register for another program to hold");
    const qint64 id = addAirline(*m_store, airline(u"SU"_s, u"Аэрофлот"_s), {percentCondition(u"A"_s, "1")});
    m_store->setBusyTimeout(std::chrono::minutes(1));
    openExisting(id);
    selectCondition(0);
    QElapsedTimer typing;
    withRuleEditor([&] { click("btnEdit"); },
                   [&] {
                       testing::RegisterLock other(RegisterStore::databasePath(m_register->appDir()),
                                                   testing::RegisterLock::Kind::Exclusive);
                       QVERIFY(other.isHeld());
                       typing.start();
                       typeText(rule<QPlainTextEdit>("eRemarks"), u"RM"_s);
                       QVERIFY(typing.elapsed() < 20000);
                       m_conditionEditor->reject();
                       child<QLineEdit>("eAirName")->end(false);
                       typing.start();
                       typeText(child<QLineEdit>("eAirName"), u" ПАО"_s);
                       QVERIFY(typing.elapsed() < 20000);
                   });
    QCOMPARE(child<QLineEdit>("eAirName")->text(), u"Аэрофлот ПАО"_s);
}

} // namespace tarvex

QTEST_MAIN(tarvex::AirlineEditorTest)
#include "tst_airlineeditor.moc"
