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

    // The palette on a background: enabled texts keep at least 4.5:1 contrast to it, disabled ones 3:1,
    // lifted towards white from the scheme's text and dimmed colours where those would fall short.
    static QPalette Palette(const QColor& background = Background());
    // The whole program, Qt's own dialogs included (message boxes, the file and folder dialogs), which
    // replace the desktop's native ones: those would be light and speak the desktop's language.
    static void ApplyToApplication();
    // Contrast ratio of two colours by relative luminance, 1 to 21.
    static double Contrast(const QColor& a, const QColor& b);
    // color, lightened just enough to reach ratio against background.
    static QColor Readable(const QColor& color, const QColor& background, double ratio);
    // Palette and background of a window or panel in one of the greys.
    static void Apply(QWidget* widget, const QColor& background = Background());
    // Text colour of a label or button, kept for its disabled state too where it matters.
    static void SetTextColor(QWidget* widget, const QColor& color);
    // A stand-in for a page not built yet: a dark panel with the page's name in the middle.
    static void FillPlaceholder(QWidget* page, const QString& name);
};
