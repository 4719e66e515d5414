#include "import/ui/TLiveImportWorkArea.h"

#include "base/ui/DarkStyle.h"
#include "base/ui/PhotoImportLook.h"
#include "base/ui/TfraCameraPage.h"
#include "import/ui/ImportGridLook.h"
#include "import/ui/TKmImageGrid.h"
#include "import/ui/TLiveImportInfoPanel.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kBusySize = 24;

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

TLiveImportWorkArea::TLiveImportWorkArea(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlThumbnails"));
    DarkStyle::Apply(this, DarkStyle::Control());
    auto* left = new QVBoxLayout(this);
    const int margin = TfraCameraPage::PanelMargin;
    left->setContentsMargins(margin, margin, margin, 8);
    left->setSpacing(8);

    auto* top = new QHBoxLayout;
    lblTargetDir
        = PhotoImportLook::Label(QStringLiteral("lblTargetDir"), QStringLiteral("Ablageverzeichnis"), this);
    edtTargetDir = PhotoImportLook::ReadOnlyField(QStringLiteral("edtTargetDir"), QString(), this);
    btnTargetDir = new QToolButton(this);
    btnTargetDir->setObjectName(QStringLiteral("btnTargetDir"));
    btnTargetDir->setText(QStringLiteral("…"));
    btnTargetDir->setToolTip(QStringLiteral("Ablageverzeichnis wählen"));
    top->addWidget(lblTargetDir);
    top->addWidget(edtTargetDir, 1);
    top->addWidget(btnTargetDir);
    left->addLayout(top);

    lblNotice = PhotoImportLook::Label(QStringLiteral("lblNotice"), QString(), this);
    lblNotice->setWordWrap(true);
    DarkStyle::SetTextColor(lblNotice, DarkStyle::Warning());
    lblNotice->hide();
    left->addWidget(lblNotice);
    lblDebug = PhotoImportLook::Label(QStringLiteral("lblDebug"), QString(), this);
    lblDebug->setWordWrap(true);
    lblDebug->hide();
    left->addWidget(lblDebug);

    lblWrongDirectory = new QLabel(QStringLiteral("Zur Nutzung dieses Moduls muss unbedingt ein gültiges "
                                                  "Zielverzeichnis angegeben werden!"),
        this);
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

    pnlThumbnailsArea = new QWidget(this);
    pnlThumbnailsArea->setObjectName(QStringLiteral("pnlThumbnailsArea"));
    auto* area = new QHBoxLayout(pnlThumbnailsArea);
    area->setContentsMargins(0, 0, 0, 0);
    igrThumbnails = new TKmImageGrid(pnlThumbnailsArea);
    igrThumbnails->setObjectName(QStringLiteral("igrThumbnails"));
    ApplyImportGridLook(*igrThumbnails->Cells());
    igrThumbnails->SetRangeSelect(false);
    pnlInfo = new TLiveImportInfoPanel(pnlThumbnailsArea);
    area->addWidget(igrThumbnails, 1);
    area->addWidget(pnlInfo);
    left->addWidget(pnlThumbnailsArea, 1);

    auto* bottom = new QHBoxLayout;
    lblQueue = PhotoImportLook::Label(
        QStringLiteral("lblQueue"), QStringLiteral("0 Dateien in der Warteschlange"), this);
    imgLoading = new QLabel(this);
    imgLoading->setObjectName(QStringLiteral("imgLoading"));
    imgLoading->setFixedSize(kBusySize, kBusySize);
    imgLoading->setPixmap(busyPicture());
    // Blinking leaves its place empty, so the labels beside it stay where they are.
    QSizePolicy keep = imgLoading->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    imgLoading->setSizePolicy(keep);
    imgLoading->hide();
    lblRAW = PhotoImportLook::Label(QStringLiteral("lblRAW"), QStringLiteral("RAW"), this);
    lblJPEG = PhotoImportLook::Label(QStringLiteral("lblJPEG"), QStringLiteral("JPEG"), this);
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
}
