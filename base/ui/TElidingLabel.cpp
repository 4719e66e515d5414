#include "base/ui/TElidingLabel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

TElidingLabel::TElidingLabel(QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

TElidingLabel::TElidingLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    setTextFormat(Qt::PlainText);
}

QRect TElidingLabel::textRect() const
{
    const int m = margin();
    return contentsRect().adjusted(m, m, -m, -m);
}

QString TElidingLabel::ShownText() const
{
    // One line: a line break in a file name or camera answer is shown as a space.
    QString line = text();
    line.replace(QLatin1Char('\n'), QLatin1Char(' ')).remove(QLatin1Char('\r'));
    return fontMetrics().elidedText(line, Qt::ElideRight, textRect().width());
}

bool TElidingLabel::IsElided() const
{
    return ShownText() != text();
}

QSize TElidingLabel::minimumSizeHint() const
{
    return QSize(0, QLabel::minimumSizeHint().height());
}

bool TElidingLabel::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (IsElided())
            QToolTip::showText(help->globalPos(), text(), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QLabel::event(event);
}

void TElidingLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    style()->drawItemText(
        &painter, textRect(), int(alignment()), palette(), isEnabled(), ShownText(), foregroundRole());
}
