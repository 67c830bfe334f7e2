#include "stamptext/StampMask.h"
#include "tests/support/TestMain.h"

#include <QHash>

using namespace tess;
using ValueMap = QHash<QString, QString>;

namespace {

// Values of a photo taken at 14:05:09 on 3 July 2008, opened from IMG_0412.JPG.
ValueMap photoValues()
{
    return {
        {QStringLiteral("[make_exif]"), QStringLiteral("Canon")},
        {QStringLiteral("[model_exif]"), QStringLiteral("Canon EOS 40D")},
        {QStringLiteral("[isospeed_exif]"), QStringLiteral("400")},
        {QStringLiteral("[exposure_exif]"), QStringLiteral("1/250 seconds")},
        {QStringLiteral("[dd]"), QStringLiteral("03")},
        {QStringLiteral("[MM]"), QStringLiteral("07")},
        {QStringLiteral("[yyyy]"), QStringLiteral("2008")},
        {QStringLiteral("[hh]"), QStringLiteral("14")},
        {QStringLiteral("[mm]"), QStringLiteral("05")},
        {QStringLiteral("[ss]"), QStringLiteral("09")},
        {QStringLiteral("[p_width]"), QStringLiteral("3888")},
        {QStringLiteral("[p_height]"), QStringLiteral("2592")},
        {QStringLiteral("[p_filename]"), QStringLiteral("IMG_0412.JPG")},
    };
}

} // namespace

class TestStampMask : public QObject
{
    Q_OBJECT
private slots:
    void tags()
    {
        const QStringList& tags = stamptext::stampTags();
        QCOMPARE(tags.size(), 37);
        QCOMPARE(tags.first(), QStringLiteral("[aperture_exif]"));
        QCOMPARE(tags[stamptext::ExifTagCount - 1], QStringLiteral("[yresolution_exif]"));
        QCOMPARE(tags[stamptext::ExifTagCount], QStringLiteral("[dd]"));
        QCOMPARE(tags.last(), QStringLiteral("[p_filedatetime]"));
        for (int i = 0; i < stamptext::ExifTagCount; ++i) {
            QVERIFY(tags[i].endsWith(QStringLiteral("_exif]")));
            QCOMPARE(tags[i], tags[i].toLower());
        }
        QCOMPARE(QSet<QString>(tags.begin(), tags.end()).size(), 37);
    }

    void expand_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<ValueMap>("values");
        QTest::addColumn<QString>("expected");
        const ValueMap photo = photoValues();
        QTest::newRow("empty mask") << "" << photo << "";
        QTest::newRow("no tag") << "Holiday 2008" << photo << "Holiday 2008";
        QTest::newRow("date and time")
            << "[MM]/[dd]/[yyyy] [hh]:[mm]" << photo << "07/03/2008 14:05";
        QTest::newRow("seconds and size")
            << "[ss]s [p_width]x[p_height]" << photo << "09s 3888x2592";
        QTest::newRow("make and model")
            << "Shot with [make_exif] [model_exif]" << photo << "Shot with Canon Canon EOS 40D";
        QTest::newRow("no EXIF block: blanks kept")
            << "Shot with [make_exif] [model_exif]" << ValueMap() << "Shot with  ";
        QTest::newRow("leading and trailing blanks kept") << "  [dd]  " << photo << "  03  ";
        QTest::newRow("EXIF tag in upper case") << "[ISOSPEED_EXIF]" << photo << "400";
        QTest::newRow("EXIF tag in mixed case") << "ISO [IsoSpeed_Exif]" << photo << "ISO 400";
        QTest::newRow("file tag in upper case stays") << "[P_FILENAME]" << photo << "[P_FILENAME]";
        QTest::newRow("[Mm] stays") << "[Mm]" << photo << "[Mm]";
        QTest::newRow("[MM ] stays") << "[MM ]" << photo << "[MM ]";
        QTest::newRow("[DD] stays") << "[DD]" << photo << "[DD]";
        QTest::newRow("[P_WIDTH] stays") << "[P_WIDTH]" << photo << "[P_WIDTH]";
        QTest::newRow("month and minutes are two tags") << "[MM] [mm]" << photo << "07 05";
        QTest::newRow("same tag twice, adjacent") << "[dd][dd]" << photo << "0303";
        QTest::newRow("tag in brackets") << "[[dd]]" << photo << "[03]";
        QTest::newRow("unknown tag stays")
            << "[unknown] [make_exif" << photo << "[unknown] [make_exif";
        QTest::newRow("tag without a value") << "[artist_exif]|[p_filedatetime]" << photo << "|";
        QTest::newRow("a non-ASCII letter is no tag letter")
            << QString::fromUtf8("[ISOſPEED_EXIF] [MAKE_EXİF]") << photo
            << QString::fromUtf8("[ISOſPEED_EXIF] [MAKE_EXİF]");

        // Tags are replaced one after the other, in the order of the tag table.
        ValueMap later = photo;
        later[QStringLiteral("[artist_exif]")] = QStringLiteral("[p_filename]");
        QTest::newRow("later tag inside a value is expanded")
            << "[artist_exif]" << later << "IMG_0412.JPG";
        ValueMap described = photo;
        described[QStringLiteral("[imagedesc_exif]")] = QStringLiteral("taken [dd].[MM].");
        QTest::newRow("clock tags inside a description")
            << "[imagedesc_exif]" << described << "taken 03.07.";
        ValueMap earlier = photo;
        earlier[QStringLiteral("[p_filename]")] = QStringLiteral("[make_exif].jpg");
        QTest::newRow("earlier tag inside a value stays")
            << "[p_filename]" << earlier << "[make_exif].jpg";
        ValueMap itself = photo;
        itself[QStringLiteral("[make_exif]")] = QStringLiteral("[make_exif]!");
        QTest::newRow("a value holding its own tag is not expanded again")
            << "[make_exif] [MAKE_EXIF]" << itself << "[make_exif]! [make_exif]!";
        ValueMap halves = photo;
        halves[QStringLiteral("[artist_exif]")] = QStringLiteral("[dd");
        QTest::newRow("a value may complete a tag of the mask")
            << "[artist_exif]]" << halves << "03";
        ValueMap lowerCase = photo;
        lowerCase[QStringLiteral("[artist_exif]")] = QStringLiteral("[DD] [Make_Exif]");
        QTest::newRow("case rules hold for tags inside values")
            << "[artist_exif]" << lowerCase << "[DD] Canon";
        QTest::newRow("a long mask is cut at the limit")
            << QString(stamptext::MaxExpandedLength, u'a') + "b" << photo
            << QString(stamptext::MaxExpandedLength, u'a');
    }

    void expand()
    {
        QFETCH(QString, mask);
        QFETCH(ValueMap, values);
        QFETCH(QString, expected);
        const auto lookup = [&values](const QString& tag) { return values.value(tag); };
        QCOMPARE(stamptext::expandStampMask(mask, lookup), expected);
    }

    /// Values from a photo's EXIF texts are searched by the later tags, so a hostile photo
    /// could multiply the length at every step; without the limit this needs terabytes.
    void valuesHoldingTagsStayBounded()
    {
        // Each value holds the next tag 64 times: 64^5 copies of the last value.
        ValueMap nested;
        const QStringList chain = {"[artist_exif]", "[copyright_exif]", "[imagedesc_exif]",
                                   "[make_exif]",   "[model_exif]",     "[software_exif]"};
        for (qsizetype i = 0; i + 1 < chain.size(); ++i)
            nested[chain[i]] = chain[i + 1].repeated(64);
        nested[chain.last()] = QStringLiteral("x");
        const QString expanded =
            stamptext::expandStampMask(QStringLiteral("[artist_exif]"),
                                       [&nested](const QString& tag) { return nested.value(tag); });
        QVERIFY(expanded.size() <= stamptext::MaxExpandedLength);
        QVERIFY(expanded.startsWith(QString(1000, u'x')));
    }

    void looksUpTagsByTheirTableText()
    {
        QStringList asked;
        const auto lookup = [&asked](const QString& tag) {
            asked.append(tag);
            return QString();
        };
        stamptext::expandStampMask(QStringLiteral("[MODEL_EXIF] [Make_Exif] [ss] [make_exif]"),
                                   lookup);
        QCOMPARE(asked, QStringList({QStringLiteral("[make_exif]"), QStringLiteral("[model_exif]"),
                                     QStringLiteral("[ss]")}));
    }

    void noLookupMeansEmptyValues()
    {
        QCOMPARE(stamptext::expandStampMask(QStringLiteral("a[dd]b"), {}), QStringLiteral("ab"));
    }
};

TESS_TEST_MAIN(TestStampMask)
#include "test_stampmask.moc"
