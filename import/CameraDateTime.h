#pragma once

#include <QDate>
#include <QString>
#include <QTime>

// The camera lists dates and times FAT-packed as decimal numbers: date bits 9-15 year - 1980, 5-8
// month, 0-4 day; time bits 11-15 hour, 5-10 minute, 0-4 seconds / 2.

// An invalid date when the text is not a number or not a calendar date.
QDate DecodeCameraDate(const QString& text);
// An invalid time when the text is not a number or not a time of day.
QTime DecodeCameraTime(const QString& text);
// The decoded date in the user's short date format; the text itself when it does not decode.
QString CameraDateText(const QString& text);
// The decoded time in the user's long time format; the text itself when it does not decode.
QString CameraTimeText(const QString& text);
