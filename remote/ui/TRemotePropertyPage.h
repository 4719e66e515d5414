#pragma once

#include "remote/RemotePropertyTable.h"

#include <QWidget>

#include <vector>

class QComboBox;
class QToolButton;
class TColorPhasePicker;
class TRemoteControl;

// One page of the camera properties: caption, choice and -/+ buttons for each row of the property
// table on that page, the choice taking the width. The general page also holds the self-timer
// beside the drive mode and the partial colour's hue below the white balance.
class TRemotePropertyPage : public QWidget
{
    Q_OBJECT

public:
    struct TChoiceRow
    {
        const RemotePropertyTable::TRow* Row;
        QComboBox* Choice;
        QToolButton* Down;
        QToolButton* Up;
    };

    TRemotePropertyPage(
        RemotePropertyTable::TPage which, const char* name, const QString& title, QWidget* parent = nullptr);

    const std::vector<TChoiceRow>& Rows() const { return m_rows; }
    QComboBox* Choice(const QString& property) const;
    const TChoiceRow* RowOf(const QComboBox* choice) const;

    // The choices from the camera's values, in the table's order.
    void Fill(const TRemoteControl& control);
    static void FillChoice(QComboBox* choice, const QStringList& values, int current);
    // The page's rows' share of the table's enabling, from *next on; the -/+ buttons and the
    // self-timer follow their choice.
    void Enable(QList<bool>::const_iterator& next);

    // On the general page only.
    QComboBox* SelfTimer = nullptr;
    TColorPhasePicker* ColorPhase = nullptr;

signals:
    // A pick in a choice; a -/+ button asks to move the choice's selection by step.
    void Picked(QComboBox* choice);
    void Stepped(QComboBox* choice, int step);

private:
    std::vector<TChoiceRow> m_rows;
};
