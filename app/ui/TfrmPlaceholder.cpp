#include "app/ui/TfrmPlaceholder.h"

#include "app/TSetup.h"

#include <QCloseEvent>
#include <QPalette>

namespace {

QPalette darkPalette()
{
    const QColor background(29, 29, 29);
    const QColor panel(41, 41, 41);
    const QColor control(71, 71, 71);
    const QColor text(153, 153, 131);
    const QColor dimmed(101, 101, 82);

    QPalette palette;
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::Base, panel);
    palette.setColor(QPalette::AlternateBase, background);
    palette.setColor(QPalette::Button, control);
    for (QPalette::ColorRole role : { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
        palette.setColor(role, text);
    for (QPalette::ColorRole role : { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
        palette.setColor(QPalette::Disabled, role, dimmed);
    return palette;
}

} // namespace

TfrmPlaceholder::TfrmPlaceholder(TSetup* setup, QWidget* parent)
    : QMainWindow(parent)
    , m_setup(setup)
{
    setWindowTitle(QStringLiteral("Lumivar"));
    setPalette(darkPalette());
    setAutoFillBackground(true);
    resize(1024, 700);
}

void TfrmPlaceholder::bringToFront()
{
    show();
    raise();
    activateWindow();
}

void TfrmPlaceholder::closeEvent(QCloseEvent* event)
{
    if (m_setup)
        m_setup->Save();
    event->accept();
}
