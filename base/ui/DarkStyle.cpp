#include "base/ui/DarkStyle.h"

#include <QFont>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

QPalette DarkStyle::Palette()
{
    QPalette palette;
    palette.setColor(QPalette::Window, Background());
    palette.setColor(QPalette::Base, Panel());
    palette.setColor(QPalette::AlternateBase, Background());
    palette.setColor(QPalette::Button, Control());
    palette.setColor(QPalette::ToolTipBase, Panel());
    for (QPalette::ColorRole role :
        { QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::ToolTipText })
        palette.setColor(role, Text());
    for (QPalette::ColorRole role : { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
        palette.setColor(QPalette::Disabled, role, Dimmed());
    return palette;
}

void DarkStyle::Apply(QWidget* widget, const QColor& background)
{
    QPalette palette = Palette();
    palette.setColor(QPalette::Window, background);
    widget->setPalette(palette);
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
