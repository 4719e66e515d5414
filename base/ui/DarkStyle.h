#pragma once

#include <QColor>
#include <QPalette>
#include <QString>

class QWidget;

// The dark look every window shares: three greys for backgrounds and panels, one text colour and one
// for dimmed indicators. Controls with a colour of their own take it from here as well.
class DarkStyle
{
public:
    static QColor Background() { return QColor(29, 29, 29); }
    static QColor Panel() { return QColor(41, 41, 41); }
    static QColor Control() { return QColor(71, 71, 71); } // #474747
    static QColor Text() { return QColor(153, 153, 131); } // #999983
    static QColor Dimmed() { return QColor(101, 101, 82); }
    // Page buttons of the main window (colour value 0x839999 there) and what stands out.
    static QColor InactiveButton() { return QColor(0x99, 0x99, 0x83); }
    static QColor Active() { return QColor(Qt::white); }
    static QColor Warning() { return QColor(Qt::yellow); }

    static QPalette Palette();
    // Palette and background of a window or panel in one of the greys.
    static void Apply(QWidget* widget, const QColor& background = Background());
    // Text colour of a label or button, kept for its disabled state too where it matters.
    static void SetTextColor(QWidget* widget, const QColor& color);
    // A stand-in for a page not built yet: a dark panel with the page's name in the middle.
    static void FillPlaceholder(QWidget* page, const QString& name);
};
