#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>
#include <QStringList>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QMargins;
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

// A page's parameter panel in the panel colour: its grid, with the title (lblImportPropertiesTitel)
// across the first row.
QGridLayout* ParameterGrid(QWidget* panel, const QMargins& margins, QLabel*& title, const QString& titleText);

// The rows both import pages show: title, source folder, shot count, data size and the selection.
struct TParameterRows
{
    QLabel* lblImportPropertiesTitel = nullptr;
    QLabel* lblSource = nullptr;
    QComboBox* cbxSource = nullptr;
    QLabel* lblCount = nullptr;
    QLineEdit* edtCount = nullptr;
    QLabel* lblDataSize = nullptr;
    QLineEdit* edtDataSize = nullptr;
    QLabel* lblSelection = nullptr;
    QComboBox* cbxSelection = nullptr;
};

// Makes the rows on the panel's grid; the pages connect the choices themselves. Returns the next
// free row.
int AddParameterRows(TParameterRows& rows, QWidget* panel, const QMargins& margins,
    const QStringList& selectionItems, int selected);

} // namespace PhotoImportLook
