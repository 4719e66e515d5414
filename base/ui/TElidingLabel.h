#pragma once

#include <QLabel>

// A one-line label for texts of any length (file names, camera answers): where the text is wider
// than the label it is drawn cut with "…" at the end, and the whole text is the label's hint. text()
// stays the whole text, so translations and callers see what was set.
class TElidingLabel : public QLabel
{
    Q_OBJECT

public:
    explicit TElidingLabel(QWidget* parent = nullptr);
    explicit TElidingLabel(const QString& text, QWidget* parent = nullptr);

    bool IsElided() const;
    // What the label shows.
    QString ShownText() const;

    // The label may become narrower than its text.
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QRect textRect() const;
};
