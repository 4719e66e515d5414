#include "base/ui/TTranslationForm.h"
#include "base/TLanguageModule.h"

#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

class TfrmFormTest : public TTranslationForm
{
    Q_OBJECT

public:
    explicit TfrmFormTest(bool translate)
    {
        label = new QLabel(QStringLiteral("Schließen"), this);
        label->setObjectName(QStringLiteral("lblClose"));
        if (translate)
            TranslateForm();
    }
    QLabel* label;
};

namespace {

class TranslationFormTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QFile file(m_dir.filePath(QStringLiteral("English.txt")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("\xEF\xBB\xBF!LanguageID=1033\r\n!LanguageName=English\r\n"
                   "TfrmFormTest.lblClose.Caption=Close\r\n");
        file.close();
        m_module = std::make_unique<TLanguageModule>(m_dir.path());
        TLanguageModule::SetInstance(m_module.get());
    }
    void TearDown() override { TLanguageModule::SetInstance(nullptr); }

    QTemporaryDir m_dir;
    std::unique_ptr<TLanguageModule> m_module;
};

TEST_F(TranslationFormTest, WindowFollowsTheLanguageFromCreationOn)
{
    ASSERT_TRUE(m_module->SelectLanguage(1033));
    TfrmFormTest form(true);
    EXPECT_EQ(form.label->text(), QStringLiteral("Close")); // created after the change: already translated
    m_module->SelectLanguage(TLanguageModule::GermanId);
    EXPECT_EQ(form.label->text(), QStringLiteral("Schließen"));

    // A window that forgot the call is translated before it is first shown.
    m_module->SelectLanguage(1033);
    TfrmFormTest late(false);
    EXPECT_FALSE(late.IsTranslated());
    late.show();
    EXPECT_TRUE(late.IsTranslated());
    EXPECT_EQ(late.label->text(), QStringLiteral("Close"));
}

TEST_F(TranslationFormTest, ShowModalReturnsTheResultOrCancelWhenClosed)
{
    TfrmFormTest form(true);
    QTimer::singleShot(0, &form, [&] {
        EXPECT_TRUE(form.IsModalRunning());
        EXPECT_EQ(form.windowModality(), Qt::ApplicationModal);
        form.SetModalResult(TTranslationForm::mrOk);
    });
    EXPECT_EQ(form.ShowModal(), TTranslationForm::mrOk);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.IsModalRunning());

    QTimer::singleShot(0, &form, [&] { form.close(); });
    EXPECT_EQ(form.ShowModal(), TTranslationForm::mrCancel);
}

} // namespace

#include "TTranslationFormTest.moc"
