#include "ui/aboutdialog.h"
#include "ui/accessibility.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace tarvex;
using namespace Qt::StringLiterals;

class TestAboutDialog : public QObject {
    Q_OBJECT
private slots:
    void init() { m_dialog = std::make_unique<AboutDialog>(u"/home/agent/.local/share/tarvex/"_s); }
    void cleanup() { m_dialog.reset(); }

    void layoutAndTexts() {
        QCOMPARE(m_dialog->windowTitle(), u"О программе Tarvex"_s);
        QCOMPARE(m_dialog->size(), QSize(415, 288));
        QCOMPARE(m_dialog->minimumSize(), m_dialog->maximumSize());
        QCOMPARE(m_dialog->palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(label("lbProgramName")->text(), u"Tarvex"_s);
        QCOMPARE(label("lbProgramName")->font().pixelSize(), 40);
        QCOMPARE(label("lbPurpose")->text(), u"Программа для туристических фирм"_s);
        QCOMPARE(label("lbPurpose")->font().pixelSize(), 17);
        QCOMPARE(label("lbLogo")->geometry(), QRect(313, 8, 94, 85));
        QCOMPARE(label("lbLogo")->pixmap().size(), QSize(94, 85));
        QCOMPARE(label("lbContracts")->text(), u"Учет договоров с авиакомпаниями , единый  реестр  договоров  и\n"
                                               u"комиссий, выгрузка  этих  данных  в  системы учета посредством \n"
                                               u"экспорта в формат MS Excel.  "_s);
        QCOMPARE(label("lbAutomation")->text(), u"Автоматизация  работы  с  комиссиями  при  оформлении  билетов\n"
                                                u"в GDS  Amadeus. "_s);
        for (const char* name : {"lbContracts", "lbAutomation"}) {
            QVERIFY(label(name)->font().bold());
            QCOMPARE(label(name)->font().pointSize(), 8);
        }
        auto* close = m_dialog->findChild<QPushButton*>(u"btClose"_s);
        QCOMPARE(close->text(), u"Закрыть"_s);
        QCOMPARE(close->geometry().center().x(), m_dialog->width() / 2);
        QVERIFY(close->geometry().bottom() > m_dialog->height() - 40);
        for (QWidget* widget : m_dialog->findChildren<QWidget*>())
            QVERIFY2(!tarvex::testing::spokenName(widget).isEmpty(), qPrintable(widget->objectName()));
    }

    void versionIsShownWhenTheWindowBecomesActive() {
        QLabel* version = label("lbVersion");
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
        QCOMPARE(version->text(), u"версия - 2.6"_s);

        version->clear();
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QVERIFY(version->text().isEmpty());
        m_dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
        QCOMPARE(version->text(), u"версия - 2.6"_s);
    }

    // The whole folder when it fits, otherwise shortened in the middle; the tooltip and the
    // accessible name always carry it whole.
    void appFolderInUseIsShown_data() {
        QTest::addColumn<QString>("appDir");
        QTest::addColumn<bool>("fits");
        QTest::newRow("user's data folder") << u"/home/agent/.local/share/tarvex/"_s << true;
        QTest::newRow("long folder") << u"/srv/"_s + u"очень-длинное-имя-папки/"_s.repeated(8) << false;
    }
    void appFolderInUseIsShown() {
        QFETCH(QString, appDir);
        QFETCH(bool, fits);
        const AboutDialog dialog(appDir);
        QLabel* shown = dialog.findChild<QLabel*>(u"lbAppFolder"_s);
        QVERIFY(shown);
        const QString folder = appDir.chopped(1);
        QCOMPARE(shown->toolTip(), folder);
        QCOMPARE(shown->accessibleName(), u"Папка данных: "_s + folder);
        QVERIFY(shown->text().startsWith(u"Папка данных: /"_s));
        QCOMPARE(shown->text() == shown->accessibleName(), fits);
        if (!fits)
            QVERIFY(shown->text().contains(u'…'));
        QVERIFY(shown->fontMetrics().horizontalAdvance(shown->text()) <= shown->width());
        QVERIFY(shown->geometry().bottom() < dialog.findChild<QPushButton*>(u"btClose"_s)->geometry().top());
    }

    void closeButtonCloses() {
        m_dialog->show();
        QTest::mouseClick(m_dialog->findChild<QPushButton*>(u"btClose"_s), Qt::LeftButton);
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
    }

private:
    QLabel* label(const char* name) const {
        auto* found = m_dialog->findChild<QLabel*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no label %s", name);
        return found;
    }

    std::unique_ptr<AboutDialog> m_dialog;
};

QTEST_MAIN(TestAboutDialog)
#include "tst_aboutdialog.moc"
