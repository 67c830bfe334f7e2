#include "metadata/ByteCursor.h"
#include "metadata/Exif.h"
#include "tests/support/TestMain.h"
#include "tests/support/TestPhotos.h"

#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <map>
#include <optional>

using namespace tess;
using metadata::ExifReadStatus;
using metadata::TExif;

namespace {

// ---- A small writer of TIFF blocks and JPEG files, little- or big-endian ----

enum Type : quint16
{
    Byte = 1,
    Ascii = 2,
    Short = 3,
    Long = 4,
    Rational = 5,
    Undefined = 7,
    SRational = 10
};

struct Entry
{
    quint16 tag = 0;
    quint16 type = 0;
    quint32 count = 0;
    QByteArray data;                      ///< the value's bytes, in the block's byte order
    std::optional<quint32> offsetInField; ///< write this offset instead of placing data
};

class TiffWriter
{
public:
    explicit TiffWriter(bool bigEndian) : m_big(bigEndian) {}

    QByteArray u16(quint16 v) const
    {
        const char lo = char(v & 0xFF), hi = char(v >> 8);
        QByteArray out;
        return m_big ? out.append(hi).append(lo) : out.append(lo).append(hi);
    }
    QByteArray u32(quint32 v) const
    {
        return m_big ? u16(quint16(v >> 16)) + u16(quint16(v)) : u16(quint16(v)) + u16(v >> 16);
    }

    Entry ascii(quint16 tag, const QByteArray& text) const
    {
        return {tag, Ascii, quint32(text.size() + 1), text + '\0', {}};
    }
    Entry shortValue(quint16 tag, quint16 v) const { return {tag, Short, 1, u16(v), {}}; }
    Entry longValue(quint16 tag, quint32 v) const { return {tag, Long, 1, u32(v), {}}; }
    Entry byteValue(quint16 tag, quint8 v) const
    {
        return {tag, Byte, 1, QByteArray(1, char(v)), {}};
    }
    Entry rational(quint16 tag, quint32 n, quint32 d, quint16 type = Rational) const
    {
        return {tag, type, 1, u32(n) + u32(d), {}};
    }
    Entry undefined(quint16 tag, const QByteArray& bytes) const
    {
        return {tag, Undefined, quint32(bytes.size()), bytes, {}};
    }

    /// Header, IFD0 at \a ifd0Offset, the EXIF sub-directory (pointed to from IFD0 when
    /// \a exif is not empty) and the data area behind them.
    QByteArray build(QList<Entry> ifd0, const QList<Entry>& exif, quint32 ifd0Offset = 8) const
    {
        const auto dirSize = [](qsizetype n) { return quint32(2 + 12 * n + 4); };
        if (!exif.isEmpty())
            ifd0.append(longValue(0x8769, 0)); // patched below
        const quint32 exifOffset = ifd0Offset + dirSize(ifd0.size());
        quint32 dataOffset = exifOffset + (exif.isEmpty() ? 0 : dirSize(exif.size()));
        if (!exif.isEmpty())
            ifd0.last().data = u32(exifOffset);

        QByteArray data;
        const auto directory = [&](const QList<Entry>& entries) {
            QByteArray dir = u16(quint16(entries.size()));
            for (const Entry& e : entries) {
                dir += u16(e.tag) + u16(e.type) + u32(e.count);
                if (e.offsetInField) {
                    dir += u32(*e.offsetInField);
                } else if (e.data.size() <= 4) {
                    dir += e.data + QByteArray(4 - e.data.size(), '\0');
                } else {
                    dir += u32(dataOffset + quint32(data.size()));
                    data += e.data;
                    if (data.size() % 2)
                        data += '\0';
                }
            }
            return dir + u32(0);
        };
        QByteArray block =
            (m_big ? QByteArray("MM") : QByteArray("II")) + u16(42) + u32(ifd0Offset);
        block += QByteArray(ifd0Offset - 8, '\0');
        block += directory(ifd0);
        if (!exif.isEmpty())
            block += directory(exif);
        return block + data;
    }

private:
    bool m_big;
};

QByteArray segment(quint8 marker, const QByteArray& payload)
{
    const int length = int(payload.size()) + 2;
    return QByteArray()
               .append(char(0xFF))
               .append(char(marker))
               .append(char(length >> 8))
               .append(char(length & 0xFF)) +
           payload;
}

QByteArray exifSegment(const QByteArray& tiff)
{
    return segment(0xE1, QByteArray("Exif\0\0", 6) + tiff);
}

// A JFIF APP0 segment whose length field says 2 + payloadSize (16 for the usual one).
QByteArray app0(int payloadSize = 14)
{
    QByteArray payload("JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 14);
    payload.resize(payloadSize, '\0');
    return segment(0xE0, payload);
}

QByteArray jpeg(const QList<QByteArray>& segments)
{
    QByteArray file("\xFF\xD8", 2);
    for (const QByteArray& s : segments)
        file += s;
    return file + segment(0xDA, QByteArray(10, '\x01')) + QByteArray("\x12\x34\xFF\xD9", 4);
}

// A block with a camera make, for the tests that only ask whether the block was found.
QByteArray makeOnlyBlock(bool big = false)
{
    const TiffWriter w(big);
    return w.build({w.ascii(0x010F, "Canon")}, {w.shortValue(0x8827, 100)});
}

// Every field as "name=value", so that two reads can be compared at once.
QStringList describe(const TExif& e)
{
    const auto field = [](const char* name, const QString& value) {
        return QLatin1String(name) + u'=' + value;
    };
    return {
        field("imageDescription", e.imageDescription),
        field("make", e.make),
        field("model", e.model),
        field("orientationCode", QString::number(e.orientationCode)),
        field("orientationText", e.orientationText),
        field("copyrightText", e.copyrightText),
        field("hasExif", QString::number(e.hasExif)),
        field("dateTime", e.dateTime),
        field("dateTimeOriginal", e.dateTimeOriginal),
        field("dateTimeDigitized", e.dateTimeDigitized),
        field("userComment", e.userComment),
        field("exposureTimeText", e.exposureTimeText),
        field("fNumberText", e.fNumberText),
        field("shutterSpeedText", e.shutterSpeedText),
        field("apertureText", e.apertureText),
        field("maxApertureText", e.maxApertureText),
        field("exposureProgramCode", QString::number(e.exposureProgramCode)),
        field("exposureProgramText", e.exposureProgramText),
        field("pixelXDimension", QString::number(e.pixelXDimension)),
        field("pixelYDimension", QString::number(e.pixelYDimension)),
        field("xResolution", QString::number(e.xResolution)),
        field("yResolution", QString::number(e.yResolution)),
        field("meteringModeCode", QString::number(e.meteringModeCode)),
        field("meteringModeText", e.meteringModeText),
        field("lightSourceCode", QString::number(e.lightSourceCode)),
        field("lightSourceText", e.lightSourceText),
        field("flashCode", QString::number(e.flashCode)),
        field("flashText", e.flashText),
        field("isoSpeed", QString::number(e.isoSpeed)),
        field("software", e.software),
        field("artist", e.artist),
        field("compressedBppText", e.compressedBppText),
        field("exifIfdOffset", QString::number(e.exifIfdOffset)),
        field("bigEndian", QString::number(e.bigEndian)),
    };
}

TExif read(const QByteArray& file, ExifReadStatus* status = nullptr)
{
    TExif exif;
    const ExifReadStatus s = exif.readExif(QByteArrayView(file));
    if (status)
        *status = s;
    return exif;
}

} // namespace

Q_DECLARE_METATYPE(ExifReadStatus)

class TestExif : public QObject
{
    Q_OBJECT
private slots:
    // ---- every field from one block ----

    void everyField_data()
    {
        QTest::addColumn<bool>("bigEndian");
        QTest::addColumn<quint32>("ifd0Offset");
        QTest::newRow("little-endian, IFD0 at 8") << false << 8u;
        QTest::newRow("big-endian, IFD0 at 8") << true << 8u;
        QTest::newRow("little-endian, IFD0 at 200") << false << 200u;
        QTest::newRow("big-endian, IFD0 at 200") << true << 200u;
    }

    void everyField()
    {
        QFETCH(bool, bigEndian);
        QFETCH(quint32, ifd0Offset);
        const TiffWriter w(bigEndian);
        const QList<Entry> ifd0 = {
            w.ascii(0x010E, "Harbour at dawn"),
            w.ascii(0x010F, "Canon"),
            w.ascii(0x0110, "Canon EOS 40D"),
            w.shortValue(0x0112, 6),
            w.rational(0x011A, 7200, 100),
            w.rational(0x011B, 3000, 10),
            w.ascii(0x0131, "GIMP 2.4.5"),
            w.ascii(0x0132, "2008:07:03 14:05:09"),
            w.ascii(0x013B, "Jo"),
            {0x8298, Ascii, 24, QByteArray("Jo Photographer\0Editor\0", 23) + '\0', {}},
            w.shortValue(0x8827, 800), // an EXIF tag in IFD0: not taken
        };
        const QList<Entry> exif = {
            w.rational(0x829A, 1, 250),
            w.rational(0x829D, 28, 10),
            w.shortValue(0x8822, 2),
            w.shortValue(0x8827, 400),
            w.ascii(0x9003, "2008:07:03 14:05:09"),
            w.ascii(0x9004, "2008:07:03 14:06:00"),
            w.rational(0x9102, 4, 1),
            w.rational(0x9201, 8, 1, SRational),
            w.rational(0x9202, 283, 100),
            w.rational(0x9205, 1, 2),
            w.shortValue(0x9207, 5),
            w.shortValue(0x9208, 2),
            w.shortValue(0x9209, 25),
            w.undefined(0x9286, QByteArray("ASCII\0\0\0Nice day", 16)),
            w.longValue(0xA002, 4000),
            w.shortValue(0xA003, 3000),
            w.ascii(0x010F, "Nikon"), // an IFD0 tag in the EXIF directory: not taken
        };
        ExifReadStatus status;
        const TExif e = read(jpeg({app0(), exifSegment(w.build(ifd0, exif, ifd0Offset))}), &status);

        QCOMPARE(status, ExifReadStatus::Read);
        QVERIFY(e.hasExif);
        QCOMPARE(e.bigEndian, bigEndian);
        QCOMPARE(e.imageDescription, QStringLiteral("Harbour at dawn"));
        QCOMPARE(e.make, QStringLiteral("Canon"));
        QCOMPARE(e.model, QStringLiteral("Canon EOS 40D"));
        QCOMPARE(e.orientationCode, 6);
        QCOMPARE(e.orientationText, QStringLiteral("Rotated 90 right"));
        QCOMPARE(e.xResolution, 72u);
        QCOMPARE(e.yResolution, 300u);
        QCOMPARE(e.software, QStringLiteral("GIMP 2.4.5"));
        QCOMPARE(e.dateTime, QStringLiteral("2008:07:03 14:05:09"));
        QCOMPARE(e.artist,
                 QStringLiteral("Jo")); // three bytes with the NUL: held in the value field
        QCOMPARE(e.copyrightText, QStringLiteral("Jo Photographer"));
        QCOMPARE(e.exposureTimeText, QStringLiteral("1/250 seconds"));
        QCOMPARE(e.fNumberText, QStringLiteral("2.8"));
        QCOMPARE(e.exposureProgramCode, 2);
        QCOMPARE(e.exposureProgramText, QStringLiteral("Normal Program"));
        QCOMPARE(e.isoSpeed, 400);
        QCOMPARE(e.dateTimeOriginal, QStringLiteral("2008:07:03 14:05:09"));
        QCOMPARE(e.dateTimeDigitized, QStringLiteral("2008:07:03 14:06:00"));
        QCOMPARE(e.compressedBppText, QStringLiteral("4.0"));
        QCOMPARE(e.shutterSpeedText, QStringLiteral("1/256 seconds"));
        QCOMPARE(e.apertureText, QStringLiteral("2.83"));
        QCOMPARE(e.maxApertureText, QStringLiteral("0.5"));
        QCOMPARE(e.meteringModeCode, 5);
        QCOMPARE(e.meteringModeText, QStringLiteral("Pattern"));
        QCOMPARE(e.lightSourceCode, 2);
        QCOMPARE(e.lightSourceText, QStringLiteral("Flourescent"));
        QCOMPARE(e.flashCode, 25);
        QCOMPARE(e.flashText, QStringLiteral("Flash (Auto)"));
        QCOMPARE(e.userComment, QStringLiteral("Nice day"));
        QCOMPARE(e.pixelXDimension, 4000u);
        QCOMPARE(e.pixelYDimension, 3000u);
        QVERIFY(e.exifIfdOffset > ifd0Offset);
    }

    void missingTagsStayEmpty()
    {
        const TExif e = read(jpeg({exifSegment(makeOnlyBlock())}));
        QVERIFY(e.hasExif);
        QStringList fields = describe(e);
        fields.removeIf([](const QString& f) {
            return f.startsWith(u"make=") || f.startsWith(u"hasExif=") ||
                   f.startsWith(u"isoSpeed=") || f.startsWith(u"exifIfdOffset=");
        });
        for (const QString& f : fields)
            QVERIFY2(f.endsWith(u'=') || f.endsWith(u"=0"), qPrintable(f));
    }

    // ---- texts ----

    void texts_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<quint32>("count");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << QByteArray("Canon\0", 6) << 6u << "Canon";
        QTest::newRow("three letters in the value field") << QByteArray("Sny\0", 4) << 4u << "Sny";
        QTest::newRow("four letters in the value field, no NUL")
            << QByteArray("SONY", 4) << 4u << "SONY";
        QTest::newRow("count without the NUL")
            << QByteArray("EASTMAN KODAK COMPANY\0", 22) << 21u << "EASTMAN KODAK COMPANY";
        QTest::newRow("NUL then blanks") << QByteArray("Canon\0   ", 9) << 9u << "Canon";
        QTest::newRow("trailing blanks")
            << QByteArray("PENTAX Corporation \0", 20) << 20u << "PENTAX Corporation";
        QTest::newRow("trailing control characters")
            << QByteArray("Ricoh\t\r\n\x01\0", 10) << 10u << "Ricoh";
        QTest::newRow("leading blanks kept") << QByteArray("  Leica\0", 8) << 8u << "  Leica";
        QTest::newRow("count zero") << QByteArray("Canon\0", 6) << 0u << "";
        QTest::newRow("count one") << QByteArray("\0", 1) << 1u << "";
        QTest::newRow("count shorter than the text")
            << QByteArray("Canonical\0", 10) << 6u << "Canoni";
        QTest::newRow("Windows-1252")
            << QByteArray("Caf\xE9 Cr\xE8me\0", 11) << 11u << QString::fromUtf8("Café Crème");
        QTest::newRow("UTF-8") << QByteArray("Caf\xC3\xA9\0", 6) << 6u << QString::fromUtf8("Café");
    }

    void texts()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(quint32, count);
        QFETCH(QString, expected);
        for (bool big : {false, true}) {
            const TiffWriter w(big);
            const Entry make{0x010F, Ascii, count, bytes, {}};
            const TExif e = read(jpeg({exifSegment(w.build({make}, {}))}));
            QCOMPARE(e.make, expected);
        }
    }

    void textAtAnOffsetOutsideTheBlockIsEmpty_data()
    {
        QTest::addColumn<quint32>("offset");
        QTest::newRow("just past the end") << 0u; // replaced by the block size
        QTest::newRow("far away") << 0x7FFFFFF0u;
        QTest::newRow("wraps around") << 0xFFFFFFFFu;
    }

    void textAtAnOffsetOutsideTheBlockIsEmpty()
    {
        QFETCH(quint32, offset);
        const TiffWriter w(false);
        Entry make{0x010F, Ascii, 20, {}, 0xFFFFFFFFu};
        const quint32 size = quint32(w.build({make, w.ascii(0x0110, "EOS")}, {}).size());
        make.offsetInField = offset == 0 ? size : offset;
        ExifReadStatus status;
        const TExif e =
            read(jpeg({exifSegment(w.build({make, w.ascii(0x0110, "EOS")}, {}))}), &status);
        QCOMPARE(status, ExifReadStatus::Read);
        QCOMPARE(e.make, QStringLiteral(""));
        QCOMPARE(e.model, QStringLiteral("EOS")); // the directory goes on
    }

    void textCutByTheEndOfTheSegment()
    {
        // The text's last bytes are missing: what is there is kept.
        const TiffWriter w(true);
        QByteArray block = w.build({w.ascii(0x010F, "Canon Inc.")}, {});
        block.chop(6); // "Canon " of "Canon Inc.\0" and its pad byte remain
        QCOMPARE(read(jpeg({exifSegment(block)})).make, QStringLiteral("Canon"));
    }

    void userComment_data()
    {
        QTest::addColumn<bool>("bigEndian");
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ASCII code") << false << QByteArray("ASCII\0\0\0Nice day", 16) << "Nice day";
        QTest::newRow("undefined code, blanks")
            << false << QByteArray(8, '\0') + QByteArray(20, ' ') << "";
        QTest::newRow("NUL ends the comment")
            << false << QByteArray("ASCII\0\0\0Nice\0day", 16) << "Nice";
        QTest::newRow("trailing blanks")
            << true << QByteArray("ASCII\0\0\0Sunset   ", 17) << "Sunset";
        QTest::newRow("code only") << false << QByteArray("ASCII\0\0\0", 8) << "";
        QTest::newRow("shorter than the code") << false << QByteArray("ASCII", 5) << "";
        QTest::newRow("two-byte characters, little-endian")
            << false << QByteArray("UNICODE\0N\0i\0c\0e\0 \0\xE9\0\0\0", 22)
            << QString::fromUtf8("Nice é");
        QTest::newRow("two-byte characters, big-endian")
            << true << QByteArray("UNICODE\0\0N\0i\0c\0e\0 \0 ", 20) << "Nice";
    }

    void userComment()
    {
        QFETCH(bool, bigEndian);
        QFETCH(QByteArray, field);
        QFETCH(QString, expected);
        const TiffWriter w(bigEndian);
        const TExif e = read(jpeg({exifSegment(w.build({}, {w.undefined(0x9286, field)}))}));
        QCOMPARE(e.userComment, expected);
    }

    // ---- numbers and their text forms ----

    void rationalTexts_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<quint32>("numerator");
        QTest::addColumn<quint32>("denominator");
        QTest::addColumn<QString>("expected");
        QTest::newRow("decimal 28/10") << "decimal" << 28u << 10u << "2.8";
        QTest::newRow("decimal 4/1") << "decimal" << 4u << 1u << "4.0";
        QTest::newRow("decimal 283/100") << "decimal" << 283u << 100u << "2.83";
        QTest::newRow("decimal 1/2") << "decimal" << 1u << 2u << "0.5";
        QTest::newRow("decimal 0/1") << "decimal" << 0u << 1u << "0.0";
        QTest::newRow("decimal 0/0") << "decimal" << 0u << 0u << "";
        QTest::newRow("decimal 2/3 rounds") << "decimal" << 2u << 3u << "0.67";
        QTest::newRow("decimal 5.625, half to even") << "decimal" << 45u << 8u << "5.62";
        QTest::newRow("decimal 5.635, half to even") << "decimal" << 1127u << 200u << "5.64";
        QTest::newRow("decimal 0.995 rounds up a digit") << "decimal" << 199u << 200u << "1.0";
        QTest::newRow("decimal largest") << "decimal" << 0xFFFFFFFFu << 1u << "4294967295.0";
        QTest::newRow("exposure 1/250") << "exposure" << 1u << 250u << "1/250 seconds";
        QTest::newRow("exposure 10/1") << "exposure" << 10u << 1u << "10/1 seconds";
        QTest::newRow("exposure 1/0") << "exposure" << 1u << 0u << "1/0 seconds";
        QTest::newRow("exposure 1/1000000") << "exposure" << 1u << 1000000u << "0 seconds";
        QTest::newRow("exposure 560852/100000000")
            << "exposure" << 560852u << 100000000u << "560852/100000000 seconds";
        QTest::newRow("exposure unsigned")
            << "exposure" << 0xFFFFFFFFu << 2u << "4294967295/2 seconds";
        QTest::newRow("shutter Tv 8") << "shutter" << 8u << 1u << "1/256 seconds";
        QTest::newRow("shutter Tv 6.97") << "shutter" << 697u << 100u << "1/125 seconds";
        QTest::newRow("shutter Tv 7.375") << "shutter" << 483328u << 65536u << "1/166 seconds";
        QTest::newRow("shutter Tv 0") << "shutter" << 0u << 1u << "1/1 seconds";
        QTest::newRow("shutter zero denominator") << "shutter" << 5u << 0u << "1/1 seconds";
        QTest::newRow("shutter Tv 62") << "shutter" << 62u << 1u << "1/4611686018427387904 seconds";
        QTest::newRow("shutter too large to write") << "shutter" << 64u << 1u << "";
        QTest::newRow("shutter Tv 65534") << "shutter" << 65534u << 1u << "";
        QTest::newRow("shutter Tv 65535") << "shutter" << 65535u << 1u << "1 seconds";
        QTest::newRow("shutter negative Tv read unsigned")
            << "shutter" << quint32(-1000) << 1000u << "1 seconds";
        QTest::newRow("resolution 72/1") << "resolution" << 72u << 1u << "72";
        QTest::newRow("resolution 7200/100") << "resolution" << 7200u << 100u << "72";
        QTest::newRow("resolution 3000/10") << "resolution" << 3000u << 10u << "300";
        QTest::newRow("resolution 720000/10000") << "resolution" << 720000u << 10000u << "72";
        QTest::newRow("resolution 1/0") << "resolution" << 1u << 0u << "0";
        QTest::newRow("resolution 5/2, half to even") << "resolution" << 5u << 2u << "2";
        QTest::newRow("resolution 7/2, half to even") << "resolution" << 7u << 2u << "4";
        QTest::newRow("resolution 2/3") << "resolution" << 2u << 3u << "1";
        QTest::newRow("resolution largest") << "resolution" << 0xFFFFFFFFu << 1u << "4294967295";
    }

    void rationalTexts()
    {
        QFETCH(QString, form);
        QFETCH(quint32, numerator);
        QFETCH(quint32, denominator);
        QFETCH(QString, expected);
        const std::map<QString, std::function<QString(quint32, quint32)>> forms = {
            {u"decimal"_qs, metadata::rationalDecimalText},
            {u"exposure"_qs, metadata::exposureTimeText},
            {u"shutter"_qs, metadata::shutterSpeedText},
            {u"resolution"_qs,
             [](quint32 n, quint32 d) { return QString::number(metadata::roundedRational(n, d)); }},
        };
        QCOMPARE(forms.at(form)(numerator, denominator), expected);
    }

    void rationalAtAnOffsetOutsideTheBlock()
    {
        const TiffWriter w(false);
        const Entry fNumber{0x829D, Rational, 1, {}, 0xFFFFFFFCu};
        const Entry xRes{0x011A, Rational, 1, {}, 0xFFFFFFF9u};
        ExifReadStatus status;
        const TExif e = read(jpeg({exifSegment(w.build({xRes}, {fNumber}))}), &status);
        QCOMPARE(status, ExifReadStatus::Read);
        QCOMPARE(e.fNumberText, QStringLiteral(""));
        QCOMPARE(e.xResolution, 0u);
    }

    void codedValues_data()
    {
        QTest::addColumn<quint16>("type");
        QTest::addColumn<quint32>("value");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("name");
        QTest::newRow("SHORT") << quint16(Short) << 3u << 3 << "Spot";
        QTest::newRow("BYTE") << quint16(Byte) << 2u << 2 << "Center Weighted Average";
        QTest::newRow("LONG") << quint16(Long) << 1u << 1 << "Average";
        QTest::newRow("255") << quint16(Short) << 255u << 255 << "Unknown";
        QTest::newRow("above 255: low 8 bits kept, named by the value")
            << quint16(Short) << 0x105u << 5 << "Unknown";
    }

    void codedValues()
    {
        QFETCH(quint16, type);
        QFETCH(quint32, value);
        QFETCH(int, code);
        QFETCH(QString, name);
        for (bool big : {false, true}) {
            const TiffWriter w(big);
            const QByteArray field = type == Byte    ? QByteArray(1, char(value))
                                     : type == Short ? w.u16(quint16(value))
                                                     : w.u32(value);
            const Entry metering{0x9207, type, 1, field, {}};
            const TExif e = read(jpeg({exifSegment(w.build({}, {metering}))}));
            QCOMPARE(e.meteringModeCode, code);
            QCOMPARE(e.meteringModeText, name);
        }
    }

    void numbersFromShortOrLong_data()
    {
        QTest::addColumn<bool>("bigEndian");
        QTest::newRow("little-endian") << false;
        QTest::newRow("big-endian") << true;
    }

    void numbersFromShortOrLong()
    {
        QFETCH(bool, bigEndian);
        const TiffWriter w(bigEndian);
        const QList<Entry> exif = {
            w.shortValue(0xA002, 640),
            w.longValue(0xA003, 70000),
            w.shortValue(0x8827, 65535),
            // Two SHORTs, as some cameras write: the first one counts.
            {0x9209, Short, 2, w.u16(16) + w.u16(1), {}},
        };
        const TExif e = read(jpeg({exifSegment(w.build({}, exif))}));
        QCOMPARE(e.pixelXDimension, 640u);
        QCOMPARE(e.pixelYDimension, 70000u);
        QCOMPARE(e.isoSpeed, 65535);
        QCOMPARE(e.flashText, QStringLiteral("No Flash"));
    }

    // ---- name tables ----

    void names_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<quint32>("code");
        QTest::addColumn<QString>("name");
        const QStringList orientations = {"Unknown",
                                          "Normal",
                                          "Mirrored",
                                          "Rotated 180",
                                          "Rotated 180, mirrored",
                                          "Rotated 90 left, mirrored",
                                          "Rotated 90 right",
                                          "Rotated 90 right, mirrored",
                                          "Rotated 90 left",
                                          "Unknown"};
        for (quint32 c = 0; c < quint32(orientations.size()); ++c)
            QTest::addRow("orientation %u", c) << "orientation" << c << orientations[int(c)];
        const QStringList programs = {
            "Unknown",          "Manual Control",   "Normal Program", "Aperture Priority",
            "Shutter Priority", "Creative Program", "Action Program", "Portrait Mode",
            "Landscape Mode",   "Unknown"};
        for (quint32 c = 0; c < quint32(programs.size()); ++c)
            QTest::addRow("exposure program %u", c) << "program" << c << programs[int(c)];
        const QStringList meterings = {"Unknown", "Average",    "Center Weighted Average",
                                       "Spot",    "Multi Spot", "Pattern",
                                       "Partial", "Other",      "Unknown"};
        for (quint32 c = 0; c < quint32(meterings.size()); ++c)
            QTest::addRow("metering %u", c) << "metering" << c << meterings[int(c)];
        QTest::newRow("metering 255") << "metering" << 255u << "Unknown";
        const std::pair<quint32, const char*> lights[] = {{0, "Unknown"},
                                                          {1, "Daylight"},
                                                          {2, "Flourescent"},
                                                          {3, "Tungsten"},
                                                          {4, "Unknown"},
                                                          {10, "Flash"},
                                                          {17, "Standard Light A"},
                                                          {18, "Standard Light B"},
                                                          {19, "Standard Light C"},
                                                          {20, "D55"},
                                                          {21, "D65"},
                                                          {22, "D75"},
                                                          {23, "Unknown"},
                                                          {255, "Other"},
                                                          {256, "Unknown"}};
        for (const auto& [c, n] : lights)
            QTest::addRow("light source %u", c) << "light" << c << QString::fromLatin1(n);
        const std::pair<quint32, const char*> flashes[] = {
            {0, "No Flash"},
            {1, "Flash"},
            {5, "Flash No Strobe"},
            {7, "Flash Strobe"},
            {25, "Flash (Auto)"},
            // Codes without a name of their own: bit 0 says whether the flash fired.
            {9, "Flash"},
            {31, "Flash"},
            {16, "No Flash"},
            {24, "No Flash"},
            {9969, "Flash"},
            {88, "No Flash"}};
        for (const auto& [c, n] : flashes)
            QTest::addRow("flash %u", c) << "flash" << c << QString::fromLatin1(n);
    }

    void names()
    {
        QFETCH(QString, table);
        QFETCH(quint32, code);
        QFETCH(QString, name);
        const std::map<QString, QString (*)(quint32)> tables = {
            {u"orientation"_qs, metadata::orientationName},
            {u"program"_qs, metadata::exposureProgramName},
            {u"metering"_qs, metadata::meteringName},
            {u"light"_qs, metadata::lightSourceName},
            {u"flash"_qs, metadata::flashName},
        };
        QCOMPARE(tables.at(table)(code), name);
    }

    // ---- finding the EXIF segment ----

    void findsTheExifSegment_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("hasExif");
        const QByteArray exif = exifSegment(makeOnlyBlock());
        const QByteArray xmp = segment(0xE1, "http://ns.adobe.com/xap/1.0/\0<x:xmpmeta/>");
        QTest::newRow("JFIF APP0 of 16, EXIF at 20") << jpeg({app0(), exif}) << true;
        QTest::newRow("EXIF right after the start of image") << jpeg({exif}) << true;
        QTest::newRow("APP0 declaring 18, EXIF at 22") << jpeg({app0(16), exif}) << true;
        QTest::newRow("comment of length 15, EXIF at 19")
            << jpeg({segment(0xFE, QByteArray(13, 'c')), exif}) << true;
        QTest::newRow("comment of length 16, EXIF at 20")
            << jpeg({segment(0xFE, QByteArray(14, 'c')), exif}) << true;
        QTest::newRow("ICC profile before EXIF")
            << jpeg({app0(), segment(0xE2, "ICC_PROFILE\0" + QByteArray(3000, 'i')), exif}) << true;
        QTest::newRow("XMP packet before EXIF") << jpeg({app0(), xmp, exif}) << true;
        QTest::newRow("fill bytes before a marker")
            << jpeg({app0(), QByteArray("\xFF\xFF\xFF", 3), exif}) << true;
        QTest::newRow("several segments before EXIF")
            << jpeg({app0(), segment(0xED, "Photoshop 3.0"), segment(0xEC, "Ducky"),
                     segment(0xFE, ""), exif})
            << true;
        QTest::newRow("XMP packet only") << jpeg({app0(), xmp}) << false;
        QTest::newRow("APP1 with an other identifier")
            << jpeg({segment(0xE1, QByteArray("Exif\0x", 6) + makeOnlyBlock())}) << false;
        QTest::newRow("EXIF identifier in an APP2")
            << jpeg({segment(0xE2, QByteArray("Exif\0\0", 6) + makeOnlyBlock())}) << false;
        QTest::newRow("EXIF after the start of scan")
            << jpeg({app0()}).chopped(2) + exif + QByteArray("\xFF\xD9", 2) << false;
        QTest::newRow("no JFIF, no segments") << QByteArray("\xFF\xD8\xFF\xD9", 4) << false;
        QTest::newRow("not a JPEG") << QByteArray("\x89PNG\r\n\x1A\n") + exif << false;
        QTest::newRow("empty file") << QByteArray() << false;
        QTest::newRow("start of image only") << QByteArray("\xFF\xD8", 2) << false;
        QTest::newRow("garbage where a marker should be")
            << QByteArray("\xFF\xD8\x00\x10", 4) + exif << false;
        QTest::newRow("segment running past the end of the file")
            << QByteArray("\xFF\xD8\xFF\xE0\xFF\xF0JFIF", 10) << false;
        // Found by fuzzing: the identifier must lie inside the segment.
        QTest::newRow("APP1 shorter than the identifier")
            << QByteArray("\xFF\xD8\xFF\xE1\x00\x05", 6) + QByteArray("Exif\0\0II*\0\x08", 11) +
                   QByteArray(20, '\0')
            << false;
        QTest::newRow("APP1 of the identifier alone")
            << jpeg({segment(0xE1, QByteArray("Exif\0", 5)), segment(0xFE, QByteArray(12, '\0'))})
            << false;
        QTest::newRow("segment length below 2")
            << QByteArray("\xFF\xD8\xFF\xE0\x00\x01", 6) + exif << false;
    }

    void findsTheExifSegment()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, hasExif);
        ExifReadStatus status;
        const TExif e = read(file, &status);
        QCOMPARE(status, ExifReadStatus::Read);
        QCOMPARE(e.hasExif, hasExif);
        QCOMPARE(e.make, hasExif ? u"Canon" : u"");
        QCOMPARE(e.isoSpeed, hasExif ? 100 : 0);
    }

    void realFilesWithSegmentsBeforeExif_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("orientation");
        QTest::newRow("ICC profile (APP2) first") << "orientation-landscape_2.jpg" << 2;
        QTest::newRow("ICC profile (APP2) first, portrait") << "orientation-portrait_6.jpg" << 6;
        QTest::newRow("XMP packet (APP1) first") << "xmp-no_exif.jpg" << 1;
    }

    void realFilesWithSegmentsBeforeExif()
    {
        QFETCH(QString, name);
        QFETCH(int, orientation);
        TExif e;
        QCOMPARE(e.readExif(test::cameraPhoto(name)), ExifReadStatus::Read);
        QVERIFY(e.hasExif);
        QCOMPARE(e.orientationCode, orientation);
        QVERIFY(e.pixelXDimension > 0); // the EXIF sub-directory was read too
    }

    // ---- directories ----

    void ifd0WithNoEntries()
    {
        // A count of 0 is an empty directory: the entry-shaped bytes behind it are not read.
        const TiffWriter w(false);
        QByteArray block = w.build({w.ascii(0x010F, "Canon")}, {w.shortValue(0x8827, 100)});
        block[8] = 0;
        block[9] = 0;
        ExifReadStatus status;
        const TExif e = read(jpeg({exifSegment(block)}), &status);
        QCOMPARE(status, ExifReadStatus::Read);
        QVERIFY(e.hasExif);
        QCOMPARE(e.make, QStringLiteral(""));
        QCOMPARE(e.isoSpeed, 0);
        QCOMPARE(e.exifIfdOffset, 0u);
    }

    void tagZeroEndsTheDirectory()
    {
        const TiffWriter w(true);
        const QList<Entry> ifd0 = {w.ascii(0x010F, "Canon"), w.shortValue(0, 0),
                                   w.ascii(0x0110, "EOS")};
        const TExif e = read(jpeg({exifSegment(w.build(ifd0, {}))}));
        QCOMPARE(e.make, QStringLiteral("Canon"));
        QCOMPARE(e.model, QStringLiteral(""));
    }

    void corruptBlocks_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<ExifReadStatus>("status");
        QTest::addColumn<QString>("make");
        const TiffWriter w(false);
        const QByteArray good = w.build({w.ascii(0x010F, "Canon")}, {w.shortValue(0x8827, 100)});
        const auto withIfd0Offset = [&](quint32 offset) {
            return good.first(4) + w.u32(offset) + good.sliced(8);
        };
        QTest::newRow("header cut short")
            << jpeg({exifSegment(QByteArray("II*\0", 4))}) << ExifReadStatus::ReadError << "";
        QTest::newRow("identifier only")
            << jpeg({segment(0xE1, QByteArray("Exif\0\0", 6))}) << ExifReadStatus::ReadError << "";
        QTest::newRow("IFD0 past the end")
            << jpeg({exifSegment(withIfd0Offset(5000))}) << ExifReadStatus::ReadError << "";
        QTest::newRow("IFD0 offset wraps around")
            << jpeg({exifSegment(withIfd0Offset(0xFFFFFFFF))}) << ExifReadStatus::ReadError << "";
        // Three entries announced, one there (a make held in its value field).
        const QByteArray cutDirectory = good.first(8) + w.u16(3) + w.u16(0x010F) + w.u16(Ascii) +
                                        w.u32(4) + QByteArray("Sny\0", 4);
        QTest::newRow("entry count runs past the end")
            << jpeg({exifSegment(cutDirectory)}) << ExifReadStatus::ReadError << "Sny";
        QTest::newRow("last entry cut short")
            << jpeg({exifSegment(cutDirectory.chopped(1))}) << ExifReadStatus::ReadError << "";

        const QList<Entry> badPointer = {w.ascii(0x010F, "Canon"), w.longValue(0x8769, 0xFFFFFFF0)};
        QTest::newRow("EXIF pointer past the end")
            << jpeg({exifSegment(w.build(badPointer, {}))}) << ExifReadStatus::ReadError << "Canon";
        const QList<Entry> selfPointer = {w.ascii(0x010F, "Canon"), w.longValue(0x8769, 8)};
        QTest::newRow("EXIF pointer back to IFD0")
            << jpeg({exifSegment(w.build(selfPointer, {}))}) << ExifReadStatus::Read << "Canon";

        QByteArray file = jpeg({exifSegment(good)});
        QTest::newRow("file cut inside the EXIF segment")
            << file.first(2 + 10 + 8 + 2 + 12 + 6) << ExifReadStatus::ReadError << "";
        QTest::newRow("file cut inside the TIFF header")
            << file.first(2 + 10 + 5) << ExifReadStatus::ReadError << "";
    }

    void corruptBlocks()
    {
        QFETCH(QByteArray, file);
        QFETCH(ExifReadStatus, status);
        QFETCH(QString, make);
        ExifReadStatus got;
        const TExif e = read(file, &got);
        QCOMPARE(got, status);
        QVERIFY(e.hasExif);
        QCOMPARE(e.make, make); // values read before the fault stay
    }

    void segmentLengthBoundsTheBlock()
    {
        // Offsets must stay inside the EXIF segment, not run on into the next one.
        const TiffWriter w(false);
        QByteArray block = w.build({{0x010F, Ascii, 6, {}, 0}}, {});
        const quint32 size = quint32(block.size());
        block = w.build({{0x010F, Ascii, 6, {}, size + 4}}, {});
        const QByteArray next = segment(0xFE, "Canon");
        const TExif e = read(jpeg({exifSegment(block), next}));
        QCOMPARE(e.make, QStringLiteral(""));
    }

    // ---- files on disk ----

    void pathAndBytesAgree_data()
    {
        QTest::addColumn<QString>("path");
        for (const QString& name : test::photoNames(u"camera"_qs))
            QTest::newRow(qPrintable(QStringLiteral("camera/") + name)) << test::cameraPhoto(name);
        for (const QString& name : test::photoNames(u"invalid"_qs))
            QTest::newRow(qPrintable(QStringLiteral("invalid/") + name))
                << test::invalidPhoto(name);
    }

    void pathAndBytesAgree()
    {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        TExif fromPath, fromBytes;
        const ExifReadStatus a = fromPath.readExif(path);
        const ExifReadStatus b = fromBytes.readExif(QByteArrayView(bytes));
        QCOMPARE(a, b);
        QCOMPARE(describe(fromPath), describe(fromBytes));
        QVERIFY(a != ExifReadStatus::NoFile);
    }

    void invalidFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("hasExif");
        QTest::newRow("empty fields") << "casio-empty-fields.jpg" << true;
        QTest::newRow("truncated image") << "truncated-olympus.jpg" << true;
        for (const QString& name : test::photoNames(u"invalid"_qs)) {
            if (name.startsWith(u"image"))
                QTest::newRow(qPrintable(name + QStringLiteral(", XMP only"))) << name << false;
        }
    }

    void invalidFiles()
    {
        QFETCH(QString, name);
        QFETCH(bool, hasExif);
        TExif e;
        QCOMPARE(e.readExif(test::invalidPhoto(name)), ExifReadStatus::Read);
        QCOMPARE(e.hasExif, hasExif);
        if (!hasExif)
            QCOMPARE(describe(e), describe(TExif()));
    }

    void missingFileLeavesTheFields()
    {
        TExif e;
        e.make = u"kept"_qs;
        e.hasExif = true;
        QCOMPARE(e.readExif(test::testHome() + QStringLiteral("/no-such-photo.jpg")),
                 ExifReadStatus::NoFile);
        QCOMPARE(e.make, QStringLiteral("kept"));
        QVERIFY(e.hasExif);
        QCOMPARE(e.readExif(test::testHome()), ExifReadStatus::NoFile); // a folder
    }

    void eachReadStartsClean()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"plain.jpg"_qs);
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(jpeg({app0()}));
        out.close();
        TExif e;
        QCOMPARE(e.readExif(test::cameraPhoto(u"Canon_40D.jpg"_qs)), ExifReadStatus::Read);
        QVERIFY(e.hasExif);
        QCOMPARE(e.readExif(path), ExifReadStatus::Read);
        QCOMPARE(describe(e), describe(TExif()));
    }

    // ---- the byte cursor under every reader ----

    void cursorNeverReadsOutsideItsSpan_data()
    {
        QTest::addColumn<quint64>("offset");
        QTest::addColumn<int>("bytes"); // 1, 2 or 4
        QTest::addColumn<bool>("reads");
        QTest::newRow("last four bytes") << quint64(4) << 4 << true;
        QTest::newRow("one byte past the end") << quint64(5) << 4 << false;
        QTest::newRow("last byte") << quint64(7) << 1 << true;
        QTest::newRow("at the end") << quint64(8) << 1 << false;
        QTest::newRow("offset that wraps a 32-bit sum") << quint64(0xFFFFFFFE) << 4 << false;
        QTest::newRow("offset that wraps a 64-bit sum") << ~quint64(0) << 2 << false;
    }

    void cursorNeverReadsOutsideItsSpan()
    {
        QFETCH(quint64, offset);
        QFETCH(int, bytes);
        QFETCH(bool, reads);
        // The span is the middle of a larger buffer: a read past it would still find bytes.
        const QByteArray buffer = QByteArrayLiteral("\xAA\x01\x02\x03\x04\x05\x06\x07\x08\xBB");
        for (const bool big : {false, true}) {
            metadata::ByteCursor cursor =
                metadata::ByteCursor(QByteArrayView(buffer).sliced(1, 8), big).at(offset);
            quint32 value = 0;
            bool threw = false;
            try {
                value = bytes == 1 ? cursor.u8() : bytes == 2 ? cursor.u16() : cursor.u32();
            } catch (const metadata::ByteCursor::OutOfSpan&) {
                threw = true;
            }
            QCOMPARE(threw, !reads);
            QCOMPARE(cursor.pos(), reads ? offset + quint64(bytes) : offset);
            if (reads && bytes == 4)
                QCOMPARE(value, big ? 0x05060708u : 0x08070605u);
            QVERIFY(cursor.available(16).size() <= 8);
        }
    }
};

TESS_TEST_MAIN(TestExif)
#include "test_exif.moc"
