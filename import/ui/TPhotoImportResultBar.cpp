#include "import/ui/TPhotoImportResultBar.h"

#include "base/TNamedTexts.h"
#include "base/ui/DarkStyle.h"
#include "base/ui/PhotoImportLook.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Lines of the import summary shown before it scrolls.
constexpr int kResultLines = 5;

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
    lblImportResult->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblImportResult->setTextFormat(Qt::PlainText);
    lblImportResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    DarkStyle::SetTextColor(lblImportResult, DarkStyle::Text());
    // A few lines at most; a longer summary scrolls instead of pushing the grid off the window.
    m_resultArea = new QScrollArea(this);
    m_resultArea->setObjectName(QStringLiteral("sbxImportResult"));
    m_resultArea->setFrameShape(QFrame::NoFrame);
    m_resultArea->setWidgetResizable(true);
    m_resultArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_resultArea->setWidget(lblImportResult);
    m_resultArea->setMaximumHeight(lblImportResult->fontMetrics().lineSpacing() * kResultLines + 4);
    m_resultArea->hide();
    btnCancelImport = new QToolButton(this);
    btnCancelImport->setObjectName(QStringLiteral("btnCancelImport"));
    btnCancelImport->hide();
    btnReloadSources = new QToolButton(this);
    btnReloadSources->setObjectName(QStringLiteral("btnReloadSources"));
    btnReloadSources->hide();
    result->addWidget(m_resultArea, 1);
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
    m_resultArea->setVisible(!summary.isEmpty());
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
