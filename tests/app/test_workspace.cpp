#include "metadata/LosslessJpeg.h"
#include "metadata/PhotoFile.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMain.h"
#include "tests/support/TestPhotos.h"
#include "tests/support/WorkspaceFixture.h"

#include <QFile>
#include <QFileInfo>

using namespace tess;
using tess::test::WorkspaceFixture;

namespace {
const QString Loss =
    QStringLiteral("You are about to loose changes made to the photo.  Do you want to continue?");
const QString NotValid = QStringLiteral("The file is not valid or could not be open.");

} // namespace

class TestWorkspace : public QObject
{
    Q_OBJECT
private slots:
    void startupWithoutProfile()
    {
        WorkspaceFixture f;
        f.ws->formCreate();
        QVERIFY(QFileInfo(f.platform.folders.dataFolder()).isDir());
        QCOMPARE(f.ws->title(), QStringLiteral("Orvane Tessarine"));
        QVERIFY(!f.ws->photoControlsEnabled());
        QCOMPARE(f.ws->outlineMark(), 0);
        QCOMPARE(f.ws->attributes().position, positions::BottomRight);
        QVERIFY(f.ws->pressedAnchor().isEmpty());
        QVERIFY(!f.ws->photoChanged());
        QVERIFY(f.platform.prompts.shown.isEmpty());
    }

    void exitWritesDefaultProfileAndRestartRestores()
    {
        WorkspaceFixture f;
        f.ws->formCreate();
        f.ws->setFont({QStringLiteral("DejaVu Serif"), 20, true, false});
        f.ws->setStampMaskField(QStringLiteral("[hh]:[mm]"));
        f.ws->btnAddFiletoGridClick();
        f.ws->setOutlineWidth(3);
        f.ws->setWindowPosition(40, 60);
        QVERIFY(f.ws->formClose());
        QVERIFY(QFileInfo::exists(f.ws->defaultProfilePath()));

        Workspace again(f.platform.platform());
        again.formCreate();
        QCOMPARE(again.attributes().fontName, QStringLiteral("DejaVu Serif"));
        QCOMPARE(again.attributes().fontSize, 20);
        QVERIFY(again.attributes().bold);
        QCOMPARE(again.attributes().outlineWidth, 3);
        QCOMPARE(again.outlineMark(), 3);
        QCOMPARE(again.attributes().windowLeft, 40);
        QCOMPARE(again.attributes().stampTexts.size(), 1);
        QVERIFY(!again.photoChanged());
    }

    void trackBarsRescaleOnOpen_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("xMax");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("yMax");
        QTest::addColumn<int>("expectX");
        QTest::addColumn<int>("expectY");
        QTest::newRow("half and quarter") << 250 << 500 << 100 << 400 << 1500 << 500;
        QTest::newRow("both at 0") << 0 << 10 << 0 << 10 << 0 << 0;
    }
    void trackBarsRescaleOnOpen()
    {
        QFETCH(int, x);
        QFETCH(int, xMax);
        QFETCH(int, y);
        QFETCH(int, yMax);
        QFETCH(int, expectX);
        QFETCH(int, expectY);
        WorkspaceFixture f;
        f.ws->formCreate();
        f.ws->setHorizontalMaximum(xMax);
        f.ws->setHorizontalPosition(x);
        f.ws->setVerticalMaximum(yMax);
        f.ws->setVerticalPosition(y);
        f.ws->selectPositionButton(positions::TopLeft);
        f.ws->mutableAttributes().position = positions::TopLeft;
        f.open(f.makePhoto(QStringLiteral("big.jpg"), QSize(3000, 2000)));
        QCOMPARE(f.ws->attributes().customXMax, 3000);
        QCOMPARE(f.ws->attributes().customYMax, 2000);
        QCOMPARE(f.ws->attributes().customX, expectX);
        QCOMPARE(f.ws->attributes().customY, expectY);
        QCOMPARE(f.ws->attributes().position, positions::TopLeft);
        QCOMPARE(f.ws->pressedAnchor(), positions::TopLeft);
        QCOMPARE(f.ws->title(), QStringLiteral("Orvane Tessarine - big.jpg"));
        QVERIFY(f.ws->photoControlsEnabled());
        QCOMPARE(f.ws->stampedPhoto().size(), QSize(3000, 2000));
    }

    void openOfNonPictureKeepsPreviousPhoto()
    {
        WorkspaceFixture f;
        f.ws->formCreate();
        const QString good = f.makePhoto(QStringLiteral("good.jpg"), QSize(64, 48));
        f.open(good);
        const QImage before = f.ws->stampedPhoto();
        const QString bad = f.dir.filePath(QStringLiteral("bad.jpg"));
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("this is not a picture");
        file.close();
        f.platform.prompts.clear();
        f.platform.prompts.confirmAnswers.enqueue(true); // the loss question
        f.open(bad);
        QCOMPARE(f.platform.prompts.texts(), (QStringList{Loss, NotValid}));
        QCOMPARE(f.ws->title(), QStringLiteral("Orvane Tessarine - good.jpg"));
        QCOMPARE(f.ws->photoFileName(), good);
        QCOMPARE(f.ws->stampedPhoto(), before);
    }

    void dropOfTwoFilesAsksThenRefuses()
    {
        WorkspaceFixture f;
        f.ws->formCreate();
        f.open(f.makePhoto(QStringLiteral("a.jpg"), QSize(40, 30)));
        f.platform.prompts.clear();
        f.ws->dropFiles({f.makePhoto(QStringLiteral("b.jpg"), QSize(20, 20)),
                         f.makePhoto(QStringLiteral("c.jpg"), QSize(20, 20))});
        QCOMPARE(
            f.platform.prompts.texts(),
            (QStringList{Loss, QStringLiteral("You can drop only one image file at a time.")}));
        QCOMPARE(f.ws->title(), QStringLiteral("Orvane Tessarine - a.jpg"));
    }

    void dropOfUnreadableThingsWarns_data()
    {
        QTest::addColumn<QString>("content");
        QTest::newRow("text file") << QStringLiteral("notes.txt");
        QTest::newRow("empty jpg") << QStringLiteral("empty.jpg");
        QTest::newRow("folder") << QStringLiteral("folder.jpg");
    }
    void dropOfUnreadableThingsWarns()
    {
        QFETCH(QString, content);
        WorkspaceFixture f;
        f.ws->formCreate();
        const QString path = f.dir.filePath(content);
        if (content.startsWith(QStringLiteral("folder"))) {
            QVERIFY(QDir().mkpath(path));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            if (content.endsWith(QStringLiteral(".txt")))
                file.write("hello");
        }
        f.ws->dropFiles({path});
        QCOMPARE(f.platform.prompts.texts(), QStringList{NotValid});
        QVERIFY(!f.ws->photoControlsEnabled());
        QVERIFY(f.ws->photoFileName().isEmpty());
    }

    void saveAsThenSaveWritesTheSource()
    {
        WorkspaceFixture f;
        f.ws->formCreate();
        const QString source = f.makePhoto(QStringLiteral("src.jpg"), QSize(80, 60));
        f.open(source);
        const QString copy = f.dir.filePath(QStringLiteral("copy.jpg"));
        f.platform.dialogs.savePhotoAnswers.enqueue(copy);
        f.ws->saveAs1Click();
        QCOMPARE(f.platform.prompts.texts().last(), QStringLiteral("The file has been saved."));
        QCOMPARE(f.ws->title(), QStringLiteral("Orvane Tessarine - copy.jpg"));
        QCOMPARE(f.ws->sourceFileName(), source);
        const QByteArray sourceBefore = test::readFile(source);
        const QByteArray copyBefore = test::readFile(copy);

        f.ws->flip1Click(); // changes the picture, so the saved bytes differ
        f.ws->save1Click();
        QCOMPARE(
            f.platform.prompts.texts().mid(f.platform.prompts.texts().size() - 2),
            (QStringList{QStringLiteral("Are you sure you want to overwrite the original file?"),
                         QStringLiteral("The original file has been overwritten successfully.")}));
        QVERIFY(test::readFile(source) != sourceBefore);
        QCOMPARE(test::readFile(copy), copyBefore);
        QCOMPARE(f.ws->title(), QStringLiteral("Orvane Tessarine - copy.jpg"));

        // A saved photo still counts as changed.
        f.platform.prompts.clear();
        f.platform.prompts.confirmAnswers.enqueue(false);
        f.ws->close1Click();
        QCOMPARE(f.platform.prompts.texts(), QStringList{Loss});
        QVERIFY(f.ws->photoControlsEnabled());
    }

    /// The lossless save runs when the user keeps the photo's own compression and the photo
    /// differs from the source by the stamp alone; otherwise the normal save.
    void saveKeepsOwnCompressionWhenChosen_data()
    {
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("lossless");
        QTest::newRow("chosen, stamp only") << true << "" << true;
        QTest::newRow("not chosen") << false << "" << false;
        QTest::newRow("chosen, flipped") << true << "flip" << false;
        QTest::newRow("chosen, mirrored") << true << "mirror" << false;
        QTest::newRow("chosen, greyscale effect") << true << "greyscale" << false;
        QTest::newRow("chosen, brighter") << true << "brightness" << false;
        QTest::newRow("chosen, more contrast") << true << "contrast" << false;
    }
    void saveKeepsOwnCompressionWhenChosen()
    {
        QFETCH(bool, chosen);
        QFETCH(QString, change);
        QFETCH(bool, lossless);
        WorkspaceFixture f;
        f.ws->formCreate();
        f.ws->setSaveOptions({chosen});
        const QString source = f.makePhoto(QStringLiteral("src.jpg"), QSize(96, 64));
        f.open(source);
        if (change == u"flip")
            f.ws->flip1Click();
        else if (change == u"mirror")
            f.ws->mirror2Click();
        else if (change == u"greyscale")
            f.ws->plainEffectClick(EffectItem::Greyscale);
        else if (change == u"brightness")
            f.ws->mutableAttributes().brightness = 300;
        else if (change == u"contrast")
            f.ws->mutableAttributes().contrast = 300;
        f.ws->memo1KeyUp({QStringLiteral("STAMP 2026")});
        const QImage stamped = f.ws->stampedPhoto();
        QVERIFY(stamped != f.ws->basePhoto());

        const QString copy = f.dir.filePath(QStringLiteral("copy.jpg"));
        f.platform.dialogs.savePhotoAnswers.enqueue(copy);
        f.ws->saveAs1Click();
        QCOMPARE(f.platform.prompts.texts().last(), QStringLiteral("The file has been saved."));

        const QString normal = f.dir.filePath(QStringLiteral("normal.jpg"));
        QVERIFY(metadata::saveStampedJpeg(stamped, f.ws->attributes().jpegQuality, source, normal));
        const metadata::LosslessEncoding kept = metadata::encodeLosslessJpeg(
            test::readFile(source), f.ws->basePhoto(), stamped, f.ws->attributes().jpegQuality);
        QVERIFY(kept.ok());
        const QByteArray expected = lossless ? kept.jpeg : test::readFile(normal);
        QCOMPARE(test::readFile(copy), expected);

        // Save writes over the source it reads from.
        f.platform.prompts.confirmAnswers.enqueue(true);
        f.ws->save1Click();
        QCOMPARE(f.platform.prompts.texts().last(),
                 QStringLiteral("The original file has been overwritten successfully."));
        QCOMPARE(test::readFile(source), expected);

        // Saved over again: the source now holds the first stamp, which only a whole new
        // encoding of the photo leaves out.
        f.ws->memo1KeyUp({QStringLiteral("OTHER TEXT")});
        const QString normalAgain = f.dir.filePath(QStringLiteral("normal-again.jpg"));
        QVERIFY(metadata::saveStampedJpeg(f.ws->stampedPhoto(), f.ws->attributes().jpegQuality,
                                          source, normalAgain));
        f.platform.prompts.confirmAnswers.enqueue(true);
        f.ws->save1Click();
        QCOMPARE(test::readFile(source), test::readFile(normalAgain));
    }

    void saveOptionsOutliveTheSession()
    {
        WorkspaceFixture f;
        f.ws->formCreate();
        QVERIFY(!f.ws->saveOptions().keepOwnCompression);
        f.ws->setSaveOptions({true});
        QVERIFY(f.ws->formClose());
        QCOMPARE(QFileInfo(f.ws->saveOptionsPath()).absolutePath(),
                 QFileInfo(f.ws->defaultProfilePath()).absolutePath());

        Workspace again(f.platform.platform());
        again.formCreate();
        QVERIFY(again.saveOptions().keepOwnCompression);
    }

    void saveFailureLeavesEverything()
    {
        WorkspaceFixture f;
        f.ws->formCreate();
        f.open(f.makePhoto(QStringLiteral("p.jpg"), QSize(30, 30)));
        f.platform.dialogs.savePhotoAnswers.enqueue(
            f.dir.filePath(QStringLiteral("no/such/x.jpg")));
        f.ws->saveAs1Click();
        QCOMPARE(f.platform.prompts.texts().last(),
                 QStringLiteral("The file could not be saved at this time."));
        QCOMPARE(f.ws->title(), QStringLiteral("Orvane Tessarine - p.jpg"));
    }

    /// Save over the original on a full disk: the failure is reported and the photo keeps
    /// its bytes (a full disk used to leave an empty file behind a success message).
    void saveOnFullDiskKeepsThePhoto_data()
    {
        QTest::addColumn<bool>("saveAs");
        QTest::newRow("Save") << false;
        QTest::newRow("Save As over the original") << true;
    }

    void saveOnFullDiskKeepsThePhoto()
    {
        QFETCH(bool, saveAs);
        test::SmallDisk disk(1024);
        if (!disk.mounted())
            QSKIP("a small filesystem cannot be mounted here");
        WorkspaceFixture f;
        f.ws->formCreate();
        const QString photo = disk.filePath(QStringLiteral("p.jpg"));
        QVERIFY(QFile::copy(f.makePhoto(QStringLiteral("p.jpg"), QSize(120, 90)), photo));
        f.open(photo);
        const QByteArray before = test::readFile(photo);
        QVERIFY(disk.fill());
        f.ws->flip1Click();
        f.platform.prompts.clear();
        if (saveAs) {
            f.platform.dialogs.savePhotoAnswers.enqueue(photo);
            f.ws->saveAs1Click();
        } else {
            f.ws->save1Click();
        }
        QCOMPARE(f.platform.prompts.texts().last(),
                 QStringLiteral("The file could not be saved at this time."));
        QCOMPARE(test::readFile(photo), before);
    }

    void flipTwiceRestores()
    {
        WorkspaceFixture f;
        f.ws->formCreate();
        f.open(f.makePhoto(QStringLiteral("p.jpg"), QSize(31, 17)));
        const QImage base = f.ws->basePhoto();
        const bool changed = f.ws->photoChanged();
        f.ws->flip1Click();
        QVERIFY(f.ws->basePhoto() != base);
        f.ws->flip1Click();
        QCOMPARE(f.ws->basePhoto(), base);
        f.ws->mirror2Click();
        f.ws->mirror2Click();
        QCOMPARE(f.ws->basePhoto(), base);
        QCOMPARE(f.ws->photoChanged(), changed);
    }

    void anchorPressedTwiceBecomesCustom()
    {
        WorkspaceFixture f;
        f.ws->formCreate();
        f.open(f.makePhoto(QStringLiteral("p.jpg"), QSize(50, 50)));
        f.ws->anchorClick(positions::TopLeft, true);
        QCOMPARE(f.ws->attributes().position, positions::TopLeft);
        QCOMPARE(f.ws->pressedAnchor(), positions::TopLeft);
        f.ws->anchorClick(positions::TopLeft, false);
        QCOMPARE(f.ws->attributes().position, positions::Custom);
        QVERIFY(f.ws->pressedAnchor().isEmpty());
        QVERIFY(f.ws->photoChanged());
    }

    void trackBarReleasesPressedAnchor()
    {
        WorkspaceFixture f;
        f.ws->formCreate();
        f.open(f.makePhoto(QStringLiteral("p.jpg"), QSize(200, 100)));
        QCOMPARE(f.ws->pressedAnchor(), positions::BottomRight);
        f.ws->setHorizontalPosition(42);
        QCOMPARE(f.ws->attributes().position, positions::Custom);
        QVERIFY(f.ws->pressedAnchor().isEmpty());
        QCOMPARE(f.ws->attributes().customX, 42);
        f.ws->setHorizontalPosition(5000); // clamped to the maximum
        QCOMPARE(f.ws->attributes().customX, 200);
    }

    void stampListCommands()
    {
        WorkspaceFixture f;
        f.ws->formCreate();
        f.open(f.makePhoto(QStringLiteral("p.jpg"), QSize(300, 200)));
        // An empty field adds nothing.
        f.ws->setStampMaskField(QString());
        f.ws->btnAddFiletoGridClick();
        QVERIFY(f.ws->attributes().stampTexts.isEmpty());
        for (const QString& m : {QStringLiteral("one"), QStringLiteral("two [p_width]")}) {
            f.ws->setStampMaskField(m);
            f.ws->btnAddFiletoGridClick();
        }
        QCOMPARE(f.ws->textPreview(),
                 (QStringList{QStringLiteral("one"), QStringLiteral("two 300")}));
        QVERIFY(f.ws->stampMaskField().isEmpty());

        // Typed text survives a font change, and Move Up on the first entry replaces it.
        f.ws->memo1KeyUp({QString(), QStringLiteral("typed")});
        f.platform.dialogs.fontAnswers.enqueue(
            platform::FontChoice{QStringLiteral("DejaVu Sans"), 30, false, true});
        f.ws->font1Click();
        QCOMPARE(f.ws->textPreview(), (QStringList{QString(), QStringLiteral("typed")}));
        f.ws->setSelectedEntry(0);
        f.ws->speedButton4Click();
        QCOMPARE(f.ws->attributes().stampTexts.at(0).mask, QStringLiteral("one"));
        QCOMPARE(f.ws->textPreview(),
                 (QStringList{QStringLiteral("one"), QStringLiteral("two 300")}));

        f.ws->speedButton5Click();
        QCOMPARE(f.ws->attributes().stampTexts.at(1).mask, QStringLiteral("one"));
        QCOMPARE(f.ws->selectedEntry(), 1);

        // Edit cancelled: nothing changes and nothing renders.
        f.ws->memo1KeyUp({QStringLiteral("kept")});
        const QImage before = f.ws->stampedPhoto();
        f.ws->speedButton3Click();
        QCOMPARE(f.ws->attributes().stampTexts.at(1).mask, QStringLiteral("one"));
        QCOMPARE(f.ws->textPreview(), QStringList{QStringLiteral("kept")});
        QCOMPARE(f.ws->stampedPhoto(), before);
        f.windows.editAnswers.enqueue(QStringLiteral("edited"));
        f.ws->speedButton3Click();
        QCOMPARE(f.ws->attributes().stampTexts.at(1).mask, QStringLiteral("edited"));

        f.ws->checkListBox1ClickCheck(0, false);
        QCOMPARE(f.ws->textPreview(), QStringList{QStringLiteral("edited")});
        f.ws->speedButton6Click();
        QCOMPARE(f.ws->attributes().stampTexts.size(), 1);
        f.ws->setSelectedEntry(-1);
        f.ws->speedButton6Click();
        QCOMPARE(f.ws->attributes().stampTexts.size(), 1);
    }

    void menuGroups()
    {
        WorkspaceFixture f;
        f.ws->formCreate();
        f.open(f.makePhoto(QStringLiteral("p.jpg"), QSize(20, 20)));
        f.ws->setOutlineWidth(7);
        QCOMPARE(f.ws->attributes().outlineWidth, 1);
        QCOMPARE(f.ws->outlineMark(), 1);
        f.ws->setOutlineWidth(-1);
        QCOMPARE(f.ws->outlineMark(), 1);

        f.windows.onOpacity = [](Workspace& ws) { ws.mutableAttributes().opacity = 77; };
        f.ws->custom1Click();
        QCOMPARE(f.ws->attributes().opacity, 77);
        f.ws->opacityPresetClick(OpacityItem::P40);
        QCOMPARE(f.ws->attributes().opacity, 102);

        f.ws->sepiaPresetClick(60);
        QCOMPARE(f.ws->effectItem(), EffectItem::Sepia60);
        QCOMPARE(f.ws->attributes().sepiaLevel, 60);
        f.ws->custom2Click();
        QCOMPARE(f.ws->effectItem(), EffectItem::SepiaCustom);
        QCOMPARE(f.ws->attributes().effect, PhotoEffect::Sepia);
        f.ws->plainEffectClick(EffectItem::Negative);
        QCOMPARE(f.ws->attributes().effect, PhotoEffect::Negative);
        QCOMPARE(f.ws->attributes().sepiaLevel, 60);

        // A cancelled Brightness and Contrast dialog does not render.
        f.windows.onBrightness = [](Workspace& ws) { ws.setDialogCancelled(true); };
        f.ws->brightness1Click();
        QVERIFY(!f.ws->dialogCancelled());
    }

    void helpPagesOpenInTheBrowser_data()
    {
        QTest::addColumn<bool>("browser");
        QTest::newRow("a browser opens them") << true;
        QTest::newRow("no browser: the addresses are told") << false;
    }
    void helpPagesOpenInTheBrowser()
    {
        QFETCH(bool, browser);
        WorkspaceFixture f;
        f.platform.shell.urlOpens = browser;
        f.ws->help2Click();
        f.ws->orvaneHomePage1Click();
        f.ws->checkForUpdates1Click();
        QCOMPARE(f.platform.shell.opened.size(), 3);
        QList<test::ScriptedPrompts::Message> told;
        for (const QString& url : f.platform.shell.opened) {
            QVERIFY(url.contains(QStringLiteral("orvane.example")));
            if (!browser)
                told.append({QStringLiteral("information"),
                             QStringLiteral("No web browser could be started. The page's "
                                            "address is ") +
                                 url});
        }
        QCOMPARE(f.platform.prompts.shown, told);
    }

    void newAttributesClearsPhoto()
    {
        WorkspaceFixture f;
        f.ws->formCreate();
        f.open(f.makePhoto(QStringLiteral("p.jpg"), QSize(20, 20)));
        f.platform.prompts.confirmAnswers.enqueue(false);
        f.ws->newStampAttributesClick();
        QVERIFY(f.ws->photoControlsEnabled());
        f.ws->newStampAttributesClick();
        QVERIFY(!f.ws->photoControlsEnabled());
        QVERIFY(f.ws->stampedPhoto().isNull());
        QCOMPARE(f.ws->attributes().fontSize, 12);
        QCOMPARE(f.ws->pressedAnchor(), positions::BottomRight);
        QVERIFY(!f.ws->photoChanged());
    }
};

TESS_TEST_MAIN(TestWorkspace)
#include "test_workspace.moc"
