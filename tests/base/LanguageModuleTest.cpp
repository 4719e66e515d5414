#include "base/TBaseObserver.h"
#include "base/TLanguageFile.h"
#include "base/TLanguageModule.h"
#include "base/TLogger.h"
#include "base/TNamedTexts.h"

#include "QStringPrinter.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

#include "common/EnglishTexts.h"
#include "common/LogCapture.h"

#include <gtest/gtest.h>

#include <memory>

// Stand-ins for a window and a page: translation keys begin with the class name, and a page owns
// the objects inside it.
class TfrmLanguageTest : public QObject
{
    Q_OBJECT
};

class TfraLanguagePage : public QObject
{
    Q_OBJECT
};

class TfrmChildWindow : public QObject
{
    Q_OBJECT
};

namespace {

using lumivar::test::LogCapture;

QByteArray utf8Bom(const QString& text)
{
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

QByteArray utf16LeBom(const QString& text)
{
    QByteArray bytes("\xFF\xFE");
    for (const QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

QObject* child(QObject* parent, const char* name, const char* text = nullptr)
{
    auto* object = new QObject(parent);
    object->setObjectName(QString::fromLatin1(name));
    if (text)
        object->setProperty("text", QString::fromUtf8(text));
    return object;
}

class LanguageFolder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        TNamedTexts::Register(
            { { "_rsTestWindowStatus", "Bereit" }, { "_rsTestOnlyGerman", "Nur Deutsch" } });
        TNamedTexts::ResetToDefaults();
    }
    void TearDown() override { TNamedTexts::ResetToDefaults(); }

    void write(const QString& name, const QByteArray& bytes) const
    {
        QFile file(m_dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    void writeEnglish(const QString& name = QStringLiteral("English.txt")) const
    {
        write(name,
            utf8Bom(QStringLiteral("!LanguageID=1033\r\n"
                                   "!LanguageName=English (USA)\r\n"
                                   "_rsConnectedWith=connected with %s\r\n"
                                   "_rsTestWindowStatus=Ready\r\n"
                                   "TfrmLanguageTest.Caption=Settings\r\n"
                                   "TfrmLanguageTest.btnWrite.Caption=Write\r\n"
                                   "TfrmLanguageTest.btnWrite.Hint=Write the settings\r\n"
                                   "TfrmLanguageTest.lblInside.Caption=Inside a container\r\n"
                                   "TfrmLanguageTest.edtHost.TextHint=Camera address\r\n"
                                   "TfrmLanguageTest.cbxMode.Items.Item0=Single\r\n"
                                   "TfrmLanguageTest.cbxMode.Items.Item2=Timer\r\n"
                                   "TfrmLanguageTest.fraImport.Caption=Import page\r\n"
                                   "TfrmLanguageTest.fraImport.btnImport.Caption=Import\r\n"
                                   "TfrmLanguageTest.btnImport.Caption=wrong owner\r\n"
                                   "TfrmLanguageTest.frmChild.btnClose.Caption=wrong window\r\n")));
    }
    void writeFrench() const
    {
        write(QStringLiteral("French.txt"),
            QByteArray("!LanguageID=1036\r\n!LanguageName=Fran\xE7"
                       "ais\r\n"
                       "TfrmLanguageTest.Caption=Param\xE8tres\r\n"
                       "_rsConnectedWith=connect\xE9 \xE0 %s\r\n"));
    }
    QString path() const { return m_dir.path(); }

    QTemporaryDir m_dir;
};

} // namespace

TEST(TLanguageFile, ReadsAnsiUtf8AndUtf16WithByteOrderMark)
{
    const QString content
        = QStringLiteral("!LanguageID=1031\r\n!LanguageName=Deutsch\r\nkey=Grüße ü € „x“\r\n");
    // Windows-1252: ü 0xFC, ß 0xDF, € 0x80, „ 0x84, “ 0x93.
    const QByteArray ansi("!LanguageID=1031\r\n!LanguageName=Deutsch\r\nkey=Gr\xFC\xDF"
                          "e \xFC \x80 \x84x\x93\r\n");
    const struct
    {
        QByteArray bytes;
        TLanguageFile::Encoding encoding;
    } cases[] = {
        { ansi, TLanguageFile::Encoding::Ansi },
        { utf8Bom(content), TLanguageFile::Encoding::Utf8 },
        { utf16LeBom(content), TLanguageFile::Encoding::Utf16LE },
    };
    for (const auto& c : cases) {
        TLanguageFile file;
        ASSERT_TRUE(file.Parse(c.bytes));
        EXPECT_EQ(file.FileEncoding(), c.encoding);
        EXPECT_TRUE(file.HasLanguageId());
        EXPECT_EQ(file.LanguageId(), 1031u);
        EXPECT_EQ(file.LanguageName(), QStringLiteral("Deutsch"));
        EXPECT_EQ(file.Texts().value(QStringLiteral("key")), QStringLiteral("Grüße ü € „x“"));
        EXPECT_EQ(file.BrokenLines(), 0);
    }
}

TEST(TLanguageFile, HeaderKeysLineBreaksAndValues)
{
    TLanguageFile file;
    ASSERT_TRUE(file.Parse(utf8Bom(QStringLiteral("!LanguageID=1033\n"
                                                  "!LanguageName=English (USA)\n"
                                                  "!TranslationAuthor=Jane Doe\n"
                                                  "!TranslationAuthorEmail=jane@example.com\n"
                                                  "!TranslationDefaultFont=Tahoma,8\n"
                                                  "\n"
                                                  "  multi  =First line<BR>second<br>third\n"
                                                  "equation=a=b\n"
                                                  "empty=\n"
                                                  "twice=first\n"
                                                  "twice=second\n"))));
    EXPECT_EQ(file.LanguageId(), 1033u);
    EXPECT_EQ(file.LanguageName(), QStringLiteral("English (USA)"));
    EXPECT_EQ(file.TranslationAuthor(), QStringLiteral("Jane Doe"));
    EXPECT_EQ(file.TranslationAuthorEmail(), QStringLiteral("jane@example.com"));
    EXPECT_EQ(file.TranslationDefaultFont(), QStringLiteral("Tahoma,8"));
    EXPECT_EQ(file.Texts().value(QStringLiteral("multi")), QStringLiteral("First line\nsecond\nthird"));
    EXPECT_EQ(file.Texts().value(QStringLiteral("equation")), QStringLiteral("a=b"));
    EXPECT_TRUE(file.Texts().contains(QStringLiteral("empty")));
    EXPECT_EQ(file.Texts().value(QStringLiteral("twice")), QStringLiteral("first"));
    EXPECT_FALSE(file.Texts().contains(QStringLiteral("!LanguageID")));
    EXPECT_EQ(file.BrokenLines(), 0);
}

TEST(TLanguageFile, BrokenLinesAreSkippedAndLogged)
{
    LogCapture log;
    TLanguageFile file;
    ASSERT_TRUE(file.Parse(QByteArray("!LanguageID=1033\r\nno separator here\r\n=value without key\r\n"
                                      "   =blank key\r\ngood=kept\r\n!LanguageID=English\r\n"),
        QStringLiteral("Broken.txt")));
    EXPECT_EQ(file.BrokenLines(), 3);
    EXPECT_EQ(file.Texts().size(), 1);
    EXPECT_EQ(file.Texts().value(QStringLiteral("good")), QStringLiteral("kept"));
    EXPECT_EQ(file.LanguageId(), 1033u);
    EXPECT_TRUE(log.contains(QStringLiteral("Broken.txt: line 2 ")));
    EXPECT_TRUE(log.contains(QStringLiteral("Broken.txt: line 4 ")));
    EXPECT_TRUE(log.contains(QStringLiteral("\"English\" is no language identifier")))
        << log.all().toStdString();
}

TEST(TLanguageFile, WrongEncodingsAndBinaryDataNeverCrash)
{
    LogCapture log;
    {
        // A binary file (here with NUL bytes) is refused as a whole.
        QByteArray binary(4096, '\0');
        QRandomGenerator random(42);
        for (char& c : binary)
            c = char(random.bounded(256));
        binary[100] = '\0';
        TLanguageFile file;
        EXPECT_FALSE(file.Parse(binary, QStringLiteral("Picture.txt")));
        EXPECT_TRUE(file.Texts().isEmpty());
        EXPECT_TRUE(log.contains(QStringLiteral("Picture.txt: not a text file")));
    }
    {
        // UTF-16 without its mark looks like text with NUL bytes.
        QByteArray utf16 = utf16LeBom(QStringLiteral("!LanguageID=1033\r\nkey=value\r\n")).sliced(2);
        TLanguageFile file;
        EXPECT_FALSE(file.Parse(utf16, QStringLiteral("NoMark.txt")));
    }
    {
        // Random high bytes without NUL read as Windows-1252: lines are skipped or kept, nothing else.
        QByteArray noise(8192, 'x');
        QRandomGenerator random(7);
        for (char& c : noise)
            c = char(1 + random.bounded(255));
        TLanguageFile file;
        EXPECT_TRUE(file.Parse(noise, QStringLiteral("Noise.txt")));
    }
    {
        // A mark that promises UTF-8 over bytes that are not: the readable lines survive.
        TLanguageFile file;
        EXPECT_TRUE(file.Parse(QByteArray("\xEF\xBB\xBF!LanguageID=1033\nbad=\xC3\x28\xFF\ngood=ok\n"),
            QStringLiteral("BadUtf8.txt")));
        EXPECT_EQ(file.LanguageId(), 1033u);
        EXPECT_EQ(file.Texts().value(QStringLiteral("good")), QStringLiteral("ok"));
        EXPECT_TRUE(log.contains(QStringLiteral("BadUtf8.txt: invalid characters")));
    }
    {
        // UTF-16 cut off in the middle of a character.
        QByteArray cut = utf16LeBom(QStringLiteral("!LanguageID=1033\nkey=Wert"));
        cut.chop(1);
        TLanguageFile file;
        EXPECT_TRUE(file.Parse(cut, QStringLiteral("Cut.txt")));
        EXPECT_EQ(file.LanguageId(), 1033u);
        EXPECT_EQ(file.Texts().value(QStringLiteral("key")), QStringLiteral("Wer"));
    }
    {
        // Saved as UTF-8 but without the mark: read as UTF-8 rather than as "GrÃ¼ÃŸe".
        TLanguageFile file;
        EXPECT_TRUE(file.Parse(
            QStringLiteral("!LanguageID=1031\nkey=Grüße\n").toUtf8(), QStringLiteral("NoBom.txt")));
        EXPECT_EQ(file.FileEncoding(), TLanguageFile::Encoding::Utf8);
        EXPECT_EQ(file.Texts().value(QStringLiteral("key")), QStringLiteral("Grüße"));
        EXPECT_TRUE(log.contains(QStringLiteral("NoBom.txt: no byte-order mark")));
    }
}

TEST_F(LanguageFolder, EmptyOrMissingFolderGivesNoLanguagesAndGermanTexts)
{
    for (const QString& folder : { path(), path() + QStringLiteral("/missing"), QString() }) {
        TLanguageModule module(folder);
        EXPECT_TRUE(module.Languages().isEmpty());
        EXPECT_FALSE(module.SelectLanguage(1033));
        EXPECT_EQ(module.CurrentIndex(), -1);
        EXPECT_EQ(module.CurrentLanguageId(), TLanguageModule::GermanId);
        EXPECT_EQ(rs("_rsConnectedWith"), QStringLiteral("verbunden mit %s"));
    }
}

// As built the files are beside the program; as installed in share/lumivar next to bin.
TEST_F(LanguageFolder, FolderIsFoundBesideTheProgramOrWhereThePackageInstallsIt)
{
    const QString bin = path() + QStringLiteral("/usr/bin");
    ASSERT_TRUE(QDir().mkpath(bin));
    EXPECT_EQ(TLanguageModule::FolderFor(bin), bin + QStringLiteral("/Languages"));
    ASSERT_TRUE(QDir().mkpath(path() + QStringLiteral("/usr/share/lumivar/Languages")));
    EXPECT_EQ(TLanguageModule::FolderFor(bin), path() + QStringLiteral("/usr/share/lumivar/Languages"));
    ASSERT_TRUE(QDir().mkpath(bin + QStringLiteral("/Languages")));
    EXPECT_EQ(TLanguageModule::FolderFor(bin), bin + QStringLiteral("/Languages"));
}

TEST_F(LanguageFolder, ListsTextFilesInNameOrderAndTheFirstFileOfAnIdentifierWins)
{
    LogCapture log;
    writeFrench();
    writeEnglish(QStringLiteral("b_English.txt"));
    write(QStringLiteral("a_English.txt"),
        QByteArray("!LanguageID=1033\r\n!LanguageName=English (first)\r\n_rsConnectedWith=first %s\r\n"));
    write(QStringLiteral("NoIdentifier.txt"), QByteArray("!LanguageName=Nobody\r\nkey=value\r\n"));
    write(QStringLiteral("Binary.txt"), QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16));
    write(QStringLiteral("Notes.ini"), QByteArray("!LanguageID=1049\r\n"));

    TLanguageModule module(path());
    ASSERT_EQ(module.Languages().size(), 2);
    EXPECT_EQ(module.Languages().at(0).Id, 1033u);
    EXPECT_EQ(module.Languages().at(0).Name, QStringLiteral("English (first)"));
    EXPECT_EQ(module.Languages().at(0).FileName, QStringLiteral("a_English"));
    EXPECT_EQ(module.Languages().at(1).Id, 1036u);
    EXPECT_EQ(module.Languages().at(1).Name, QStringLiteral("Français"));
    EXPECT_TRUE(log.contains(QStringLiteral("b_English.txt: language 1033 already read from a_English.txt")));
    EXPECT_TRUE(log.contains(QStringLiteral("NoIdentifier.txt has no language identifier")));
    EXPECT_TRUE(log.contains(QStringLiteral("Binary.txt: not a text file")));

    ASSERT_TRUE(module.SelectLanguage(1033));
    EXPECT_EQ(rs("_rsConnectedWith", { QStringLiteral("E-M10") }), QStringLiteral("first E-M10"));
}

TEST_F(LanguageFolder, NamedTextsFollowTheSelectedLanguage)
{
    writeEnglish();
    writeFrench();
    TLanguageModule module(path());
    int changes = 0;
    QObject::connect(&module, &TLanguageModule::languageChanged, [&changes] { ++changes; });

    ASSERT_TRUE(module.SelectLanguage(1033));
    EXPECT_EQ(module.CurrentLanguageId(), 1033u);
    EXPECT_EQ(rs("_rsConnectedWith", { QStringLiteral("E-M10") }), QStringLiteral("connected with E-M10"));
    EXPECT_EQ(rs("_rsTestWindowStatus"), QStringLiteral("Ready"));
    // Not in the file: the German default stays.
    EXPECT_EQ(rs("_rsTestOnlyGerman"), QStringLiteral("Nur Deutsch"));
    EXPECT_EQ(rs("_rsPowerOff"), QStringLiteral("Möchten Sie die Kamera wirklich ausschalten?"));

    // An identifier without a file changes nothing.
    EXPECT_FALSE(module.SelectLanguage(1049));
    EXPECT_EQ(module.CurrentLanguageId(), 1033u);
    EXPECT_EQ(rs("_rsTestWindowStatus"), QStringLiteral("Ready"));

    // Another language missing a key shows German for it, not the previous language.
    ASSERT_TRUE(module.SelectLanguage(1036));
    EXPECT_EQ(rs("_rsConnectedWith", { QStringLiteral("E-M10") }), QStringLiteral("connecté à E-M10"));
    EXPECT_EQ(rs("_rsTestWindowStatus"), QStringLiteral("Bereit"));

    ASSERT_TRUE(module.SelectLanguage(TLanguageModule::GermanId));
    EXPECT_EQ(module.CurrentIndex(), -1);
    EXPECT_EQ(rs("_rsConnectedWith"), QStringLiteral("verbunden mit %s"));
    EXPECT_EQ(changes, 3);

    // A rescan keeps the current language; once its file is gone, German comes back.
    ASSERT_TRUE(module.SelectLanguage(1033));
    module.Scan(path());
    EXPECT_EQ(module.CurrentLanguageId(), 1033u);
    EXPECT_EQ(rs("_rsTestWindowStatus"), QStringLiteral("Ready"));
    ASSERT_TRUE(QFile::remove(m_dir.filePath(QStringLiteral("English.txt"))));
    module.Scan(path());
    EXPECT_EQ(module.CurrentLanguageId(), TLanguageModule::GermanId);
    EXPECT_EQ(rs("_rsTestWindowStatus"), QStringLiteral("Bereit"));
}

TEST_F(LanguageFolder, LeavingTheModuleRestoresGermanTexts)
{
    writeEnglish();
    {
        TLanguageModule module(path());
        ASSERT_TRUE(module.SelectLanguage(1033));
        EXPECT_EQ(rs("_rsTestWindowStatus"), QStringLiteral("Ready"));
    }
    EXPECT_EQ(rs("_rsTestWindowStatus"), QStringLiteral("Bereit"));
}

TEST_F(LanguageFolder, TranslatesAnObjectTreeByTheKeyScheme)
{
    writeEnglish();
    writeFrench();
    TLanguageModule module(path());

    auto window = std::make_unique<TfrmLanguageTest>();
    window->setProperty("windowTitle", QStringLiteral("Einstellungen"));
    QObject* button = child(window.get(), "btnWrite", "Schreiben");
    button->setProperty("toolTip", QStringLiteral("Einstellungen schreiben"));
    QObject* kept = child(window.get(), "btnKeep", "Bleibt");
    // Containers do not own: their objects are keyed by the window, named or not.
    QObject* panel = child(window.get(), "pnlTop");
    QObject* inside = child(child(panel, ""), "lblInside", "In einem Container");
    QObject* host = child(panel, "edtHost");
    host->setProperty("placeholderText", QStringLiteral("Kameraadresse"));
    QObject* mode = child(window.get(), "cbxMode");
    const QStringList germanModes { QStringLiteral("Einzeln"), QStringLiteral("Serie"),
        QStringLiteral("Selbstauslöser") };
    mode->setProperty("items", germanModes);
    // A page owns what it holds.
    auto* page = new TfraLanguagePage;
    page->setParent(panel);
    page->setObjectName(QStringLiteral("fraImport"));
    page->setProperty("text", QStringLiteral("Importseite"));
    QObject* import = child(page, "btnImport", "Importieren");
    // A window of its own is left to its own translation.
    auto* childWindow = new TfrmChildWindow;
    childWindow->setParent(window.get());
    childWindow->setObjectName(QStringLiteral("frmChild"));
    QObject* close = child(childWindow, "btnClose", "Schließen");

    module.Translate(window.get());
    EXPECT_EQ(button->property("text").toString(), QStringLiteral("Schreiben"));

    ASSERT_TRUE(module.SelectLanguage(1033));
    EXPECT_EQ(window->property("windowTitle").toString(), QStringLiteral("Settings"));
    EXPECT_EQ(button->property("text").toString(), QStringLiteral("Write"));
    EXPECT_EQ(button->property("toolTip").toString(), QStringLiteral("Write the settings"));
    EXPECT_EQ(kept->property("text").toString(), QStringLiteral("Bleibt"));
    EXPECT_EQ(inside->property("text").toString(), QStringLiteral("Inside a container"));
    EXPECT_EQ(host->property("placeholderText").toString(), QStringLiteral("Camera address"));
    EXPECT_EQ(mode->property("items").toStringList(),
        QStringList({ QStringLiteral("Single"), QStringLiteral("Serie"), QStringLiteral("Timer") }));
    EXPECT_EQ(page->property("text").toString(), QStringLiteral("Import page"));
    EXPECT_EQ(import->property("text").toString(), QStringLiteral("Import"));
    EXPECT_EQ(close->property("text").toString(), QStringLiteral("Schließen"));

    // A language without the key brings back German, not the English of before.
    ASSERT_TRUE(module.SelectLanguage(1036));
    EXPECT_EQ(window->property("windowTitle").toString(), QStringLiteral("Paramètres"));
    EXPECT_EQ(button->property("text").toString(), QStringLiteral("Schreiben"));
    EXPECT_EQ(mode->property("items").toStringList(), germanModes);

    ASSERT_TRUE(module.SelectLanguage(1033));
    ASSERT_TRUE(module.SelectLanguage(TLanguageModule::GermanId));
    EXPECT_EQ(window->property("windowTitle").toString(), QStringLiteral("Einstellungen"));
    EXPECT_EQ(button->property("text").toString(), QStringLiteral("Schreiben"));
    EXPECT_EQ(button->property("toolTip").toString(), QStringLiteral("Einstellungen schreiben"));
    EXPECT_EQ(host->property("placeholderText").toString(), QStringLiteral("Kameraadresse"));
    EXPECT_EQ(mode->property("items").toStringList(), germanModes);
    EXPECT_EQ(import->property("text").toString(), QStringLiteral("Importieren"));

    // A window created after the change comes up translated; a closed one is not touched again.
    ASSERT_TRUE(module.SelectLanguage(1033));
    window.reset();
    TfrmLanguageTest later;
    QObject* laterButton = child(&later, "btnWrite", "Schreiben");
    module.Translate(&later);
    EXPECT_EQ(laterButton->property("text").toString(), QStringLiteral("Write"));
    ASSERT_TRUE(module.SelectLanguage(TLanguageModule::GermanId));
    EXPECT_EQ(laterButton->property("text").toString(), QStringLiteral("Schreiben"));
}

TEST(EnglishLanguageFile, TranslatesEveryRegisteredText)
{
    const QString path = QStringLiteral(LUMIVAR_SOURCE_DIR "/Languages/English.txt");
    QFile raw(path);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly)) << path.toStdString();
    EXPECT_TRUE(raw.read(3) == QByteArray("\xEF\xBB\xBF")) << "English.txt is written as UTF-8 with mark";

    TLanguageFile file;
    ASSERT_TRUE(file.Load(path));
    EXPECT_EQ(file.LanguageId(), 1033u);
    EXPECT_EQ(file.LanguageName(), QStringLiteral("English (USA)"));
    EXPECT_EQ(file.BrokenLines(), 0);

    // The module registers the shell's texts; other modules' tables are registered by now as well.
    TLanguageModule module(QString {});
    const QStringList missing = lumivar::test::textsWithoutEnglish(file.Texts());
    EXPECT_TRUE(missing.isEmpty()) << missing.join(u' ').toStdString();

    // Code fills placeholders in order, so a translation must keep them, in the same order.
    static const QRegularExpression placeholder(QStringLiteral("%[sd]"));
    const auto placeholders = [](const QString& text) {
        QString found;
        for (const QRegularExpressionMatch& match : placeholder.globalMatch(text))
            found += match.captured();
        return found;
    };
    for (const QString& name : TNamedTexts::Names()) {
        if (name.startsWith(QLatin1String("_rsTest")))
            continue;
        const QByteArray latin = name.toLatin1();
        EXPECT_EQ(
            placeholders(file.Texts().value(name)), placeholders(TNamedTexts::German(latin.constData())))
            << name.toStdString();
    }
}

#include "LanguageModuleTest.moc"
