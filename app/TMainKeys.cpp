#include "app/TMainKeys.h"

#include "app/TfraDebug.h"
#include "app/TfrmMain.h"
#include "base/TSetup.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

TMainKeys::TMainKeys(TfrmMain& window, const TSetup& setup)
    : m_window(window)
    , m_setup(setup)
{
    qApp->installEventFilter(this);
}

TMainKeys::~TMainKeys()
{
    qApp->removeEventFilter(this);
}

bool TMainKeys::Handle(int key)
{
    if (!m_setup.DebugMode) {
        if (key != Qt::Key_L)
            return false;
        if (TfraDebug* debug = m_window.FindPage<TfraDebug>())
            debug->btnSaveClick();
        return true;
    }
    bool handled = key == Qt::Key_D;
    for (const TMainPages::Entry& entry : m_window.pcMain->Entries()) {
        if (key == Qt::Key_D && entry.IsCameraPage()) {
            entry.Page->ToggleDebugView();
        } else if (key == entry.Row->DirectKey) {
            showDirectly(entry);
            handled = true;
        }
    }
    return handled;
}

void TMainKeys::showDirectly(const TMainPages::Entry& entry)
{
    if (!entry.IsCameraPage()) {
        m_window.ShowTabSheet(entry.Sheet);
        return;
    }
    // Like every page switch, not in the middle of a camera communication of the page shown.
    if (m_window.ActiveComm() > 0)
        return;
    entry.Page->setEnabled(true);
    if (entry.Button)
        entry.Button->setEnabled(true);
    m_window.ShowPage(entry, false);
}

bool TMainKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        const Qt::KeyboardModifiers held = key->modifiers() & ~Qt::KeypadModifier;
        if (widget && widget->window() == &m_window && !key->isAutoRepeat()
            && held == (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier) && Handle(key->key()))
            return true;
    }
    return QObject::eventFilter(watched, event);
}
