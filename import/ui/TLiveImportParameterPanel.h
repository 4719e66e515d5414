#pragma once

#include "base/ui/PhotoImportLook.h"

#include <QWidget>

class QLabel;

// The live import page's parameter panel: the rows both import pages show (the page connects the
// choices; the selection's items in the order of TfraLiveImport::TSelectionItem, "Alle" picked)
// and the last shot's files.
class TLiveImportParameterPanel : public QWidget, public PhotoImportLook::TParameterRows
{
    Q_OBJECT

public:
    explicit TLiveImportParameterPanel(QWidget* parent = nullptr);

    QLabel* lblLastTakeInfoCaption;
    QLabel* lblLastTakeInfo;
};
