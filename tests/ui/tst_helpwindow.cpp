#include "support/registerfixture.h"
#include "ui/accessibility.h"
#include "ui/helpwindow.h"
#include "ui/scriptedprompts.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

using namespace tarvex;
using namespace tarvex::testing;
using namespace Qt::StringLiterals;

namespace {

const QString kShippedHelpPage = QStringLiteral(TARVEX_TEST_DATA_DIR "/../../resources/Tarvex_Help.html");

// Every in-page link target and every anchor name of a document.
struct Anchors {
    QStringList linkTargets;
    QStringList names;
};

Anchors anchorsOf(const QTextDocument& document) {
    Anchors anchors;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextCharFormat format = fragment.fragment().charFormat();
            const QString href = format.anchorHref();
            if (href.startsWith(u'#'))
                anchors.linkTargets << href.mid(1);
            anchors.names << format.anchorNames();
        }
    }
    return anchors;
}

} // namespace

class TestHelpWindow : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        m_prompts.clear();
        m_window = std::make_unique<HelpWindow>(m_dir->path() + u"/Tarvex_Help.html"_s, m_prompts);
    }
    void cleanup() {
        m_window.reset();
        m_dir.reset();
    }

    void missingFileIsReported() {
        m_window->openHelp(nullptr);
        QCOMPARE(m_prompts.shown().size(), 1);
        QCOMPARE(m_prompts.shown().first().kind, u"message"_s);
        QCOMPARE(m_prompts.shown().first().text, u"Файл справки Tarvex_Help.html\r\nне найден в каталоге программы"_s);
        QVERIFY(!m_window->isVisible());
    }

    void pageIsShownAndClosed() {
        writeFile(m_window->helpFilePath(), "<html><head><meta charset=\"utf-8\"><title>t</title></head>"
                                            "<body><h1>Справка</h1><p>Первая страница</p></body></html>");
        m_window->openHelp(nullptr);
        QVERIFY(m_prompts.shown().isEmpty());
        QVERIFY(m_window->isVisible());
        QCOMPARE(m_window->windowTitle(), u"Справка по программе Tarvex"_s);
        auto* browser = m_window->findChild<QTextBrowser*>(u"helpBrowser"_s);
        QVERIFY(browser);
        QCOMPARE(browser->source(), QUrl::fromLocalFile(m_window->helpFilePath()));
        QVERIFY(browser->toPlainText().contains(u"Первая страница"_s));
        QCOMPARE(spokenName(m_window.get()), m_window->windowTitle());
        QVERIFY(!spokenName(browser).isEmpty());

        QVERIFY(m_window->close());
        QVERIFY(!m_window->isVisible());
        // The main window alone decides when the program ends.
        QVERIFY(!m_window->testAttribute(Qt::WA_QuitOnClose));
    }

    void shippedPageLoadsWithWorkingInPageLinks() {
        QVERIFY(QFile::copy(kShippedHelpPage, m_window->helpFilePath()));
        m_window->openHelp(nullptr);
        QVERIFY(m_prompts.shown().isEmpty());
        auto* browser = m_window->findChild<QTextBrowser*>(u"helpBrowser"_s);
        QCOMPARE(browser->documentTitle(), u"Справка по программе Tarvex"_s);
        const Anchors anchors = anchorsOf(*browser->document());
        QVERIFY(anchors.linkTargets.size() >= 8);
        for (const QString& target : anchors.linkTargets)
            QVERIFY2(anchors.names.contains(target), qPrintable(u"no anchor named "_s + target));
        QVERIFY(browser->openExternalLinks());
    }

    // Each message the program can show is explained on the page.
    void shippedPageExplainsTheMessages_data() {
        QTest::addColumn<QString>("message");
        for (const char* message :
             {"Файл защищен от записи", "Включать ремарки?", "Удаление авиакомпании", "Удаление условия",
              "Удалить строку условия?", "Установите процент", "Укажите сумму", "Выберите валюту",
              "Настройки сохранены.", "Unable to write to", "Cannot create file", "не найден в каталоге",
              "Процесс завершён. Выберите действие -", "Файл справки Tarvex_Help.html",
              "Создан новый пустой реестр авиакомпаний", "~/.local/share/tarvex", "XDG_DATA_HOME"})
            QTest::newRow(message) << QString::fromUtf8(message);
    }
    void shippedPageExplainsTheMessages() {
        QFETCH(QString, message);
        QTextDocument page;
        page.setHtml(QString::fromUtf8(readFile(kShippedHelpPage)));
        QVERIFY(page.toPlainText().contains(message));
    }

    // No window offers the Smart Key: the page says how it is made instead.
    void shippedPageSaysHowTheSmartKeyIsMade() {
        QTextDocument page;
        page.setHtml(QString::fromUtf8(readFile(kShippedHelpPage)));
        QVERIFY(!page.toPlainText().contains(u"только через «Генерировать всё»"_s));
        bool told = false;
        for (QTextBlock block = page.begin(); block.isValid(); block = block.next()) {
            const QString text = block.text();
            told = told || (text.contains(u"Amadeus Vista"_s) && text.contains(u"[group]"_s) &&
                            text.contains(u"options.ini"_s) && text.contains(u"cbSK"_s) &&
                            text.contains(u"tarvex-cli generate smartkey"_s));
        }
        QVERIFY(told);
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedPrompts m_prompts;
    std::unique_ptr<HelpWindow> m_window;
};

QTEST_MAIN(TestHelpWindow)
#include "tst_helpwindow.moc"
