#include "import/ui/TfraLiveImport.h"

#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "base/TSetup.h"
#include "base/ui/DarkStyle.h"
#include "base/ui/TKmImageHistogram.h"
#include "exif/ui/ExifReaderFill.h"
#include "exif/ui/TfrmViewer.h"
#include "import/CameraDateTime.h"
#include "import/FileSizeText.h"
#include "import/TFileKind.h"
#include "import/TLiveImport.h"
#include "import/ui/TKmImageGrid.h"
#include "liveview/JpegDec.h"
#include "session/TCamera.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QToolButton>
#include <QUrl>

#include <exception>

namespace {

constexpr int kThumbnailEdge = 160;

bool isJpegFile(const QString& fileName)
{
    return TFileKind::IsJpeg(fileName);
}

} // namespace

TfraLiveImport::TfraLiveImport(QWidget* parent)
    : TfraCameraPage(parent)
{
    DarkStyle::Apply(this, DarkStyle::Background());
    createPanels();
    LayOutPage(pnlThumbnails, pnlParameters, pnlActions);

    tmrLoading.setInterval(250);
    connect(&tmrLoading, &QTimer::timeout, this, [this] { tmrLoadingTimer(); });
    tmrSelectCell.setSingleShot(true);
    tmrSelectCell.setInterval(200);
    connect(&tmrSelectCell, &QTimer::timeout, this, [this] { tmrSelectCellTimer(); });

    BrowseFolder = [this](const QString& caption) {
        return QFileDialog::getExistingDirectory(this, caption, edtTargetDir->text());
    };
    OpenWithSystem
        = [](const QString& fileName) { QDesktopServices::openUrl(QUrl::fromLocalFile(fileName)); };
    edtTargetDirChange();
    UpdateTypeLabels();
}

// The import object goes with the page; a wait still running inside it notices that.
TfraLiveImport::~TfraLiveImport() = default;

void TfraLiveImport::createPanels()
{
    pnlThumbnails = new TLiveImportWorkArea(this);
    lblTargetDir = pnlThumbnails->lblTargetDir;
    edtTargetDir = pnlThumbnails->edtTargetDir;
    btnTargetDir = pnlThumbnails->btnTargetDir;
    lblWrongDirectory = pnlThumbnails->lblWrongDirectory;
    lblNotice = pnlThumbnails->lblNotice;
    lblDebug = pnlThumbnails->lblDebug;
    pnlThumbnailsArea = pnlThumbnails->pnlThumbnailsArea;
    igrThumbnails = pnlThumbnails->igrThumbnails;
    pnlInfo = pnlThumbnails->pnlInfo;
    plExifData = pnlInfo->plExifData;
    ihgViewer = pnlInfo->ihgViewer;
    lblQueue = pnlThumbnails->lblQueue;
    imgLoading = pnlThumbnails->imgLoading;
    lblRAW = pnlThumbnails->lblRAW;
    lblJPEG = pnlThumbnails->lblJPEG;
    connect(edtTargetDir, &QLineEdit::textChanged, this, [this] { edtTargetDirChange(); });
    connect(btnTargetDir, &QToolButton::clicked, this, [this] { btnTargetDirClick(); });
    igrThumbnails->OnSelectCell
        = [this](TKmImageGridCell* cell, TShiftState shift) { igrThumbnailsSelectCell(cell, shift); };
    igrThumbnails->OnDblClickCell
        = [this](TKmImageGridCell* cell, int index) { igrThumbnailsDblClickCell(cell, index); };

    pnlParameters = new TLiveImportParameterPanel(this);
    static_cast<PhotoImportLook::TParameterRows&>(*this) = *pnlParameters;
    lblLastTakeInfoCaption = pnlParameters->lblLastTakeInfoCaption;
    lblLastTakeInfo = pnlParameters->lblLastTakeInfo;
    // The polled folder is always the newest: the list shows the folders, a pick changes nothing.
    connect(cbxSource, &QComboBox::activated, this, [this] {
        if (m_live)
            cbxSource->setCurrentIndex(cbxSource->findText(m_live->Folder()));
    });
    connect(cbxSelection, &QComboBox::currentIndexChanged, this, [this] { cbxSelectionChange(); });

    pnlActions = new TLiveImportActionPanel(this);
    btnAutoView = pnlActions->btnAutoView;
    connect(btnAutoView, &QToolButton::clicked, this, [this] { btnAutoViewClick(); });
}

void TfraLiveImport::SetSetup(TSetup* setup)
{
    m_setup = setup;
    m_autoView = setup && setup->AutoView;
    pnlActions->ShowAutoView(m_autoView);
}

void TfraLiveImport::SetCamera(TCamera* camera)
{
    TfraCameraPage::SetCamera(camera);
    m_live.reset();
    if (camera) {
        m_live = std::make_unique<TLiveImport>(
            camera->Import, &camera->Remote.CameraMode, [camera] { return camera->Connected; });
        connectImport();
    }
    m_clickedCell = nullptr;
    pnlInfo->hide();
    showState();
}

void TfraLiveImport::connectImport()
{
    TLiveImport* live = m_live.get();
    connect(live, &TLiveImport::Communication, this, &TfraCameraPage::OnCommunication);
    connect(live, &TLiveImport::Changed, this, [this] { showState(); });
    connect(live, &TLiveImport::FolderChanged, this, [this] { ReloadSources(); });
    connect(live, &TLiveImport::FileLanded, this,
        [this](const TCameraImportItem& file, const QString& localPath) { AddToGallery(file, localPath); });
    connect(live, &TLiveImport::FileFailed, this,
        [this](const TCameraImportItem& file, const QString& reason, bool final) {
            if (final)
                addFailed(file, reason);
        });
}

void TfraLiveImport::GoStart()
{
    if (!m_live)
        return;
    m_live->DetailedLog = m_setup && m_setup->DetailedLog;
    if (!isTargetValid() && m_setup)
        edtTargetDir->setText(m_setup->GetDownloadDirectory());
    edtTargetDirChange();
    if (m_setup && m_setup->SaveFilter) {
        const int stored = cbxSelection->findText(m_setup->LiveImportFilter);
        cbxSelection->setCurrentIndex(stored >= 0 ? stored : siAll);
    }
    m_live->SetFilter(SelectionExtensions(cbxSelection->currentIndex()));
    m_clickedCell = nullptr;
    pnlInfo->hide();
    stopLoadingInfo();
    // The page may go away while the camera is asked.
    const QPointer<TfraLiveImport> self(this);
    m_live->Start();
    if (!self)
        return;
    // The gallery stays from the last visit; only a new folder of the camera empties it.
    showSources();
    showState();
}

void TfraLiveImport::OnLeaveModule()
{
    if (m_live)
        m_live->Leave();
    stopLoadingInfo();
}

void TfraLiveImport::ToggleDebugView()
{
    lblDebug->setVisible(!lblDebug->isVisible());
    showState();
}

bool TfraLiveImport::IsTransferring() const
{
    return m_live && m_live->IsTransferring();
}

void TfraLiveImport::CancelTransfer()
{
    if (m_live)
        m_live->CancelTransfer();
}

bool TfraLiveImport::RequestData(bool queueNew)
{
    return m_live && m_live->RequestData(queueNew);
}

void TfraLiveImport::ReloadSources()
{
    clearGrid();
    showSources();
}

void TfraLiveImport::showSources()
{
    cbxSource->clear();
    if (!m_live)
        return;
    cbxSource->addItems(m_live->Folders());
    cbxSource->setCurrentIndex(cbxSource->findText(m_live->Folder()));
}

void TfraLiveImport::clearGrid()
{
    m_clickedCell = nullptr;
    tmrSelectCell.stop();
    igrThumbnails->ClearCells();
    pnlInfo->hide();
}

void TfraLiveImport::AddToGallery(const TCameraImportItem& file, const QString& localPath)
{
    if (!QFileInfo(localPath).isFile())
        return;
    TLogger::LogTrace(QStringLiteral("TfraLiveImport.AddToGallery: Start"));
    try {
        TKmImageGridCell* cell = igrThumbnails->AddCell();
        const QByteArray thumbnail
            = isJpegFile(localPath) ? LoadThumbnailJpeg(localPath, kThumbnailEdge) : QByteArray();
        if (!cell->SetImage(localPath, thumbnail))
            TLogger::LogAlways(QStringLiteral("TfraLiveImport.AddToGallery: no thumbnail for ") + localPath);
        cell->SetHint(rs("_rsDoubleClickToOpen"));
        cell->SetUpperLeftText(CameraDateText(file.DateText));
        cell->SetUpperRightText(FileSizeText(file.SizeText));
        if (m_autoView && isJpegFile(localPath) && m_viewer) {
            if (m_viewer->isVisible())
                m_viewer->LoadImage(localPath);
            else
                m_viewer->ShowImage(localPath, window()->size(), window()->pos());
        }
    } catch (const std::exception& e) {
        // The file is copied and counted; only its cell or view failed.
        TLogger::LogAlways(
            QStringLiteral("TfraLiveImport.AddToGallery (Ex): ") + QString::fromUtf8(e.what()));
    }
    TLogger::LogTrace(QStringLiteral("TfraLiveImport.AddToGallery: Stop"));
}

void TfraLiveImport::addFailed(const TCameraImportItem& file, const QString& reason)
{
    TKmImageGridCell* cell = igrThumbnails->AddCell();
    cell->SetImage(QString(), QByteArray());
    cell->SetFileName(file.FileName);
    cell->SetHint(reason);
    cell->SetUpperLeftText(CameraDateText(file.DateText));
    cell->SetUpperRightText(FileSizeText(file.SizeText));
    cell->SetLowerText(rs("_rsLiveImportFailed"));
}

void TfraLiveImport::UpdateTypeLabels()
{
    const bool jpeg = m_live && m_live->IsJpeg();
    const bool raw = m_live && m_live->IsRaw();
    // On the work area's lighter grey: "on" reads like enabled text, "off" is disabled text.
    const QColor on = DarkStyle::Readable(DarkStyle::Text(), DarkStyle::Control(), 4.5);
    const QColor off = DarkStyle::Readable(DarkStyle::Dimmed(), DarkStyle::Control(), 3.0);
    DarkStyle::SetTextColor(lblJPEG, jpeg ? on : off);
    DarkStyle::SetTextColor(lblRAW, raw ? on : off);
    lblJPEG->setEnabled(jpeg);
    lblRAW->setEnabled(raw);
}

void TfraLiveImport::UpdateCounters()
{
    edtCount->setText(QString::number(m_live ? m_live->DownloadedCount() : 0));
    edtDataSize->setText(FileSizeText(m_live ? m_live->DownloadedBytes() : 0));
}

void TfraLiveImport::showState()
{
    UpdateCounters();
    UpdateTypeLabels();
    const int queued = m_live ? m_live->QueueLength() : 0;
    lblQueue->setText(rs("_rsFilesInQueue", { queued }));
    QString info = m_live ? m_live->LastTakeInfo() : QString();
    info.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lblLastTakeInfo->setText(info.isEmpty() ? QStringLiteral("-") : info);
    QStringList notices;
    if (m_live && !m_live->ModeNotice().isEmpty())
        notices << m_live->ModeNotice();
    if (m_live && !m_live->Notice().isEmpty())
        notices << m_live->Notice();
    lblNotice->setText(notices.join(QLatin1Char('\n')));
    lblNotice->setVisible(!notices.isEmpty());
    if (IsTransferring())
        startLoadingInfo();
    else
        stopLoadingInfo();
    if (lblDebug->isVisible() && m_live)
        lblDebug->setText(
            QStringLiteral("running %1, requesting %2, downloading %3, cancel %4, queue %5, "
                           "folder %6 via %7, failed %8")
                .arg(m_live->IsRunning())
                .arg(m_live->IsRequesting())
                .arg(m_live->IsDownloading())
                .arg(m_live->IsCancelled())
                .arg(queued)
                .arg(m_live->Folder(),
                    m_live->IsUsingImageList() ? QStringLiteral("get_imglist") : QStringLiteral("DCIM pages"))
                .arg(m_live->FailedCount()));
}

void TfraLiveImport::startLoadingInfo()
{
    if (tmrLoading.isActive())
        return;
    imgLoading->show();
    tmrLoading.start();
}

void TfraLiveImport::stopLoadingInfo()
{
    tmrLoading.stop();
    imgLoading->hide();
}

void TfraLiveImport::tmrLoadingTimer()
{
    imgLoading->setVisible(!imgLoading->isVisible());
}

void TfraLiveImport::ShowInfo(bool single)
{
    const TKmImageGridCell* cell = igrThumbnails->Cells()->SingleSelected();
    const QString file = cell ? cell->FileName() : QString();
    if (!single || !cell || !QFileInfo(file).isAbsolute() || !QFileInfo(file).isFile() || !isJpegFile(file)) {
        pnlInfo->hide();
        return;
    }
    pnlInfo->show();
    ihgViewer->SetJpegFileName(file);
    TExifRect focusFrame;
    QList<TExifRect> faces;
    ExifReaderFill::Fill(plExifData, file, focusFrame, faces);
}

void TfraLiveImport::igrThumbnailsSelectCell(TKmImageGridCell* cell, TShiftState)
{
    m_clickedCell = cell;
    tmrSelectCell.start();
}

void TfraLiveImport::tmrSelectCellTimer()
{
    tmrSelectCell.stop();
    TLogger::LogTrace(QStringLiteral("TfraLiveImport.tmrSelectCellTimer: Verarbeitung"));
    TKmImageGridCells* cells = igrThumbnails->Cells();
    const bool selected = m_clickedCell && m_clickedCell->Selected();
    // The grid behaves as a single selection.
    for (int i = 0; i < cells->Count(); ++i) {
        TKmImageGridCell* cell = cells->Items(i);
        if (cell != m_clickedCell || !selected)
            cell->SetSelected(false);
    }
    if (selected) {
        ShowInfo(true);
    } else {
        m_clickedCell = nullptr;
        pnlInfo->hide();
    }
}

void TfraLiveImport::igrThumbnailsDblClickCell(TKmImageGridCell* cell, int)
{
    tmrSelectCell.stop();
    // A failed file's cell holds only the camera's name.
    if (!cell || !QFileInfo(cell->FileName()).isAbsolute() || !QFileInfo(cell->FileName()).isFile())
        return;
    const QString file = cell->FileName();
    const bool internal = m_setup ? m_setup->UseInternalViewer : true;
    if (internal && m_viewer)
        m_viewer->ShowImage(file, window()->size(), window()->pos());
    else if (OpenWithSystem)
        OpenWithSystem(file);
}

bool TfraLiveImport::isTargetValid() const
{
    const QString folder = edtTargetDir->text().trimmed();
    return !folder.isEmpty() && QFileInfo(folder).isDir();
}

void TfraLiveImport::edtTargetDirChange()
{
    const bool valid = isTargetValid();
    lblWrongDirectory->setVisible(!valid);
    pnlThumbnailsArea->setVisible(valid);
    if (m_live)
        m_live->SetTargetFolder(valid ? edtTargetDir->text().trimmed() : QString());
}

void TfraLiveImport::btnTargetDirClick()
{
    if (!BrowseFolder)
        return;
    const QString folder = BrowseFolder(lblTargetDir->text());
    if (!folder.isEmpty())
        edtTargetDir->setText(folder);
}

QStringList TfraLiveImport::SelectionExtensions(int selectionItem)
{
    return TFileKind::SelectionTypes(selectionItem);
}

void TfraLiveImport::cbxSelectionChange()
{
    if (m_live)
        m_live->SetFilter(SelectionExtensions(cbxSelection->currentIndex()));
    if (m_setup && m_setup->SaveFilter)
        m_setup->LiveImportFilter = cbxSelection->currentText();
}

void TfraLiveImport::btnAutoViewClick()
{
    m_autoView = !m_autoView;
    pnlActions->ShowAutoView(m_autoView);
    if (m_setup)
        m_setup->AutoView = m_autoView;
}
