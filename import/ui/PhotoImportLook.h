#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>

class QLabel;
class QLineEdit;
class QToolButton;
class QWidget;

// The photo import page's look: its painted pictures and its controls made in the page's style.
namespace PhotoImportLook {

constexpr int ButtonSize = 64;

// A folder opening to a dialog: "import into a folder I choose".
QPixmap FolderIcon(const QColor& colour);
// A house: "import into the default folder".
QPixmap HomeIcon(const QColor& colour);
// The parameter panel's closing picture, width pixels wide: a memory card handing pictures to the
// computer.
QPixmap DecorationPicture(int width);

QLabel* Label(const QString& name, const QString& text, QWidget* parent);
// A panel's heading: larger and bold.
QLabel* TitleLabel(const QString& name, const QString& text, QWidget* parent);
QLineEdit* ReadOnlyField(const QString& name, const QString& text, QWidget* parent);
// A picture button of ButtonSize with its hint.
QToolButton* ActionButton(const QString& name, const QString& hint, const QPixmap& icon, QWidget* parent);

} // namespace PhotoImportLook
