#include "metadata/Exif.h"
#include "metadata/JpegCodec.h"
#include "metadata/JpegErrorManager.h"
#include "metadata/LosslessJpeg.h"
#include "metadata/PhotoFile.h"
#include "tests/metadata/JpegFixtures.h"
#include "tests/support/TestMain.h"
#include "tests/support/TestPhotos.h"

#include <QJsonObject>
#include <QPainter>
#include <QTemporaryDir>
#include <QTransform>
#include <array>
#include <csetjmp>

using namespace tess;
using namespace tess::metadata;

enum class SizeCheck
{
    None,     ///< a synthetic picture: the stamp's bytes are a large part of the file
    Kept,     ///< within 1 % of the source's size
    NotGrown, ///< at most 1 % larger (the scans of a progressive file are laid out anew)
};
Q_DECLARE_METATYPE(SizeCheck)

namespace {

/// The DCT coefficients of a JPEG stream, read with plain libjpeg calls.
struct Coefficients
{
    struct Component
    {
        int h = 1, v = 1;
        int columns = 0, rows = 0;         ///< blocks, padding of the last MCU included
        int realColumns = 0, realRows = 0; ///< blocks inside the picture
        std::array<quint16, DCTSIZE2> quant{};
        std::vector<JCOEF> blocks; ///< rows x columns blocks of 64 coefficients
        const JCOEF* block(int row, int column) const
        {
            return blocks.data() +
                   (std::size_t(row) * std::size_t(columns) + std::size_t(column)) * DCTSIZE2;
        }
    };
    int maxH = 1, maxV = 1;
    std::vector<Component> components;
    bool read = false;
};

struct CoefficientReader
{
    jpeg_decompress_struct cinfo{};
    JpegErrorManager errors;
    Coefficients out;

    bool run(const QByteArray& jpeg)
    {
        errors.attach(reinterpret_cast<j_common_ptr>(&cinfo));
        if (setjmp(errors.jump))
            return false;
        jpeg_create_decompress(&cinfo);
        jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(jpeg.constData()),
                     static_cast<unsigned long>(jpeg.size()));
        jpeg_read_header(&cinfo, TRUE);
        jvirt_barray_ptr* arrays = jpeg_read_coefficients(&cinfo);
        out.maxH = cinfo.max_h_samp_factor;
        out.maxV = cinfo.max_v_samp_factor;
        out.components.resize(std::size_t(cinfo.num_components));
        for (int c = 0; c < cinfo.num_components; ++c) {
            const jpeg_component_info& info = cinfo.comp_info[c];
            Coefficients::Component& comp = out.components[std::size_t(c)];
            comp.h = info.h_samp_factor;
            comp.v = info.v_samp_factor;
            comp.columns = int(info.width_in_blocks + JDIMENSION(comp.h) - 1) / comp.h * comp.h;
            comp.rows = int(info.height_in_blocks + JDIMENSION(comp.v) - 1) / comp.v * comp.v;
            comp.realColumns = int(info.width_in_blocks);
            comp.realRows = int(info.height_in_blocks);
            std::copy_n(cinfo.quant_tbl_ptrs[info.quant_tbl_no]->quantval, DCTSIZE2,
                        comp.quant.begin());
            comp.blocks.resize(std::size_t(comp.rows) * std::size_t(comp.columns) * DCTSIZE2);
            for (int r = 0; r < comp.rows; ++r) {
                JBLOCKARRAY row = (*cinfo.mem->access_virt_barray)(
                    reinterpret_cast<j_common_ptr>(&cinfo), arrays[c], JDIMENSION(r), 1, FALSE);
                std::memcpy(comp.blocks.data() +
                                std::size_t(r) * std::size_t(comp.columns) * DCTSIZE2,
                            row[0], std::size_t(comp.columns) * sizeof(JBLOCK));
            }
        }
        out.read = true;
        return true;
    }
};

Coefficients readCoefficients(const QByteArray& jpeg)
{
    CoefficientReader reader;
    reader.run(jpeg);
    jpeg_destroy_decompress(&reader.cinfo);
    return reader.out;
}

QImage decoded(const QByteArray& jpeg)
{
    return decodeJpeg(jpeg).image;
}

/// A date stamp, clipped to \a box: a dark band and white text over it, half opaque.
QImage stampedIn(const QImage& photo, const QRect& box)
{
    QImage stamped = photo.copy();
    {
        QPainter painter(&stamped);
        painter.setClipRect(box);
        painter.setOpacity(0.5);
        painter.fillRect(box, Qt::black);
        painter.setOpacity(1.0);
        painter.setPen(Qt::white);
        QFont font = painter.font();
        font.setPixelSize(std::max(6, box.height() * 2 / 3));
        painter.setFont(font);
        painter.drawText(box, Qt::AlignCenter, QStringLiteral("2026:12:10 14:33"));
    }
    return stamped.convertToFormat(QImage::Format_BGR888);
}

/// The rectangle of \a photo covering the fractions (x0, y0) to (x1, y1) of its width and height.
QRect fractionRect(QSize photo, const QRectF& fractions)
{
    return QRect(
        QPoint(int(fractions.left() * photo.width()), int(fractions.top() * photo.height())),
        QPoint(int(fractions.right() * photo.width()) - 1,
               int(fractions.bottom() * photo.height()) - 1));
}

double meanDiffIn(const QImage& a, const QImage& b, const QRect& box, bool luminanceOnly)
{
    QImage x = a.copy(box), y = b.copy(box);
    if (luminanceOnly) {
        x = x.convertToFormat(QImage::Format_Grayscale8).convertToFormat(QImage::Format_BGR888);
        y = y.convertToFormat(QImage::Format_Grayscale8).convertToFormat(QImage::Format_BGR888);
    }
    return test::meanAbsDiff(x, y);
}

/// The photo as it shows by the orientation tag, turned with Qt's own transformations.
QImage upright(const QImage& stored, int tag)
{
    QTransform turn;
    if (tag >= 5)
        turn.rotate(tag == 8 ? 270 : 90);
    QImage out = stored.transformed(turn);
    switch (tag) {
    case 2:
        out = out.mirrored(true, false);
        break;
    case 3:
        out = out.mirrored(true, true);
        break;
    case 4:
        out = out.mirrored(false, true);
        break;
    case 5:
        out = out.mirrored(true, false);
        break;
    case 7:
        out = out.mirrored(false, true);
        break;
    default:
        break;
    }
    return out.convertToFormat(QImage::Format_BGR888);
}

QByteArray exifWithOrientation(int tag)
{
    const test::TiffBuilder t(false);
    QByteArray tiff = t.header();
    tiff.append(t.ifd({t.entry(0x0112, 3, 1, quint32(tag))}));
    return test::segment(0xE1, test::bytes("Exif\0\0") + tiff);
}

QByteArray syntheticSource(const test::LibjpegFixture& f)
{
    return test::encodeWithLibjpeg(f, [&f](int x, int y, JSAMPLE* s) {
        const bool flat = f.optimize;
        s[0] = JSAMPLE(flat ? 120 : (x * 7 + y * 3) % 256);
        if (f.input != JCS_GRAYSCALE) {
            s[1] = JSAMPLE(flat ? 120 : (y * 5) % 256);
            s[2] = JSAMPLE(flat ? 120 : 255 - (x * 2) % 256);
        }
    });
}

/// \a picture encoded once with the quantization tables and sampling of \a like: one
/// generation at the source's own quantization, with plain libjpeg calls.
QByteArray encodedLike(const QImage& picture, const Coefficients& like)
{
    test::LibjpegFixture f;
    f.width = picture.width();
    f.height = picture.height();
    f.stored = like.components.size() == 1 ? JCS_GRAYSCALE : JCS_YCbCr;
    for (const Coefficients::Component& comp : like.components)
        f.components.push_back({comp.h, comp.v, comp.quant});
    return test::encodeWithLibjpeg(f, [&picture](int x, int y, JSAMPLE* s) {
        const QRgb p = picture.pixel(x, y);
        s[0] = JSAMPLE(qRed(p));
        s[1] = JSAMPLE(qGreen(p));
        s[2] = JSAMPLE(qBlue(p));
    });
}

/// The bytes from the first table or frame segment on.
qsizetype imageDataSize(const QByteArray& file)
{
    qsizetype size = file.size() - 2;
    for (const test::FoundSegment& s : test::leadingSegments(file))
        size -= 2 + s.data.size();
    return size;
}

/// The entropy-coded bytes of each restart interval of a single-scan stream, and the interval
/// in MCUs; read segment by segment from SOI, independent of the program's parser.
struct Intervals
{
    int mcus = 0;
    QList<QByteArray> bytes;
};

Intervals intervalsOf(const QByteArray& file)
{
    Intervals out;
    qsizetype pos = 2;
    while (pos + 4 <= file.size() && quint8(file[pos]) == 0xFF) {
        const quint8 marker = quint8(file[pos + 1]);
        const int length = quint8(file[pos + 2]) << 8 | quint8(file[pos + 3]);
        if (marker == 0xDD)
            out.mcus = quint8(file[pos + 4]) << 8 | quint8(file[pos + 5]);
        pos += 2 + length;
        if (marker == 0xDA)
            break;
    }
    qsizetype start = pos;
    for (; pos + 1 < file.size(); ++pos) {
        if (quint8(file[pos]) != 0xFF || file[pos + 1] == 0)
            continue;
        out.bytes.append(file.mid(start, pos - start));
        if (quint8(file[pos + 1]) == 0xD9)
            break;
        start = pos + 2;
        ++pos;
    }
    return out;
}

QJsonObject metadataOf(const QString& path)
{
    const auto read = test::exiftool({QStringLiteral("EXIF:All"), QStringLiteral("ICC_Profile:All"),
                                      QStringLiteral("IPTC:All"), QStringLiteral("XMP:All"),
                                      QStringLiteral("JFIF:All"), QStringLiteral("File:Comment")},
                                     {path});
    if (!read || read->isEmpty())
        return {};
    QJsonObject tags = read->first().toObject();
    tags.remove(QStringLiteral("SourceFile"));
    return tags;
}

} // namespace

class TestLosslessJpeg : public QObject
{
    Q_OBJECT
private slots:
    void keepsTheSourceOutsideTheStamp_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QRectF>("stamp");
        QTest::addColumn<SizeCheck>("size");
        QTest::addColumn<bool>("grey");

        auto camera = [](const char* name) { return test::readFile(test::cameraPhoto(name)); };
        const QRectF lowerRight(0.55, 0.62, 0.25, 0.05);
        const QRectF corner(0.8, 0.9, 0.2, 0.1);
        QTest::newRow("4:4:4 with restart markers")
            << camera("exif-org-nikon-e950.jpg") << lowerRight << SizeCheck::Kept << false;
        QTest::newRow("4:4:4") << camera("orientation-landscape_1.jpg") << lowerRight
                               << SizeCheck::Kept << false;
        QTest::newRow("4:2:2") << camera("exif-org-canon-ixus.jpg") << lowerRight << SizeCheck::Kept
                               << false;
        QTest::newRow("4:2:0") << camera("exif-org-kodak-dc210.jpg") << lowerRight
                               << SizeCheck::Kept << false;
        QTest::newRow("4:2:0 with restart markers, flat graphic")
            << camera("xmp-BlueSquare.jpg") << lowerRight << SizeCheck::None << false;
        QTest::newRow("4:4:0 with restart markers, 8 megapixels")
            << camera("tests-67-0_length_string.jpg") << lowerRight << SizeCheck::Kept << false;
        QTest::newRow("4:4:0, stamp in the partial MCUs of the corner")
            << camera("Panasonic_DMC-FZ30.jpg") << corner << SizeCheck::Kept << false;
        QTest::newRow("4:2:2 progressive")
            << camera("tests-32-lens_data.jpeg") << lowerRight << SizeCheck::NotGrown << false;

        test::LibjpegFixture grey;
        grey.width = 203;
        grey.height = 77;
        grey.input = JCS_GRAYSCALE;
        grey.stored = JCS_GRAYSCALE;
        QTest::newRow("greyscale") << syntheticSource(grey) << corner << SizeCheck::None << true;
        test::LibjpegFixture restarts;
        restarts.width = 150;
        restarts.height = 90;
        restarts.restartInterval = 3;
        QTest::newRow("4:2:0, a restart every 3 MCUs")
            << syntheticSource(restarts) << lowerRight << SizeCheck::None << false;
        test::LibjpegFixture flat;
        flat.width = 96;
        flat.height = 64;
        flat.optimize = true;
        QTest::newRow("Huffman tables without the stamp's codes")
            << syntheticSource(flat) << lowerRight << SizeCheck::None << false;
        flat.restartInterval = 2;
        QTest::newRow("restart markers, Huffman tables without the stamp's codes")
            << syntheticSource(flat) << lowerRight << SizeCheck::None << false;
    }

    void keepsTheSourceOutsideTheStamp()
    {
        QFETCH(QByteArray, source);
        QFETCH(QRectF, stamp);
        QFETCH(SizeCheck, size);
        QFETCH(bool, grey);
        QVERIFY2(!source.isEmpty(), "the source photo is missing");
        const QImage photo = decoded(source);
        QVERIFY(!photo.isNull());
        const QRect box = fractionRect(photo.size(), stamp);
        const QImage stamped = stampedIn(photo, box);

        const LosslessEncoding lossless = encodeLosslessJpeg(source, photo, stamped, 95);
        QVERIFY2(lossless.ok(), qPrintable(lossless.error));

        // Every block outside the MCUs the stamp touches is the source's own.
        const Coefficients before = readCoefficients(source);
        const Coefficients after = readCoefficients(lossless.jpeg);
        QVERIFY(before.read && after.read);
        QCOMPARE(after.maxH, before.maxH);
        QCOMPARE(after.maxV, before.maxV);
        QCOMPARE(after.components.size(), before.components.size());
        const int mcuWidth = 8 * before.maxH, mcuHeight = 8 * before.maxV;
        int changedBlocks = 0;
        for (std::size_t c = 0; c < before.components.size(); ++c) {
            const auto& b = before.components[c];
            const auto& a = after.components[c];
            QCOMPARE(a.h, b.h);
            QCOMPARE(a.v, b.v);
            QCOMPARE(a.quant, b.quant);
            QCOMPARE(a.columns, b.columns);
            QCOMPARE(a.rows, b.rows);
            // The padding blocks of partial MCUs lie outside the picture: libjpeg writes its own.
            for (int row = 0; row < b.realRows; ++row) {
                for (int column = 0; column < b.realColumns; ++column) {
                    const int mcuX = column / b.h * mcuWidth, mcuY = row / b.v * mcuHeight;
                    const bool touched = QRect(mcuX, mcuY, mcuWidth, mcuHeight).intersects(box);
                    const bool same =
                        std::equal(b.block(row, column), b.block(row, column) + DCTSIZE2,
                                   a.block(row, column));
                    if (!touched && !same)
                        QFAIL(qPrintable(QStringLiteral("block %1,%2 of component %3 changed")
                                             .arg(column)
                                             .arg(row)
                                             .arg(c)));
                    changedBlocks += same ? 0 : 1;
                }
            }
        }
        QVERIFY2(changedBlocks > 0, "the stamp was not written");

        // Inside the stamp the pixels are as close to the stamped picture as one generation of
        // JPEG allows: a normal save's, or one at the source's own (maybe coarser) tables.
        QTemporaryDir dir;
        const QString sourcePath = test::writeFile(dir, QStringLiteral("source.jpg"), source);
        const QString normalPath = dir.filePath(QStringLiteral("normal.jpg"));
        const QString losslessPath = dir.filePath(QStringLiteral("lossless.jpg"));
        QVERIFY(saveStampedJpeg(stamped, 95, sourcePath, normalPath));
        QVERIFY(test::writeFile(losslessPath, lossless.jpeg));
        const double normalError =
            meanDiffIn(decoded(test::readFile(normalPath)), stamped, box, grey);
        const double sourceTablesError =
            meanDiffIn(decoded(encodedLike(stamped, before)), stamped, box, grey);
        const double losslessError = meanDiffIn(decoded(lossless.jpeg), stamped, box, grey);
        QVERIFY2(losslessError <= 1.5 * std::max(normalError, sourceTablesError) + 1.0,
                 qPrintable(QStringLiteral("stamp error %1, normal save's %2, source tables' %3")
                                .arg(losslessError)
                                .arg(normalError)
                                .arg(sourceTablesError)));

        // The image data keeps the source's size, give or take 1 %, beyond what the stamp's
        // own detail costs (measured by two encodings with the source's tables); a progressive
        // rewrite may only shrink. (The metadata segments are the normal save's.)
        const double stampCost = double(imageDataSize(encodedLike(stamped, before))) /
                                 double(imageDataSize(encodedLike(photo, before)));
        const double growth =
            double(imageDataSize(lossless.jpeg)) / double(imageDataSize(source)) - stampCost;
        const QString growthText =
            QStringLiteral("size changed by %1 % beyond the stamp's cost").arg(100 * growth);
        if (size != SizeCheck::None)
            QVERIFY2(growth <= 0.01, qPrintable(growthText));
        if (size == SizeCheck::Kept)
            QVERIFY2(growth >= -0.01, qPrintable(growthText));

        const QJsonObject normalTags = metadataOf(normalPath);
        if (normalTags.isEmpty())
            QSKIP("exiftool is not installed");
        QCOMPARE(metadataOf(losslessPath), normalTags);
    }

    /// With restart markers, every interval the stamp does not touch is the source's own
    /// bytes.
    void copiesUntouchedRestartIntervals_data()
    {
        QTest::addColumn<QByteArray>("source");
        auto camera = [](const char* name) { return test::readFile(test::cameraPhoto(name)); };
        QTest::newRow("4:2:0") << camera("xmp-BlueSquare.jpg");
        QTest::newRow("4:4:0, 8 megapixels") << camera("tests-67-0_length_string.jpg");
        test::LibjpegFixture restarts;
        restarts.width = 150;
        restarts.height = 90;
        restarts.restartInterval = 4;
        QTest::newRow("4:2:0, intervals across MCU rows") << syntheticSource(restarts);
        test::LibjpegFixture grey = restarts;
        grey.input = JCS_GRAYSCALE;
        grey.stored = JCS_GRAYSCALE;
        grey.restartInterval = 7;
        QTest::newRow("greyscale") << syntheticSource(grey);
    }

    void copiesUntouchedRestartIntervals()
    {
        QFETCH(QByteArray, source);
        QVERIFY2(!source.isEmpty(), "the source photo is missing");
        const QImage photo = decoded(source);
        QVERIFY(!photo.isNull());
        const QRect box = fractionRect(photo.size(), QRectF(0.5, 0.55, 0.3, 0.1));
        const LosslessEncoding lossless =
            encodeLosslessJpeg(source, photo, stampedIn(photo, box), 95);
        QVERIFY2(lossless.ok(), qPrintable(lossless.error));
        QVERIFY(lossless.intervalsCopied);

        const Intervals before = intervalsOf(source);
        const Intervals after = intervalsOf(lossless.jpeg);
        QVERIFY(before.mcus > 0);
        QCOMPARE(after.mcus, before.mcus);
        QCOMPARE(after.bytes.size(), before.bytes.size());
        const Coefficients layout = readCoefficients(source);
        const bool single = layout.components.size() == 1;
        const int mcuWidth = single ? 8 : 8 * layout.maxH;
        const int mcuHeight = single ? 8 : 8 * layout.maxV;
        const int columns = (photo.width() + mcuWidth - 1) / mcuWidth;
        int rewritten = 0;
        for (int i = 0; i < before.bytes.size(); ++i) {
            bool touched = false;
            for (int m = i * before.mcus; m < (i + 1) * before.mcus; ++m)
                touched = touched || QRect((m % columns) * mcuWidth, (m / columns) * mcuHeight,
                                           mcuWidth, mcuHeight)
                                         .intersects(box);
            if (!touched && after.bytes[i] != before.bytes[i])
                QFAIL(qPrintable(QStringLiteral("interval %1 changed").arg(i)));
            rewritten += after.bytes[i] != before.bytes[i] ? 1 : 0;
        }
        QVERIFY2(rewritten > 0, "the stamp was not written");
    }

    void drawsTheStampUprightInTheStoredFrame_data()
    {
        QTest::addColumn<int>("tag");
        for (int tag = 1; tag <= 8; ++tag)
            QTest::addRow("orientation %d", tag) << tag;
    }

    void drawsTheStampUprightInTheStoredFrame()
    {
        QFETCH(int, tag);
        test::LibjpegFixture f;
        f.width = 70;
        f.height = 45;
        const QByteArray source =
            test::withSegments(syntheticSource(f), {exifWithOrientation(tag)});
        const QImage shown = upright(decoded(source), tag);
        QCOMPARE(shown.size(), tag >= 5 ? QSize(45, 70) : QSize(70, 45));

        // A red box near the top-left corner as the photo is shown.
        const QRect box(3, 2, 19, 11);
        QImage stamped = shown.copy();
        {
            QPainter painter(&stamped);
            painter.fillRect(box, Qt::red);
        }
        stamped.convertTo(QImage::Format_BGR888);

        const LosslessEncoding lossless = encodeLosslessJpeg(source, shown, stamped, 95);
        QVERIFY2(lossless.ok(), qPrintable(lossless.error));
        const QImage stored = decoded(lossless.jpeg);
        QCOMPARE(stored.size(), QSize(70, 45));
        TExif exif;
        QCOMPARE(exif.readExif(QByteArrayView(lossless.jpeg)), ExifReadStatus::Read);
        QCOMPARE(int(exif.orientationCode), tag);

        const QImage result = upright(stored, tag);
        QVERIFY2(meanDiffIn(result, stamped, box.adjusted(1, 1, -1, -1), false) < 8,
                 "the stamp is not where it was drawn");
        const QRect farCorner(result.width() - 16, result.height() - 16, 16, 16);
        QCOMPARE(meanDiffIn(result, shown, farCorner, false), 0.0);
    }

    void refusesWhatItCannotKeep_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QSize>("pictureSize");
        QTest::addColumn<QString>("reason");

        test::LibjpegFixture plain;
        plain.width = 40;
        plain.height = 24;
        const QSize size(40, 24);
        const QByteArray baseline = syntheticSource(plain);
        test::LibjpegFixture arithmetic = plain;
        arithmetic.arithmetic = true;
        test::LibjpegFixture cmyk = plain;
        cmyk.input = JCS_CMYK;
        cmyk.stored = JCS_CMYK;
        QByteArray twelveBit = baseline;
        const qsizetype sof = twelveBit.indexOf(QByteArray("\xFF\xC0", 2));
        QVERIFY(sof > 0);
        twelveBit[sof + 4] = char(12);

        QByteArray zeroStep = baseline;
        const qsizetype dqt = zeroStep.indexOf(QByteArray("\xFF\xDB", 2));
        QVERIFY(dqt > 0);
        zeroStep[dqt + 5 + 63] = '\0'; // the last step of the first table

        QTest::newRow("arithmetic coding")
            << syntheticSource(arithmetic) << size << QStringLiteral("arithmetic");
        QTest::newRow("CMYK") << syntheticSource(cmyk) << size << QStringLiteral("CMYK");
        QTest::newRow("12-bit samples") << twelveBit << size << QStringLiteral("12");
        QTest::newRow("a quantization step of zero") << zeroStep << size << QStringLiteral("zero");
        QTest::newRow("cut short")
            << baseline.left(baseline.size() * 2 / 3) << size << QStringLiteral("damaged");
        test::LibjpegFixture restarts = plain;
        restarts.restartInterval = 1;
        const QByteArray withRestarts = syntheticSource(restarts);
        QTest::newRow("cut short, with restart markers")
            << withRestarts.left(withRestarts.size() * 2 / 3) << size << QStringLiteral("damaged");
        QTest::newRow("not a JPEG")
            << QByteArray("\x89PNG\r\n\x1a\n", 8) << size << QStringLiteral("damaged");
        // A frame claiming far more than its data can paint, padded with comments: judged as
        // for opening the photo, by the picture data alone.
        QByteArray claiming = baseline;
        const qsizetype frame = claiming.indexOf(QByteArray("\xFF\xC0", 2));
        QVERIFY(frame > 0);
        for (const int at : {5, 7}) { // height, then width: 20000
            claiming[frame + at] = char(20000 >> 8);
            claiming[frame + at + 1] = char(20000 & 0xFF);
        }
        QByteArray padding;
        for (int i = 0; i < 7; ++i)
            padding += test::segment(0xFE, QByteArray(65000, 'p'));
        claiming.insert(claiming.indexOf(QByteArray("\xFF\xDA", 2)), padding);
        QTest::newRow("20000 x 20000 claimed, padded with comments")
            << claiming << size << QStringLiteral("claims far more pixels");
        QTest::newRow("a picture of another size")
            << baseline << QSize(24, 40) << QStringLiteral("size");
    }

    void refusesWhatItCannotKeep()
    {
        QFETCH(QByteArray, source);
        QFETCH(QSize, pictureSize);
        QFETCH(QString, reason);
        const QImage picture = test::syntheticPhoto(pictureSize.width(), pictureSize.height());
        QImage stamped = picture.copy();
        stamped.fill(Qt::red);

        const LosslessEncoding encoded = encodeLosslessJpeg(source, picture, stamped, 90);
        QVERIFY(!encoded.ok());
        QVERIFY2(encoded.error.contains(reason), qPrintable(encoded.error));

        // Through the file: the destination is left as it was.
        QTemporaryDir dir;
        const QString sourcePath = test::writeFile(dir, QStringLiteral("source.jpg"), source);
        const QString dest = test::writeFile(dir, QStringLiteral("dest.jpg"), "untouched");
        const LosslessSave saved = saveLosslessJpeg(picture, stamped, 90, sourcePath, dest);
        QVERIFY(!saved.saved);
        QCOMPARE(saved.error, encoded.error);
        QCOMPARE(test::readFile(dest), QByteArray("untouched"));
    }
};

TESS_TEST_MAIN(TestLosslessJpeg)
#include "test_losslessjpeg.moc"
