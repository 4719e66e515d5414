#include "base/ui/PhotoImportLook.h"

#include "base/ui/DarkStyle.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMargins>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

namespace {

constexpr int kButtonSize = PhotoImportLook::ButtonSize;

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

} // namespace

namespace PhotoImportLook {

QPixmap FolderIcon(const QColor& colour)
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

QPixmap HomeIcon(const QColor& colour)
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

QPixmap DecorationPicture(int width)
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

QLabel* Label(const QString& name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    DarkStyle::SetTextColor(label, DarkStyle::Text());
    // A full panel squeezes its rows; a label never gets less than its font's height.
    label->setMinimumHeight(label->sizeHint().height());
    return label;
}

QLabel* TitleLabel(const QString& name, const QString& text, QWidget* parent)
{
    QLabel* label = Label(name, text, parent);
    QFont title = label->font();
    title.setPixelSize(16);
    title.setBold(true);
    label->setFont(title);
    label->setMinimumHeight(label->sizeHint().height());
    return label;
}

QLineEdit* ReadOnlyField(const QString& name, const QString& text, QWidget* parent)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
    return edit;
}

QGridLayout* ParameterGrid(QWidget* panel, const QMargins& margins, QLabel*& title, const QString& titleText)
{
    DarkStyle::Apply(panel, DarkStyle::Panel());
    auto* layout = new QGridLayout(panel);
    layout->setContentsMargins(margins);
    layout->setHorizontalSpacing(12);
    layout->setVerticalSpacing(10);
    title = TitleLabel(QStringLiteral("lblImportPropertiesTitel"), titleText, panel);
    layout->addWidget(title, 0, 0, 1, 2);
    return layout;
}

int AddParameterRows(TParameterRows& rows, QWidget* panel, const QMargins& margins,
    const QStringList& selectionItems, int selected)
{
    QGridLayout* layout
        = ParameterGrid(panel, margins, rows.lblImportPropertiesTitel, QStringLiteral("Importparameter"));
    rows.lblSource = Label(QStringLiteral("lblSource"), QStringLiteral("Quelle"), panel);
    rows.cbxSource = new QComboBox(panel);
    rows.cbxSource->setObjectName(QStringLiteral("cbxSource"));
    rows.lblCount = Label(QStringLiteral("lblCount"), QStringLiteral("Aufnahmen"), panel);
    rows.edtCount = ReadOnlyField(QStringLiteral("edtCount"), QStringLiteral("0"), panel);
    rows.lblDataSize = Label(QStringLiteral("lblDataSize"), QStringLiteral("Datenvolumen"), panel);
    rows.edtDataSize = ReadOnlyField(QStringLiteral("edtDataSize"), QStringLiteral("0 MB"), panel);
    rows.lblSelection = Label(QStringLiteral("lblSelection"), QStringLiteral("Auswahl"), panel);
    rows.cbxSelection = new QComboBox(panel);
    rows.cbxSelection->setObjectName(QStringLiteral("cbxSelection"));
    // The language module translates the list through this property.
    rows.cbxSelection->setProperty("items", selectionItems);
    rows.cbxSelection->addItems(selectionItems);
    rows.cbxSelection->setCurrentIndex(selected);

    const std::pair<QLabel*, QWidget*> pairs[]
        = { { rows.lblSource, rows.cbxSource }, { rows.lblCount, rows.edtCount },
              { rows.lblDataSize, rows.edtDataSize }, { rows.lblSelection, rows.cbxSelection } };
    int r = 1;
    for (const auto& [label, field] : pairs) {
        layout->addWidget(label, r, 0);
        layout->addWidget(field, r++, 1);
    }
    return r;
}

QToolButton* ActionButton(const QString& name, const QString& hint, const QPixmap& icon, QWidget* parent)
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

} // namespace PhotoImportLook
