#pragma once

#include <QList>
#include <QRect>
#include <QWidget>

class QLabel;
class QScrollArea;
class QToolButton;

// The bar under the thumbnails: how many thumbnails are in, what the last import did (its summary
// with the names of the files that failed), and the button that cancels a running import; or that
// the card could not be listed, with a button that loads it again.
class TPhotoImportResultBar : public QWidget
{
    Q_OBJECT

public:
    explicit TPhotoImportResultBar(QWidget* parent = nullptr);

    // "Vorschaubilder 120/1107"; hidden while there is nothing to fetch.
    void ShowThumbnailProgress(int done, int total);
    // An empty summary hides the line.
    void ShowImportResult(const QString& summary);
    // The card could not be listed: the line says so and the reload button shows; false hides both.
    void ShowListingFailed(bool failed);
    // Shows or hides the cancel button. Returns where it is in the window, the region the busy
    // overlay has to leave free, or nothing when it is hidden.
    QList<QRect> ShowCancel(bool show);

    QLabel* lblThumbnails;
    QLabel* lblImportResult;
    QToolButton* btnCancelImport;
    QToolButton* btnReloadSources;

private:
    QScrollArea* m_resultArea;
};
