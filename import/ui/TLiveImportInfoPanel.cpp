#include "import/ui/TLiveImportInfoPanel.h"

#include "base/ui/DarkStyle.h"
#include "base/ui/TKmImageHistogram.h"
#include "exif/ui/TKmPropertyList.h"

#include <QFont>
#include <QVBoxLayout>

namespace {

constexpr int kInfoWidth = 280;

// The information list's fonts, as in the viewer's side panel.
QFont listFont(bool bold)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    font.setBold(bold);
    return font;
}

} // namespace

TLiveImportInfoPanel::TLiveImportInfoPanel(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlInfo"));
    setFixedWidth(kInfoWidth);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 0, 0);
    plExifData = new TKmPropertyList(this);
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
    ihgViewer = new TKmImageHistogram(this);
    ihgViewer->setObjectName(QStringLiteral("ihgViewer"));
    ihgViewer->SetMargin(7);
    ihgViewer->SetHistogramWidth(128);
    ihgViewer->SetHistogramHeight(75);
    ihgViewer->SetHistogramColor(DarkStyle::Panel());
    ihgViewer->SetFastCalculation(false);
    layout->addWidget(ihgViewer);
    hide();
}
