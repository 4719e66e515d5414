#pragma once

#include "base/ui/TTranslationForm.h"

#include <QList>
#include <QRect>
#include <QTimer>

#include <optional>

class QLabel;
class TSetup;

// The busy overlay: a half-transparent cover laid over the main window's contents while the pages
// talk to the camera, so no other action can start meanwhile. Rectangles can be cut out of it (the
// main window's progress area, areas a page names) so they stay visible and usable.
// It is a child of the main window, painted by the window itself: it needs no compositor to be
// see-through, and every dialog or message box, being a window of its own, stays above it.
// The user cannot close it; in debug mode "Schließen  X" is the way out.
class TfrmInProcessing : public TTranslationForm
{
    Q_OBJECT

public:
    // The overlay covers parent (the main window).
    explicit TfrmInProcessing(const TSetup* setup, QWidget* parent = nullptr);
    ~TfrmInProcessing() override;

    // areaRect, in the main window's coordinates, stays free; an empty one frees nothing.
    void Show(const QRect& areaRect);
    // Forgets the free regions and closes the overlay.
    void Hide();
    // The first highIndex + 1 of rects (none for -1) and areaRect become the free regions.
    void SetFreeRegions(const QList<QRect>& rects, int highIndex, const QRect& areaRect);
    // The window's shape: its whole area minus every free region.
    void RedesignForm();
    // What is running, shown under the caption (the progress line's caption and detail).
    void SetActivity(const QString& caption, const QString& detail);

    const QList<QRect>& FreeRegions() const { return m_freeRegions; }
    bool OwnRegion() const { return m_ownRegion; }
    bool Closable() const { return m_closable; }

    QLabel* lblInProcessing;
    QLabel* lblActivity;
    QLabel* lblClose;
    QTimer tmrProgress;

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tmrProgressTimer();
    void addAreaRect(const QRect& areaRect);
    void placeLabels();
    // Where a box of that size touches no free region, nearest the middle; none when it fits nowhere.
    std::optional<QPoint> freeSpot(const QSize& box) const;
    void trace(const QString& message) const;

    const TSetup* m_setup;
    bool m_closable = true;
    int m_dots = 0;
    QList<QRect> m_freeRegions;
    bool m_ownRegion = false;
};
