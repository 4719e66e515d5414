#include "import/ui/TPhotoImportResultBar.h"

#include "base/TNamedTexts.h"
#include "base/ui/DarkStyle.h"
#include "import/ui/PhotoImportLook.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr TNamedText kResultBarTexts[] = {
    { "_rsListingFailed", "Die Liste der Dateien auf der Kamera konnte nicht gelesen werden." },
    { "_rsReloadSources", "Erneut laden" },
};

} // namespace

TPhotoImportResultBar::TPhotoImportResultBar(QWidget* parent)
    : QWidget(parent)
{
    TNamedTexts::Register(kResultBarTexts);
    setObjectName(QStringLiteral("pnlImportResult"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    lblThumbnails = PhotoImportLook::Label(QStringLiteral("lblThumbnails"), QString(), this);
    lblThumbnails->hide();
    layout->addWidget(lblThumbnails);

    auto* result = new QHBoxLayout;
    result->setContentsMargins(0, 4, 0, 0);
    lblImportResult = new QLabel(this);
    lblImportResult->setObjectName(QStringLiteral("lblImportResult"));
    lblImportResult->setWordWrap(true);
    lblImportResult->setTextFormat(Qt::PlainText);
    lblImportResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    DarkStyle::SetTextColor(lblImportResult, DarkStyle::Text());
    lblImportResult->hide();
    btnCancelImport = new QToolButton(this);
    btnCancelImport->setObjectName(QStringLiteral("btnCancelImport"));
    btnCancelImport->hide();
    btnReloadSources = new QToolButton(this);
    btnReloadSources->setObjectName(QStringLiteral("btnReloadSources"));
    btnReloadSources->hide();
    result->addWidget(lblImportResult, 1);
    result->addWidget(btnCancelImport, 0, Qt::AlignTop);
    result->addWidget(btnReloadSources, 0, Qt::AlignTop);
    layout->addLayout(result);
}

void TPhotoImportResultBar::ShowThumbnailProgress(int done, int total)
{
    lblThumbnails->setVisible(total > 0);
    lblThumbnails->setText(rs("_rsThumbnailProgress", { done, total }));
}

void TPhotoImportResultBar::ShowImportResult(const QString& summary)
{
    btnReloadSources->hide();
    lblImportResult->setText(summary);
    lblImportResult->setVisible(!summary.isEmpty());
}

void TPhotoImportResultBar::ShowListingFailed(bool failed)
{
    if (!failed && !btnReloadSources->isVisible())
        return; // the line holds an import's summary, if anything
    ShowImportResult(failed ? rs("_rsListingFailed") : QString());
    btnReloadSources->setText(rs("_rsReloadSources"));
    btnReloadSources->setVisible(failed);
}

QList<QRect> TPhotoImportResultBar::ShowCancel(bool show)
{
    btnCancelImport->setText(rs("_rsTransferCancel"));
    btnCancelImport->setVisible(show);
    QList<QRect> free;
    if (show) {
        layout()->activate();
        free << QRect(btnCancelImport->mapTo(window(), QPoint(0, 0)), btnCancelImport->size());
    }
    return free;
}
