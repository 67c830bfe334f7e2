#include "metadata/Exif.h"

#include "metadata/ByteCursor.h"
#include "metadata/SegmentWalker.h"
#include "platform/Text8Bit.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <initializer_list>
#include <optional>
#include <utility>

namespace tess::metadata {

namespace {

// The payload of the first APP1 segment with the EXIF identifier before the image data.
// Clipped to the file.
std::optional<QByteArray> findExifPayload(QIODevice& in)
{
    SegmentWalker walker(in);
    while (walker.next()) {
        // Check the identifier first, inside the segment: XMP packets in APP1 can be large.
        if (walker.marker() == 0xE1 && walker.payload(6) == QByteArrayView("Exif\0\0", 6))
            return walker.payload(walker.length() - 2);
    }
    return std::nullopt;
}

QByteArrayView trimTrailingControls(QByteArrayView bytes)
{
    qsizetype n = bytes.size();
    while (n > 0 && quint8(bytes[n - 1]) <= 32)
        --n;
    return bytes.first(n);
}

QByteArrayView upToNul(QByteArrayView bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    return nul < 0 ? bytes : bytes.first(nul);
}

struct Entry
{
    quint16 tag = 0;
    quint16 type = 0;
    quint32 count = 0;
    quint64 field = 0; // block offset of the 4-byte value field
};

struct Rational
{
    quint32 numerator = 0;
    quint32 denominator = 0;
};

class DirectoryReader
{
public:
    DirectoryReader(const ByteCursor& block, TExif& exif) : m_block(block), m_exif(exif) {}

    enum class Kind
    {
        Ifd0,
        ExifSubIfd
    };

    void read(quint32 offset, Kind kind)
    {
        ByteCursor cursor = m_block.at(offset);
        const quint16 count = cursor.u16();
        for (quint32 i = 0; i < count; ++i) {
            Entry e;
            e.tag = cursor.u16();
            e.type = cursor.u16();
            e.count = cursor.u32();
            e.field = cursor.pos();
            cursor.u32(); // the whole entry must be there
            if (e.tag == 0)
                return;
            if (kind == Kind::Ifd0)
                takeIfd0(e);
            else
                takeExif(e);
        }
    }

private:
    // The number in the value field: a BYTE its first byte, a SHORT its first 16-bit
    // number, a LONG the 32-bit number.
    quint32 number(const Entry& e) const
    {
        switch (e.type) {
        case 1: // BYTE
        case 2: // ASCII
        case 6: // SBYTE
        case 7: // UNDEFINED
            return m_block.at(e.field).u8();
        case 3: // SHORT
        case 8: // SSHORT
            return m_block.at(e.field).u16();
        default:
            return m_block.at(e.field).u32();
        }
    }

    // Up to n bytes of the value: in the value field when the entry's count bytes fit
    // there, else at the offset the field holds. Stops at the end of the block; empty when
    // the offset is outside it.
    QByteArrayView bytes(const Entry& e, quint64 n) const
    {
        if (e.count <= 4)
            return m_block.at(e.field).available(qMin<quint64>(n, 4));
        return m_block.at(m_block.at(e.field).u32()).available(n);
    }

    // Up to the first NUL or count bytes. The count should include the closing NUL, but
    // cameras also write texts that fill their count exactly ("EASTMAN KODAK COMPANY" with
    // a count of 21); their last character is kept.
    QString text(const Entry& e) const
    {
        const QByteArrayView raw = upToNul(bytes(e, e.count));
        return platform::decode8Bit(trimTrailingControls(raw));
    }

    QString comment(const Entry& e) const
    {
        const QByteArrayView field = bytes(e, e.count);
        if (field.size() <= 8)
            return {};
        const QByteArrayView code = field.first(8);
        const QByteArrayView body = field.sliced(8);
        if (code == QByteArrayView("UNICODE\0", 8))
            return utf16Comment(body);
        return platform::decode8Bit(trimTrailingControls(upToNul(body)));
    }

    // A comment in two-byte characters, in the byte order of the block.
    QString utf16Comment(QByteArrayView body) const
    {
        QString out;
        for (qsizetype i = 0; i + 1 < body.size(); i += 2) {
            const auto hi = quint8(body[m_block.bigEndian() ? i : i + 1]);
            const auto lo = quint8(body[m_block.bigEndian() ? i + 1 : i]);
            const char16_t unit = char16_t((hi << 8) | lo);
            if (unit == 0)
                break;
            out.append(QChar(unit));
        }
        qsizetype n = out.size();
        while (n > 0 && out[n - 1].unicode() <= 32)
            --n;
        out.truncate(n);
        return out;
    }

    std::optional<Rational> rational(const Entry& e) const
    {
        const quint32 offset = m_block.at(e.field).u32();
        if (!m_block.contains(offset, 8))
            return std::nullopt;
        ByteCursor value = m_block.at(offset);
        const quint32 numerator = value.u32();
        return Rational{numerator, value.u32()};
    }

    QString decimal(const Entry& e) const
    {
        const auto r = rational(e);
        return r ? rationalDecimalText(r->numerator, r->denominator) : QString();
    }

    void takeIfd0(const Entry& e)
    {
        switch (e.tag) {
        case 0x010E:
            m_exif.imageDescription = text(e);
            break;
        case 0x010F:
            m_exif.make = text(e);
            break;
        case 0x0110:
            m_exif.model = text(e);
            break;
        case 0x0112: {
            const quint32 v = number(e);
            m_exif.orientationCode = quint8(v);
            m_exif.orientationText = orientationName(v);
            break;
        }
        case 0x011A:
        case 0x011B: {
            const auto r = rational(e);
            const quint32 v = r ? roundedRational(r->numerator, r->denominator) : 0;
            (e.tag == 0x011A ? m_exif.xResolution : m_exif.yResolution) = v;
            break;
        }
        case 0x0131:
            m_exif.software = text(e);
            break;
        case 0x0132:
            m_exif.dateTime = text(e);
            break;
        case 0x013B:
            m_exif.artist = text(e);
            break;
        case 0x8298:
            m_exif.copyrightText = text(e);
            break;
        case 0x8769:
            m_exif.exifIfdOffset = number(e);
            break;
        default:
            break;
        }
    }

    void takeExif(const Entry& e)
    {
        switch (e.tag) {
        case 0x829A: {
            const auto r = rational(e);
            m_exif.exposureTimeText =
                r ? exposureTimeText(r->numerator, r->denominator) : QString();
            break;
        }
        case 0x829D:
            m_exif.fNumberText = decimal(e);
            break;
        case 0x8822: {
            const quint32 v = number(e);
            m_exif.exposureProgramCode = quint8(v);
            m_exif.exposureProgramText = exposureProgramName(v);
            break;
        }
        case 0x8827:
            m_exif.isoSpeed = quint16(number(e));
            break;
        case 0x9003:
            m_exif.dateTimeOriginal = text(e);
            break;
        case 0x9004:
            m_exif.dateTimeDigitized = text(e);
            break;
        case 0x9102:
            m_exif.compressedBppText = decimal(e);
            break;
        case 0x9201: {
            const auto r = rational(e);
            m_exif.shutterSpeedText =
                r ? shutterSpeedText(r->numerator, r->denominator) : QString();
            break;
        }
        case 0x9202:
            m_exif.apertureText = decimal(e);
            break;
        case 0x9205:
            m_exif.maxApertureText = decimal(e);
            break;
        case 0x9207: {
            const quint32 v = number(e);
            m_exif.meteringModeCode = quint8(v);
            m_exif.meteringModeText = meteringName(v);
            break;
        }
        case 0x9208: {
            const quint32 v = number(e);
            m_exif.lightSourceCode = quint8(v);
            m_exif.lightSourceText = lightSourceName(v);
            break;
        }
        case 0x9209: {
            const quint32 v = number(e);
            m_exif.flashCode = quint8(v);
            m_exif.flashText = flashName(v);
            break;
        }
        case 0x9286:
            m_exif.userComment = comment(e);
            break;
        case 0xA002:
            m_exif.pixelXDimension = number(e);
            break;
        case 0xA003:
            m_exif.pixelYDimension = number(e);
            break;
        default:
            break;
        }
    }

    const ByteCursor& m_block;
    TExif& m_exif;
};

ExifReadStatus readFrom(TExif& exif, QIODevice& in)
{
    exif.clear();
    const std::optional<QByteArray> payload = findExifPayload(in);
    if (!payload)
        return ExifReadStatus::Read;
    exif.hasExif = true;
    // The TIFF block: everything after the identifier. Offsets are relative to its start.
    const QByteArrayView tiff =
        QByteArrayView(*payload).sliced(qMin<qsizetype>(6, payload->size()));
    exif.bigEndian = tiff.startsWith("MM");
    const ByteCursor block(tiff, exif.bigEndian);
    try {
        const quint32 ifd0 = block.at(4).u32(); // the whole 8-byte header must be there
        DirectoryReader reader(block, exif);
        reader.read(ifd0, DirectoryReader::Kind::Ifd0);
        // The only pointer followed; one back to IFD0 would read IFD0 a second time.
        if (exif.exifIfdOffset != 0 && exif.exifIfdOffset != ifd0)
            reader.read(exif.exifIfdOffset, DirectoryReader::Kind::ExifSubIfd);
    } catch (const ByteCursor::OutOfSpan&) {
        return ExifReadStatus::ReadError;
    }
    return ExifReadStatus::Read;
}

QString nameFrom(quint32 code, std::initializer_list<std::pair<quint32, const char*>> table,
                 const char* other)
{
    for (const auto& [value, name] : table) {
        if (value == code)
            return QString::fromLatin1(name);
    }
    return QString::fromLatin1(other);
}

} // namespace

void TExif::clear()
{
    *this = TExif();
}

ExifReadStatus TExif::readExif(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return ExifReadStatus::NoFile;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        clear();
        return ExifReadStatus::ReadError;
    }
    return readFrom(*this, file);
}

ExifReadStatus TExif::readExif(QByteArrayView fileBytes)
{
    QByteArray bytes = QByteArray::fromRawData(fileBytes.data(), fileBytes.size());
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return readFrom(*this, buffer);
}

QString orientationName(quint32 code)
{
    return nameFrom(code,
                    {{1, "Normal"},
                     {2, "Mirrored"},
                     {3, "Rotated 180"},
                     {4, "Rotated 180, mirrored"},
                     {5, "Rotated 90 left, mirrored"},
                     {6, "Rotated 90 right"},
                     {7, "Rotated 90 right, mirrored"},
                     {8, "Rotated 90 left"}},
                    "Unknown");
}

QString exposureProgramName(quint32 code)
{
    return nameFrom(code,
                    {{0, "Unknown"},
                     {1, "Manual Control"},
                     {2, "Normal Program"},
                     {3, "Aperture Priority"},
                     {4, "Shutter Priority"},
                     {5, "Creative Program"},
                     {6, "Action Program"},
                     {7, "Portrait Mode"},
                     {8, "Landscape Mode"}},
                    "Unknown");
}

QString meteringName(quint32 code)
{
    return nameFrom(code,
                    {{0, "Unknown"},
                     {1, "Average"},
                     {2, "Center Weighted Average"},
                     {3, "Spot"},
                     {4, "Multi Spot"},
                     {5, "Pattern"},
                     {6, "Partial"},
                     {7, "Other"}},
                    "Unknown");
}

QString lightSourceName(quint32 code)
{
    return nameFrom(code,
                    {{0, "Unknown"},
                     {1, "Daylight"},
                     {2, "Flourescent"},
                     {3, "Tungsten"},
                     {10, "Flash"},
                     {17, "Standard Light A"},
                     {18, "Standard Light B"},
                     {19, "Standard Light C"},
                     {20, "D55"},
                     {21, "D65"},
                     {22, "D75"},
                     {255, "Other"}},
                    "Unknown");
}

QString flashName(quint32 code)
{
    return nameFrom(code,
                    {{0, "No Flash"},
                     {1, "Flash"},
                     {5, "Flash No Strobe"},
                     {7, "Flash Strobe"},
                     {25, "Flash (Auto)"}},
                    (code & 1) ? "Flash" : "No Flash");
}

QString rationalDecimalText(quint32 numerator, quint32 denominator)
{
    if (denominator == 0)
        return {};
    // Hundredths, rounded exactly with halves to even.
    const quint64 scaled = quint64(numerator) * 100;
    quint64 hundredths = scaled / denominator;
    const quint64 rest = scaled % denominator;
    if (2 * rest > denominator || (2 * rest == denominator && (hundredths & 1)))
        ++hundredths;
    QString text = QStringLiteral("%1.%2")
                       .arg(hundredths / 100)
                       .arg(hundredths % 100, 2, 10, QLatin1Char('0'));
    if (text.endsWith(u'0'))
        text.chop(1);
    return text;
}

QString exposureTimeText(quint32 numerator, quint32 denominator)
{
    const QString fraction = denominator == 1000000
                                 ? QStringLiteral("0")
                                 : QStringLiteral("%1/%2").arg(numerator).arg(denominator);
    return fraction + QStringLiteral(" seconds");
}

QString shutterSpeedText(quint32 numerator, quint32 denominator)
{
    const float tv = denominator == 0 ? 0.0f : float(numerator) / float(denominator);
    if (tv >= 65535.0f)
        return QStringLiteral("1 seconds");
    const double speed = std::nearbyint(std::exp2(double(tv)));
    if (!(speed < 9.2e18)) // not a whole number that fits in 64 bits
        return {};
    return QStringLiteral("1/%1 seconds").arg(qint64(speed));
}

quint32 roundedRational(quint32 numerator, quint32 denominator)
{
    if (denominator == 0)
        return 0;
    quint64 whole = numerator / denominator;
    const quint64 rest = numerator % denominator;
    if (2 * quint64(rest) > denominator || (2 * rest == denominator && (whole & 1)))
        ++whole;
    return quint32(whole);
}

} // namespace tess::metadata
