#pragma once

#include "base/ui/PhotoImportLook.h"
#include "base/ui/TfraCameraPage.h"
#include "import/TCameraImportItem.h"
#include "import/ui/TKmImageGridCell.h"
#include "import/ui/TLiveImportActionPanel.h"
#include "import/ui/TLiveImportInfoPanel.h"
#include "import/ui/TLiveImportParameterPanel.h"
#include "import/ui/TLiveImportWorkArea.h"

#include <QPixmap>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;
class TKmImageGrid;
class TKmImageHistogram;
class TKmPropertyList;
class TLiveImport;
class TSetup;
class TfrmViewer;

// The page "Live-Import": while it is shown, every new shot of the camera is copied into the target
// folder and added to the grid; a single selected picture shows its histogram and EXIF data, and new
// pictures can go to the viewer at once. The main window asks the page whether a transfer runs
// before it leaves it and may cancel that transfer.
//
// The live import object (TLiveImport) polls, queues and copies; the page shows what it did and
// forwards the user's choices to it, and its communications as OnCommunication.
class TfraLiveImport : public TfraCameraPage, public PhotoImportLook::TParameterRows
{
    Q_OBJECT

public:
    // Indexes of cbxSelection; none selected (-1) takes every file.
    enum TSelectionItem { siAll, siJpeg, siRaw, siMovies, siJpegRaw, siJpegMovies, siRawMovies };

    explicit TfraLiveImport(QWidget* parent = nullptr);
    ~TfraLiveImport() override;

    // Download folder, filter, viewer and automatic view settings; without settings the folder stays
    // as chosen and the internal viewer is used.
    void SetSetup(TSetup* setup);
    // The viewer for double clicks and the automatic view; may be none.
    void SetViewer(TfrmViewer* viewer) { m_viewer = viewer; }

    // Stores the camera and forgets every count, list and the last shot.
    void SetCamera(TCamera* camera) override;
    // Shutter-only mode, the baseline and polling; the target folder and filter from the settings.
    void GoStart() override;
    // Stops polling, copying and the busy picture; counters and grid stay.
    void OnLeaveModule();
    void GoStop() override { OnLeaveModule(); }
    // Shows or hides a line with the import's inner state.
    void ToggleDebugView() override;

    bool IsTransferring() const;
    // Empties the queue and abandons the file in flight; callers wait for IsTransferring to turn false.
    void CancelTransfer();

    bool RequestData(bool queueNew);
    void ReloadSources();
    void AddToGallery(const TCameraImportItem& file, const QString& localPath);
    void UpdateTypeLabels();
    void UpdateCounters();
    void ShowInfo(bool single);

    void igrThumbnailsSelectCell(TKmImageGridCell* cell, TShiftState shift);
    void igrThumbnailsDblClickCell(TKmImageGridCell* cell, int cellIndex);
    void tmrSelectCellTimer();
    void tmrLoadingTimer();
    void edtTargetDirChange();
    void btnTargetDirClick();
    void cbxSelectionChange();
    void btnAutoViewClick();

    // The extensions an item of cbxSelection takes; empty: every file.
    static QStringList SelectionExtensions(int selectionItem);
    bool IsAutoView() const { return m_autoView; }
    // The object behind the page; none without a camera.
    TLiveImport* LiveImport() const { return m_live.get(); }

    // What the page asks the desktop for; tests replace them. BrowseFolder returns the chosen folder
    // or an empty text when cancelled.
    std::function<QString(const QString& caption)> BrowseFolder;
    std::function<void(const QString& fileName)> OpenWithSystem;

    // The panels, and their controls under the names the page has always given them.
    TLiveImportWorkArea* pnlThumbnails;
    QLabel* lblTargetDir;
    QLineEdit* edtTargetDir;
    QToolButton* btnTargetDir;
    QLabel* lblWrongDirectory;
    QLabel* lblNotice;
    QLabel* lblDebug;
    QWidget* pnlThumbnailsArea;
    TKmImageGrid* igrThumbnails;
    TLiveImportInfoPanel* pnlInfo;
    TKmPropertyList* plExifData;
    TKmImageHistogram* ihgViewer;
    QLabel* lblQueue;
    QLabel* imgLoading;
    QLabel* lblRAW;
    QLabel* lblJPEG;
    TLiveImportParameterPanel* pnlParameters;
    TLiveImportActionPanel* pnlActions;
    QLabel* lblLastTakeInfoCaption;
    QLabel* lblLastTakeInfo;
    QToolButton* btnAutoView;
    QTimer tmrLoading;
    QTimer tmrSelectCell;

private:
    void createPanels();
    void connectImport();
    void showSources();
    void showState();
    void showAutoView();
    void startLoadingInfo();
    void stopLoadingInfo();
    void addFailed(const TCameraImportItem& file, const QString& reason);
    void clearGrid();
    bool isTargetValid() const;

    TSetup* m_setup = nullptr;
    TfrmViewer* m_viewer = nullptr;
    std::unique_ptr<TLiveImport> m_live; // none without a camera
    TKmImageGridCell* m_clickedCell = nullptr;
    bool m_autoView = false;
};
