// The live import page's controls and their places; the behaviour is in TfraLiveImport.cpp.
#include "import/ui/TfraLiveImport.h"

#include "base/TLanguageModule.h"
#include "base/ui/DarkStyle.h"
#include "base/ui/PhotoImportLook.h"
#include "base/ui/TKmImageHistogram.h"
#include "exif/ui/TKmPropertyList.h"
#include "import/TLiveImport.h"
#include "import/ui/ImportGridLook.h"
#include "import/ui/TKmImageGrid.h"

#include <QComboBox>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kMargin = TfraCameraPage::PanelMargin;
constexpr int kInfoWidth = 280;
constexpr int kBusySize = 24;

// The information list's fonts, as in the viewer's side panel.
QFont listFont(bool bold)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    font.setBold(bold);
    return font;
}

const char* const kSelectionItems[]
    = { "Alle", "JPEG", "RAW", "Movies", "JPEG + RAW", "JPEG + Movies", "RAW + Movies" };

// Three quarters of a ring with an arrow head: "files are coming in".
QPixmap busyPicture()
{
    QPixmap picture(kBusySize, kBusySize);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(DarkStyle::Text(), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(4, 4, 16, 16), 90 * 16, 270 * 16);
    p.setBrush(DarkStyle::Text());
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF({ QPointF(12, 0), QPointF(18, 4), QPointF(12, 8) }));
    return picture;
}

} // namespace

// A screen with a picture on it; filled when new pictures go to the viewer by themselves.
QPixmap TfraLiveImport::autoViewPicture(bool on)
{
    const int size = PhotoImportLook::ButtonSize - 8;
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colour = on ? DarkStyle::Active() : DarkStyle::Text();
    p.setPen(QPen(colour, 3));
    p.setBrush(on ? DarkStyle::Control() : Qt::transparent);
    p.drawRoundedRect(QRectF(4, 8, size - 8, size - 22), 3, 3);
    p.drawLine(QPointF(size / 2.0, size - 14), QPointF(size / 2.0, size - 8));
    p.drawLine(QPointF(size / 2.0 - 9, size - 7), QPointF(size / 2.0 + 9, size - 7));
    // Mountains and a sun: a picture.
    p.setPen(QPen(colour, 2));
    p.drawPolyline(QPolygonF({ QPointF(10, size - 18), QPointF(20, size - 30), QPointF(27, size - 23),
        QPointF(33, size - 28), QPointF(size - 10, size - 18) }));
    p.drawEllipse(QPointF(size - 17, 17), 3, 3);
    return picture;
}

QWidget* TfraLiveImport::createWorkArea()
{
    auto* pnlThumbnails = new QWidget(this);
    pnlThumbnails->setObjectName(QStringLiteral("pnlThumbnails"));
    DarkStyle::Apply(pnlThumbnails, DarkStyle::Control());
    auto* left = new QVBoxLayout(pnlThumbnails);
    left->setContentsMargins(kMargin, kMargin, kMargin, 8);
    left->setSpacing(8);

    auto* top = new QHBoxLayout;
    lblTargetDir = PhotoImportLook::Label(
        QStringLiteral("lblTargetDir"), QStringLiteral("Ablageverzeichnis"), pnlThumbnails);
    edtTargetDir = PhotoImportLook::ReadOnlyField(QStringLiteral("edtTargetDir"), QString(), pnlThumbnails);
    btnTargetDir = new QToolButton(pnlThumbnails);
    btnTargetDir->setObjectName(QStringLiteral("btnTargetDir"));
    btnTargetDir->setText(QStringLiteral("…"));
    btnTargetDir->setToolTip(QStringLiteral("Ablageverzeichnis wählen"));
    top->addWidget(lblTargetDir);
    top->addWidget(edtTargetDir, 1);
    top->addWidget(btnTargetDir);
    left->addLayout(top);
    connect(edtTargetDir, &QLineEdit::textChanged, this, [this] { edtTargetDirChange(); });
    connect(btnTargetDir, &QToolButton::clicked, this, [this] { btnTargetDirClick(); });

    lblNotice = PhotoImportLook::Label(QStringLiteral("lblNotice"), QString(), pnlThumbnails);
    lblNotice->setWordWrap(true);
    DarkStyle::SetTextColor(lblNotice, DarkStyle::Warning());
    lblNotice->hide();
    left->addWidget(lblNotice);
    lblDebug = PhotoImportLook::Label(QStringLiteral("lblDebug"), QString(), pnlThumbnails);
    lblDebug->setWordWrap(true);
    lblDebug->hide();
    left->addWidget(lblDebug);

    lblWrongDirectory = new QLabel(QStringLiteral("Zur Nutzung dieses Moduls muss unbedingt ein gültiges "
                                                  "Zielverzeichnis angegeben werden!"),
        pnlThumbnails);
    lblWrongDirectory->setObjectName(QStringLiteral("lblWrongDirectory"));
    lblWrongDirectory->setWordWrap(true);
    lblWrongDirectory->setAlignment(Qt::AlignCenter);
    QFont bold = lblWrongDirectory->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    lblWrongDirectory->setFont(bold);
    // A red light enough to read on the lightest of the greys.
    DarkStyle::SetTextColor(
        lblWrongDirectory, DarkStyle::Readable(QColor(Qt::red), DarkStyle::Control(), 4.5));
    left->addWidget(lblWrongDirectory, 1);

    pnlThumbnailsArea = new QWidget(pnlThumbnails);
    pnlThumbnailsArea->setObjectName(QStringLiteral("pnlThumbnailsArea"));
    auto* area = new QHBoxLayout(pnlThumbnailsArea);
    area->setContentsMargins(0, 0, 0, 0);
    igrThumbnails = new TKmImageGrid(pnlThumbnailsArea);
    igrThumbnails->setObjectName(QStringLiteral("igrThumbnails"));
    ApplyImportGridLook(*igrThumbnails->Cells());
    igrThumbnails->SetRangeSelect(false);
    igrThumbnails->OnSelectCell
        = [this](TKmImageGridCell* cell, TShiftState shift) { igrThumbnailsSelectCell(cell, shift); };
    igrThumbnails->OnDblClickCell
        = [this](TKmImageGridCell* cell, int index) { igrThumbnailsDblClickCell(cell, index); };
    area->addWidget(igrThumbnails, 1);
    area->addWidget(createInfoPanel(pnlThumbnailsArea));
    left->addWidget(pnlThumbnailsArea, 1);

    auto* bottom = new QHBoxLayout;
    lblQueue = PhotoImportLook::Label(
        QStringLiteral("lblQueue"), QStringLiteral("0 Dateien in der Warteschlange"), pnlThumbnails);
    imgLoading = new QLabel(pnlThumbnails);
    imgLoading->setObjectName(QStringLiteral("imgLoading"));
    imgLoading->setFixedSize(kBusySize, kBusySize);
    imgLoading->setPixmap(busyPicture());
    // Blinking leaves its place empty, so the labels beside it stay where they are.
    QSizePolicy keep = imgLoading->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    imgLoading->setSizePolicy(keep);
    imgLoading->hide();
    lblRAW = PhotoImportLook::Label(QStringLiteral("lblRAW"), QStringLiteral("RAW"), pnlThumbnails);
    lblJPEG = PhotoImportLook::Label(QStringLiteral("lblJPEG"), QStringLiteral("JPEG"), pnlThumbnails);
    // The work area is lighter than the panels the scheme's text colour was chosen for.
    for (QLabel* label : { lblTargetDir, lblQueue })
        DarkStyle::SetTextColor(label, DarkStyle::Readable(DarkStyle::Text(), DarkStyle::Control(), 4.5));
    bottom->addWidget(lblQueue);
    bottom->addWidget(imgLoading);
    bottom->addStretch(1);
    bottom->addWidget(lblRAW);
    bottom->addSpacing(12);
    bottom->addWidget(lblJPEG);
    left->addLayout(bottom);
    return pnlThumbnails;
}

QWidget* TfraLiveImport::createInfoPanel(QWidget* parent)
{
    pnlInfo = new QWidget(parent);
    pnlInfo->setObjectName(QStringLiteral("pnlInfo"));
    pnlInfo->setFixedWidth(kInfoWidth);
    auto* layout = new QVBoxLayout(pnlInfo);
    layout->setContentsMargins(4, 0, 0, 0);
    plExifData = new TKmPropertyList(pnlInfo);
    plExifData->setObjectName(QStringLiteral("plExifData"));
    TKmPropertyListItems* look = plExifData->Properties();
    look->SetItemHeight(14);
    look->SetSectionFont(listFont(true));
    look->SetCaptionFont(listFont(true));
    look->SetValueFont(listFont(false));
    look->SetSectionFontColor(Qt::white);
    look->SetCaptionFontColor(DarkStyle::Text());
    look->SetValueFontColor(DarkStyle::Text());
    look->SetCaptionColor(DarkStyle::Panel());
    look->SetValueColor(DarkStyle::Panel());
    look->SetCaptionWidth(110);
    layout->addWidget(plExifData, 1);
    ihgViewer = new TKmImageHistogram(pnlInfo);
    ihgViewer->setObjectName(QStringLiteral("ihgViewer"));
    ihgViewer->SetMargin(7);
    ihgViewer->SetHistogramWidth(128);
    ihgViewer->SetHistogramHeight(75);
    ihgViewer->SetHistogramColor(DarkStyle::Panel());
    ihgViewer->SetFastCalculation(false);
    layout->addWidget(ihgViewer);
    pnlInfo->hide();
    return pnlInfo;
}

QWidget* TfraLiveImport::createParameterPanel()
{
    pnlParameters = new QWidget(this);
    pnlParameters->setObjectName(QStringLiteral("pnlParameters"));
    QStringList items;
    for (const char* item : kSelectionItems)
        items << QString::fromUtf8(item);
    int r = PhotoImportLook::AddParameterRows(
        *this, pnlParameters, QMargins(kMargin, kMargin, kMargin, kMargin), items, siAll);
    auto* layout = static_cast<QGridLayout*>(pnlParameters->layout());
    // The polled folder is always the newest: the list shows the folders, a pick changes nothing.
    connect(cbxSource, &QComboBox::activated, this, [this] {
        if (m_live)
            cbxSource->setCurrentIndex(cbxSource->findText(m_live->Folder()));
    });
    connect(cbxSelection, &QComboBox::currentIndexChanged, this, [this] { cbxSelectionChange(); });
    // The language module translates the "items" property; the list shows it, the pick stays.
    if (TLanguageModule* module = TLanguageModule::Instance())
        connect(module, &TLanguageModule::languageChanged, cbxSelection, [this] {
            const QStringList texts = cbxSelection->property("items").toStringList();
            for (int i = 0; i < cbxSelection->count() && i < texts.size(); ++i)
                cbxSelection->setItemText(i, texts[i]);
        });
    lblLastTakeInfoCaption = PhotoImportLook::Label(
        QStringLiteral("lblLastTakeInfoCaption"), QStringLiteral("Letzte Aufnahme"), pnlParameters);
    lblLastTakeInfo
        = PhotoImportLook::Label(QStringLiteral("lblLastTakeInfo"), QStringLiteral("-"), pnlParameters);
    lblLastTakeInfo->setWordWrap(true);
    lblLastTakeInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblLastTakeInfo->setTextFormat(Qt::PlainText);
    layout->addWidget(lblLastTakeInfoCaption, r++, 0, 1, 2);
    layout->addWidget(lblLastTakeInfo, r++, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(r, 1);
    return pnlParameters;
}

QWidget* TfraLiveImport::createActionPanel()
{
    pnlActions = new QWidget(this);
    pnlActions->setObjectName(QStringLiteral("pnlActions"));
    pnlActions->setFixedHeight(ActionPanelHeight);
    DarkStyle::Apply(pnlActions, DarkStyle::Panel());
    btnAutoView = PhotoImportLook::ActionButton(QStringLiteral("btnAutoView"),
        QStringLiteral("Bildbetrachter automatisch anzeigen"), autoViewPicture(false), pnlActions);
    connect(btnAutoView, &QToolButton::clicked, this, [this] { btnAutoViewClick(); });
    auto* layout = new QHBoxLayout(pnlActions);
    layout->setContentsMargins(kMargin, 0, kMargin, 0);
    layout->addStretch(1);
    layout->addWidget(btnAutoView);
    layout->addStretch(1);
    return pnlActions;
}
