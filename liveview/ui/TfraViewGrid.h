#pragma once

#include <QColor>
#include <QWidget>

#include <array>

class QComboBox;
class QToolButton;

// The grid chooser of the live view: "Aus" and five pictures of the overlays in a row, then the list
// of named colours. The chosen entry is lit, the others are dimmed.
class TfraViewGrid : public QWidget
{
    Q_OBJECT

public:
    explicit TfraViewGrid(QWidget* parent = nullptr);

    int GridKind() const { return m_kind; }
    // Kinds outside 0 to 5 count as 0.
    void SetGridKind(int kind);
    QColor GridColor() const { return m_color; }
    // Also selects the colour in the list; a colour without a name is added as its hex code.
    void SetGridColor(const QColor& color);

    QComboBox* ColorList() const { return m_cbxGridColor; }
    QToolButton* Choice(int kind) const { return m_choices[size_t(kind)]; }

signals:
    void GridKindChanged(int kind);
    void GridColorChanged(const QColor& color);

private:
    void markChoice();
    void colorChosen(int index);

    std::array<QToolButton*, 6> m_choices {};
    QComboBox* m_cbxGridColor = nullptr;
    int m_kind = 0;
    QColor m_color { 192, 192, 192 };
};
