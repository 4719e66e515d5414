#pragma once

#include "base/ui/TTranslationForm.h"

#include <QString>
#include <QUrl>

#include <functional>

class QLabel;
class QStackedWidget;
class QTextBrowser;

// The info window: terms of use, program version and the product's web address. A second page holds
// the credits; nothing in the window switches to it.
class TfrmInfo : public TTranslationForm
{
    Q_OBJECT

public:
    explicit TfrmInfo(QWidget* parent = nullptr);
    ~TfrmInfo() override;

    static QString WebAddress();

    // Seam for tests; by default the system browser.
    std::function<bool(const QUrl& url)> OpenUrl;

    void lklWebClick(const QString& link);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void updateTexts();

    QStackedWidget* m_pages = nullptr;
    QTextBrowser* redLicence = nullptr;
    QTextBrowser* redCredits = nullptr;
    QLabel* lklWeb = nullptr;
    QLabel* lblVersion = nullptr;
};
