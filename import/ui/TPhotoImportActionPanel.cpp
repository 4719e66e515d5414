#include "import/ui/TPhotoImportActionPanel.h"

#include "base/ui/DarkStyle.h"
#include "base/ui/PhotoImportLook.h"
#include "base/ui/TfraCameraPage.h"

#include <QHBoxLayout>
#include <QToolButton>

TPhotoImportActionPanel::TPhotoImportActionPanel(QWidget* parent)
    : QWidget(parent)
{
    constexpr int kMargin = TfraCameraPage::PanelMargin;
    setObjectName(QStringLiteral("pnlActions"));
    setFixedHeight(TfraCameraPage::ActionPanelHeight);
    setFocusPolicy(Qt::StrongFocus);
    DarkStyle::Apply(this, DarkStyle::Panel());
    btnExecuteImport = PhotoImportLook::ActionButton(QStringLiteral("btnExecuteImport"),
        QStringLiteral("Auswahl per Dialog importieren"), PhotoImportLook::FolderIcon(DarkStyle::Text()),
        this);
    btnHomeImport = PhotoImportLook::ActionButton(QStringLiteral("btnHomeImport"),
        QStringLiteral("Auswahl in Standardordner importieren"), PhotoImportLook::HomeIcon(DarkStyle::Text()),
        this);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(kMargin, 0, kMargin, 0);
    layout->addStretch(1);
    layout->addWidget(btnExecuteImport);
    layout->addSpacing(kMargin * 2);
    layout->addWidget(btnHomeImport);
    layout->addStretch(1);
}
