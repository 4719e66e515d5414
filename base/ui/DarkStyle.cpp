#include "base/ui/DarkStyle.h"

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QStyle>
#include <QStyleFactory>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

double luminance(const QColor& color)
{
    const auto channel
        = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF())
        + 0.0722 * channel(color.blueF());
}

} // namespace

double DarkStyle::Contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor DarkStyle::Readable(const QColor& color, const QColor& background, double ratio)
{
    QColor lifted = color;
    for (int step = 1; Contrast(lifted, background) < ratio && step <= 20; ++step) {
        const double t = step / 20.0;
        lifted = QColor::fromRgbF(float(color.redF() + (1 - color.redF()) * t),
            float(color.greenF() + (1 - color.greenF()) * t), float(color.blueF() + (1 - color.blueF()) * t));
    }
    return lifted;
}

QPalette DarkStyle::Palette(const QColor& background)
{
    QPalette palette;
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::Base, Panel());
    palette.setColor(QPalette::AlternateBase, Background());
    palette.setColor(QPalette::Button, Control());
    palette.setColor(QPalette::ToolTipBase, Panel());
    // Frames and bevels of Qt's own style, in the same greys.
    palette.setColor(QPalette::Light, QColor(96, 96, 96));
    palette.setColor(QPalette::Midlight, Control());
    palette.setColor(QPalette::Mid, QColor(55, 55, 55));
    palette.setColor(QPalette::Dark, QColor(20, 20, 20));
    palette.setColor(QPalette::Shadow, Qt::black);
    palette.setColor(QPalette::Highlight, Dimmed());
    palette.setColor(QPalette::HighlightedText, Active());
    palette.setColor(QPalette::Link, Readable(QColor(110, 160, 210), Panel(), 4.5));
    const std::pair<QPalette::ColorRole, QColor> pairs[] = { { QPalette::WindowText, background },
        { QPalette::Text, Panel() }, { QPalette::ButtonText, Control() }, { QPalette::ToolTipText, Panel() },
        { QPalette::PlaceholderText, Panel() } };
    for (const auto& [role, under] : pairs) {
        palette.setColor(role, Readable(Text(), under, 4.5));
        palette.setColor(QPalette::Disabled, role, Readable(Dimmed(), under, 3.0));
    }
    palette.setColor(QPalette::Disabled, QPalette::Button, Panel());
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, Readable(Dimmed(), Panel(), 3.0));
    palette.setColor(QPalette::Disabled, QPalette::Base, Background());
    palette.setColor(QPalette::Disabled, QPalette::Text, Readable(Dimmed(), Background(), 3.0));
    return palette;
}

void DarkStyle::ApplyToApplication()
{
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(style);
    QApplication::setPalette(Palette());
}

void DarkStyle::Apply(QWidget* widget, const QColor& background)
{
    widget->setPalette(Palette(background));
    widget->setAutoFillBackground(true);
}

void DarkStyle::SetTextColor(QWidget* widget, const QColor& color)
{
    QPalette palette = widget->palette();
    for (QPalette::ColorGroup group : { QPalette::Active, QPalette::Inactive })
        for (QPalette::ColorRole role : { QPalette::WindowText, QPalette::ButtonText })
            palette.setColor(group, role, color);
    widget->setPalette(palette);
}

void DarkStyle::FillPlaceholder(QWidget* page, const QString& name)
{
    Apply(page, Panel());
    auto* label = new QLabel(name, page);
    label->setObjectName(QStringLiteral("lblPlaceholder"));
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setPixelSize(24);
    font.setBold(true);
    label->setFont(font);
    SetTextColor(label, Dimmed());
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(label);
}
