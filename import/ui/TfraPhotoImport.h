#pragma once

#include "base/ui/PhotoImportLook.h"
#include "base/ui/TfraCameraPage.h"
#include "import/TImportSession.h"
#include "import/ui/TKmImageGridCell.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;
class TKmImageGrid;
class TPhotoImportActionPanel;
class TPhotoImportResultBar;
class TPhotoImportThumbnailPanel;
class TSetup;
class TThumbnailCache;
class TfrmViewer;

// The page "Fotoimport": one camera folder as thumbnails, files selected by click or by kind and
// copied into a folder of the user's choice. The camera is switched to playback when the page is
// shown. The folder's cells show as soon as it is listed; the thumbnails follow, the visible cells
// first, while the page stays usable. They are kept on disk, so a folder seen before costs no
// thumbnail request.
//
// The page shows an import session (TImportSession) and forwards the user's intent to it; the session
// refuses a second operation while one runs, and the page reports each through OnCommunication,
// which keeps the main window on this page.
class TfraPhotoImport : public TfraCameraPage, public PhotoImportLook::TParameterRows
{
    Q_OBJECT

public:
    // Indexes of cbxSelection.
    enum TSelectionItem {
        siNone,
        siAll,
        siJpeg,
        siRaw,
        siMovies,
        siJpegRaw,
        siJpegMovies,
        siRawMovies,
        siCustom
    };

    explicit TfraPhotoImport(QWidget* parent = nullptr);
    ~TfraPhotoImport() override;

    // The download folder and the viewer setting come from here; without settings there is no
    // download folder and the internal viewer is used.
    void SetSetup(TSetup* setup) { m_setup = setup; }
    // The viewer that opens downloaded JPEG files on a double click; may be none.
    void SetViewer(TfrmViewer* viewer) { m_viewer = viewer; }

    // Where thumbnails are kept between runs; by default the user's cache folder. Before SetCamera.
    void SetThumbnailCache(std::unique_ptr<TThumbnailCache> cache);
    // Stores the camera and starts a new session on it.
    void SetCamera(TCamera* camera) override;
    // Stops live view, switches the camera to playback and lists its folders.
    void GoStart() override;

    void UpdateControls(bool enable);
    void ReloadSources();
    void LoadFolder(const QString& folder);
    // Copies the selected cells' files into targetFolder; an empty one is asked for.
    void ImportSelection(const QString& targetFolder);

    void cbxSourceChange();
    void cbxSelectionChange();
    void igrThumbnailsSelectCell(TKmImageGridCell* cell, TShiftState shift);
    void igrThumbnailsDblClickCell(TKmImageGridCell* cell, int cellIndex);
    void btnExecuteImportClick();
    void btnHomeImportClick();
    // After a listing that failed: the card or the folder shown is read again.
    void btnReloadSourcesClick();

    // Whether the cell selects under a cbxSelection item (siCustom selects nothing of its own).
    static bool KindSelected(int selectionItem, int cellKind);

    const TPreviewList& Previews() const;
    // A folder load or an import is running.
    bool IsBusy() const { return m_session && m_session->IsBusy(); }
    // The local copy of the cell's file; empty while the cell still points to the camera.
    QString LocalFile(int cellIndex) const;

    // What the page asks the desktop for; tests replace them. BrowseFolder returns the chosen folder
    // or an empty text when cancelled; OpenWithSystem opens a file with the program the system
    // associates with it.
    std::function<QString(const QString& caption)> BrowseFolder;
    std::function<void(const QString& text)> ShowInformation;
    std::function<void(const QString& fileName)> OpenWithSystem;

    TPhotoImportThumbnailPanel* pnlThumbnails;
    TKmImageGrid* igrThumbnails; // the thumbnail panel's
    QWidget* pnlSource;
    TPhotoImportActionPanel* pnlActions;
    QToolButton* btnExecuteImport; // the action panel's
    QToolButton* btnHomeImport;
    QLabel* imgDecoration;
    // Under the grid: the thumbnail progress, what the last import did, and the button that cancels
    // a running one. The labels and the button are the bar's.
    TPhotoImportResultBar* pnlImportResult;
    QLabel* lblThumbnails;
    QLabel* lblImportResult;
    QToolButton* btnCancelImport;
    QToolButton* btnReloadSources; // shown after a listing that failed

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Thumbnails are fetched only while the page is shown.
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* createSourcePanel();
    // The cancel button stays usable while the import runs: the busy overlay leaves it free.
    void showCancel(bool show);
    void showImportResult();
    void connectSession();
    void applySelectionItems();
    TImportSession::TLoadOptions loadOptions() const;
    void clearGrid();
    void addCell(int index);
    void updateCell(int index);
    void updatePreview(int index);
    void logUndecodable(int index) const;
    void tellVisibleCells();
    bool isLocal(int cellIndex) const;
    QString downloadDirectory() const;

    TSetup* m_setup = nullptr;
    TfrmViewer* m_viewer = nullptr;
    std::unique_ptr<TThumbnailCache> m_cache;
    std::unique_ptr<TImportSession> m_session; // none without a camera
    bool m_tellFailures = false;
};
