#pragma once

#include <QWidget>

class TKmImageHistogram;
class TKmPropertyList;

// Beside the live import grid, shown for a single selected picture: its EXIF data and histogram.
class TLiveImportInfoPanel : public QWidget
{
    Q_OBJECT

public:
    explicit TLiveImportInfoPanel(QWidget* parent = nullptr);

    TKmPropertyList* plExifData;
    TKmImageHistogram* ihgViewer;
};
