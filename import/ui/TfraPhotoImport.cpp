#include "import/ui/TfraPhotoImport.h"

#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "base/TSetup.h"
#include "base/ui/DarkStyle.h"
#include "base/ui/PhotoImportLook.h"
#include "exif/ui/TfrmViewer.h"
#include "import/FileSizeText.h"
#include "import/TThumbnailCache.h"
#include "import/ui/TKmImageGrid.h"
#include "import/ui/TPhotoImportActionPanel.h"
#include "import/ui/TPhotoImportResultBar.h"
#include "import/ui/TPhotoImportThumbnailPanel.h"
#include "session/TCamera.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QToolButton>
#include <QUrl>

namespace {

constexpr int kMargin = TfraCameraPage::PanelMargin;

const char* const kSelectionItems[] = { "Keine", "Alle", "JPEG", "RAW", "Movies", "JPEG + RAW",
    "JPEG + Movies", "RAW + Movies", "Benutzerdefiniert" };

} // namespace

TfraPhotoImport::TfraPhotoImport(QWidget* parent)
    : TfraCameraPage(parent)
{
    DarkStyle::Apply(this, DarkStyle::Background());

    pnlThumbnails = new TPhotoImportThumbnailPanel(this);
    igrThumbnails = pnlThumbnails->igrThumbnails;
    pnlImportResult = pnlThumbnails->pnlImportResult;
    igrThumbnails->OnSelectCell
        = [this](TKmImageGridCell* cell, TShiftState shift) { igrThumbnailsSelectCell(cell, shift); };
    igrThumbnails->OnDblClickCell
        = [this](TKmImageGridCell* cell, int index) { igrThumbnailsDblClickCell(cell, index); };
    igrThumbnails->OnVisibleRangeChanged = [this](int first, int last) {
        if (m_session)
            m_session->SetVisibleItems(first, last);
    };
    lblThumbnails = pnlImportResult->lblThumbnails;
    lblImportResult = pnlImportResult->lblImportResult;
    btnCancelImport = pnlImportResult->btnCancelImport;
    connect(btnCancelImport, &QToolButton::clicked, this, [this] {
        if (m_session)
            m_session->Cancel();
    });
    btnReloadSources = pnlImportResult->btnReloadSources;
    connect(btnReloadSources, &QToolButton::clicked, this, [this] { btnReloadSourcesClick(); });

    pnlActions = new TPhotoImportActionPanel(this);
    btnExecuteImport = pnlActions->btnExecuteImport;
    btnHomeImport = pnlActions->btnHomeImport;
    connect(btnExecuteImport, &QToolButton::clicked, this, [this] { btnExecuteImportClick(); });
    connect(btnHomeImport, &QToolButton::clicked, this, [this] { btnHomeImportClick(); });
    LayOutPage(pnlThumbnails, createSourcePanel(), pnlActions);

    BrowseFolder = [this](const QString& caption) {
        return QFileDialog::getExistingDirectory(this, caption, downloadDirectory());
    };
    ShowInformation = [this](const QString& text) {
        QMessageBox::information(this, QStringLiteral("Lumivar"), text, QMessageBox::Ok);
    };
    OpenWithSystem
        = [](const QString& fileName) { QDesktopServices::openUrl(QUrl::fromLocalFile(fileName)); };

    UpdateControls(false);
}

// The session goes with the page; a wait still running inside it notices that.
TfraPhotoImport::~TfraPhotoImport() = default;

QWidget* TfraPhotoImport::createSourcePanel()
{
    pnlSource = new QWidget(this);
    pnlSource->setObjectName(QStringLiteral("pnlSource"));
    QStringList items;
    for (const char* item : kSelectionItems)
        items << QString::fromUtf8(item);
    int r = PhotoImportLook::AddParameterRows(
        *this, pnlSource, QMargins(kMargin, kMargin, kMargin, 0), items, siCustom);
    auto* layout = static_cast<QGridLayout*>(pnlSource->layout());
    // Only the user's choice loads a folder; ReloadSources sets the index itself.
    connect(cbxSource, &QComboBox::activated, this, [this] { cbxSourceChange(); });
    cbxSelection->installEventFilter(this);
    // Also a second pick of the item shown applies it again; the page's own index changes do not.
    connect(cbxSelection, &QComboBox::activated, this, [this] { cbxSelectionChange(); });

    layout->setColumnStretch(1, 1);
    layout->setRowStretch(r++, 1);

    imgDecoration = new QLabel(pnlSource);
    imgDecoration->setObjectName(QStringLiteral("imgDecoration"));
    imgDecoration->setPixmap(PhotoImportLook::DecorationPicture(ColumnWidth - 2 * kMargin));
    imgDecoration->setAlignment(Qt::AlignCenter);
    layout->addWidget(imgDecoration, r, 0, 1, 2);
    return pnlSource;
}

void TfraPhotoImport::showCancel(bool show)
{
    const QList<QRect> free = pnlImportResult->ShowCancel(show);
    freeRegionsChanged(free);
}

void TfraPhotoImport::showImportResult()
{
    pnlImportResult->ShowImportResult(m_session ? m_session->Summary() : QString());
    // Files that failed are also told in a message, once the import has let go of the window; a
    // cancel the user asked for is not.
    m_tellFailures = m_session && m_session->CountOf(TImportSession::TOutcome::Failed) > 0
        && m_session->Transfers().StopReason() != QLatin1String("cancelled");
}

bool TfraPhotoImport::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == cbxSelection && event->type() == QEvent::DynamicPropertyChange)
        applySelectionItems();
    return TfraCameraPage::eventFilter(watched, event);
}

void TfraPhotoImport::applySelectionItems()
{
    const QStringList items = cbxSelection->property("items").toStringList();
    for (int i = 0; i < cbxSelection->count() && i < items.size(); ++i)
        cbxSelection->setItemText(i, items[i]);
}

void TfraPhotoImport::SetThumbnailCache(std::unique_ptr<TThumbnailCache> cache)
{
    m_cache = std::move(cache);
}

void TfraPhotoImport::SetCamera(TCamera* camera)
{
    TfraCameraPage::SetCamera(camera);
    m_session.reset();
    if (!camera)
        return;
    if (!m_cache)
        m_cache = std::make_unique<TThumbnailCache>();
    // The card is asked only while the camera is connected, lists it and is in playback.
    m_session = std::make_unique<TImportSession>(camera->Import, &camera->Info.MovPlayTime, [camera] {
        return camera->Connected && camera->Import.ImageList.Enabled
            && camera->Remote.CameraMode.Mode == TCameraModeAction::ModePlay;
    });
    // Neither the connection check nor a request of another part may be waiting for the camera.
    m_session->SetCameraIdle([camera] { return !camera->Checking && !camera->ModuleIsLoading(); });
    m_session->PauseThumbnails(!isVisible());
    connectSession();
}

void TfraPhotoImport::connectSession()
{
    TImportSession* session = m_session.get();
    // The controls rest while an operation talks to the camera.
    connect(session, &TImportSession::Communication, this, [this](const TCommunication& communication) {
        UpdateControls(communication.Kind != ceStart);
        emit OnCommunication(communication);
    });
    connect(session, &TImportSession::Progress, this, &TfraCameraPage::OnProgress);
    connect(session, &TImportSession::FoldersListed, this, [this] {
        cbxSource->clear();
        cbxSource->addItems(m_session->Folders());
        // The folder the session loads, the newest.
        cbxSource->setCurrentIndex(cbxSource->count() - 1);
    });
    connect(session, &TImportSession::ListingFailed, this, [this] {
        TLogger::LogAlways(QStringLiteral("TfraPhotoImport: ") + m_session->LastError());
        pnlImportResult->ShowListingFailed(true);
    });
    connect(session, &TImportSession::ItemsCleared, this, &TfraPhotoImport::clearGrid);
    connect(session, &TImportSession::ItemAdded, this, &TfraPhotoImport::addCell);
    connect(session, &TImportSession::ItemChanged, this, &TfraPhotoImport::updateCell);
    connect(session, &TImportSession::PreviewChanged, this, &TfraPhotoImport::updatePreview);
    connect(session, &TImportSession::ThumbnailProgress, pnlImportResult,
        &TPhotoImportResultBar::ShowThumbnailProgress);
    connect(session, &TImportSession::FolderLoaded, this, [this] {
        edtCount->setText(QString::number(igrThumbnails->Cells()->Count()));
        edtDataSize->setText(FileSizeText(m_session->DataSize()));
        cbxSelection->setCurrentIndex(siCustom);
        pnlImportResult->ShowThumbnailProgress(m_session->ThumbnailsDone(), m_session->ThumbnailsTotal());
        if (m_session->LastError().isEmpty())
            pnlImportResult->ShowListingFailed(false);
        tellVisibleCells();
    });
    connect(session, &TImportSession::ImportFinished, this, [this] {
        igrThumbnails->Cells()->DeselectAll();
        // The list shows what is selected now: nothing of its own.
        cbxSelection->setCurrentIndex(siCustom);
        showImportResult();
    });
}

const TPreviewList& TfraPhotoImport::Previews() const
{
    static const TPreviewList none;
    return m_session ? m_session->Previews() : none;
}

QString TfraPhotoImport::downloadDirectory() const
{
    return m_setup ? m_setup->GetDownloadDirectory() : QString();
}

TImportSession::TLoadOptions TfraPhotoImport::loadOptions() const
{
    TImportSession::TLoadOptions options;
    options.LocalFolder = downloadDirectory();
    return options;
}

void TfraPhotoImport::UpdateControls(bool enable)
{
    const TCamera* camera = Camera();
    const bool on = enable && camera && (camera->Capabilities & TCamera::CapImport)
        && camera->Remote.CameraMode.Enabled && camera->Remote.CameraMode.Mode == TCameraModeAction::ModePlay;
    pnlSource->setEnabled(on);
    pnlActions->setEnabled(on);
}

void TfraPhotoImport::GoStart()
{
    if (!m_session)
        return;
    TCamera* camera = Camera();
    const quint16 port = m_setup ? m_setup->LiveViewPort : 0;
    m_session->ReloadSources(
        [this, camera, port] {
            camera->EnterPlayback(port);
            m_session->SetThumbnailCache(
                m_cache.get(), TThumbnailCache::AskCameraName(camera->Info.CameraInfo));
        },
        loadOptions());
}

void TfraPhotoImport::ReloadSources()
{
    if (m_session)
        m_session->ReloadSources({}, loadOptions());
}

void TfraPhotoImport::LoadFolder(const QString& folder)
{
    if (m_session)
        m_session->LoadFolder(folder, loadOptions());
}

void TfraPhotoImport::clearGrid()
{
    pnlThumbnails->Clear();
    edtCount->setText(QStringLiteral("0"));
    edtDataSize->setText(FileSizeText(qint64(0)));
}

void TfraPhotoImport::addCell(int index)
{
    if (!pnlThumbnails->AddCell(m_session->Items()[size_t(index)]))
        logUndecodable(index);
}

void TfraPhotoImport::updateCell(int index)
{
    pnlThumbnails->UpdateCell(index, m_session->Items()[size_t(index)]);
}

void TfraPhotoImport::updatePreview(int index)
{
    if (!pnlThumbnails->UpdatePreview(index, m_session->Items()[size_t(index)]))
        logUndecodable(index);
}

void TfraPhotoImport::logUndecodable(int index) const
{
    TLogger::LogAlways(QStringLiteral("TfraPhotoImport.LoadFolder: thumbnail does not decode: ")
        + m_session->Items()[size_t(index)].File.CameraPath());
}

void TfraPhotoImport::tellVisibleCells()
{
    int first = -1;
    int last = -2;
    igrThumbnails->VisibleRange(first, last);
    if (m_session)
        m_session->SetVisibleItems(first, last);
}

void TfraPhotoImport::showEvent(QShowEvent* event)
{
    TfraCameraPage::showEvent(event);
    if (m_session)
        m_session->PauseThumbnails(false);
}

void TfraPhotoImport::hideEvent(QHideEvent* event)
{
    TfraCameraPage::hideEvent(event);
    if (m_session)
        m_session->PauseThumbnails(true);
}

bool TfraPhotoImport::isLocal(int cellIndex) const
{
    const QString local = LocalFile(cellIndex);
    return !local.isEmpty() && QFileInfo(local).isFile();
}

QString TfraPhotoImport::LocalFile(int cellIndex) const
{
    if (!m_session || cellIndex < 0 || cellIndex >= int(m_session->Items().size()))
        return {};
    return m_session->Items()[size_t(cellIndex)].LocalPath;
}

void TfraPhotoImport::ImportSelection(const QString& targetFolder)
{
    if (IsBusy())
        return;
    // Taken now: clicks while the files come in do not change what is copied.
    const std::vector<int> selected = pnlThumbnails->SelectedCells();
    if (selected.empty()) {
        ShowInformation(rs("_rsNoSelection"));
        return;
    }
    if (!m_session)
        return;
    const QPointer<TfraPhotoImport> self(this);
    lblImportResult->hide();
    showCancel(true);
    m_tellFailures = false;
    m_session->ImportSelection(
        selected, targetFolder, [this] { return BrowseFolder(rs("_rsImportFolder")); });
    if (!self)
        return;
    showCancel(false);
    if (m_tellFailures && ShowInformation)
        ShowInformation(lblImportResult->text());
    m_tellFailures = false;
}

bool TfraPhotoImport::KindSelected(int selectionItem, int cellKind)
{
    // The cell kinds each item selects, one bit per kind (JPEG, RAW, movie); siCustom selects none.
    constexpr quint8 kKinds[siCustom] = { 0b000, 0b111, 0b001, 0b010, 0b100, 0b011, 0b101, 0b110 };
    const bool known = selectionItem >= siNone && selectionItem < siCustom
        && cellKind >= TKmImageGridCell::ckOrdinary && cellKind <= TKmImageGridCell::ckMovie;
    return known && (kKinds[selectionItem] & (1 << cellKind));
}

void TfraPhotoImport::cbxSourceChange()
{
    if (IsBusy())
        return;
    pnlActions->setFocus();
    if (cbxSource->currentIndex() >= 0)
        LoadFolder(cbxSource->currentText());
}

void TfraPhotoImport::cbxSelectionChange()
{
    pnlActions->setFocus();
    const int item = cbxSelection->currentIndex();
    if (item < siNone || item >= siCustom || IsBusy())
        return;
    TKmImageGridCells* cells = igrThumbnails->Cells();
    for (int i = 0; i < cells->Count(); ++i) {
        TKmImageGridCell* cell = cells->Items(i);
        cell->SetSelected(KindSelected(item, cell->Kind()));
    }
}

void TfraPhotoImport::igrThumbnailsSelectCell(TKmImageGridCell* cell, TShiftState)
{
    if (!cell)
        return;
    if (IsBusy()) {
        // What an import copies was fixed when it began; a click now would only mislead.
        cell->SetSelected(!cell->Selected());
        return;
    }
    if (cbxSelection->currentIndex() != siCustom)
        cbxSelection->setCurrentIndex(siCustom);
    if (cell->Selected() && isLocal(cell->Index()))
        cell->SetSelected(false);
}

void TfraPhotoImport::igrThumbnailsDblClickCell(TKmImageGridCell* cell, int cellIndex)
{
    if (!cell || IsBusy() || !isLocal(cellIndex))
        return;
    const QString file = LocalFile(cellIndex);
    const bool internal = m_setup ? m_setup->UseInternalViewer : true;
    if (internal && m_viewer) {
        const QWidget* main = window();
        m_viewer->ShowImageModal(file, main->size(), main->pos());
    } else if (OpenWithSystem) {
        OpenWithSystem(file);
    }
}

void TfraPhotoImport::btnExecuteImportClick()
{
    // Without a folder the session asks for one.
    ImportSelection(QString());
}

void TfraPhotoImport::btnHomeImportClick()
{
    ImportSelection(downloadDirectory());
}

void TfraPhotoImport::btnReloadSourcesClick()
{
    if (IsBusy())
        return;
    pnlImportResult->ShowListingFailed(false);
    // Without folders the card is asked from the start, else the folder shown is read again.
    if (!m_session || m_session->Folders().isEmpty())
        GoStart();
    else
        LoadFolder(cbxSource->currentText());
}
