#include "base/ui/TTranslationForm.h"

#include "base/TLanguageModule.h"

#include <QEvent>
#include <QEventLoop>
#include <QHideEvent>
#include <QPointer>

TTranslationForm::TTranslationForm(QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
{ }

TTranslationForm::~TTranslationForm()
{
    if (m_modalLoop)
        m_modalLoop->exit(mrCancel);
}

void TTranslationForm::TranslateForm()
{
    if (m_translated)
        return;
    m_translated = true;
    if (TLanguageModule* module = TLanguageModule::Instance())
        module->Translate(this);
}

bool TTranslationForm::event(QEvent* event)
{
    // Polish comes before the first show: the safety net for a window that did not translate itself.
    if (event->type() == QEvent::Polish && !m_translated)
        TranslateForm();
    return QWidget::event(event);
}

int TTranslationForm::ShowModal()
{
    if (m_modalLoop)
        return mrNone;
    m_modalResult = mrNone;
    const Qt::WindowModality previous = windowModality();
    const bool wasVisible = isVisible();
    if (wasVisible)
        hide(); // modality only takes effect on a window that is shown anew
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();

    QEventLoop loop;
    m_modalLoop = &loop;
    QPointer<TTranslationForm> self(this);
    const int code = loop.exec(QEventLoop::DialogExec);
    if (!self)
        return code == mrNone ? mrCancel : code;
    m_modalLoop = nullptr;
    setWindowModality(previous);
    if (m_modalResult == mrNone)
        m_modalResult = mrCancel; // closed by the window manager
    return m_modalResult;
}

void TTranslationForm::SetModalResult(int result)
{
    if (result == mrNone)
        return;
    m_modalResult = result;
    if (m_modalLoop)
        hide();
}

void TTranslationForm::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (m_modalLoop && !event->spontaneous())
        m_modalLoop->exit(m_modalResult);
}
