#pragma once

#include <QString>
#include <QWidget>

class QPlainTextEdit;
class QPushButton;

// Shows which bytes of the frames' camera information differ from a baseline, so that a developer
// can find the meaning of a byte by changing one setting on the camera.
class TLiveViewDebugMonitor : public QWidget
{
    Q_OBJECT

public:
    explicit TLiveViewDebugMonitor(QWidget* parent = nullptr);

    // The first dump after a clear becomes the baseline; later ones show their differences.
    void ShowDump(const QString& hexDump);
    void ClearBaseline() { m_baseline.clear(); }
    QString Baseline() const { return m_baseline; }
    // Appends the baseline as one line to "LM.log" in the folder and clears it.
    void AssignChanges(const QString& folder);
    void SetTempDir(const QString& folder) { m_tempDir = folder; }

    // Unchanged characters become "_", in groups of 8, five to a line with the byte range.
    static QString ComparisonText(const QString& dump, const QString& baseline);

    QPlainTextEdit* memChanges = nullptr;
    QPushButton* btnAssignChanges = nullptr;

private:
    QString m_baseline;
    QString m_tempDir;
};
