#include "info/AboutTexts.h"
#include "info/TrsFileVersion.h"
#include "info/ui/ProgramIcon.h"
#include "info/ui/TAbout.h"
#include "tests/support/ScriptedPlatform.h"
#include "tests/support/TestMain.h"

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

using namespace tess;
using namespace tess::info;
using platform::OsVersion;
using OptionalOs = std::optional<OsVersion>;
using OptionalText = std::optional<QString>;

Q_DECLARE_METATYPE(OptionalOs)
Q_DECLARE_METATYPE(OptionalText)

namespace {

OsVersion windows(int platformId, int major, int minor, quint32 build,
                  const QString& servicePack = {})
{
    OsVersion v;
    v.platformId = platformId;
    v.major = major;
    v.minor = minor;
    v.build = build;
    v.servicePack = servicePack;
    return v;
}

OsVersion other(const QString& product, const QString& kernel, const QString& system = {})
{
    OsVersion v;
    v.productName = product;
    v.kernelVersion = kernel;
    v.systemName = system;
    return v;
}

} // namespace

class TestAbout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void osLine_data()
    {
        QTest::addColumn<OptionalOs>("os");
        QTest::addColumn<QString>("expected");
        QTest::newRow("XP SP3") << OptionalOs(windows(2, 5, 1, 2600, "Service Pack 3"))
                                << QStringLiteral("Windows XP  (Build 2600: Service Pack 3)");
        QTest::newRow("7 without service pack")
            << OptionalOs(windows(2, 6, 1, 7600)) << QStringLiteral("Windows 7  (Build 7600)");
        QTest::newRow("10 has no name here")
            << OptionalOs(windows(2, 10, 0, 19045)) << QStringLiteral("Unknown  (Build 19045)");
        QTest::newRow("Vista") << OptionalOs(windows(2, 6, 0, 6002, "Service Pack 2"))
                               << QStringLiteral("Windows Vista  (Build 6002: Service Pack 2)");
        QTest::newRow("Server 2003") << OptionalOs(windows(2, 5, 2, 3790))
                                     << QStringLiteral("Windows Server 2003  (Build 3790)");
        QTest::newRow("2000") << OptionalOs(windows(2, 5, 0, 2195))
                              << QStringLiteral("Windows 2000  (Build 2195)");
        QTest::newRow("NT 4") << OptionalOs(windows(2, 4, 0, 1381, "Service Pack 6"))
                              << QStringLiteral("Windows NT  (Build 1381: Service Pack 6)");
        QTest::newRow("NT 3.51, any minor")
            << OptionalOs(windows(2, 3, 51, 1057)) << QStringLiteral("Windows NT  (Build 1057)");
        // The 95 family keeps only the low word of the build number.
        QTest::newRow("95, with its leading blank") << OptionalOs(windows(1, 4, 0, 0x040003B6u))
                                                    << QStringLiteral(" Windows 95  (Build 950)");
        QTest::newRow("98 second edition") << OptionalOs(windows(1, 4, 10, 0x040A08AEu, " A "))
                                           << QStringLiteral("Windows 98SE  (Build 2222)");
        QTest::newRow("98 first edition") << OptionalOs(windows(1, 4, 10, 1998, " "))
                                          << QStringLiteral("Windows 98  (Build 1998)");
        QTest::newRow("98 with a one-letter service text")
            << OptionalOs(windows(1, 4, 10, 1998, "A"))
            << QStringLiteral("Windows 98  (Build 1998)");
        QTest::newRow("ME") << OptionalOs(windows(1, 4, 90, 3000))
                            << QStringLiteral("Windows ME  (Build 3000)");
        QTest::newRow("95 family, unknown minor")
            << OptionalOs(windows(1, 4, 50, 7)) << QStringLiteral("Unknown  (Build 7)");
        QTest::newRow("another system")
            << OptionalOs(other("Debian GNU/Linux 12 (bookworm)", "6.1.0-18-amd64"))
            << QStringLiteral("Debian GNU/Linux 12 (bookworm)  (Build 6.1.0-18-amd64)");
        QTest::newRow("another system without a name")
            << OptionalOs(other("", "6.1.0")) << QStringLiteral("Unknown  (Build 6.1.0)");
        QTest::newRow("the system does not say") << OptionalOs() << QStringLiteral("Unknown");
    }
    void osLine()
    {
        QFETCH(OptionalOs, os);
        QFETCH(QString, expected);
        QCOMPARE(describeOS(os), expected);
    }

    void memoryLabel_data()
    {
        QTest::addColumn<OptionalOs>("os");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Linux") << OptionalOs(other("Debian GNU/Linux 12", "6.1.0", "Linux"))
                               << QStringLiteral("Memory Available to Linux:");
        QTest::newRow("Windows XP")
            << OptionalOs(windows(2, 5, 1, 2600)) << QStringLiteral("Memory Available to Windows:");
        QTest::newRow("Windows 98") << OptionalOs(windows(1, 4, 10, 1998))
                                    << QStringLiteral("Memory Available to Windows:");
        QTest::newRow("a system without a short name")
            << OptionalOs(other("Some OS", "1.0"))
            << QStringLiteral("Memory Available to Some OS:");
        QTest::newRow("the system does not say")
            << OptionalOs() << QStringLiteral("Memory Available to Windows:");
    }
    void memoryLabel()
    {
        QFETCH(OptionalOs, os);
        QFETCH(QString, expected);
        QCOMPARE(info::memoryLabel(os), expected);
    }

    void memory_data()
    {
        QTest::addColumn<quint64>("bytes");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("expected");
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        QTest::newRow("2 GB") << quint64(2146435072) << us << QStringLiteral("2,096,128 KB");
        QTest::newRow("German separators")
            << quint64(2146435072) << QLocale(QLocale::German, QLocale::Germany)
            << QStringLiteral("2.096.128 KB");
        QTest::newRow("grouped also in the C locale")
            << quint64(2146435072) << QLocale::c() << QStringLiteral("2,096,128 KB");
        QTest::newRow("16 GB") << (quint64(16) << 30) << us << QStringLiteral("16,777,216 KB");
        QTest::newRow("below a thousand") << quint64(512 * 1024) << us << QStringLiteral("512 KB");
        QTest::newRow("half rounds to even, down") << quint64(2560) << us << QStringLiteral("2 KB");
        QTest::newRow("half rounds to even, up") << quint64(3584) << us << QStringLiteral("4 KB");
        QTest::newRow("more than half rounds up") << quint64(1600) << us << QStringLiteral("2 KB");
    }
    void memory()
    {
        QFETCH(quint64, bytes);
        QFETCH(QLocale, locale);
        QFETCH(QString, expected);
        QCOMPARE(formatPhysicalMemory(bytes, locale), expected);
    }

    void version_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QList<int>>("numbers");
        QTest::newRow("four numbers") << "1.5.0.4" << true << QList<int>{1, 5, 0, 4};
        QTest::newRow("three numbers") << "1.0.0" << true << QList<int>{1, 0, 0, 0};
        QTest::newRow("one number") << "7" << true << QList<int>{7, 0, 0, 0};
        QTest::newRow("largest") << "65535.65535.65535.65535" << true
                                 << QList<int>{65535, 65535, 65535, 65535};
        QTest::newRow("too large") << "65536.0" << false << QList<int>{0, 0, 0, 0};
        QTest::newRow("five numbers") << "1.2.3.4.5" << false << QList<int>{0, 0, 0, 0};
        QTest::newRow("not a number") << "1.x" << false << QList<int>{0, 0, 0, 0};
        QTest::newRow("a sign") << "1.-2" << false << QList<int>{0, 0, 0, 0};
        QTest::newRow("an empty part") << "1..2" << false << QList<int>{0, 0, 0, 0};
        QTest::newRow("empty") << "" << false << QList<int>{0, 0, 0, 0};
    }
    void version()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(QList<int>, numbers);
        TrsFileVersion v;
        v.Major = 9;
        v.Build = 9;
        QCOMPARE(v.LoadFromText(text), ok);
        QCOMPARE((QList<int>{v.Major, v.Minor, v.Release, v.Build}), numbers);
    }

    void compiledIn()
    {
        TrsFileVersion v;
        QVERIFY(v.LoadCompiledIn());
        QCOMPARE(TrsFileVersion::compiledIn(), QStringLiteral("1.0.0"));
        QCOMPARE(versionLine(v), QStringLiteral("Version 1.0 (Build 0)"));
    }

    void dialog_data()
    {
        QTest::addColumn<OptionalText>("versionText");
        QTest::addColumn<QString>("versionLine");
        QTest::newRow("1.5.0.4") << OptionalText(QStringLiteral("1.5.0.4"))
                                 << QStringLiteral("Version 1.5 (Build 4)");
        QTest::newRow("no version") << OptionalText() << QStringLiteral("Version 0.2 build 50");
        QTest::newRow("an unreadable version")
            << OptionalText(QStringLiteral("one")) << QStringLiteral("Version 0.2 build 50");
    }
    void dialog()
    {
        QFETCH(OptionalText, versionText);
        QFETCH(QString, versionLine);
        QTemporaryDir dir;
        test::ScriptedPlatform platform(dir.path());
        platform.systemInfo.os = windows(2, 5, 1, 2600, QStringLiteral("Service Pack 3"));
        platform.systemInfo.memory = 2146435072;
        ui::TAbout about(platform.platform(), nullptr, versionText);

        QCOMPARE(about.windowTitle(), QStringLiteral("About"));
        QCOMPARE(about.Label1->text(), QStringLiteral("Orvane"));
        QVERIFY(about.Label1->font().bold());
        QCOMPARE(about.Label8->text(), QStringLiteral("Tessarine"));
        QVERIFY(about.Label8->font().pointSize() > about.Label1->font().pointSize());
        QCOMPARE(about.Label9->text(), QStringLiteral("Orvane"));
        QCOMPARE(about.Label3->text(), QStringLiteral("Memory Available to Windows:"));
        QCOMPARE(about.OKButton->text(), QStringLiteral("OK"));
        QVERIFY(about.OKButton->isDefault());

        QCOMPARE(about.Label4->text(), versionLine);
        QCOMPARE(about.Label5->text(), QStringLiteral("Windows XP  (Build 2600: Service Pack 3)"));
        QCOMPARE(about.PhysMem->text(), QStringLiteral("2,096,128 KB"));
        QVERIFY(about.PhysMem->alignment() & Qt::AlignRight);
    }

    void valuesAreThoseOfStartUp()
    {
        QTemporaryDir dir;
        test::ScriptedPlatform platform(dir.path());
        platform.systemInfo.os =
            other(QStringLiteral("Debian"), QStringLiteral("6.1"), QStringLiteral("Linux"));
        platform.systemInfo.memory = 1024 * 1024;
        ui::TAbout about(platform.platform());
        QCOMPARE(about.Label4->text(), QStringLiteral("Version 1.0 (Build 0)"));
        QCOMPARE(about.Label3->text(), QStringLiteral("Memory Available to Linux:"));

        platform.systemInfo.os.reset();
        platform.systemInfo.memory = 2048 * 1024;
        about.show();
        QCOMPARE(about.Label5->text(), QStringLiteral("Debian  (Build 6.1)"));
        QCOMPARE(about.PhysMem->text(), QStringLiteral("1,024 KB"));
        about.OKButton->click();
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }

    void systemThatSaysNothing()
    {
        QTemporaryDir dir;
        test::ScriptedPlatform platform(dir.path());
        ui::TAbout about(platform.platform());
        QCOMPARE(about.Label5->text(), QStringLiteral("Unknown"));
        QCOMPARE(about.PhysMem->text(), QStringLiteral("0"));
    }

    void programIcon()
    {
        // Built into the program in every size it is drawn in, from 16 to 256 pixels.
        const QIcon icon = ui::programIcon();
        QList<QSize> sizes;
        for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            sizes.append(QSize(size, size));
            QVERIFY(!QImage(QStringLiteral(":/icons/tessarine-%1.png").arg(size)).isNull());
        }
        QCOMPARE(icon.availableSizes(), sizes);
        QTemporaryDir dir;
        test::ScriptedPlatform platform(dir.path());
        ui::TAbout about(platform.platform());
        QCOMPARE(about.Image1->pixmap().toImage(), icon.pixmap(32, 32).toImage());
    }

    void homePageLink()
    {
        QTemporaryDir dir;
        test::ScriptedPlatform platform(dir.path());
        ui::TAbout about(platform.platform());
        QCOMPARE(about.Label6->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(about.Label6->font().underline());
        QTest::mouseClick(about.Label6, Qt::RightButton);
        QVERIFY(platform.shell.opened.isEmpty());
        QTest::mouseClick(about.Label6, Qt::LeftButton);
        QCOMPARE(platform.shell.opened, QStringList{QStringLiteral("https://www.orvane.example/")});
        QVERIFY(platform.prompts.shown.isEmpty());

        // Without a browser the address is told, to be opened by hand.
        platform.shell.urlOpens = false;
        QTest::mouseClick(about.Label6, Qt::LeftButton);
        QCOMPARE(platform.prompts.texts(),
                 QStringList{QStringLiteral("No web browser could be started. The page's address "
                                            "is https://www.orvane.example/")});
    }
};

TESS_TEST_MAIN(TestAbout)
#include "test_about.moc"
