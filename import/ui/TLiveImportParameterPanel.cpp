#include "import/ui/TLiveImportParameterPanel.h"

#include "base/TLanguageModule.h"
#include "base/ui/TfraCameraPage.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

namespace {

const char* const kSelectionItems[]
    = { "Alle", "JPEG", "RAW", "Movies", "JPEG + RAW", "JPEG + Movies", "RAW + Movies" };

} // namespace

TLiveImportParameterPanel::TLiveImportParameterPanel(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlParameters"));
    QStringList items;
    for (const char* item : kSelectionItems)
        items << QString::fromUtf8(item);
    const int margin = TfraCameraPage::PanelMargin;
    int r
        = PhotoImportLook::AddParameterRows(*this, this, QMargins(margin, margin, margin, margin), items, 0);
    auto* layout = static_cast<QGridLayout*>(this->layout());
    // The language module translates the "items" property; the list shows it, the pick stays.
    if (TLanguageModule* module = TLanguageModule::Instance())
        connect(module, &TLanguageModule::languageChanged, cbxSelection, [this] {
            const QStringList texts = cbxSelection->property("items").toStringList();
            for (int i = 0; i < cbxSelection->count() && i < texts.size(); ++i)
                cbxSelection->setItemText(i, texts[i]);
        });
    lblLastTakeInfoCaption = PhotoImportLook::Label(
        QStringLiteral("lblLastTakeInfoCaption"), QStringLiteral("Letzte Aufnahme"), this);
    lblLastTakeInfo = PhotoImportLook::Label(QStringLiteral("lblLastTakeInfo"), QStringLiteral("-"), this);
    lblLastTakeInfo->setWordWrap(true);
    lblLastTakeInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblLastTakeInfo->setTextFormat(Qt::PlainText);
    layout->addWidget(lblLastTakeInfoCaption, r++, 0, 1, 2);
    layout->addWidget(lblLastTakeInfo, r++, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(r, 1);
}
