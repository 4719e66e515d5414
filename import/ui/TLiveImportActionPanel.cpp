#include "import/ui/TLiveImportActionPanel.h"

#include "base/ui/DarkStyle.h"
#include "base/ui/PhotoImportLook.h"
#include "base/ui/TfraCameraPage.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QPainter>
#include <QToolButton>

TLiveImportActionPanel::TLiveImportActionPanel(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlActions"));
    setFixedHeight(TfraCameraPage::ActionPanelHeight);
    DarkStyle::Apply(this, DarkStyle::Panel());
    btnAutoView = PhotoImportLook::ActionButton(QStringLiteral("btnAutoView"),
        QStringLiteral("Bildbetrachter automatisch anzeigen"), AutoViewPicture(false), this);
    auto* layout = new QHBoxLayout(this);
    const int margin = TfraCameraPage::PanelMargin;
    layout->setContentsMargins(margin, 0, margin, 0);
    layout->addStretch(1);
    layout->addWidget(btnAutoView);
    layout->addStretch(1);
}

void TLiveImportActionPanel::ShowAutoView(bool on)
{
    btnAutoView->setIcon(QIcon(AutoViewPicture(on)));
}

QPixmap TLiveImportActionPanel::AutoViewPicture(bool on)
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
