#include "requirechild.h"
#include "scriptedprompts.h"
#include "support/registerfixture.h"
#include "typing.h"

#include "store/registerstore.h"
#include "store/storeerror.h"
#include "ui/conditioneditor.h"
#include "ui/optionaldateedit.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

namespace tarvex {

using testing::addAirline;
using testing::airline;
using testing::percentCondition;
using testing::sumCondition;
using testing::typeText;

namespace {

const QColor kWhite(Qt::white);

QColor baseColour(const QWidget* box) {
    return box->palette().color(QPalette::Base);
}

// The background of a box as drawn: the colour of most of its pixels.
QColor mostCommonColour(const QImage& image) {
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y)];
    }
    const auto most = std::max_element(counts.cbegin(), counts.cend());
    return QColor::fromRgb(most.key());
}

} // namespace

class ConditionEditorTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void newRowOpensInPercentModeAndAsksForPercent();
    void modeFollowsTheStoredSum_data();
    void modeFollowsTheStoredSum();
    void sumModeChecks_data();
    void sumModeChecks();
    void commaAndFullStopStoreTheSameNumber_data();
    void commaAndFullStopStoreTheSameNumber();
    void numberBoxKeys_data();
    void numberBoxKeys();
    void remarksKeys_data();
    void remarksKeys();
    void outOfRangeSumIsRefusedAndKept();
    void marksFollowTheMode_data();
    void marksFollowTheMode();
    void overlongTextIsRefusedAndKept_data();
    void overlongTextIsRefusedAndKept();
    void switchingToPercentKeepsLength();
    void typedCurrencyIsStoredAsTyped();
    void cancelAfterAddLeavesNoRow();
    void cancelAfterEditRestoresValues_data();
    void cancelAfterEditRestoresValues();
    void focusOrderAndAccessibleNames();
    void daysInForceAreShownAndSaved();
    void lastDayBeforeTheFirstIsRefused();

private:
    template <typename T>
    T* child(const char* name) const {
        return testing::requireChild<T>(m_editor.get(), QLatin1StringView(name));
    }
    // Puts the airline's first condition, or a new row, in front of the window.
    void openOnNewRow();
    void openOnFirstCondition();
    void save() { QTest::mouseClick(child<QPushButton>("btnSave"), Qt::LeftButton); }
    QList<QVariantList> storedConditions() const;

    std::unique_ptr<testing::TempAppFolder> m_folder;
    ScriptedPrompts m_prompts;
    std::unique_ptr<ConditionEditor> m_editor;
    qint64 m_airlineId = 0;
};

void ConditionEditorTest::init() {
    m_folder = std::make_unique<testing::TempAppFolder>();
    m_folder->openStore();
    m_prompts.clear();
    m_editor = std::make_unique<ConditionEditor>(m_folder->store(), m_prompts);
}

void ConditionEditorTest::cleanup() {
    m_editor.reset();
    m_folder.reset();
}

void ConditionEditorTest::openOnNewRow() {
    m_airlineId = addAirline(m_folder->store(), airline(u"SU"_s, u"Аэрофлот"_s));
    m_folder->store().conditions().insert();
    m_editor->setAirlineId(m_airlineId);
    m_editor->show();
}

void ConditionEditorTest::openOnFirstCondition() {
    m_folder->store().conditions().first();
    m_folder->store().conditions().edit();
    m_editor->setAirlineId(m_airlineId);
    m_editor->show();
}

QList<QVariantList> ConditionEditorTest::storedConditions() const {
    QSqlQuery query(m_folder->store().connection());
    query.exec(u"SELECT ComId, ComCondition, ComPCT, ComSum, ComVal, Remarks, ValLen, Fee FROM tbComm ORDER BY id"_s);
    QList<QVariantList> rows;
    while (query.next()) {
        QVariantList row;
        for (int c = 0; c < 8; ++c)
            row << query.value(c);
        rows << row;
    }
    return rows;
}

void ConditionEditorTest::newRowOpensInPercentModeAndAsksForPercent() {
    openOnNewRow();
    QVERIFY(child<QCheckBox>("cbPercent")->isChecked());
    QVERIFY(child<QLineEdit>("ePercent")->text().isEmpty());
    QVERIFY(child<QLineEdit>("eSum")->text().isEmpty());
    QVERIFY(child<QLineEdit>("ePercent")->isEnabled());
    QCOMPARE(baseColour(child<QLineEdit>("ePercent")), kWhite);
    for (const char* name : {"eSum", "cbCurrency", "seValLen"}) {
        QVERIFY2(!child<QWidget>(name)->isEnabled(), name);
        QVERIFY2(baseColour(child<QWidget>(name)) != kWhite, name);
    }

    save();

    QCOMPARE(m_prompts.shown().size(), 1);
    QCOMPARE(m_prompts.shown().first().text, u"Установите процент"_s);
    QVERIFY(m_editor->isVisible());
    QCOMPARE(m_folder->store().conditions().state(), TableCursor::State::Insert);
    QVERIFY(storedConditions().isEmpty());
}

void ConditionEditorTest::modeFollowsTheStoredSum_data() {
    QTest::addColumn<int>("sum");
    QTest::addColumn<bool>("percentMode");
    QTest::newRow("500 EUR") << 500 << false;
    QTest::newRow("1") << 1 << false;
    QTest::newRow("0") << 0 << true;
    QTest::newRow("-5") << -5 << true;
}

void ConditionEditorTest::modeFollowsTheStoredSum() {
    QFETCH(int, sum);
    QFETCH(bool, percentMode);
    m_airlineId = addAirline(m_folder->store(), airline(u"SU"_s, u"Аэрофлот"_s), {sumCondition(u"A"_s, sum, u"EUR"_s)});
    openOnFirstCondition();
    QCOMPARE(m_editor->isPercentMode(), percentMode);
    QCOMPARE(child<QLineEdit>("eSum")->text(), QString::number(sum));
    QCOMPARE(child<QComboBox>("cbCurrency")->currentText(), u"EUR"_s);
    QCOMPARE(child<QLineEdit>("eSum")->isEnabled(), !percentMode);
    QCOMPARE(baseColour(child<QLineEdit>("eSum")) == kWhite, !percentMode);

    QTest::mouseClick(child<QCheckBox>("cbPercent"), Qt::LeftButton);
    QCOMPARE(m_editor->isPercentMode(), !percentMode);
    QCOMPARE(child<QLineEdit>("ePercent")->isEnabled(), !percentMode);
    QCOMPARE(child<QSpinBox>("seValLen")->isEnabled(), percentMode);
    QCOMPARE(m_folder->store().conditions().value(u"ComSum").toInt(), sum); // switching alone changes no field
}

void ConditionEditorTest::sumModeChecks_data() {
    QTest::addColumn<QString>("sum");
    QTest::addColumn<QString>("currency");
    QTest::addColumn<QString>("message");
    QTest::newRow("no sum, no currency") << QString() << QString() << u"Укажите сумму"_s;
    QTest::newRow("no sum, a currency") << QString() << u"RUB"_s << u"Укажите сумму"_s;
    QTest::newRow("a sum, no currency") << u"500"_s << QString() << u"Выберите валюту"_s;
}

void ConditionEditorTest::sumModeChecks() {
    QFETCH(QString, sum);
    QFETCH(QString, currency);
    QFETCH(QString, message);
    openOnNewRow();
    QTest::mouseClick(child<QCheckBox>("cbPercent"), Qt::LeftButton);
    typeText(child<QLineEdit>("eSum"), sum);
    child<QComboBox>("cbCurrency")->setEditText(currency);

    save();

    QCOMPARE(m_prompts.shown().size(), 1);
    QCOMPARE(m_prompts.shown().first().text, message);
    QVERIFY(m_editor->isVisible());
    QCOMPARE(child<QLineEdit>("eSum")->text(), sum);
    QVERIFY(storedConditions().isEmpty());
}

void ConditionEditorTest::commaAndFullStopStoreTheSameNumber_data() {
    QTest::addColumn<QString>("typed");
    QTest::newRow("decimal comma") << u"7,5"_s;
    QTest::newRow("full stop") << u"7.5"_s;
}

void ConditionEditorTest::commaAndFullStopStoreTheSameNumber() {
    QFETCH(QString, typed);
    openOnNewRow();
    typeText(child<QPlainTextEdit>("eComCondition"), u"Продажа"_s);
    typeText(child<QLineEdit>("ePercent"), typed);
    QCOMPARE(child<QLineEdit>("ePercent")->text(), typed);

    save();

    QVERIFY(m_prompts.shown().isEmpty());
    QVERIFY(!m_editor->isVisible());
    const auto rows = storedConditions();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][0].toLongLong(), m_airlineId);
    QCOMPARE(rows[0][2].toString(), u"7.5"_s);
    QVERIFY(rows[0][3].isNull());
    QVERIFY(rows[0][4].isNull());
    QSqlQuery query(m_folder->store().connection());
    query.exec(u"SELECT Commision FROM tbMain"_s);
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toString(), u"Продажа - 7.5%\r"_s);
}

void ConditionEditorTest::numberBoxKeys_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("sum: digits and signs") << u"eSum"_s << u"-12+3"_s << u"-12+3"_s;
    QTest::newRow("sum: no separators") << u"eSum"_s << u"1,5.0"_s << u"150"_s;
    QTest::newRow("sum: no letters") << u"eSum"_s << u"5aЯ 0"_s << u"50"_s;
    QTest::newRow("percent: comma and stop") << u"ePercent"_s << u"7,5.2"_s << u"7,5.2"_s;
    QTest::newRow("percent: no letters, no blank") << u"ePercent"_s << u"1e 2%"_s << u"12"_s;
}

void ConditionEditorTest::numberBoxKeys() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    openOnNewRow();
    QTest::mouseClick(child<QCheckBox>("cbPercent"), Qt::LeftButton);
    if (box == u"ePercent")
        QTest::mouseClick(child<QCheckBox>("cbPercent"), Qt::LeftButton);
    QLineEdit* edit = child<QLineEdit>(box.toLatin1().constData());
    for (const QChar c : typed)
        typeText(edit, QString(c));
    QCOMPARE(edit->text(), shown);
}

void ConditionEditorTest::remarksKeys_data() {
    QTest::addColumn<QString>("character");
    QTest::addColumn<bool>("accepted");
    for (const QChar c : u"[]^`{}~аяжм"_s)
        QTest::addRow("dropped U+%04X", c.unicode()) << QString(c) << false;
    for (const QChar c : u"\\|ЯЖёЁAz09;:/*-_ \"'@#$%&()+=<>?!"_s)
        QTest::addRow("accepted U+%04X", c.unicode()) << QString(c) << true;
}

void ConditionEditorTest::remarksKeys() {
    QFETCH(QString, character);
    QFETCH(bool, accepted);
    openOnNewRow();
    auto* remarks = child<QPlainTextEdit>("eRemarks");
    typeText(remarks, character);
    QCOMPARE(remarks->toPlainText(), accepted ? character : QString());
}

void ConditionEditorTest::outOfRangeSumIsRefusedAndKept() {
    openOnNewRow();
    QTest::mouseClick(child<QCheckBox>("cbPercent"), Qt::LeftButton);
    typeText(child<QLineEdit>("eSum"), u"40000"_s);
    child<QComboBox>("cbCurrency")->setCurrentIndex(0);

    save();

    QCOMPARE(m_prompts.shown().size(), 1);
    QCOMPARE(m_prompts.shown().first().kind, u"error"_s);
    QVERIFY2(m_prompts.shown().first().text.contains(u"Сумма"_s), qPrintable(m_prompts.shown().first().text));
    QVERIFY(m_prompts.shown().first().text.contains(u"32767"_s));
    QVERIFY(m_editor->isVisible());
    QCOMPARE(child<QLineEdit>("eSum")->text(), u"40000"_s);
    QCOMPARE(m_folder->store().conditions().state(), TableCursor::State::Insert);
    QVERIFY(storedConditions().isEmpty());

    child<QLineEdit>("eSum")->setText(u"4000"_s);
    save();
    QVERIFY(!m_editor->isVisible());
    QCOMPARE(storedConditions().size(), 1);
    QCOMPARE(storedConditions()[0][3].toInt(), 4000);
    QCOMPARE(storedConditions()[0][4].toString(), u"RUB"_s);
}

// A box the mode switches off is never marked and looks switched off; a box in use says
// what is wrong with what it holds.
void ConditionEditorTest::marksFollowTheMode_data() {
    QTest::addColumn<QString>("sum");      // typed in sum mode; empty: the window stays in percent mode
    QTest::addColumn<QString>("currency"); // chosen in sum mode
    QTest::addColumn<bool>("backToPercent");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QString>("reason"); // start of the tooltip
    QTest::newRow("new percent condition: the switched-off sum")
        << QString() << QString() << false << u"eSum"_s << QString() << u"Сумма комиссии"_s;
    QTest::newRow("sum outside the field's range")
        << u"40000"_s << u"EUR"_s << false << u"eSum"_s << u"error"_s
        << u"Ошибка: вне допустимого диапазона \u221232768…32767: условие не сохранится"_s;
    QTest::newRow("sign without digits") << u"-"_s << u"EUR"_s << false << u"eSum"_s << u"error"_s
                                         << u"Ошибка: не является целым числом: условие не сохранится"_s;
    QTest::newRow("sum in range") << u"4000"_s << u"RUB"_s << false << u"eSum"_s << QString() << u"Сумма комиссии"_s;
    QTest::newRow("short length") << u"20"_s << u"USD"_s << false << u"seValLen"_s << u"warning"_s
                                  << u"Предупреждение: ValLen 2 берёт 2 из 4 цифр суммы 20 USD в рублях"_s;
    QTest::newRow("short length, then percent mode")
        << u"20"_s << u"USD"_s << true << u"seValLen"_s << QString() << u"Поставьте здесь количество цифр"_s;
    QTest::newRow("sum outside the range, then percent mode")
        << u"40000"_s << u"EUR"_s << true << u"eSum"_s << QString() << u"Сумма комиссии"_s;
}

void ConditionEditorTest::marksFollowTheMode() {
    QFETCH(QString, sum);
    QFETCH(QString, currency);
    QFETCH(bool, backToPercent);
    QFETCH(QString, box);
    QFETCH(QString, mark);
    QFETCH(QString, reason);
    openOnNewRow();
    if (!sum.isEmpty()) {
        QTest::mouseClick(child<QCheckBox>("cbPercent"), Qt::LeftButton);
        typeText(child<QLineEdit>("eSum"), sum);
        child<QComboBox>("cbCurrency")->setCurrentText(currency);
    }
    if (backToPercent)
        QTest::mouseClick(child<QCheckBox>("cbPercent"), Qt::LeftButton);

    auto* marked = child<QWidget>(box.toLatin1().constData());
    QCOMPARE(marked->property("finding").toString(), mark);
    QVERIFY2(marked->toolTip().startsWith(reason), qPrintable(marked->toolTip()));
    if (marked->isEnabled())
        return;
    // What the user sees: the colour of a switched-off box, no frame drawn over it.
    QVERIFY(marked->styleSheet().isEmpty());
    QCOMPARE(mostCommonColour(marked->grab().toImage()), QColor(0xD4, 0xD0, 0xC8));
}

void ConditionEditorTest::overlongTextIsRefusedAndKept_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::newRow("remarks") << u"Ремарки"_s << QString(256, u'R');
    QTest::newRow("currency") << u"Валюта"_s << u"EURO"_s;
    QTest::newRow("fee") << u"Сбор"_s << QString(300, u'1');
}

void ConditionEditorTest::overlongTextIsRefusedAndKept() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    openOnNewRow();
    QTest::mouseClick(child<QCheckBox>("cbPercent"), Qt::LeftButton);
    typeText(child<QLineEdit>("eSum"), u"500"_s);
    child<QComboBox>("cbCurrency")->setCurrentIndex(1);
    // Pasted, as a typed text this long would be.
    if (field == u"Ремарки")
        child<QPlainTextEdit>("eRemarks")->insertPlainText(text);
    else if (field == u"Валюта")
        child<QComboBox>("cbCurrency")->lineEdit()->insert(text);
    else
        child<QLineEdit>("eFee")->insert(text);
    const QString currency = child<QComboBox>("cbCurrency")->currentText();

    save();

    QCOMPARE(m_prompts.shown().size(), 1);
    QVERIFY2(m_prompts.shown().first().text.contains(u"«%1»"_s.arg(field)), qPrintable(m_prompts.shown().first().text));
    QVERIFY(m_editor->isVisible());
    QCOMPARE(child<QPlainTextEdit>("eRemarks")->toPlainText().size(), field == u"Ремарки" ? 256 : 0);
    QCOMPARE(child<QComboBox>("cbCurrency")->currentText(), currency);
    QCOMPARE(child<QLineEdit>("eFee")->text().size(), field == u"Сбор" ? 300 : 0);
    QVERIFY(storedConditions().isEmpty());
}

void ConditionEditorTest::switchingToPercentKeepsLength() {
    ConditionRecord condition = sumCondition(u"A"_s, 500, u"EUR"_s);
    condition.valLen = 5;
    m_airlineId = addAirline(m_folder->store(), airline(u"SU"_s, u"Аэрофлот"_s), {condition});
    openOnFirstCondition();
    QCOMPARE(child<QSpinBox>("seValLen")->value(), 5);
    QTest::mouseClick(child<QCheckBox>("cbPercent"), Qt::LeftButton);
    typeText(child<QLineEdit>("ePercent"), u"3"_s);

    save();

    const auto rows = storedConditions();
    QCOMPARE(rows[0][2].toString(), u"3"_s);
    QVERIFY(rows[0][3].isNull());
    QVERIFY(rows[0][4].isNull());
    QCOMPARE(rows[0][6].toInt(), 5);
}

void ConditionEditorTest::typedCurrencyIsStoredAsTyped() {
    openOnNewRow();
    QTest::mouseClick(child<QCheckBox>("cbPercent"), Qt::LeftButton);
    typeText(child<QLineEdit>("eSum"), u"100"_s);
    typeText(child<QComboBox>("cbCurrency")->lineEdit(), u"CHF"_s);
    child<QSpinBox>("seValLen")->setValue(7);

    save();

    const auto rows = storedConditions();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][4].toString(), u"CHF"_s);
    QCOMPARE(rows[0][6].toInt(), 7);
    QVERIFY(rows[0][2].isNull());
}

void ConditionEditorTest::cancelAfterAddLeavesNoRow() {
    openOnNewRow();
    typeText(child<QLineEdit>("ePercent"), u"5"_s);
    QTest::mouseClick(child<QPushButton>("btnCancel"), Qt::LeftButton);
    QVERIFY(!m_editor->isVisible());
    QCOMPARE(m_folder->store().conditions().recordCount(), 0);
    QCOMPARE(m_folder->store().conditions().state(), TableCursor::State::Browse);
    QVERIFY(storedConditions().isEmpty());
}

void ConditionEditorTest::cancelAfterEditRestoresValues_data() {
    QTest::addColumn<bool>("byFrame");
    QTest::newRow("Отмена") << false;
    QTest::newRow("frame close") << true;
}

void ConditionEditorTest::cancelAfterEditRestoresValues() {
    QFETCH(bool, byFrame);
    ConditionRecord condition = percentCondition(u"Продажа"_s, "7.5");
    condition.remarks = u"RM X"_s;
    m_airlineId = addAirline(m_folder->store(), airline(u"SU"_s, u"Аэрофлот"_s), {condition});
    const auto before = storedConditions();
    openOnFirstCondition();
    child<QLineEdit>("ePercent")->setText(u"9"_s);
    typeText(child<QPlainTextEdit>("eRemarks"), u"Y"_s);
    typeText(child<QPlainTextEdit>("eComCondition"), u" и обмен"_s);

    if (byFrame)
        m_editor->close();
    else
        QTest::mouseClick(child<QPushButton>("btnCancel"), Qt::LeftButton);

    QVERIFY(!m_editor->isVisible());
    QCOMPARE(m_folder->store().conditions().state(), TableCursor::State::Browse);
    QCOMPARE(m_folder->store().conditions().text(u"ComPCT"), u"7.5"_s);
    QCOMPARE(m_folder->store().conditions().text(u"ComCondition"), u"Продажа"_s);
    QCOMPARE(storedConditions(), before);
}

void ConditionEditorTest::focusOrderAndAccessibleNames() {
    openOnNewRow();
    const QStringList expected{u"eSum"_s,     u"ePercent"_s, u"cbCurrency"_s, u"seValLen"_s,     u"eFee"_s,
                               u"eComFrom"_s, u"eComTill"_s, u"eRemarks"_s,   u"eComCondition"_s};
    QStringList order;
    QWidget* widget = child<QWidget>("eSum");
    do {
        if (expected.contains(widget->objectName()) && !order.contains(widget->objectName()))
            order << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != child<QWidget>("eSum"));
    QCOMPARE(order, expected);
    QVERIFY(!(child<QCheckBox>("cbPercent")->focusPolicy() & Qt::TabFocus));

    for (QWidget* control : m_editor->findChildren<QWidget*>()) {
        // A label is named by its own text.
        if (control->objectName().isEmpty() || control->objectName().startsWith(u"qt_") || control->inherits("QLabel"))
            continue;
        QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
    }
    QCOMPARE(child<QWidget>("seValLen")->toolTip(),
             u"Поставьте здесь количество цифр \nрублевого эквивалента из запроса \nFQC"_s);
    QCOMPARE(child<QWidget>("gbRemarks")->toolTip(), u"Соблюдайте формат команд Амадеуса!"_s);
    QCOMPARE(m_editor->windowTitle(), u"Правило начисления комиссии"_s);
    QCOMPARE(m_editor->size(), QSize(344, 439));
}

void ConditionEditorTest::daysInForceAreShownAndSaved() {
    m_airlineId = addAirline(m_folder->store(), airline(u"SU"_s, u"Аэрофлот"_s),
                             {testing::inForce(percentCondition(u"весна"_s, "7.5"), QDate(2027, 3, 1), {})});
    openOnFirstCondition();
    auto* from = child<OptionalDateEdit>("eComFrom");
    auto* till = child<OptionalDateEdit>("eComTill");
    QCOMPARE(from->optionalDate(), QDate(2027, 3, 1));
    QVERIFY(till->isEmpty());

    from->setOptionalDate({});
    till->setOptionalDate(QDate(2028, 2, 29));
    save();
    QVERIFY(m_prompts.shown().isEmpty());
    QSqlQuery query(m_folder->store().connection());
    QVERIFY(query.exec(u"SELECT ComFrom, ComTill FROM tbComm"_s) && query.next());
    QVERIFY(query.isNull(0));
    QCOMPARE(query.value(1).toString(), u"2028-02-29"_s);
    // The grid's summary shows the last day.
    QVERIFY(m_folder->store().airlines().text(u"Commision").contains(u"весна - 7.5% по 29.02.2028"_s));
}

void ConditionEditorTest::lastDayBeforeTheFirstIsRefused() {
    openOnNewRow();
    typeText(child<QLineEdit>("ePercent"), u"5"_s);
    child<OptionalDateEdit>("eComFrom")->setOptionalDate(QDate(2027, 3, 1));
    child<OptionalDateEdit>("eComTill")->setOptionalDate(QDate(2027, 2, 28));
    save();
    QCOMPARE(m_prompts.shown().size(), 1);
    QCOMPARE(m_prompts.shown().first().text, u"Условие не может действовать по 28.02.2027: это раньше, чем первый "
                                             u"день «действует с» 01.03.2027. Исправьте одну из дат."_s);
    QVERIFY(m_editor->isVisible());
    QVERIFY(storedConditions().isEmpty());
}

} // namespace tarvex

QTEST_MAIN(tarvex::ConditionEditorTest)
#include "tst_conditioneditor.moc"
