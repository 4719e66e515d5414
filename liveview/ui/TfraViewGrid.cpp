#include "liveview/ui/TfraViewGrid.h"

#include "base/TNamedTexts.h"
#include "base/ui/DarkStyle.h"
#include "liveview/LiveViewGrid.h"
#include "liveview/LiveViewTexts.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>

namespace {

struct NamedColor
{
    const char* name;
    QRgb rgb;
};

// The standard and extended colours of the classic colour list.
constexpr NamedColor kColors[] = {
    { "Black", 0x000000 },
    { "Maroon", 0x800000 },
    { "Green", 0x008000 },
    { "Olive", 0x808000 },
    { "Navy", 0x000080 },
    { "Purple", 0x800080 },
    { "Teal", 0x008080 },
    { "Gray", 0x808080 },
    { "Silver", 0xC0C0C0 },
    { "Red", 0xFF0000 },
    { "Lime", 0x00FF00 },
    { "Yellow", 0xFFFF00 },
    { "Blue", 0x0000FF },
    { "Fuchsia", 0xFF00FF },
    { "Aqua", 0x00FFFF },
    { "White", 0xFFFFFF },
    { "MoneyGreen", 0xC0DCC0 },
    { "SkyBlue", 0xA6CAF0 },
    { "Cream", 0xFFFBF0 },
    { "MedGray", 0xA0A0A4 },
};

constexpr QSize kPictureSize { 40, 30 };

// A small landscape frame with the overlay of the kind drawn over it.
QPixmap gridPicture(int kind, bool active)
{
    QImage picture(kPictureSize, QImage::Format_RGB32);
    picture.fill(active ? DarkStyle::Control() : DarkStyle::Panel());
    LiveViewGrid::draw(picture, kind, active ? DarkStyle::Active() : DarkStyle::Dimmed());
    QPainter painter(&picture);
    painter.setPen(active ? DarkStyle::Text() : DarkStyle::Dimmed());
    painter.drawRect(picture.rect().adjusted(0, 0, -1, -1));
    return QPixmap::fromImage(picture);
}

QIcon colorIcon(const QColor& color)
{
    QPixmap swatch(12, 12);
    swatch.fill(color);
    return QIcon(swatch);
}

} // namespace

TfraViewGrid::TfraViewGrid(QWidget* parent)
    : QWidget(parent)
{
    RegisterLiveViewTexts();
    setObjectName(QStringLiteral("fraViewGrid"));
    DarkStyle::Apply(this, DarkStyle::Panel());
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 4, 4, 4);
    row->setSpacing(4);
    for (int kind = 0; kind < LiveViewGrid::kKindCount; ++kind) {
        auto* choice = new QToolButton(this);
        choice->setAutoRaise(true);
        choice->setCursor(Qt::PointingHandCursor);
        if (kind == 0) {
            choice->setObjectName(QStringLiteral("pnlGrid0"));
            choice->setText(rs("_rsGridOff"));
            choice->setMinimumHeight(kPictureSize.height() + 6);
        } else {
            choice->setObjectName(QStringLiteral("imgGrid%1").arg(kind));
            choice->setIconSize(kPictureSize);
        }
        connect(choice, &QToolButton::clicked, this, [this, kind] {
            SetGridKind(kind);
            emit GridKindChanged(m_kind);
        });
        m_choices[size_t(kind)] = choice;
        row->addWidget(choice);
    }
    m_cbxGridColor = new QComboBox(this);
    m_cbxGridColor->setObjectName(QStringLiteral("cbxGridColor"));
    for (const NamedColor& c : kColors)
        m_cbxGridColor->addItem(colorIcon(QColor(c.rgb)), QString::fromLatin1(c.name), QColor(c.rgb));
    row->addWidget(m_cbxGridColor);
    connect(m_cbxGridColor, &QComboBox::activated, this, &TfraViewGrid::colorChosen);
    SetGridColor(m_color);
    markChoice();
}

void TfraViewGrid::SetGridKind(int kind)
{
    m_kind = kind >= 0 && kind < LiveViewGrid::kKindCount ? kind : 0;
    markChoice();
}

void TfraViewGrid::SetGridColor(const QColor& color)
{
    m_color = color.isValid() ? color : QColor(192, 192, 192);
    int index = m_cbxGridColor->findData(m_color);
    if (index < 0) {
        m_cbxGridColor->addItem(colorIcon(m_color), m_color.name(), m_color);
        index = m_cbxGridColor->count() - 1;
    }
    m_cbxGridColor->setCurrentIndex(index);
}

void TfraViewGrid::markChoice()
{
    for (int kind = 0; kind < LiveViewGrid::kKindCount; ++kind) {
        QToolButton* choice = m_choices[size_t(kind)];
        const bool active = kind == m_kind;
        if (kind == 0)
            DarkStyle::SetTextColor(choice, active ? DarkStyle::Active() : DarkStyle::Text());
        else
            choice->setIcon(QIcon(gridPicture(kind, active)));
    }
}

void TfraViewGrid::colorChosen(int index)
{
    const QColor color = m_cbxGridColor->itemData(index).value<QColor>();
    if (!color.isValid())
        return;
    m_color = color;
    emit GridColorChanged(m_color);
}
