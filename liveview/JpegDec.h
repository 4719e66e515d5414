#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Decoding of live view frames and small helpers for thumbnails.
//
// The fast decoder takes exactly the JPEGs the cameras send: sequential Huffman-coded single-scan
// images (SOF0 or SOF1, 8 or 12 bit, one or three components, each sampling factor 1 to 4 and equal to
// or half of the frame's largest in each direction) that end with EOI. Everything else yields a null
// image. The result is QImage::Format_RGB32 of exactly the frame's size.

// What the marker walk found; accepted only for input the fast decoder takes.
struct JpegDecCheck
{
    bool accepted = false;
    int width = 0;
    int height = 0;
    int precision = 0;
    int components = 0;
    QString reason; // why it was rejected
};

// Walks the markers of a JPEG in memory without decoding the scan.
JpegDecCheck checkJpegMarkers(const uchar* data, qsizetype size);

// Null when the data cannot be decoded. Keeps no state between calls; safe from any thread.
QImage DecodeJpegToBitmap(const uchar* data, qsizetype size);
QImage DecodeJpegToBitmap(const QByteArray& jpeg);

// The general decoder of the JPEG library, at full size (used with /noJpegDec): it also takes
// progressive and multi-scan images. Null with the library's message in error on failure; data that
// the library can only read with a warning (cut short, corrupt) counts as failure too.
QImage decodeJpegWithLibrary(const uchar* data, qsizetype size, QString* error = nullptr);
QImage decodeJpegWithLibrary(const QByteArray& jpeg, QString* error = nullptr);

// A reduced copy of a JPEG file whose longer side is edge pixels (decoded at one eighth of the full
// size first); null when the file cannot be read.
QImage LoadThumbnailBitmap(const QString& fileName, int edge);
// The same encoded as a JPEG of quality 100; empty when there is no bitmap.
QByteArray LoadThumbnailJpeg(const QString& fileName, int edge);
