#include "import/ui/TfraPhotoImport.h"

#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "base/TSetup.h"
#include "base/ui/DarkStyle.h"
#include "session/TCamera.h"
#include "exif/ui/TfrmViewer.h"
#include "import/CameraDateTime.h"
#include "import/FileSizeText.h"
#include "import/ui/ImportGridLook.h"
#include "import/ui/TKmImageGrid.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int kColumnWidth = 313;
constexpr int kActionHeight = 89;
constexpr int kMargin = 16;
constexpr int kButtonSize = 64;

const char* const kSelectionItems[] = { "Keine", "Alle", "JPEG", "RAW", "Movies", "JPEG + RAW",
    "JPEG + Movies", "RAW + Movies", "Benutzerdefiniert" };

void log(const QString& message, bool always = false)
{
    TLogger::LogTo(message, always);
}

QPen artPen(const QColor& colour, qreal width = 3)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// The download arrow both buttons share, pointing down into the target.
void paintArrow(QPainter& p, const QPointF& top, qreal length, const QColor& colour)
{
    p.setPen(artPen(colour, 4));
    p.drawLine(top, top + QPointF(0, length));
    p.drawLine(top + QPointF(-8, length - 8), top + QPointF(0, length));
    p.drawLine(top + QPointF(8, length - 8), top + QPointF(0, length));
}

// A folder opening to a dialog: "import into a folder I choose".
QPixmap folderIcon(const QColor& colour)
{
    QPixmap pixmap(kButtonSize, kButtonSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath folder;
    folder.moveTo(8, 26);
    folder.lineTo(8, 56);
    folder.lineTo(56, 56);
    folder.lineTo(56, 30);
    folder.lineTo(32, 30);
    folder.lineTo(27, 24);
    folder.lineTo(8, 24);
    folder.closeSubpath();
    p.setPen(artPen(colour));
    p.setBrush(Qt::NoBrush);
    p.drawPath(folder);
    paintArrow(p, QPointF(40, 4), 40, colour);
    return pixmap;
}

// A house: "import into the default folder".
QPixmap homeIcon(const QColor& colour)
{
    QPixmap pixmap(kButtonSize, kButtonSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(artPen(colour));
    const QPointF roof[] = { { 6, 34 }, { 32, 12 }, { 58, 34 } };
    p.drawPolyline(roof, 3);
    p.drawRect(QRectF(14, 32, 36, 26));
    paintArrow(p, QPointF(32, 2), 44, colour);
    return pixmap;
}

// The panel's closing picture: a memory card handing pictures to the computer.
QPixmap decorationPicture(int width)
{
    const int height = 120;
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor line = DarkStyle::Dimmed();
    const QColor fill = DarkStyle::Control();
    const qreal cx = width / 2.0;

    QPainterPath card;
    card.moveTo(cx - 90, 20);
    card.lineTo(cx - 56, 20);
    card.lineTo(cx - 46, 30);
    card.lineTo(cx - 46, 100);
    card.lineTo(cx - 90, 100);
    card.closeSubpath();
    p.setPen(artPen(line, 2));
    p.setBrush(fill);
    p.drawPath(card);
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(cx - 84 + i * 8, 26), QPointF(cx - 84 + i * 8, 36));

    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(cx - 34 + i * 14, 60), QPointF(cx - 28 + i * 14, 60));
    p.drawLine(QPointF(cx + 2, 52), QPointF(cx + 10, 60));
    p.drawLine(QPointF(cx + 2, 68), QPointF(cx + 10, 60));

    // Three prints, fanned.
    for (int i = 2; i >= 0; --i) {
        p.save();
        p.translate(cx + 54, 60);
        p.rotate(-12 + i * 12);
        p.setBrush(i == 0 ? DarkStyle::Text() : fill);
        p.drawRect(QRectF(-30, -24, 60, 46));
        p.restore();
    }
    p.setPen(artPen(DarkStyle::Panel(), 2));
    p.setBrush(DarkStyle::Panel());
    const QPointF mountain[]
        = { { cx + 30, 74 }, { cx + 46, 56 }, { cx + 56, 66 }, { cx + 64, 58 }, { cx + 78, 74 } };
    p.save();
    p.translate(cx + 54, 60);
    p.rotate(-12);
    p.translate(-(cx + 54), -60);
    p.drawPolygon(mountain, 5);
    p.drawEllipse(QPointF(cx + 68, 48), 4, 4);
    p.restore();
    return pixmap;
}

QLabel* makeLabel(const QString& name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    DarkStyle::SetTextColor(label, DarkStyle::Text());
    return label;
}

QLineEdit* makeReadOnlyField(const QString& name, const QString& text, QWidget* parent)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
    return edit;
}

QToolButton* makeActionButton(const QString& name, const QString& hint, const QPixmap& icon, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setFixedSize(kButtonSize, kButtonSize);
    button->setIconSize(QSize(kButtonSize - 8, kButtonSize - 8));
    button->setIcon(QIcon(icon));
    button->setAutoRaise(true);
    return button;
}

// Sets the page's busy flag for the length of an operation; a page that went away during one of
// its waits is not touched again.
class BusyScope
{
public:
    BusyScope(bool& busy, std::shared_ptr<bool> alive)
        : m_busy(busy)
        , m_alive(std::move(alive))
    {
        m_busy = true;
    }
    ~BusyScope()
    {
        if (*m_alive)
            m_busy = false;
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& m_busy;
    std::shared_ptr<bool> m_alive;
};

// Folder and file names from a listing go into requests and local paths; only plain names are shown.
bool plainListingName(const QString& name)
{
    return !TFileLoaderAction::SafeFileName(name).isEmpty();
}

} // namespace

TfraPhotoImport::TfraPhotoImport(QWidget* parent)
    : TfraCameraPage(parent)
{
    DarkStyle::Apply(this, DarkStyle::Background());

    auto* pnlThumbnails = new QWidget(this);
    pnlThumbnails->setObjectName(QStringLiteral("pnlThumbnails"));
    DarkStyle::Apply(pnlThumbnails, DarkStyle::Control());
    auto* left = new QVBoxLayout(pnlThumbnails);
    left->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    igrThumbnails = new TKmImageGrid(pnlThumbnails);
    igrThumbnails->setObjectName(QStringLiteral("igrThumbnails"));
    ApplyImportGridLook(*igrThumbnails->Cells());
    igrThumbnails->SetRangeSelect(false);
    igrThumbnails->OnSelectCell
        = [this](TKmImageGridCell* cell, TShiftState shift) { igrThumbnailsSelectCell(cell, shift); };
    igrThumbnails->OnDblClickCell
        = [this](TKmImageGridCell* cell, int index) { igrThumbnailsDblClickCell(cell, index); };
    left->addWidget(igrThumbnails);

    auto* column = new QWidget(this);
    column->setObjectName(QStringLiteral("pnlRight"));
    column->setFixedWidth(kColumnWidth);
    DarkStyle::Apply(column, DarkStyle::Control());
    auto* right = new QVBoxLayout(column);
    right->setContentsMargins(0, kMargin, kMargin, kMargin);
    right->setSpacing(kMargin);
    right->addWidget(createSourcePanel(), 1);
    right->addWidget(createActionPanel());

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(pnlThumbnails, 1);
    row->addWidget(column);

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

TfraPhotoImport::~TfraPhotoImport()
{
    *m_alive = false;
}

QWidget* TfraPhotoImport::createSourcePanel()
{
    pnlSource = new QWidget(this);
    pnlSource->setObjectName(QStringLiteral("pnlSource"));
    DarkStyle::Apply(pnlSource, DarkStyle::Panel());
    auto* layout = new QGridLayout(pnlSource);
    layout->setContentsMargins(kMargin, kMargin, kMargin, 0);
    layout->setHorizontalSpacing(12);
    layout->setVerticalSpacing(10);

    lblImportPropertiesTitel
        = makeLabel(QStringLiteral("lblImportPropertiesTitel"), QStringLiteral("Importparameter"), pnlSource);
    QFont title = lblImportPropertiesTitel->font();
    title.setPixelSize(16);
    title.setBold(true);
    lblImportPropertiesTitel->setFont(title);
    layout->addWidget(lblImportPropertiesTitel, 0, 0, 1, 2);

    lblSource = makeLabel(QStringLiteral("lblSource"), QStringLiteral("Quelle"), pnlSource);
    cbxSource = new QComboBox(pnlSource);
    cbxSource->setObjectName(QStringLiteral("cbxSource"));
    // Only the user's choice loads a folder; ReloadSources sets the index itself.
    connect(cbxSource, &QComboBox::activated, this, [this] { cbxSourceChange(); });

    lblCount = makeLabel(QStringLiteral("lblCount"), QStringLiteral("Aufnahmen"), pnlSource);
    edtCount = makeReadOnlyField(QStringLiteral("edtCount"), QStringLiteral("0"), pnlSource);
    lblDataSize = makeLabel(QStringLiteral("lblDataSize"), QStringLiteral("Datenvolumen"), pnlSource);
    edtDataSize = makeReadOnlyField(QStringLiteral("edtDataSize"), QStringLiteral("0 MB"), pnlSource);

    lblSelection = makeLabel(QStringLiteral("lblSelection"), QStringLiteral("Auswahl"), pnlSource);
    cbxSelection = new QComboBox(pnlSource);
    cbxSelection->setObjectName(QStringLiteral("cbxSelection"));
    QStringList items;
    for (const char* item : kSelectionItems)
        items << QString::fromUtf8(item);
    // The language module translates the list through this property.
    cbxSelection->setProperty("items", items);
    cbxSelection->addItems(items);
    cbxSelection->setCurrentIndex(siCustom);
    cbxSelection->installEventFilter(this);
    // Also a second pick of the item shown applies it again; the page's own index changes do not.
    connect(cbxSelection, &QComboBox::activated, this, [this] { cbxSelectionChange(); });

    const std::pair<QLabel*, QWidget*> rows[] = { { lblSource, cbxSource }, { lblCount, edtCount },
        { lblDataSize, edtDataSize }, { lblSelection, cbxSelection } };
    int r = 1;
    for (const auto& [label, field] : rows) {
        layout->addWidget(label, r, 0);
        layout->addWidget(field, r++, 1);
    }
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(r++, 1);

    imgDecoration = new QLabel(pnlSource);
    imgDecoration->setObjectName(QStringLiteral("imgDecoration"));
    imgDecoration->setPixmap(decorationPicture(kColumnWidth - 2 * kMargin));
    imgDecoration->setAlignment(Qt::AlignCenter);
    layout->addWidget(imgDecoration, r, 0, 1, 2);
    return pnlSource;
}

QWidget* TfraPhotoImport::createActionPanel()
{
    pnlActions = new QWidget(this);
    pnlActions->setObjectName(QStringLiteral("pnlActions"));
    pnlActions->setFixedHeight(kActionHeight);
    pnlActions->setFocusPolicy(Qt::StrongFocus);
    DarkStyle::Apply(pnlActions, DarkStyle::Panel());
    btnExecuteImport = makeActionButton(QStringLiteral("btnExecuteImport"),
        QStringLiteral("Auswahl per Dialog importieren"), folderIcon(DarkStyle::Text()), pnlActions);
    btnHomeImport = makeActionButton(QStringLiteral("btnHomeImport"),
        QStringLiteral("Auswahl in Standardordner importieren"), homeIcon(DarkStyle::Text()), pnlActions);
    connect(btnExecuteImport, &QToolButton::clicked, this, [this] { btnExecuteImportClick(); });
    connect(btnHomeImport, &QToolButton::clicked, this, [this] { btnHomeImportClick(); });
    auto* layout = new QHBoxLayout(pnlActions);
    layout->setContentsMargins(kMargin, 0, kMargin, 0);
    layout->addStretch(1);
    layout->addWidget(btnExecuteImport);
    layout->addSpacing(kMargin * 2);
    layout->addWidget(btnHomeImport);
    layout->addStretch(1);
    return pnlActions;
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

void TfraPhotoImport::setSelectionIndex(int index)
{
    cbxSelection->setCurrentIndex(index);
}

void TfraPhotoImport::SetCamera(TCamera* camera)
{
    TfraCameraPage::SetCamera(camera);
    m_previews.Clear();
}

QString TfraPhotoImport::downloadDirectory() const
{
    return m_setup ? m_setup->GetDownloadDirectory() : QString();
}

void TfraPhotoImport::progress(const QString& title, const QString& detail, bool finished, double percent)
{
    // Halves to even, as the progress line has always rounded.
    emit OnProgress(title, detail, finished, int(std::nearbyint(percent)));
}

bool TfraPhotoImport::cameraLost() const
{
    const TCamera* camera = Camera();
    return !camera || !camera->Connected || !camera->Import.ImageList.Enabled;
}

void TfraPhotoImport::UpdateControls(bool enable)
{
    const TCamera* camera = Camera();
    const bool on = enable && camera && (camera->Capabilities & TCamera::CapImport)
        && camera->Remote.CameraMode.Enabled && camera->Remote.CameraMode.Mode == TCameraModeAction::ModePlay;
    pnlSource->setEnabled(on);
    pnlActions->setEnabled(on);
}

void TfraPhotoImport::clearGrid()
{
    igrThumbnails->ClearCells();
    m_files.clear();
    edtCount->setText(QStringLiteral("0"));
    edtDataSize->setText(FileSizeText(qint64(0)));
}

void TfraPhotoImport::GoStart()
{
    if (m_busy)
        return;
    const std::shared_ptr<bool> alive = m_alive;
    communicationStarted();
    {
        BusyScope busy(m_busy, alive);
        if (TCamera* camera = Camera()) {
            const quint16 port = m_setup ? m_setup->LiveViewPort : 0;
            for (TBaseLiveViewAction* liveView :
                { static_cast<TBaseLiveViewAction*>(&camera->Remote.LiveView),
                    static_cast<TBaseLiveViewAction*>(&camera->Remote.ReleaseView) }) {
                if (liveView->LiveViewState == TBaseLiveViewAction::Started)
                    liveView->Execute(TBaseLiveViewAction::KindStop, port);
                if (!*alive)
                    return;
            }
            if (camera->Remote.CameraMode.Enabled)
                camera->Remote.CameraMode.SwitchToMode(TCameraModeAction::ModePlay);
            if (!*alive)
                return;
        }
        reloadSources();
    }
    if (*alive)
        communicationStopped();
}

void TfraPhotoImport::ReloadSources()
{
    if (m_busy)
        return;
    BusyScope busy(m_busy, m_alive);
    reloadSources();
}

void TfraPhotoImport::reloadSources()
{
    const std::shared_ptr<bool> alive = m_alive;
    UpdateControls(false);
    cbxSource->clear();
    clearGrid();
    TCamera* camera = Camera();
    if (camera && camera->Remote.CameraMode.Mode == TCameraModeAction::ModePlay
        && camera->Import.ImageList.Execute(QString())) {
        if (!*alive)
            return;
        camera->Import.ImageList.ParseFolders();
        for (const QString& folder : camera->Import.ImageList.Folders) {
            if (plainListingName(folder))
                cbxSource->addItem(folder);
            else
                log(QStringLiteral("TfraPhotoImport.ReloadSources: folder name refused: ") + folder, true);
        }
        if (cbxSource->count() == 1) {
            cbxSource->setCurrentIndex(0);
            loadFolder(cbxSource->itemText(0));
            if (!*alive)
                return;
        }
    }
    if (*alive)
        UpdateControls(true);
}

void TfraPhotoImport::LoadFolder(const QString& folder)
{
    if (m_busy)
        return;
    BusyScope busy(m_busy, m_alive);
    loadFolder(folder);
}

void TfraPhotoImport::loadFolder(const QString& folder)
{
    const std::shared_ptr<bool> alive = m_alive;
    UpdateControls(false);
    clearGrid();
    TCamera* camera = Camera();
    if (camera && camera->Remote.CameraMode.Mode == TCameraModeAction::ModePlay
        && camera->Import.ImageList.Execute(QLatin1Char('/') + folder)) {
        if (!*alive)
            return;
        TImageListAction& list = camera->Import.ImageList;
        list.ParseItems();
        // A copy: the listing action may run again while this load waits for thumbnails.
        std::vector<TCameraImportItem> items;
        for (const TCameraImportItem* item : list.Items)
            items.push_back(*item);
        const int count = int(items.size());
        const QString title = rs("_rsLoadPreview", { count });
        const double step = count > 0 ? 100.0 / count : 0;
        progress(title, QString(), false, 0);

        const QString localBase = downloadDirectory();
        qint64 total = 0;
        bool interrupted = false;
        for (int i = 0; i < count; ++i) {
            const TCameraImportItem& item = items[size_t(i)];
            if (cameraLost()) {
                interrupted = true;
                break;
            }
            if (!plainListingName(item.FileName) || !plainListingName(item.Directory.mid(1))
                || !item.Directory.startsWith(QLatin1Char('/'))) {
                log(QStringLiteral("TfraPhotoImport.LoadFolder: file name refused: ") + item.Directory
                        + QLatin1Char('/') + item.FileName,
                    true);
                progress(title, QString(), false, (i + 1) * step);
                continue;
            }
            const QString path = item.CameraPath();
            TPreview* preview = m_previews.Find(path);
            if (!preview) {
                TThumbnailAction& thumbnail = camera->Import.Thumbnail;
                const bool ok = thumbnail.Execute(path);
                if (!*alive)
                    return;
                if (ok && !thumbnail.Data.isEmpty()) {
                    m_previews.Add(std::make_unique<TPreview>(path, thumbnail.Data));
                    preview = m_previews.Find(path);
                } else if (!ok && thumbnail.ResponseCode < 0) {
                    // No answer at all: the camera is gone, every further request would wait as long.
                    interrupted = true;
                    break;
                }
            }
            if (preview) {
                addCell(item, *preview, localBase);
                if (!*alive)
                    return;
                const qint64 size = item.Size();
                if (size > 0)
                    total += size;
            }
            progress(title, item.FileName, false, (i + 1) * step);
        }
        edtCount->setText(QString::number(igrThumbnails->Cells()->Count()));
        edtDataSize->setText(FileSizeText(total));
        progress(title, rs(interrupted ? "_rsTaskFailed" : "_rsTaskFinished"), true, 100);
    }
    if (!*alive)
        return;
    UpdateControls(true);
    setSelectionIndex(siCustom);
}

void TfraPhotoImport::addCell(
    const TCameraImportItem& item, const TPreview& preview, const QString& localBase)
{
    const QString path = item.CameraPath();
    const QString local
        = localBase.isEmpty() ? QString() : TFileLoaderAction::TargetPath(localBase, item.FileName);
    const bool copied = !local.isEmpty() && QFileInfo(local).isFile();
    TKmImageGridCell* cell = igrThumbnails->AddCell();
    // A thumbnail that does not decode leaves the cell with its name and the "no preview" panel.
    if (!cell->SetImage(copied ? local : path, preview.Stream()))
        log(QStringLiteral("TfraPhotoImport.LoadFolder: thumbnail does not decode: ") + path, true);
    if (copied)
        cell->SetHint(rs("_rsDoubleClickToOpen"));
    cell->SetUpperLeftText(CameraDateText(item.DateText));
    cell->SetUpperRightText(FileSizeText(item.SizeText));
    m_files.push_back({ path, item.FileName, item.Size(), item.DateTime(), copied ? local : QString() });

    TCamera* camera = Camera();
    if (item.FileName.endsWith(QLatin1String(".MOV"), Qt::CaseInsensitive)
        && camera->Info.MovPlayTime.Enabled) {
        const std::shared_ptr<bool> alive = m_alive;
        const int index = cell->Index();
        QString playTime;
        const bool ok = camera->Info.MovPlayTime.Execute(path, playTime);
        if (!*alive)
            return;
        if (TKmImageGridCell* still = igrThumbnails->Cells()->Items(index); ok && still)
            still->SetLowerText(playTime);
    }
}

bool TfraPhotoImport::isLocal(int cellIndex) const
{
    const QString local = LocalFile(cellIndex);
    return !local.isEmpty() && QFileInfo(local).isFile();
}

QString TfraPhotoImport::LocalFile(int cellIndex) const
{
    return cellIndex >= 0 && cellIndex < int(m_files.size()) ? m_files[size_t(cellIndex)].LocalPath
                                                             : QString();
}

void TfraPhotoImport::ImportSelection(const QString& targetFolder)
{
    if (m_busy)
        return;
    TKmImageGridCells* cells = igrThumbnails->Cells();
    const int n = cells->SelectedCount();
    if (n < 1) {
        ShowInformation(rs("_rsNoSelection"));
        return;
    }
    const std::shared_ptr<bool> alive = m_alive;
    QString folder = targetFolder.trimmed();
    if (folder.isEmpty()) {
        folder = BrowseFolder(rs("_rsImportFolder")).trimmed();
        if (!*alive || folder.isEmpty())
            return;
    }
    if (!QFileInfo(folder).isDir())
        return;

    communicationStarted();
    {
        BusyScope busy(m_busy, alive);
        importSelection(QFileInfo(folder).absoluteFilePath(), n);
    }
    if (*alive)
        communicationStopped();
}

void TfraPhotoImport::importSelection(const QString& folder, int n)
{
    const std::shared_ptr<bool> alive = m_alive;
    TKmImageGridCells* cells = igrThumbnails->Cells();
    UpdateControls(false);
    const QString title = rs("_rsImportFile", { n });
    const double step = 100.0 / n;
    progress(title, QString(), false, 0);

    // Taken now: clicks while the files come in do not change what is copied.
    std::vector<int> selected;
    for (int i = 0; i < cells->Count(); ++i)
        if (cells->Items(i)->Selected())
            selected.push_back(i);

    TCamera* camera = Camera();
    bool interrupted = false;
    int done = 0;
    for (const int index : selected) {
        TCellFile& file = m_files[size_t(index)];
        progress(title, file.FileName, false, done * step);
        if (!QFileInfo(folder).isDir() || cameraLost()) {
            interrupted = true;
            break;
        }
        if (!isLocal(index)) {
            QString why;
            const QString local = TFileLoaderAction::TargetPath(folder, file.FileName, &why);
            if (local.isEmpty()) {
                log(QStringLiteral("TfraPhotoImport.ImportSelection: ") + why, true);
            } else {
                TFileLoaderAction& loader = camera->Import.FileLoader;
                const bool ok = loader.Load(file.CameraPath, { local, file.Size, file.Modified }, true);
                if (!*alive)
                    return;
                if (ok && loader.LoadedFile == local) {
                    file.LocalPath = local;
                    if (TKmImageGridCell* cell = cells->Items(index)) {
                        cell->SetFileName(local);
                        cell->SetHint(rs("_rsDoubleClickToOpen"));
                    }
                    progress(title, file.FileName, false, (done + 1) * step);
                } else if (ok
                    || (loader.ResponseCode < 0 && loader.LastFailure != TCameraFailure::LocalWrite)) {
                    // Reset meanwhile, or no answer at all: the camera is gone.
                    interrupted = true;
                    break;
                }
            }
        }
        ++done;
    }
    progress(title, rs(interrupted ? "_rsTaskFailed" : "_rsTaskFinished"), true, 100);
    if (!*alive)
        return;
    cells->DeselectAll();
    // The list shows what is selected now: nothing of its own.
    setSelectionIndex(siCustom);
    UpdateControls(true);
}

bool TfraPhotoImport::KindSelected(int selectionItem, int cellKind)
{
    const bool jpeg = cellKind == TKmImageGridCell::ckOrdinary;
    const bool raw = cellKind == TKmImageGridCell::ckRaw;
    const bool movie = cellKind == TKmImageGridCell::ckMovie;
    switch (selectionItem) {
    case siAll:
        return true;
    case siJpeg:
        return jpeg;
    case siRaw:
        return raw;
    case siMovies:
        return movie;
    case siJpegRaw:
        return jpeg || raw;
    case siJpegMovies:
        return jpeg || movie;
    case siRawMovies:
        return raw || movie;
    default:
        return false;
    }
}

void TfraPhotoImport::cbxSourceChange()
{
    if (m_busy)
        return;
    const std::shared_ptr<bool> alive = m_alive;
    communicationStarted();
    pnlActions->setFocus();
    if (cbxSource->currentIndex() >= 0)
        LoadFolder(cbxSource->currentText());
    if (*alive)
        communicationStopped();
}

void TfraPhotoImport::cbxSelectionChange()
{
    pnlActions->setFocus();
    const int item = cbxSelection->currentIndex();
    if (item < siNone || item >= siCustom || m_busy)
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
    if (m_busy) {
        // What an import copies was fixed when it began; a click now would only mislead.
        cell->SetSelected(!cell->Selected());
        return;
    }
    if (cbxSelection->currentIndex() != siCustom)
        setSelectionIndex(siCustom);
    if (cell->Selected() && isLocal(cell->Index()))
        cell->SetSelected(false);
}

void TfraPhotoImport::igrThumbnailsDblClickCell(TKmImageGridCell* cell, int cellIndex)
{
    if (!cell || m_busy || !isLocal(cellIndex))
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
    if (m_busy)
        return;
    if (igrThumbnails->Cells()->SelectedCount() < 1) {
        ShowInformation(rs("_rsNoSelection"));
        return;
    }
    const std::shared_ptr<bool> alive = m_alive;
    const QString folder = BrowseFolder(rs("_rsImportFolder")).trimmed();
    if (*alive && !folder.isEmpty() && QFileInfo(folder).isDir())
        ImportSelection(folder);
}

void TfraPhotoImport::btnHomeImportClick()
{
    ImportSelection(downloadDirectory());
}
