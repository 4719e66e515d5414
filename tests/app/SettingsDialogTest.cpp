#include "app/TfrmSettings.h"

#include "app/ShellTexts.h"
#include "base/TLanguageFile.h"
#include "base/TLanguageModule.h"
#include "base/TNamedTexts.h"
#include "base/TSetup.h"
#include "common/EnglishTexts.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kLanguages = QStringLiteral(LUMIVAR_SOURCE_DIR "/Languages");

class SettingsDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_module = std::make_unique<TLanguageModule>(kLanguages);
        TLanguageModule::SetInstance(m_module.get());
        m_setup.SetStoreFile(m_dir.filePath(QStringLiteral("settings.ini")));
        m_dialog = std::make_unique<TfrmSettings>(&m_setup);
        m_dialog->ShowError = [this](QWidget*, const QString& text) { m_errors.append(text); };
        m_dialog->OpenUrl = [this](const QUrl& url) {
            m_opened.append(url);
            return true;
        };
    }
    void TearDown() override
    {
        m_dialog.reset();
        TLanguageModule::SetInstance(nullptr);
        m_module.reset();
    }

    template<typename T> T* control(const char* name) const
    {
        T* found = m_dialog->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    bool checked(const char* name) const { return control<QCheckBox>(name)->isChecked(); }
    QString text(const char* name) const { return control<QLineEdit>(name)->text(); }
    void setText(const char* name, const QString& value) const { control<QLineEdit>(name)->setText(value); }
    void check(const char* name, bool on) const { control<QCheckBox>(name)->setChecked(on); }
    void chooseLanguage(quint32 id) const
    {
        QComboBox* box = control<QComboBox>("cbxLanguage");
        const int index = box->findData(id);
        ASSERT_GE(index, 0) << id;
        box->setCurrentIndex(index);
    }
    void click(const char* name) const { control<QPushButton>(name)->click(); }

    // What the next start of the program reads.
    std::unique_ptr<TSetup> stored() const
    {
        auto setup = std::make_unique<TSetup>();
        setup->SetStoreFile(m_setup.StoreFile());
        setup->Load();
        return setup;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<TLanguageModule> m_module;
    TSetup m_setup;
    std::unique_ptr<TfrmSettings> m_dialog;
    QStringList m_errors;
    QList<QUrl> m_opened;
};

TEST_F(SettingsDialogTest, EveryShowingStartsFromTheStoredValues)
{
    m_setup.SetDownloadDirectory(m_dir.path());
    m_setup.CameraWLanName = QStringLiteral("E-M10");
    m_setup.CameraWLanSSID = QStringLiteral("E-M10-P-5459");
    m_setup.HomeWLanName = QStringLiteral("Home");
    m_setup.HomeWLanSSID = QStringLiteral("HomeNet");
    m_setup.WLanAutoConnect = true;
    m_setup.SyncDataTime = true;
    m_setup.SaveFilter = true;
    m_setup.UseInternalViewer = false;
    m_setup.LiveViewThreaded = false;
    m_setup.UseCameraIP = false;
    m_setup.SetCameraIP(QStringLiteral("192.168.0.20"));
    m_setup.LiveViewPort = 30000;
    m_setup.LanguageId = 1033;
    m_setup.Save();
    // Edited elsewhere and not saved: the dialog must not show it.
    m_setup.CameraWLanName = QStringLiteral("unsaved");
    m_setup.SyncDataTime = false;

    m_dialog->show();
    EXPECT_EQ(text("edtDownloadDir"), TSetup::IncludeTrailingPathDelimiter(m_dir.path()));
    EXPECT_EQ(text("edtCameraWLanName"), QStringLiteral("E-M10"));
    EXPECT_EQ(m_setup.CameraWLanName, QStringLiteral("E-M10"));
    EXPECT_EQ(text("edtHomeWLanSSID"), QStringLiteral("HomeNet"));
    EXPECT_TRUE(checked("chbSyncDateTime"));
    EXPECT_TRUE(checked("chbSaveFilter"));
    EXPECT_FALSE(checked("chbUseInternalImageViewer"));
    EXPECT_FALSE(checked("chbLiveViewThreaded"));
    EXPECT_TRUE(control<QLineEdit>("edtCameraWLanName")->isEnabled());
    EXPECT_EQ(text("edCameraIP"), QStringLiteral("192.168.0.20"));
    EXPECT_FALSE(control<QLineEdit>("edCameraIP")->isEnabled());
    EXPECT_FALSE(control<QLabel>("lblCameraIPInfo")->isEnabled());
    EXPECT_TRUE(checked("chbLiveViewPort"));
    EXPECT_EQ(control<QSpinBox>("sedLiveViewPort")->value(), 30000);
    EXPECT_TRUE(control<QSpinBox>("sedLiveViewPort")->isEnabled());
    // Handing the live view on is off until the user asks for it.
    EXPECT_FALSE(checked("chbLiveViewServe"));
    EXPECT_EQ(control<QSpinBox>("sedLiveViewServePort")->value(), 8488);
    EXPECT_FALSE(control<QSpinBox>("sedLiveViewServePort")->isEnabled());
    EXPECT_EQ(control<QComboBox>("cbxLanguage")->currentData().toUInt(), 1033u);
    // Showing selects the stored language without previewing it.
    EXPECT_EQ(m_module->CurrentLanguageId(), TLanguageModule::GermanId);
    EXPECT_EQ(control<QTabWidget>("pcSettings")->currentIndex(), 0);

    // The check boxes switch their edits; unchecking the port box puts the default back.
    check("chbWLanAutoConnect", false);
    EXPECT_FALSE(control<QLineEdit>("edtHomeWLanName")->isEnabled());
    check("chbUseCameraIP", true);
    EXPECT_TRUE(control<QLineEdit>("edCameraIP")->isEnabled());
    check("chbLiveViewPort", false);
    EXPECT_EQ(control<QSpinBox>("sedLiveViewPort")->value(), 28488);
    EXPECT_FALSE(control<QSpinBox>("sedLiveViewPort")->isEnabled());
    click("btnCancel");
    EXPECT_FALSE(m_dialog->isVisible());

    // Another part of the program stores a change; the next showing has it, not the abandoned edits.
    TSetup other;
    other.SetStoreFile(m_setup.StoreFile());
    other.Load();
    other.LiveViewPort = 28488;
    other.Save();
    m_dialog->show();
    EXPECT_FALSE(checked("chbLiveViewPort"));
    EXPECT_EQ(control<QSpinBox>("sedLiveViewPort")->value(), 28488);
    EXPECT_TRUE(checked("chbWLanAutoConnect"));
    EXPECT_FALSE(checked("chbUseCameraIP"));
}

TEST_F(SettingsDialogTest, CameraAddressIsCheckedOnlyWhenTheBoxIsChecked)
{
    m_setup.Save();
    m_dialog->show();
    check("chbUseCameraIP", true);
    setText("edtCameraWLanName", QStringLiteral("kept"));
    const QStringList refused
        = { QString(), QStringLiteral("192.168.1"), QStringLiteral("192.169.1.2"), QStringLiteral("10.0.0.1"),
              QStringLiteral("192.168.1.256"), QStringLiteral("192.168.1.2.3"), QStringLiteral("oishare") };
    for (const QString& address : refused) {
        m_errors.clear();
        setText("edCameraIP", address);
        click("btnWrite");
        ASSERT_EQ(m_errors.size(), 1) << address.toStdString();
        EXPECT_EQ(m_errors.first(), TNamedTexts::Text("_rsInvalidCameraIP"));
        EXPECT_TRUE(m_dialog->isVisible());
        EXPECT_EQ(text("edCameraIP"), address); // the field keeps what was typed
    }
    EXPECT_EQ(text("edtCameraWLanName"), QStringLiteral("kept"));
    EXPECT_FALSE(stored()->UseCameraIP) << "nothing stored after a refusal";
    EXPECT_TRUE(stored()->CameraWLanName.isEmpty());

    click("btnCancel");

    // Blanks inside an otherwise valid address are dropped.
    m_errors.clear();
    QTimer::singleShot(0, m_dialog.get(), [this] {
        check("chbUseCameraIP", true);
        setText("edCameraIP", QStringLiteral(" 192.168. 1 .020 "));
        setText("edtCameraWLanName", QStringLiteral("kept"));
        click("btnWrite");
    });
    EXPECT_EQ(m_dialog->ShowModal(), TTranslationForm::mrOk);
    EXPECT_TRUE(m_errors.isEmpty());
    EXPECT_TRUE(stored()->UseCameraIP);
    EXPECT_EQ(stored()->CameraIP, QStringLiteral("192.168.1.020"));
    EXPECT_EQ(stored()->CameraWLanName, QStringLiteral("kept"));

    // Without the box nothing typed is checked, and the factory address is stored.
    QTimer::singleShot(0, m_dialog.get(), [this] {
        check("chbUseCameraIP", false);
        setText("edCameraIP", QStringLiteral("nonsense"));
        click("btnWrite");
    });
    EXPECT_EQ(m_dialog->ShowModal(), TTranslationForm::mrOk);
    EXPECT_TRUE(m_errors.isEmpty());
    EXPECT_FALSE(stored()->UseCameraIP);
    EXPECT_EQ(stored()->CameraIP, QStringLiteral("192.168.0.10"));
}

TEST_F(SettingsDialogTest, ApplyStoresEveryControl)
{
    m_setup.Save();
    m_dialog->show();
    setText("edtDownloadDir", m_dir.path()); // as the folder chooser leaves it, without delimiter
    check("chbWLanAutoConnect", true);
    setText("edtCameraWLanName", QStringLiteral("Cam"));
    setText("edtCameraWLanSSID", QStringLiteral("CamSSID"));
    setText("edtHomeWLanName", QStringLiteral("Home"));
    setText("edtHomeWLanSSID", QStringLiteral("HomeSSID"));
    check("chbSyncDateTime", true);
    check("chbSaveFilter", true);
    check("chbUseInternalImageViewer", false);
    check("chbLiveViewThreaded", false);
    check("chbUseCameraIP", true);
    setText("edCameraIP", QStringLiteral("192.168.4.5"));
    check("chbLiveViewPort", true);
    control<QSpinBox>("sedLiveViewPort")->setValue(40000);
    check("chbLiveViewServe", true);
    EXPECT_TRUE(control<QSpinBox>("sedLiveViewServePort")->isEnabled());
    control<QSpinBox>("sedLiveViewServePort")->setValue(9090);
    chooseLanguage(1033);
    click("btnWrite");
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join(u'|').toStdString();
    EXPECT_FALSE(m_dialog->isVisible());

    const std::unique_ptr<TSetup> s = stored();
    EXPECT_EQ(s->DownloadDirectory, TSetup::IncludeTrailingPathDelimiter(m_dir.path()));
    EXPECT_TRUE(s->WLanAutoConnect);
    EXPECT_EQ(s->CameraWLanName, QStringLiteral("Cam"));
    EXPECT_EQ(s->CameraWLanSSID, QStringLiteral("CamSSID"));
    EXPECT_EQ(s->HomeWLanName, QStringLiteral("Home"));
    EXPECT_EQ(s->HomeWLanSSID, QStringLiteral("HomeSSID"));
    EXPECT_TRUE(s->SyncDataTime);
    EXPECT_TRUE(s->SaveFilter);
    EXPECT_FALSE(s->UseInternalViewer);
    EXPECT_FALSE(s->LiveViewThreaded);
    EXPECT_TRUE(s->UseCameraIP);
    EXPECT_EQ(s->CameraIP, QStringLiteral("192.168.4.5"));
    EXPECT_EQ(s->LiveViewPort, 40000);
    EXPECT_TRUE(s->LiveViewServe);
    EXPECT_EQ(s->LiveViewServePort, 9090);
    EXPECT_EQ(s->LanguageId, 1033u);
    EXPECT_EQ(m_setup.GetCameraHost(), QStringLiteral("192.168.4.5"));
    EXPECT_EQ(m_module->CurrentLanguageId(), 1033u) << "an applied language stays";
}

TEST_F(SettingsDialogTest, LanguagePreviewIsUndoneByClose)
{
    m_setup.Save();
    m_dialog->show();
    QPushButton* write = control<QPushButton>("btnWrite");
    EXPECT_EQ(write->text(), QStringLiteral("Übernehmen"));
    chooseLanguage(1033);
    EXPECT_EQ(m_module->CurrentLanguageId(), 1033u);
    EXPECT_EQ(write->text(), QStringLiteral("Apply"));
    EXPECT_EQ(control<QTabWidget>("pcSettings")->tabText(1), QStringLiteral("Network"));
    EXPECT_EQ(m_dialog->windowTitle(), QStringLiteral("Settings"));
    EXPECT_EQ(TNamedTexts::Text("_rsInvalidCameraIP"),
        QStringLiteral(
            "Please enter a valid camera IP in the range 192.168.xxx.xxx, or deactivate this option!"));

    click("btnCancel");
    EXPECT_EQ(m_module->CurrentLanguageId(), TLanguageModule::GermanId);
    EXPECT_EQ(write->text(), QStringLiteral("Übernehmen"));
    EXPECT_EQ(control<QTabWidget>("pcSettings")->tabText(1), QStringLiteral("Netzwerk"));
    EXPECT_EQ(m_setup.LanguageId, TLanguageModule::GermanId);
    EXPECT_EQ(stored()->LanguageId, TLanguageModule::GermanId);

    // Closing through the title bar undoes the preview as well; so does coming back from English.
    m_dialog->show();
    chooseLanguage(1033);
    m_dialog->close();
    EXPECT_EQ(m_module->CurrentLanguageId(), TLanguageModule::GermanId);

    m_setup.LanguageId = 1033;
    m_setup.Save();
    m_module->SelectLanguage(1033);
    m_dialog->show();
    chooseLanguage(TLanguageModule::GermanId); // the built-in language is offered without a file
    EXPECT_EQ(write->text(), QStringLiteral("Übernehmen"));
    click("btnCancel");
    EXPECT_EQ(m_module->CurrentLanguageId(), 1033u);
    EXPECT_EQ(write->text(), QStringLiteral("Apply"));
}

TEST_F(SettingsDialogTest, StoreThatCannotBeWrittenKeepsTheDialogAndItsEdits)
{
    // A folder where the settings file should be: nothing can be written there, not even by root.
    const QString blocked = m_dir.filePath(QStringLiteral("blocked.ini"));
    ASSERT_TRUE(QDir().mkpath(blocked));
    m_setup.SetStoreFile(blocked);
    m_dialog->show();
    setText("edtCameraWLanName", QStringLiteral("Cam"));
    check("chbSyncDateTime", true);
    click("btnWrite");
    ASSERT_EQ(m_errors.size(), 1);
    EXPECT_EQ(m_errors.first(), TNamedTexts::Text("_rsSettingsNotSaved"));
    EXPECT_TRUE(m_dialog->isVisible());
    EXPECT_EQ(text("edtCameraWLanName"), QStringLiteral("Cam"));
    EXPECT_TRUE(checked("chbSyncDateTime"));
    EXPECT_EQ(m_setup.CameraWLanName, QStringLiteral("Cam")) << "in force for this run";
}

TEST_F(SettingsDialogTest, WebPageFollowsTheLanguage)
{
    m_dialog->show();
    click("btnUpdate");
    chooseLanguage(1033);
    click("btnUpdate");
    ASSERT_EQ(m_opened.size(), 2);
    EXPECT_EQ(m_opened.at(0), TfrmSettings::WebPage(TLanguageModule::GermanId));
    EXPECT_EQ(m_opened.at(1), TfrmSettings::WebPage(1033));
    EXPECT_NE(m_opened.at(0), m_opened.at(1));
    EXPECT_TRUE(m_opened.at(1).isValid());
    EXPECT_TRUE(control<QLabel>("lblVersion")
                    ->text()
                    .contains(QRegularExpression(QStringLiteral("^Version: \\d+\\.\\d+\\.\\d+\\.\\d+$"))));
    click("btnCancel");
}

// Every caption of the dialog that is German has an English line, and so does every named text
// of these windows.
TEST_F(SettingsDialogTest, EnglishFileCoversTheDialog)
{
    TLanguageFile file;
    ASSERT_TRUE(file.Load(kLanguages + QStringLiteral("/English.txt")));
    EXPECT_EQ(file.BrokenLines(), 0);
    const QHash<QString, QString> texts = file.Texts();
    const QStringList missing = lumivar::test::textsWithoutEnglish(texts);
    EXPECT_TRUE(missing.isEmpty()) << missing.join(u' ').toStdString();

    const QStringList sameInEnglish = { QStringLiteral("btnDownloadDir"), QStringLiteral("lblVersion") };
    QStringList untranslated;
    for (QWidget* widget : m_dialog->findChildren<QWidget*>()) {
        const QString name = widget->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) || sameInEnglish.contains(name))
            continue;
        QString caption;
        if (auto* label = qobject_cast<QLabel*>(widget))
            caption = label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            caption = button->text();
        else if (name.startsWith(QLatin1String("tsh")))
            caption = widget->windowTitle();
        if (!caption.isEmpty()
            && !texts.contains(QStringLiteral("TfrmSettings.") + name + QStringLiteral(".Caption")))
            untranslated.append(name);
    }
    EXPECT_TRUE(untranslated.isEmpty()) << untranslated.join(u' ').toStdString();
}

} // namespace
