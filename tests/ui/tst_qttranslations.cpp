// Qt's own dialogs speak Russian whatever the system's language.

#include "ui/qttranslations.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

class QtTranslationsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale::c()); // the system's language must not matter
        QVERIFY2(tarvex::installQtRussian(*QCoreApplication::instance()),
                 qPrintable(u"no qtbase_ru.qm in "_s + QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    }

    // The folder chooser of the settings window, as the desktop shows it without a native dialog.
    void folderChooserIsRussian() {
        QFileDialog chooser(nullptr, u"Выбор папки"_s);
        chooser.setOption(QFileDialog::DontUseNativeDialog);
        chooser.setFileMode(QFileDialog::Directory);
        chooser.setOption(QFileDialog::ShowDirsOnly);
        QCOMPARE(chooser.findChild<QLabel*>(u"lookInLabel"_s)->text(), u"Перейти к:"_s);
        const auto* buttons = chooser.findChild<QDialogButtonBox*>();
        QCOMPARE(buttons->button(QDialogButtonBox::Open)->text(), u"&Выбрать"_s);
        QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), u"Отмена"_s);
    }

    void textBoxMenusAreRussian() { QCOMPARE(QCoreApplication::translate("QLineEdit", "&Copy"), u"&Копировать"_s); }
};

QTEST_MAIN(QtTranslationsTest)
#include "tst_qttranslations.moc"
