#include "common/systemerror.h"
#include "settings/inifile.h"
#include "settings/settingserror.h"
#include "support/filesizelimit.h"
#include "support/unprivilegeduser.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <memory>
#include <optional>

#include <sys/mount.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using tarvex::IniEntry;
using tarvex::IniFile;
using tarvex::SettingsError;
using tarvex::systemErrorText;
using tarvex::testing::FileSizeLimit;
using tarvex::testing::UnprivilegedUser;

namespace {

QString fixturePath(const QString& name) {
    return QStringLiteral(TARVEX_TEST_DATA_DIR "/settings/") + name;
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

// A settings file of about `size` bytes: a params section and many keys of a hand-kept section.
QByteArray settingsOfSize(qsizetype size) {
    QByteArray bytes = "[params]\r\nheader=old\r\n[notes]\r\n";
    for (int key = 1; bytes.size() < size; ++key)
        bytes += "note" + QByteArray::number(key) + "=" + QByteArray(60, 'n') + "\r\n";
    return bytes;
}

// A small tmpfs mounted on a folder for as long as the object lives, where the system allows mounting.
class SmallDevice {
public:
    explicit SmallDevice(const QString& folder)
        : m_folder(QFile::encodeName(folder)) {
        m_mounted = ::mount("tarvex-test", m_folder.constData(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallDevice() {
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    SmallDevice(const SmallDevice&) = delete;
    SmallDevice& operator=(const SmallDevice&) = delete;

    bool isMounted() const { return m_mounted; }

private:
    QByteArray m_folder;
    bool m_mounted = false;
};

} // namespace

class TestIniFile : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void readsHandEditedFile_data();
    void readsHandEditedFile();
    void readsFlags_data();
    void readsFlags();
    void readsIntegers_data();
    void readsIntegers();
    void readsSectionLinesInFileOrder();
    void missingFileReadsDefaults();
    void cutsLongValues_data();
    void cutsLongValues();
    void readsWindows1251File();
    void readsAndKeepsMarkedEncodings_data();
    void readsAndKeepsMarkedEncodings();
    void encodingThatCannotBeReadIsNamed_data();
    void encodingThatCannotBeReadIsNamed();

    void editsHandEditedFileInPlace_data();
    void editsHandEditedFileInPlace();
    void writesSmallCases_data();
    void writesSmallCases();
    void erasesEverySectionOfTheName();
    void cyrillicValueRoundTrips();
    void failedWriteLeavesFileAndNamesIt_data();
    void failedWriteLeavesFileAndNamesIt();
    void writeFailingPartWayKeepsThePreviousFile_data();
    void writeFailingPartWayKeepsThePreviousFile();
    void fullDeviceKeepsThePreviousFileAndSaysSo();
    void fileThatCannotBeReadIsAnError_data();
    void fileThatCannotBeReadIsAnError();

private:
    QString tempPath(const QString& name) const { return m_dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestIniFile::readsHandEditedFile_data() {
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    QTest::newRow("blanks around value cut") << u"params"_s << u"header"_s << u"Офис 1 | касса"_s;
    QTest::newRow("names without case") << u"PARAMS"_s << u"Header"_s << u"Офис 1 | касса"_s;
    QTest::newRow("cyrillic names without case") << u"настройки"_s << u"ПУТЬ"_s << u"/srv/Файлы"_s;
    QTest::newRow("value after first equals") << u"params"_s << u"formula"_s << u"a=b=c"_s;
    QTest::newRow("first duplicate key wins") << u"params"_s << u"dup"_s << u"first"_s;
    QTest::newRow("empty value is not the default") << u"script"_s << u"path"_s << QString();
    QTest::newRow("first duplicate section wins") << u"params"_s << u"extra"_s << u"(default)"_s;
    QTest::newRow("line without equals is no key") << u"params"_s << u"a line without equals"_s << u"(default)"_s;
    QTest::newRow("comment is no key") << u"params"_s << u"; indented comment"_s << u"(default)"_s;
    QTest::newRow("key before any section") << QString() << u"top"_s << u"(default)"_s;
    QTest::newRow("missing key") << u"xls"_s << u"name"_s << u"(default)"_s;
    QTest::newRow("missing section") << u"flow"_s << u"date"_s << u"(default)"_s;
}

void TestIniFile::readsHandEditedFile() {
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);

    const IniFile ini(fixturePath(u"hand-edited.ini"_s));
    QCOMPARE(ini.readText(section, key, u"(default)"_s), expected);
}

void TestIniFile::readsFlags_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("on");

    QTest::newRow("1") << u"date=1"_s << true;
    QTest::newRow("1 with blanks") << u"date = 1 "_s << true;
    QTest::newRow("0") << u"date=0"_s << false;
    QTest::newRow("2") << u"date=2"_s << false;
    QTest::newRow("word") << u"date=yes"_s << false;
    QTest::newRow("empty") << u"date="_s << false;
    QTest::newRow("missing") << u"name=1"_s << false;
}

void TestIniFile::readsFlags() {
    QFETCH(QString, key);
    QFETCH(bool, on);

    writeBytes(tempPath(u"flags.ini"_s), ("[xls]\n" + key + "\n").toUtf8());
    QCOMPARE(IniFile(tempPath(u"flags.ini"_s)).readFlag(u"xls", u"date"), on);
}

void TestIniFile::readsIntegers_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("expected");

    QTest::newRow("digits") << u"12"_s << 12;
    QTest::newRow("blanks around") << u"  24\t"_s << 24;
    QTest::newRow("plus sign") << u"+7"_s << 7;
    QTest::newRow("minus sign") << u"-3"_s << -3;
    QTest::newRow("lowest int") << u"-2147483648"_s << -2147483647 - 1;
    QTest::newRow("overflow") << u"2147483648"_s << 8;
    QTest::newRow("letters") << u"abc"_s << 8;
    QTest::newRow("trailing letters") << u"12pt"_s << 8;
    QTest::newRow("hex") << u"0x10"_s << 8;
    QTest::newRow("inner blank") << u"1 2"_s << 8;
    QTest::newRow("sign only") << u"-"_s << 8;
    QTest::newRow("empty") << QString() << 8;
}

void TestIniFile::readsIntegers() {
    QFETCH(QString, value);
    QFETCH(int, expected);

    writeBytes(tempPath(u"numbers.ini"_s), ("[params]\nmainfont=" + value + "\n").toUtf8());
    QCOMPARE(IniFile(tempPath(u"numbers.ini"_s)).readInteger(u"params", u"mainfont", 8), expected);
}

void TestIniFile::readsSectionLinesInFileOrder() {
    const IniFile ini(fixturePath(u"hand-edited.ini"_s));
    const QList<IniEntry> expected{
        {u"7"_s, u"cbSFrmk"_s}, {u"3"_s, u"cbCSV"_s}, {u"x"_s, u"cbSFrmk"_s}, {QString(), u"cbSK"_s}};
    QCOMPARE(ini.readSectionLines(u"Group"), expected);

    const QList<IniEntry> firstParams = ini.readSectionLines(u"params");
    QCOMPARE(firstParams.size(), 6);
    QCOMPARE(firstParams.last(), (IniEntry{u"Dup"_s, u"third"_s}));
}

void TestIniFile::missingFileReadsDefaults() {
    const IniFile ini(tempPath(u"none.ini"_s));
    QCOMPARE(ini.readText(u"params", u"header", u"title"_s), u"title"_s);
    QCOMPARE(ini.readInteger(u"params", u"mainfont", 8), 8);
    QVERIFY(!ini.readFlag(u"xls", u"date"));
    QVERIFY(ini.readSectionLines(u"group").isEmpty());
    QVERIFY(!QFile::exists(tempPath(u"none.ini"_s)));
}

void TestIniFile::cutsLongValues_data() {
    QTest::addColumn<QString>("tail"); // follows 2046 characters; the whole value has 3000
    QTest::addColumn<QString>("expected");

    QTest::newRow("cut after 2047") << u"bc"_s << QString(2046, u'a') + u'b';
    QTest::newRow("no half character") << u"\U0001F600"_s << QString(2046, u'a');
}

void TestIniFile::cutsLongValues() {
    QFETCH(QString, tail);
    QFETCH(QString, expected);

    const QString longValue = QString(2046, u'a') + tail + QString(3000 - 2046 - tail.size(), u'd');
    writeBytes(tempPath(u"long.ini"_s), ("[script]\r\nprefix=" + longValue + "\r\n").toUtf8());
    const IniFile ini(tempPath(u"long.ini"_s));

    QCOMPARE(ini.readText(u"script", u"prefix", QString()), expected);
    QCOMPARE(ini.readSectionLines(u"script").value(0).value, expected);
}

void TestIniFile::readsWindows1251File() {
    const QString text = u"[params]\r\nheader=Касса №2\r\n[Раздел]\r\nКлюч=значение\r\n"_s;
    QStringEncoder windows1251("windows-1251");
    const QByteArray bytes = windows1251(text);
    QVERIFY(!windows1251.hasError());
    writeBytes(tempPath(u"old.ini"_s), bytes);

    IniFile ini(tempPath(u"old.ini"_s));
    QCOMPARE(ini.readText(u"params", u"header", QString()), u"Касса №2"_s);
    QCOMPARE(ini.readText(u"РАЗДЕЛ", u"ключ", QString()), u"значение"_s);

    // Saving turns the old file into UTF-8 with every line kept.
    QVERIFY(ini.writeInteger(u"params", u"mainfont", 9));
    const QString edited = u"[params]\r\nheader=Касса №2\r\nmainfont=9\r\n[Раздел]\r\nКлюч=значение\r\n"_s;
    QCOMPARE(readBytes(tempPath(u"old.ini"_s)), edited.toUtf8());
}

// Windows Notepad saves "Unicode" as UTF-16 with a byte-order mark, and the old program's profile functions read
// such a file; a save keeps the file in the form it had.
void TestIniFile::readsAndKeepsMarkedEncodings_data() {
    QTest::addColumn<QByteArray>("mark");
    QTest::addColumn<QString>("encoding");
    QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF") << u"UTF-8"_s;
    QTest::newRow("UTF-16LE") << QByteArray("\xFF\xFE") << u"UTF-16LE"_s;
    QTest::newRow("UTF-16BE") << QByteArray("\xFE\xFF") << u"UTF-16BE"_s;
}

void TestIniFile::readsAndKeepsMarkedEncodings() {
    QFETCH(QByteArray, mark);
    QFETCH(QString, encoding);
    QStringEncoder encoder(qPrintable(encoding));
    const auto encoded = [&](const QString& text) { return mark + QByteArray(encoder(text)); };
    const QString path = tempPath(u"options.ini"_s);
    writeBytes(path, encoded(u"[params]\r\nheader=Касса №2\r\n[group]\r\n1=cbSF\r\n2=cbCSV\r\n"_s));

    IniFile ini(path);
    QCOMPARE(ini.readText(u"params", u"header", QString()), u"Касса №2"_s);
    QCOMPARE(ini.readSectionLines(u"group"), (QList<IniEntry>{{u"1"_s, u"cbSF"_s}, {u"2"_s, u"cbCSV"_s}}));

    QVERIFY(ini.writeInteger(u"params", u"mainfont", 9));
    QCOMPARE(readBytes(path),
             encoded(u"[params]\r\nheader=Касса №2\r\nmainfont=9\r\n[group]\r\n1=cbSF\r\n2=cbCSV\r\n"_s));
}

void TestIniFile::encodingThatCannotBeReadIsNamed_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("problem");
    QStringEncoder littleEndian(QStringEncoder::Utf16LE);
    QStringEncoder bigEndian(QStringEncoder::Utf16BE);
    const QString text = u"[group]\r\n1=cbCSV\r\n"_s;
    QTest::newRow("UTF-16LE without mark")
        << QByteArray(littleEndian(text))
        << u"файл, похоже, сохранён в кодировке UTF-16 без метки порядка байтов; сохраните его в кодировке UTF-8"_s;
    QTest::newRow("UTF-16BE without mark")
        << QByteArray(bigEndian(text))
        << u"файл, похоже, сохранён в кодировке UTF-16 без метки порядка байтов; сохраните его в кодировке UTF-8"_s;
    QTest::newRow("UTF-16 cut in a character") << QByteArray("\xFF\xFE") + QByteArray(littleEndian(text)).chopped(1)
                                               << u"файл сохранён в кодировке UTF-16 и обрывается посреди символа"_s;
}

void TestIniFile::encodingThatCannotBeReadIsNamed() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, problem);
    const QString path = tempPath(u"options.ini"_s);
    writeBytes(path, bytes);

    IniFile ini(path);
    const QString message = u"Не удалось прочитать файл настроек %1: %2"_s.arg(path, problem);
    try {
        ini.readSectionLines(u"group");
        QFAIL("a file that no encoding reads gave its lines");
    } catch (const SettingsError& error) {
        QCOMPARE(error.message(), message);
    }
    // Nor is it replaced by a file holding only the new key.
    QVERIFY(!ini.writeText(u"params", u"header", u"new"));
    QCOMPARE(ini.errorString(), u"Unable to write to %1: %2"_s.arg(path, problem));
    QCOMPARE(readBytes(path), bytes);
}

void TestIniFile::editsHandEditedFileInPlace_data() {
    QTest::addColumn<QByteArray>("lineEnd");
    QTest::newRow("LF") << QByteArray("\n");
    QTest::newRow("CR LF") << QByteArray("\r\n");
}

void TestIniFile::editsHandEditedFileInPlace() {
    QFETCH(QByteArray, lineEnd);

    const QString path = tempPath(u"edited.ini"_s);
    writeBytes(path, readBytes(fixturePath(u"hand-edited.ini"_s)).replace("\n", lineEnd));

    IniFile ini(path);
    QVERIFY(ini.writeText(u"params", u"header", u"Офис 2"));
    QVERIFY(ini.writeText(u"PARAMS", u"newkey", u"v"));
    QVERIFY(ini.writeInteger(u"params", u"dup", 5));
    QVERIFY(ini.writeText(u"flow", u"name", u"X"));
    QVERIFY(ini.eraseSection(u"group"));
    QVERIFY(ini.writeText(u"настройки", u"ПУТЬ", u"/srv/Новые"));
    QVERIFY(ini.errorString().isEmpty());

    QCOMPARE(readBytes(path), readBytes(fixturePath(u"hand-edited-after.ini"_s)).replace("\n", lineEnd));
}

void TestIniFile::writesSmallCases_data() {
    QTest::addColumn<QByteArray>("before"); // "(none)": no file
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("new file is CR LF") << QByteArray("(none)") << u"v"_s << QByteArray("[s]\r\nk=v\r\n");
    QTest::newRow("empty file") << QByteArray() << u"v"_s << QByteArray("[s]\r\nk=v\r\n");
    QTest::newRow("value replaced, blanks kept")
        << QByteArray("[s]\nk = old  \n") << u"v"_s << QByteArray("[s]\nk = v\n");
    QTest::newRow("key goes after last key")
        << QByteArray("[s]\na=1\n\n; next\n[t]\n") << u"v"_s << QByteArray("[s]\na=1\nk=v\n\n; next\n[t]\n");
    QTest::newRow("key into last line without end") << QByteArray("[s]\na=1") << u"v"_s << QByteArray("[s]\na=1\nk=v");
    QTest::newRow("section after last line without end")
        << QByteArray("[t]\r\na=1") << u"v"_s << QByteArray("[t]\r\na=1\r\n[s]\r\nk=v\r\n");
    QTest::newRow("first duplicate section written")
        << QByteArray("[s]\na=1\n[S]\nk=2\n") << u"v"_s << QByteArray("[s]\na=1\nk=v\n[S]\nk=2\n");
    QTest::newRow("lone CR line ends") << QByteArray("[s]\ra=1\r") << u"v"_s << QByteArray("[s]\ra=1\rk=v\r");
    QTest::newRow("byte-order mark kept")
        << QByteArray("\xEF\xBB\xBF[s]\nk=1\n") << u"v"_s << QByteArray("\xEF\xBB\xBF[s]\nk=v\n");
    QTest::newRow("line break cannot add lines")
        << QByteArray("[s]\nk=1\n") << u"x\r\n[group]\n1=cbSF"_s << QByteArray("[s]\nk=x  [group] 1=cbSF\n");
}

void TestIniFile::writesSmallCases() {
    QFETCH(QByteArray, before);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);

    const QString path = tempPath(u"small.ini"_s);
    if (before != "(none)")
        writeBytes(path, before);

    IniFile ini(path);
    QVERIFY(ini.writeText(u"s", u"k", value));
    QCOMPARE(readBytes(path), after);
}

void TestIniFile::erasesEverySectionOfTheName() {
    const QString path = tempPath(u"erase.ini"_s);
    writeBytes(path, "; head\n[group]\n1=cbSF\n[xls]\ndate=1\n\n[GROUP]\n2=cbCSV\n[tail]\n");

    IniFile ini(path);
    QVERIFY(ini.eraseSection(u"group"));
    QCOMPARE(readBytes(path), QByteArray("; head\n[xls]\ndate=1\n\n[tail]\n"));
    QVERIFY(ini.eraseSection(u"group"));
    QCOMPARE(readBytes(path), QByteArray("; head\n[xls]\ndate=1\n\n[tail]\n"));
}

void TestIniFile::cyrillicValueRoundTrips() {
    const QString path = tempPath(u"cyrillic.ini"_s);
    const QString title = u"Офис 2 — касса «Юг»"_s;

    IniFile ini(path);
    QVERIFY(ini.writeText(u"params", u"header", title));
    QCOMPARE(ini.readText(u"params", u"header", QString()), title);
    QCOMPARE(readBytes(path), (u"[params]\r\nheader="_s + title + u"\r\n"_s).toUtf8());
}

void TestIniFile::failedWriteLeavesFileAndNamesIt_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("reason"); // the system's error number whose text follows the path
    QTest::newRow("parent is a file") << u"parent is a file"_s << ENOTDIR;
    QTest::newRow("folder in place of the file") << u"folder"_s << EISDIR;
    QTest::newRow("read-only file") << u"read-only"_s << EACCES;
}

void TestIniFile::failedWriteLeavesFileAndNamesIt() {
    QFETCH(QString, kind);
    QFETCH(int, reason);

    const QByteArray original = "[params]\r\nheader=old\r\n";
    QString path = tempPath(u"options.ini"_s);
    if (kind == u"parent is a file") {
        writeBytes(tempPath(u"plain"_s), original);
        path = tempPath(u"plain/options.ini"_s);
    } else if (kind == u"folder") {
        QVERIFY(QDir(m_dir->path()).mkpath(u"options.ini"_s));
    } else {
        writeBytes(path, original);
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    }

    IniFile ini(path);
    const QString expectedError = u"Unable to write to %1: %2"_s.arg(path, systemErrorText(reason));
    QVERIFY(!ini.writeText(u"params", u"header", u"new"));
    QCOMPARE(ini.errorString(), expectedError);
    QVERIFY(!ini.eraseSection(u"params"));
    QCOMPARE(ini.errorString(), expectedError);
    if (kind == u"read-only") {
        QCOMPARE(readBytes(path), original);
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
        QVERIFY(ini.writeText(u"params", u"header", u"new"));
        QVERIFY(ini.errorString().isEmpty());
    }
}

void TestIniFile::writeFailingPartWayKeepsThePreviousFile_data() {
    QTest::addColumn<QByteArray>("previous");
    QTest::addColumn<int>("failsAt"); // bytes the device takes before it fails

    const QByteArray small = "[params]\r\nheader=old\r\n";
    const QByteArray large = settingsOfSize(200 * 1024); // more than any write buffer
    QTest::newRow("small file, first byte") << small << 0;
    QTest::newRow("small file, last byte") << small << int(small.size() - 1);
    QTest::newRow("large file, first byte") << large << 0;
    QTest::newRow("large file, in the middle") << large << int(large.size() / 2);
    QTest::newRow("large file, last byte") << large << int(large.size() - 1);
}

void TestIniFile::writeFailingPartWayKeepsThePreviousFile() {
    QFETCH(QByteArray, previous);
    QFETCH(int, failsAt);

    const QString path = tempPath(u"options.ini"_s);
    writeBytes(path, previous);
    IniFile ini(path);
    bool written = true;
    {
        FileSizeLimit limit(failsAt);
        QVERIFY(limit.isActive());
        written = ini.writeText(u"params", u"header", u"new"); // as long as before
    }
    QVERIFY(!written);
    QCOMPARE(ini.errorString(), u"Unable to write to %1: %2"_s.arg(path, systemErrorText(EFBIG)));
    QCOMPARE(readBytes(path), previous);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"options.ini"_s});

    // Nothing else stood in the way.
    QVERIFY(ini.writeText(u"params", u"header", u"new"));
    QCOMPARE(readBytes(path), QByteArray(previous).replace("header=old", "header=new"));
}

void TestIniFile::fullDeviceKeepsThePreviousFileAndSaysSo() {
    const SmallDevice device(m_dir->path());
    if (!device.isMounted())
        QSKIP("mounting a small tmpfs is not permitted here");
    const QString path = tempPath(u"options.ini"_s);
    const QByteArray previous = "[params]\r\nheader=old\r\n";
    writeBytes(path, previous);
    {
        QFile filler(tempPath(u"filler"_s));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        while (filler.write(QByteArray(4096, 'f')) > 0) {
        }
    }

    IniFile ini(path);
    QVERIFY(!ini.writeText(u"params", u"header", u"new"));
    QVERIFY2(ini.errorString().startsWith(u"Unable to write to "_s + path + u": "_s), qPrintable(ini.errorString()));
    // The system's words, whichever language they come in; never Qt's "Unknown error".
    QVERIFY2(ini.errorString().endsWith(u"No space left on device"_s) ||
                 ini.errorString().endsWith(systemErrorText(ENOSPC)),
             qPrintable(ini.errorString()));
    QCOMPARE(readBytes(path), previous);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), (QStringList{u"filler"_s, u"options.ini"_s}));
}

void TestIniFile::fileThatCannotBeReadIsAnError_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("folder in its place") << u"folder"_s << systemErrorText(EISDIR);
    QTest::newRow("pipe in its place") << u"pipe"_s << u"это не обычный файл"_s;
    QTest::newRow("no read permission") << u"no permission"_s << systemErrorText(EACCES);
    QTest::newRow("reading fails") << u"failing read"_s << systemErrorText(EIO);
}

void TestIniFile::fileThatCannotBeReadIsAnError() {
    QFETCH(QString, kind);
    QFETCH(QString, reason);

    const QString path = tempPath(u"options.ini"_s);
    if (kind == u"folder") {
        QVERIFY(QDir(m_dir->path()).mkdir(u"options.ini"_s));
    } else if (kind == u"pipe") {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    } else if (kind == u"no permission") {
        writeBytes(path, "[params]\r\nheader=old\r\n");
        QVERIFY(QFile::setPermissions(path, {}));
        QVERIFY(QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                         QFile::ReadOther | QFile::ExeOther));
    } else {
        // Reading this file fails in the kernel, whoever reads it.
        if (!QFile::exists(u"/proc/self/mem"_s))
            QSKIP("no /proc/self/mem here");
        QVERIFY(QFile::link(u"/proc/self/mem"_s, path));
    }

    // Root may read whatever the permission bits say.
    std::optional<UnprivilegedUser> user;
    if (kind == u"no permission")
        QVERIFY(user.emplace().isUnprivileged());
    IniFile ini(path);
    const QString message = u"Не удалось прочитать файл настроек %1: %2"_s.arg(path, reason);
    try {
        ini.readText(u"params", u"header", u"default"_s);
        QFAIL("a file that cannot be read gave a value");
    } catch (const SettingsError& error) {
        QCOMPARE(error.message(), message);
    }
    QVERIFY_THROWS_EXCEPTION(SettingsError, ini.readSectionLines(u"group"));
    QVERIFY_THROWS_EXCEPTION(SettingsError, ini.checkReadable());

    // Nor is it replaced by a file holding the one key written.
    QVERIFY(!ini.writeText(u"params", u"header", u"new"));
    QCOMPARE(ini.errorString(), u"Unable to write to %1: %2"_s.arg(path, reason));
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
