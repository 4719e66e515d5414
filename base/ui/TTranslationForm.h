#pragma once

#include <QWidget>

class QEventLoop;

// Base of every window of the program. A window builds its controls in its constructor and ends it
// with TranslateForm(), which hands the finished tree to the language module: the window comes up in
// the current language and follows every later language change. A window that forgets the call is
// still translated before it is first shown.
//
// ShowModal() runs the window modally and returns its ModalResult, so dialogs need not be QDialogs
// (whose Escape key and default buttons do not fit every window here).
class TTranslationForm : public QWidget
{
    Q_OBJECT

public:
    enum ModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7, mrClose = 8 };

    explicit TTranslationForm(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::Window);
    ~TTranslationForm() override;

    // Shows the window application-modal and returns when it is hidden or closed.
    int ShowModal();
    // Ends a running ShowModal with this result (hides the window); mrNone does nothing.
    void SetModalResult(int result);
    int GetModalResult() const { return m_modalResult; }
    bool IsModalRunning() const { return m_modalLoop != nullptr; }
    bool IsTranslated() const { return m_translated; }

protected:
    // Translates now and registers the window for later language changes. Call once, at the end of
    // the constructor of the concrete window.
    void TranslateForm();

    bool event(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool m_translated = false;
    int m_modalResult = mrNone;
    QEventLoop* m_modalLoop = nullptr;
};
