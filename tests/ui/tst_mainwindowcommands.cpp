// The main window's commands, menus, toolbar, grid painting and accessible names.

#include "accessibility.h"
#include "store/registerstore.h"
#include "support/registerfixture.h"
#include "ui/airlinegriddelegate.h"
#include "ui/columnwidths.h"
#include "ui/mainwindow.h"
#include "ui/scriptedprompts.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <memory>

using namespace Qt::StringLiterals;
using namespace tarvex;
using namespace tarvex::testing;

namespace {

QStringList shownTexts(const QList<QAction*>& actions) {
    QStringList texts;
    for (const QAction* action : actions) {
        if (action->isSeparator())
            texts << u"|"_s;
        else if (action->isVisible())
            texts << action->text();
    }
    return texts;
}

} // namespace

class MainWindowCommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempAppFolder> m_folder;
    std::unique_ptr<RegisterStore> m_store;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<MainWindow> m_window;

    QAction* action(const QString& name) { return m_window->findChild<QAction*>(name); }

private slots:
    void init() {
        m_folder = std::make_unique<TempAppFolder>();
        m_store = std::make_unique<RegisterStore>();
        m_prompts = std::make_unique<ScriptedPrompts>();
        m_window = std::make_unique<MainWindow>(m_folder->appDir(), *m_store, *m_prompts);
        // Wide enough for the toolbar even where the desktop has no icons and the buttons show their captions.
        m_window->resize(1400, 516);
        m_window->show();
    }
    void cleanup() {
        m_window.reset();
        m_store.reset();
        m_prompts.reset();
        m_folder.reset();
    }

    void commandsCarryTheirTexts_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<QString>("category");
        const QString ops = u"Операции"_s;
        QTest::newRow("add") << u"acAddAirComp"_s << u"Добавить авиакомпанию"_s << u"Добавить авиакомпанию"_s << ops;
        QTest::newRow("edit") << u"acEditRules"_s << u"Редактировать правила"_s << u"Редактировать правила"_s << ops;
        QTest::newRow("delete") << u"acDelAirComp"_s << u"Удалить авиакомпанию"_s << u"Удалить авиакомпанию"_s << ops;
        QTest::newRow("smart flow") << u"acCreateSmartFlow"_s << u"Скрипт для &Amadeus SellConnect"_s
                                    << u"Сформировать правила"_s << ops;
        QTest::newRow("smart key") << u"acCreateRules"_s << u"Скрипт для A&madeus Vista"_s << u"Сформировать правила"_s
                                   << ops;
        QTest::newRow("excel") << u"acCreateExcell"_s << u"Сформировать &Excel"_s << u"Сформировать Excel"_s << ops;
        QTest::newRow("csv") << u"acExportAir"_s << u"Экспорт списка авиакомпаний"_s << u"Экспорт списка авиакомпаний"_s
                             << ops;
        QTest::newRow("all") << u"acCreateAll"_s << u"Генерировать всё"_s
                             << u"Генерировать все объекты: указанные в настройках"_s << ops;
        QTest::newRow("findings") << u"acShowFindings"_s << u"Только с замечаниями"_s
                                  << u"Показать только авиакомпании, тексты которых скрипты не передадут как задумано"_s
                                  << ops;
        QTest::newRow("ending")
            << u"acShowEnding"_s << u"Только с истекающими сроками"_s
            << u"Показать только авиакомпании, у которых договор или условие скоро кончится или уже "
               u"кончилось"_s
            << ops;
        QTest::newRow("open") << u"acCreateOpen"_s << u"Сформировать"_s << u"Сформировать"_s << ops;
        QTest::newRow("settings") << u"acSettings"_s << u"Настройки"_s << u"Настройки"_s << u"Настройки"_s;
        QTest::newRow("help") << u"acHelp"_s << u"Помощь"_s << QString() << u"Помощь"_s;
        QTest::newRow("about") << u"acAbout"_s << u"О программе"_s << u"О программе"_s << u"Помощь"_s;
        QTest::newRow("exit") << u"acExit"_s << u"Выход"_s << u"Выход"_s << QString();
    }
    void commandsCarryTheirTexts() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, hint);
        QFETCH(QString, category);
        QAction* command = action(name);
        QVERIFY(command);
        QCOMPARE(command->text(), caption);
        QCOMPARE(command->statusTip(), hint);
        if (!hint.isEmpty())
            QCOMPARE(command->toolTip(), hint);
        QCOMPARE(command->property("category").toString(), category);
        QVERIFY(command->shortcut().isEmpty());
        QCOMPARE(command->isVisible(), name != u"acCreateRules"_s);
    }

    void menusListTheCommands() {
        QMenuBar* bar = m_window->findChild<QMenuBar*>(u"ActionMainMenuBar1"_s);
        QVERIFY(bar);
        QStringList entries;
        for (QAction* entry : bar->actions())
            entries << entry->text();
        QCOMPARE(entries, QStringList({u"Операции"_s, u"Настройки"_s, u"Помощь"_s, u"Выход"_s}));
        QCOMPARE(shownTexts(bar->actions().at(0)->menu()->actions()),
                 QStringList({u"Добавить авиакомпанию"_s, u"Редактировать правила"_s, u"Удалить авиакомпанию"_s, u"|"_s,
                              u"Скрипт для &Amadeus SellConnect"_s, u"|"_s, u"Сформировать &Excel"_s,
                              u"Экспорт списка авиакомпаний"_s, u"|"_s, u"Генерировать всё"_s, u"|"_s,
                              u"Только с замечаниями"_s, u"Только с истекающими сроками"_s}));
        QCOMPARE(shownTexts(bar->actions().at(1)->menu()->actions()), QStringList({u"Настройки"_s}));
        QCOMPARE(shownTexts(bar->actions().at(2)->menu()->actions()), QStringList({u"Помощь"_s, u"О программе"_s}));
    }

    void toolbarHoldsTheCommandsAndTheSearchBox() {
        QToolBar* bar = m_window->findChild<QToolBar*>(u"ActionToolBar1"_s);
        QVERIFY(bar);
        QCOMPARE(bar->height(), 34);
        QCOMPARE(bar->iconSize(), QSize(24, 24));
        QStringList names;
        for (QAction* entry : bar->actions()) {
            if (entry->isSeparator())
                names << u"|"_s;
            else if (!entry->objectName().isEmpty())
                names << entry->objectName();
        }
        QCOMPARE(names, QStringList({u"acAddAirComp"_s, u"acEditRules"_s, u"acDelAirComp"_s, u"|"_s, u"acCreateOpen"_s,
                                     u"|"_s, u"acSettings"_s, u"acHelp"_s, u"|"_s, u"acExit"_s}));
        // The last widget of the bar is the search box.
        QWidget* last = bar->widgetForAction(bar->actions().last());
        QCOMPARE(last->objectName(), u"eSearchBox"_s);

        auto* dropDown = qobject_cast<QToolButton*>(bar->widgetForAction(action(u"acCreateOpen"_s)));
        QVERIFY(dropDown);
        QCOMPARE(dropDown->popupMode(), QToolButton::InstantPopup);
        QCOMPARE(shownTexts(action(u"acCreateOpen"_s)->menu()->actions()),
                 QStringList({u"Скрипт для Amadeus &SellConnect"_s, u"|"_s, u"Сформировать &Excel"_s,
                              u"Экспорт списка авиакомпаний"_s, u"|"_s, u"Генерировать всё"_s}));
    }

    void dropDownEntriesRunTheCommands() {
        int runs = 0;
        connect(action(u"acCreateSmartFlow"_s), &QAction::triggered, this, [&] { ++runs; });
        m_prompts->answerNext(UserPrompts::Answer::Cancel);
        QMenu* menu = action(u"acCreateOpen"_s)->menu();
        menu->actions().first()->trigger();
        QCOMPARE(runs, 1);
        QCOMPARE(m_prompts->shown().size(), 1);
    }

    void searchBoxIsDescribedAndFirst() {
        auto* box = m_window->findChild<QLineEdit*>(u"eSearchBox"_s);
        QCOMPARE(box->placeholderText(), u"поиск по контексту"_s);
        QCOMPARE(box->toolTip(), u"поиск во всех полях"_s);
        QVERIFY(box->width() >= 145);
        // The placeholder is shown whole beside the clear button: typed, it fits without scrolling.
        const auto cursorX = [box] {
            box->grab(); // painting scrolls the text to the cursor
            return box->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
        };
        box->setText(box->placeholderText());
        box->setCursorPosition(0);
        const int start = cursorX();
        box->end(false);
        QCOMPARE(cursorX() - start, box->fontMetrics().horizontalAdvance(box->text()));
        box->clear();
        QTRY_COMPARE(m_window->focusWidget(), box);
        QWidget* next = box->nextInFocusChain();
        while (next != box &&
               (!(next->focusPolicy() & Qt::TabFocus) || next->isAncestorOf(box) || box->isAncestorOf(next)))
            next = next->nextInFocusChain();
        QCOMPARE(next->objectName(), u"grMain"_s);
    }

    void everyControlHasAnAccessibleName() {
        QCoreApplication::processEvents(); // the window has settled after its first showing
        QStringList unnamed;
        const auto widgets = m_window->findChildren<QWidget*>();
        for (QWidget* widget : widgets) {
            const bool control = qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLineEdit*>(widget) ||
                                 qobject_cast<QAbstractItemView*>(widget) || qobject_cast<QMenu*>(widget) ||
                                 qobject_cast<QMenuBar*>(widget) || qobject_cast<QToolBar*>(widget);
            if (control && spokenName(widget).trimmed().isEmpty())
                unnamed << QString::fromLatin1(widget->metaObject()->className()) + u" in "_s +
                               QString::fromLatin1(widget->parent()->metaObject()->className());
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u", ")));
        QCOMPARE(spokenName(m_window->findChild<QLineEdit*>(u"eSearchBox"_s)), u"поиск во всех полях"_s);
    }

    void columnsShareTheWidthInProportion_data() {
        QTest::addColumn<int>("total");
        QTest::addColumn<QList<int>>("widths");
        QTest::newRow("design width") << 716 << QList<int>({39, 39, 155, 39, 218, 226});
        QTest::newRow("twice") << 1432 << QList<int>({78, 78, 310, 78, 436, 452});
        // 700/716 of each design width, rounded; the last takes the rest.
        QTest::newRow("narrower") << 700 << QList<int>({38, 38, 152, 38, 213, 221});
        QTest::newRow("nothing") << 0 << QList<int>({0, 0, 0, 0, 0, 0});
    }
    void columnsShareTheWidthInProportion() {
        QFETCH(int, total);
        QFETCH(QList<int>, widths);
        QCOMPARE(proportionalWidths({39, 39, 155, 39, 218, 226}, total), widths);
    }

    void markStandsInTheMiddleOfTheCell_data() {
        QTest::addColumn<QRect>("cell");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("design cell") << QRect(0, 0, 39, 34) << QPoint(12, 9); // 11.5 rounds up
        QTest::newRow("moved") << QRect(100, 68, 40, 34) << QPoint(112, 77);
    }
    void markStandsInTheMiddleOfTheCell() {
        QFETCH(QRect, cell);
        QFETCH(QPoint, topLeft);
        QCOMPARE(AirlineGridDelegate::markRect(cell), QRect(topLeft, QSize(16, 16)));
    }

    void summaryLinesShowOnLinesOfTheirOwn() {
        const QChar br = QChar::LineSeparator;
        QCOMPARE(linesForDisplay(u"5% все рейсы\r10 EUR бизнес\r"_s), u"5% все рейсы"_s + br + u"10 EUR бизнес"_s);
        QCOMPARE(linesForDisplay(u"одна строка"_s), u"одна строка"_s);
        QCOMPARE(linesForDisplay(u"a\r\nb"_s), u"a"_s + br + u"b"_s);
    }
};

QTEST_MAIN(MainWindowCommandsTest)
#include "tst_mainwindowcommands.moc"
