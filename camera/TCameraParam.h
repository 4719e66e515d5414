#pragma once

#include "camera/TBaseAction.h"
#include "camera/TStringDictionary.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <limits>

class TCGIFunction;
class TXMLNode;

// One shooting property of the camera ("takemode", "focalvalue", ...): its current value, the
// allowed values, whether it can be read and written, and the display texts of its values. Its
// reads and writes are requests like an action's.
class TCameraParam : private TBaseAction
{
public:
    TCameraParam(const QString& name, TCameraLink link);

    bool Valid = false; // the description was read
    QString Name;
    QString Value; // display text
    QString RawValue; // as the camera wrote it
    QStringList DisplayValues; // allowed values as display texts, in the camera's order
    QList<qint32> DisplayNumbers; // one per display value: ten times the f-number for "focalvalue", else 0
    QStringList RawValues;
    TStringDictionary Dictionary; // camera value to display text
    bool CanGet = false;
    bool CanSet = false;
    // The lens range for "focalvalue" in tenths (35 for f/3.5); other properties keep the defaults.
    qint32 MinLimit = 0;
    qint32 MaxLimit = std::numeric_limits<qint32>::max();
    using TBaseAction::LastFailure;
    using TBaseAction::Link;

    void Reset(bool clearDictionary);
    // Reads the description when the "get_camprop" entry of the command list names this property.
    // False when the answer could not be read; a property the camera does not list stays invalid.
    bool Probe(const TCGIFunction& function);
    // Fills the property from a "desc" element.
    bool ReadFromXML(const TXMLNode* desc);
    // Reads the description again; false when the property cannot be read or the read failed.
    bool Refresh();
    // Sends a new value given as display text or as camera value. For "focalvalue" a value outside
    // the limits is sent only when it moves towards them. True when the camera took it.
    bool SetValue(const QString& text);
    // Move by step positions within the allowed values, clamped to the ends.
    bool StepUp(int step);
    bool StepDown(int step);
    bool IsUsable() const { return CanSet && Valid; }

    // The display texts again from the dictionary (after it was refilled or retranslated).
    void ApplyDictionary();
    // DisplayNumbers := ten times each display value read as a decimal number with "."; false
    // when one is not such a number (it keeps 0).
    bool ComputeNumbers();
    // Index of a display text, else of a camera value; -1 when neither.
    int IndexOf(const QString& text) const;

    // The URL query parts; the keys are the ones the cameras' own command lists name.
    QString DescUrl() const;
    QString SetUrl() const;
    static QByteArray SetBody(const QString& rawValue);

private:
    using TBaseAction::Reset; // the request state; Reset(bool) is the property's
    bool readDescription(bool probing);
    qint32 numberAt(int index) const;
    bool step(int delta);
};
