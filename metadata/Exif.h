#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

namespace tess::metadata {

/// What readExif found out about a file.
enum class ExifReadStatus
{
    Read,      ///< the file was read; hasExif tells whether it carries an EXIF block
    NoFile,    ///< no file at the path: nothing was read and the fields were left alone
    ReadError, ///< the EXIF block is cut short or corrupt: callers use none of its values
};

/// The EXIF fields a stamp can show, read from the start of a JPEG file.
///
/// Only IFD0 and the EXIF sub-directory are read; every value is turned into the text that
/// is stamped. Every offset and count in the file is checked against the EXIF segment, so
/// no input makes the reader read outside the segment, loop without end or allocate more
/// than one segment (64 KiB).
struct TExif
{
    QString imageDescription;
    QString make;
    QString model;
    quint8 orientationCode = 0;
    QString orientationText;
    QString copyrightText;
    bool hasExif = false;      ///< an APP1 segment with the "Exif\0\0" identifier was found
    QString dateTime;          ///< as stored, trailing blanks removed
    QString dateTimeOriginal;  ///< as stored
    QString dateTimeDigitized; ///< as stored
    QString userComment;
    QString exposureTimeText; ///< "1/250 seconds"
    QString fNumberText;      ///< "2.8"
    QString shutterSpeedText; ///< "1/256 seconds"
    QString apertureText;
    QString maxApertureText;
    quint8 exposureProgramCode = 0;
    QString exposureProgramText;
    quint32 pixelXDimension = 0;
    quint32 pixelYDimension = 0;
    quint32 xResolution = 0; ///< the rational rounded to a whole number
    quint32 yResolution = 0;
    quint8 meteringModeCode = 0;
    QString meteringModeText;
    quint8 lightSourceCode = 0;
    QString lightSourceText;
    quint8 flashCode = 0;
    QString flashText;
    quint16 isoSpeed = 0;
    QString software;
    QString artist;
    QString compressedBppText;
    quint32 exifIfdOffset = 0; ///< pointer to the EXIF sub-directory, from the TIFF base
    bool bigEndian = false;    ///< the TIFF header says "MM"

    /// Empties every text, zeroes every number and clears both flags.
    void clear();

    /// Reads the JPEG file at \a path. A missing file leaves the fields as they are; any
    /// other call starts by clearing them. On ReadError the fields read before the fault
    /// keep their values, but callers should use none of them.
    ExifReadStatus readExif(const QString& path);
    /// The same over the bytes of a whole file held in memory.
    ExifReadStatus readExif(QByteArrayView fileBytes);
};

// Name tables and text forms of the reader, for callers that show codes of their own.

QString orientationName(quint32 code);
QString exposureProgramName(quint32 code);
QString meteringName(quint32 code);
QString lightSourceName(quint32 code);
/// Listed codes have their own names; any other code is "Flash" when bit 0 (flash fired)
/// is set and "No Flash" otherwise.
QString flashName(quint32 code);

/// numerator / denominator with two decimals and ".", one trailing "0" dropped ("2.8",
/// "4.0", "2.83"); empty for a zero denominator.
QString rationalDecimalText(quint32 numerator, quint32 denominator);
/// "1/250 seconds"; a denominator of exactly 1000000 gives "0 seconds".
QString exposureTimeText(quint32 numerator, quint32 denominator);
/// "1/" + 2^Tv rounded + " seconds" from the APEX value numerator / denominator (both read
/// unsigned); "1 seconds" for Tv >= 65535; empty when 2^Tv is too large to be a whole number.
QString shutterSpeedText(quint32 numerator, quint32 denominator);
/// The rational rounded to the nearest whole number (halves to even); 0 for a zero
/// denominator.
quint32 roundedRational(quint32 numerator, quint32 denominator);

} // namespace tess::metadata
