#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// A light reading of get_imglist answers ("dir,name,size,attr,date,time" lines) for the diagnosis
// and the dump, which need folder names and dates but not the import's item model.
struct TImgListLine
{
    QString Name;
    uint Attributes = 0;
    QDateTime Stamp; // the camera's local time; invalid for nonsense
    bool IsFolder() const { return (Attributes & 0x10) != 0; }
};

// Lines that do not have the six fields with numbers where they belong are skipped.
QList<TImgListLine> parseImgListLines(const QByteArray& body);
