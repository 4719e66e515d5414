#include "base/TNamedTexts.h"
#include "base/AppTexts.h"
#include "base/TBaseObserver.h"
#include "base/TLogger.h"

#include "QStringPrinter.h"

#include <QMutex>
#include <QStringList>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

// Names registered only by tests begin with "_rsTest"; the check of English.txt leaves them out.

namespace {

class LineCollector : public TBaseObserver
{
public:
    void Update(const QString& line) override
    {
        QMutexLocker lock(&m_mutex);
        m_lines.append(line);
    }
    int count(const QString& part) const
    {
        QMutexLocker lock(&m_mutex);
        return int(m_lines.filter(part).size());
    }

private:
    mutable QMutex m_mutex;
    QStringList m_lines;
};

class TNamedTextsTest : public ::testing::Test
{
protected:
    void SetUp() override { TNamedTexts::ResetToDefaults(); }
    void TearDown() override { TNamedTexts::ResetToDefaults(); }
};

} // namespace

TEST(TNamedTextsFormat, SubstitutesPlaceholdersInOrder)
{
    EXPECT_EQ(TNamedTexts::Format(QStringLiteral("verbunden mit %s"), { QStringLiteral("E-M10") }),
        QStringLiteral("verbunden mit E-M10"));
    EXPECT_EQ(TNamedTexts::Format(QStringLiteral("%d von %s: 100%%"), { 3, QStringLiteral("E-M10") }),
        QStringLiteral("3 von E-M10: 100%"));
    // A translation with a placeholder too many, or none, must neither crash nor lose text.
    EXPECT_EQ(TNamedTexts::Format(QStringLiteral("%d Datei(en) in %s"), { 2 }),
        QStringLiteral("2 Datei(en) in %s"));
    EXPECT_EQ(TNamedTexts::Format(QStringLiteral("Version"), { 1, 2 }), QStringLiteral("Version"));
    EXPECT_EQ(TNamedTexts::Format(QStringLiteral("50% %x %"), { 1 }), QStringLiteral("50% %x %"));
    // An argument containing a placeholder is not substituted again.
    EXPECT_EQ(TNamedTexts::Format(QStringLiteral("%s %s"), { QStringLiteral("%s"), QStringLiteral("b") }),
        QStringLiteral("%s b"));
}

TEST_F(TNamedTextsTest, AppTextsCarryTheirGermanDefaults)
{
    RegisterAppTexts();
    RegisterAppTexts();
    EXPECT_EQ(rs("_rsConnectedWith", { QStringLiteral("E-M10") }), QStringLiteral("verbunden mit E-M10"));
    EXPECT_EQ(rs("_rsCancelLiveImport"),
        QStringLiteral("Der Live-Import überträgt gerade Daten.\nMöchten Sie diese Übertragung abbrechen?"));
    EXPECT_EQ(
        rs("_rsPrivateMode"), QStringLiteral("Diese Funktion steht nur im Modus \"private\" zur Verfügung!"));
    const QStringList names = TNamedTexts::Names();
    EXPECT_EQ(names.count(QStringLiteral("_rsConnectedWith")), 1);
    EXPECT_LT(
        names.indexOf(QStringLiteral("_rsCancelLiveImport")), names.indexOf(QStringLiteral("_rsPowerOff")));
}

TEST_F(TNamedTextsTest, TranslationsReplaceCurrentTextsAndKeepDefaultsForMissingKeys)
{
    TNamedTexts::Register({ { "_rsTestFirst", "Erster" }, { "_rsTestSecond", "Zweiter" } });
    TNamedTexts::Register({ { "_rsTestFirst", "Anderer" } });
    EXPECT_EQ(rs("_rsTestFirst"), QStringLiteral("Erster"));

    TNamedTexts::SetTranslations({ { QStringLiteral("_rsTestFirst"), QStringLiteral("First") },
        { QStringLiteral("_rsTestLater"), QStringLiteral("Later") } });
    EXPECT_EQ(rs("_rsTestFirst"), QStringLiteral("First"));
    EXPECT_EQ(rs("_rsTestSecond"), QStringLiteral("Zweiter"));
    EXPECT_EQ(TNamedTexts::German("_rsTestFirst"), QStringLiteral("Erster"));

    // A module registering after the language was chosen gets that language at once.
    TNamedTexts::Register({ { "_rsTestLater", "Später" } });
    EXPECT_EQ(rs("_rsTestLater"), QStringLiteral("Later"));

    TNamedTexts::ResetToDefaults();
    EXPECT_EQ(rs("_rsTestFirst"), QStringLiteral("Erster"));
    EXPECT_EQ(rs("_rsTestLater"), QStringLiteral("Später"));

    const QStringList missing
        = TNamedTexts::MissingIn({ { QStringLiteral("_rsTestFirst"), QStringLiteral("F") },
            { QStringLiteral("_rsTestSecond"), QString() } });
    EXPECT_FALSE(missing.contains(QStringLiteral("_rsTestFirst")));
    EXPECT_TRUE(missing.contains(QStringLiteral("_rsTestSecond")));
    EXPECT_TRUE(missing.contains(QStringLiteral("_rsTestLater")));
}

TEST_F(TNamedTextsTest, UnknownNameGivesTheNameAndIsLoggedOnce)
{
    TLogger logger(nullptr);
    LineCollector lines;
    logger.Attach(&lines);
    TLogger::SetInstance(&logger);
    EXPECT_FALSE(TNamedTexts::Contains("_rsTestNeverRegistered"));
    EXPECT_EQ(rs("_rsTestNeverRegistered"), QStringLiteral("_rsTestNeverRegistered"));
    EXPECT_EQ(rs("_rsTestNeverRegistered"), QStringLiteral("_rsTestNeverRegistered"));
    TLogger::SetInstance(nullptr);
    logger.Detach(&lines);
    EXPECT_EQ(lines.count(QStringLiteral("_rsTestNeverRegistered")), 1);
}

TEST_F(TNamedTextsTest, ReadsFromAnotherThreadWhileTheLanguageChanges)
{
    TNamedTexts::Register({ { "_rsTestThreaded", "Deutsch" } });
    const QHash<QString, QString> english { { QStringLiteral("_rsTestThreaded"),
        QStringLiteral("English") } };
    std::atomic<bool> stop { false };
    std::atomic<int> wrong { 0 };
    std::thread reader([&] {
        while (!stop.load()) {
            const QString text = rs("_rsTestThreaded");
            if (text != QLatin1String("Deutsch") && text != QLatin1String("English"))
                ++wrong;
        }
    });
    for (int i = 0; i < 2000; ++i) {
        if (i % 2)
            TNamedTexts::ResetToDefaults();
        else
            TNamedTexts::SetTranslations(english);
    }
    stop = true;
    reader.join();
    EXPECT_EQ(wrong.load(), 0);
}
