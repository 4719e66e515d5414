#include "app/TfrmSettings.h"

#include "app/ShellTexts.h"
#include "app/TSettingsNetworkPage.h"
#include "base/TLanguageModule.h"
#include "base/TNamedTexts.h"
#include "base/TSetup.h"
#include "base/ui/DarkStyle.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFont>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr quint32 kEnglishId = 1033;
const char* const kGermanName = "Deutsch (Deutschland)";

QCheckBox* checkBox(const char* name, const QString& caption, QWidget* parent)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

} // namespace

TfrmSettings::TfrmSettings(TSetup* setup, QWidget* parent)
    : TTranslationForm(parent, Qt::Tool)
    , m_setup(setup)
{
    RegisterShellTexts();
    setWindowTitle(QStringLiteral("Einstellungen"));
    // The layout may widen it where a font needs more room than the intended size gives.
    resize(418, 466);
    // Opaque and dark like every other window: a see-through dialog lets the page behind it show
    // through its texts.
    DarkStyle::Apply(this, DarkStyle::Panel());

    ShowError = [](QWidget* owner, const QString& text) {
        QMessageBox::critical(owner, QStringLiteral("Lumivar"), text, QMessageBox::Ok);
    };
    OpenUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    ChooseFolder = [](QWidget* owner, const QString& title, const QString& folder) {
        return QFileDialog::getExistingDirectory(owner, title, folder);
    };

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("pcSettings"));
    addPage(createGeneralPage(), QStringLiteral("tshGeneral"), QStringLiteral("Allgemein"));
    m_network = new TSettingsNetworkPage;
    addPage(m_network, QStringLiteral("tshNetwork"), QStringLiteral("Netzwerk"));
    addPage(createUpdatePage(), QStringLiteral("tshUpdate"), QStringLiteral("Aktualisierung"));

    btnWrite = new QPushButton(QStringLiteral("Übernehmen"), this);
    btnWrite->setObjectName(QStringLiteral("btnWrite"));
    btnCancel = new QPushButton(QStringLiteral("Schließen"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    auto* buttonBar = new QWidget(this);
    buttonBar->setFixedHeight(48);
    auto* buttons = new QHBoxLayout(buttonBar);
    buttons->addStretch();
    buttons->addWidget(btnWrite);
    buttons->addWidget(btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->addWidget(m_pages, 1);
    layout->addWidget(buttonBar);

    connect(btnWrite, &QPushButton::clicked, this, &TfrmSettings::btnWriteClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmSettings::btnCancelClick);
    connect(btnUpdate, &QPushButton::clicked, this, &TfrmSettings::btnUpdateClick);
    connect(btnDownloadDir, &QPushButton::clicked, this, &TfrmSettings::btnDownloadDirClick);
    connect(cbxLanguage, &QComboBox::currentIndexChanged, this, &TfrmSettings::cbxLanguageChange);
    if (TLanguageModule* module = TLanguageModule::Instance())
        connect(module, &TLanguageModule::languageChanged, this, &TfrmSettings::updateVersion);

    fillLanguages();
    updateVersion();
    TranslateForm();
}

TfrmSettings::~TfrmSettings() = default;

void TfrmSettings::addPage(QWidget* page, const QString& name, const QString& caption)
{
    // The translator sets a page's caption as its window title; the tab follows it.
    page->setObjectName(name);
    page->setWindowTitle(caption);
    // Filled in the panel grey: the style's own tab pane is a lighter grey the texts do not stand out on.
    DarkStyle::Apply(page, DarkStyle::Panel());
    const int index = m_pages->addTab(page, caption);
    connect(page, &QWidget::windowTitleChanged, this,
        [this, index](const QString& title) { m_pages->setTabText(index, title); });
}

QWidget* TfrmSettings::createGeneralPage()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    auto* lblDownloadDir = new QLabel(QStringLiteral("Zielverzeichnis für Bilddateien"), page);
    lblDownloadDir->setObjectName(QStringLiteral("lblDownloadDir"));
    edtDownloadDir = new QLineEdit(page);
    edtDownloadDir->setObjectName(QStringLiteral("edtDownloadDir"));
    edtDownloadDir->setReadOnly(true); // chosen, never typed
    btnDownloadDir = new QPushButton(QStringLiteral("..."), page);
    btnDownloadDir->setObjectName(QStringLiteral("btnDownloadDir"));
    btnDownloadDir->setFixedWidth(32);
    grid->addWidget(lblDownloadDir, 0, 0, 1, 2);
    grid->addWidget(edtDownloadDir, 1, 0);
    grid->addWidget(btnDownloadDir, 1, 1);

    chbSyncDateTime
        = checkBox("chbSyncDateTime", QStringLiteral("Kamera mit Systemzeit synchronisieren"), page);
    chbSaveFilter
        = checkBox("chbSaveFilter", QStringLiteral("Filtereinstellungen für Live-Import speichern"), page);
    chbUseInternalImageViewer
        = checkBox("chbUseInternalImageViewer", QStringLiteral("Internen Bildbetrachter verwenden"), page);
    chbLiveViewThreaded
        = checkBox("chbLiveViewThreaded", QStringLiteral("Live-Stream in separatem Prozess ausführen"), page);
    grid->setRowMinimumHeight(2, 8);
    grid->addWidget(chbSyncDateTime, 3, 0, 1, 2);
    grid->addWidget(chbSaveFilter, 4, 0, 1, 2);
    grid->addWidget(chbUseInternalImageViewer, 5, 0, 1, 2);
    grid->addWidget(chbLiveViewThreaded, 6, 0, 1, 2);

    auto* lblLanguage = new QLabel(QStringLiteral("Sprache"), page);
    lblLanguage->setObjectName(QStringLiteral("lblLanguage"));
    cbxLanguage = new QComboBox(page);
    cbxLanguage->setObjectName(QStringLiteral("cbxLanguage"));
    lblLanguage->setBuddy(cbxLanguage);
    grid->setRowMinimumHeight(7, 8);
    grid->addWidget(lblLanguage, 8, 0, 1, 2);
    grid->addWidget(cbxLanguage, 9, 0, 1, 2);
    grid->setRowStretch(10, 1);
    return page;
}

QWidget* TfrmSettings::createUpdatePage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    btnUpdate = new QPushButton(QStringLiteral("Jetzt nach neuer Version suchen..."), page);
    btnUpdate->setObjectName(QStringLiteral("btnUpdate"));
    // The product picture; the program's name set large when the resource is not linked in.
    auto* imgProduct = new QLabel(page);
    imgProduct->setObjectName(QStringLiteral("imgProduct"));
    imgProduct->setAlignment(Qt::AlignCenter);
    const QPixmap picture(QStringLiteral(":/shell/camera.png"));
    if (!picture.isNull()) {
        imgProduct->setPixmap(picture.scaled(240, 240, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    } else {
        imgProduct->setText(QStringLiteral("Lumivar"));
        QFont big = imgProduct->font();
        big.setPointSizeF(big.pointSizeF() * 3);
        big.setBold(true);
        imgProduct->setFont(big);
    }
    lblVersion = new QLabel(page);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    layout->addWidget(btnUpdate, 0, Qt::AlignLeft);
    layout->addWidget(imgProduct, 1);
    layout->addWidget(lblVersion);
    return page;
}

QUrl TfrmSettings::WebPage(quint32 languageId)
{
    return QUrl(languageId == TLanguageModule::GermanId
            ? QStringLiteral("https://www.kelmarin.de/lumivar/")
            : QStringLiteral("https://www.kelmarin.de/en/lumivar/"));
}

void TfrmSettings::fillLanguages()
{
    const QSignalBlocker block(cbxLanguage);
    cbxLanguage->clear();
    const TLanguageModule* module = TLanguageModule::Instance();
    const QList<TLanguageEntry> languages = module ? module->Languages() : QList<TLanguageEntry>();
    // German is built in and needs no file; without this entry a user who chose another language
    // could never return to it.
    const bool germanListed = std::any_of(languages.cbegin(), languages.cend(),
        [](const TLanguageEntry& entry) { return entry.Id == TLanguageModule::GermanId; });
    if (!germanListed)
        cbxLanguage->addItem(QLatin1String(kGermanName), TLanguageModule::GermanId);
    for (const TLanguageEntry& entry : languages)
        cbxLanguage->addItem(entry.Name, entry.Id);
}

void TfrmSettings::updateVersion()
{
    lblVersion->setText(VersionCaption());
}

void TfrmSettings::loadFromSetup()
{
    m_setup->Load();
    edtDownloadDir->setText(m_setup->GetDownloadDirectory());
    chbSyncDateTime->setChecked(m_setup->SyncDataTime);
    chbSaveFilter->setChecked(m_setup->SaveFilter);
    chbUseInternalImageViewer->setChecked(m_setup->UseInternalViewer);
    chbLiveViewThreaded->setChecked(m_setup->LiveViewThreaded);
    m_network->Load(*m_setup);

    fillLanguages();
    {
        const QSignalBlocker block(cbxLanguage);
        cbxLanguage->setCurrentIndex(cbxLanguage->findData(m_setup->LanguageId));
    }
    const TLanguageModule* module = TLanguageModule::Instance();
    m_languageAtShow = module ? module->CurrentLanguageId() : m_setup->LanguageId;
    m_pages->setCurrentIndex(0);
}

quint32 TfrmSettings::selectedLanguageId() const
{
    return cbxLanguage->currentIndex() >= 0 ? cbxLanguage->currentData().toUInt() : 0;
}

void TfrmSettings::cbxLanguageChange(int index)
{
    TLanguageModule* module = TLanguageModule::Instance();
    if (module && index >= 0)
        module->SelectLanguage(cbxLanguage->itemData(index).toUInt());
}

void TfrmSettings::undoLanguagePreview()
{
    TLanguageModule* module = TLanguageModule::Instance();
    if (!module || module->CurrentLanguageId() == m_languageAtShow)
        return;
    // Back to the stored language; should it have no file any more, to the one shown before.
    if (!module->SelectLanguage(m_setup->LanguageId))
        module->SelectLanguage(m_languageAtShow);
}

void TfrmSettings::btnWriteClick()
{
    QString address;
    if (!m_network->CameraAddress(address)) {
        ShowError(this, rs("_rsInvalidCameraIP"));
        return;
    }

    m_setup->SetDownloadDirectory(edtDownloadDir->text());
    m_network->Store(*m_setup, address);
    m_setup->SyncDataTime = chbSyncDateTime->isChecked();
    m_setup->SaveFilter = chbSaveFilter->isChecked();
    m_setup->UseInternalViewer = chbUseInternalImageViewer->isChecked();
    m_setup->LanguageId = selectedLanguageId();
    m_setup->LiveViewThreaded = chbLiveViewThreaded->isChecked();
    m_setup->Save();

    if (!storeReachedSettings()) {
        // Closing now would lose the edits: the next showing reloads what the store still holds.
        ShowError(this, rs("_rsSettingsNotSaved"));
        return;
    }
    m_languageAtShow = m_setup->LanguageId;
    SetModalResult(mrOk);
    hide();
}

bool TfrmSettings::storeReachedSettings() const
{
    // Save reports nothing, so read the store back the way the next start will.
    TSetup stored;
    stored.SetStoreFile(m_setup->StoreFile());
    stored.Load();
    const TSetup& s = *m_setup;
    return stored.DownloadDirectory == s.DownloadDirectory && stored.SyncDataTime == s.SyncDataTime
        && stored.SaveFilter == s.SaveFilter && stored.UseInternalViewer == s.UseInternalViewer
        && stored.LanguageId == s.LanguageId && stored.LiveViewThreaded == s.LiveViewThreaded
        && TSettingsNetworkPage::Same(stored, s);
}

void TfrmSettings::btnCancelClick()
{
    undoLanguagePreview();
    SetModalResult(mrCancel);
    hide();
}

void TfrmSettings::btnUpdateClick()
{
    const TLanguageModule* module = TLanguageModule::Instance();
    OpenUrl(WebPage(module ? module->CurrentLanguageId() : m_setup->LanguageId));
}

void TfrmSettings::btnDownloadDirClick()
{
    const QLabel* caption = findChild<QLabel*>(QStringLiteral("lblDownloadDir"));
    const QString folder = ChooseFolder(this, caption->text(), edtDownloadDir->text());
    if (!folder.isEmpty())
        edtDownloadDir->setText(TSetup::IncludeTrailingPathDelimiter(folder));
}

void TfrmSettings::showEvent(QShowEvent* event)
{
    TTranslationForm::showEvent(event);
    if (event->spontaneous())
        return;
    loadFromSetup();
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QRect area = owner ? owner->frameGeometry() : (screen() ? screen()->availableGeometry() : QRect());
    if (area.isValid())
        move(area.center() - rect().center());
}

void TfrmSettings::closeEvent(QCloseEvent* event)
{
    // Closed by the title bar: the same as "Schließen".
    if (isVisible())
        undoLanguagePreview();
    TTranslationForm::closeEvent(event);
}

void TfrmSettings::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        btnCancelClick();
        return;
    }
    TTranslationForm::keyPressEvent(event);
}
