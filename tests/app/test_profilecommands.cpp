// The main window's commands on whole attribute sets, and the default profile across a
// restart, driven through the workspace as the window drives it.

#include "profiles/AttributeProfile.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMain.h"
#include "tests/support/WorkspaceFixture.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <utility>

using namespace tess;
using tess::test::readFile;
using tess::test::WorkspaceFixture;

namespace {

const QString DefaultCaption = QStringLiteral("Stamp Text Attributes - default.tsrx");
const QString ClearQuestion = QStringLiteral("Are you sure you want to clear all attributes?");
const QString ImportQuestion =
    QStringLiteral("Are you sure you want to import saved attributes and clear the current ones?");
const QString RevertQuestion =
    QStringLiteral("Are you sure you want to revert back to the saved default attributes?");
const QString Reloaded = QStringLiteral("The default attributes have been loaded.");
const QString ExportFailed = QStringLiteral("The Export Stamp Attributes function failed. Error: ");

/// Both records, field by field in profile form (readable when they differ), then whole.
#define COMPARE_ATTRIBUTES(actual, expected)                                                       \
    do {                                                                                           \
        QCOMPARE(QString::fromUtf8(profiles::profileBytes(actual)),                                \
                 QString::fromUtf8(profiles::profileBytes(expected)));                             \
        QVERIFY((actual) == (expected));                                                           \
    } while (false)

void addMask(Workspace& ws, const QString& mask)
{
    ws.setStampMaskField(mask);
    ws.btnAddFiletoGridClick();
}

/// Changes every setting through the commands that the window offers for it.
void changeEverything(WorkspaceFixture& f)
{
    Workspace& ws = *f.ws;
    f.platform.dialogs.fontAnswers.enqueue(
        platform::FontChoice{QStringLiteral("DejaVu Serif"), 20, true, true});
    ws.font1Click();
    f.platform.dialogs.colorAnswers.enqueue(0x123456);
    ws.extColor1Click();
    f.platform.dialogs.colorAnswers.enqueue(0x00ff00);
    ws.color1Click();
    ws.setOutlineWidth(4);
    f.windows.onOpacity = [](Workspace& w) { w.mutableAttributes().opacity = 77; };
    ws.custom1Click();
    f.windows.onSepia = [](Workspace& w) { w.mutableAttributes().sepiaLevel = 33; };
    ws.custom2Click();
    f.windows.onBrightness = [](Workspace& w) {
        w.mutableAttributes().brightness = 300;
        w.mutableAttributes().contrast = 200;
    };
    ws.brightness1Click();
    f.windows.onOptions = [](Workspace& w) {
        StampAttributes& a = w.mutableAttributes();
        a.keepFlags = QStringLiteral("0110");
        a.dateFormatDateTime = 1;
        a.dateFormatOriginal = 2;
        a.dateFormatCreated = 3;
        a.dateFormatOther = 4;
        a.borderWidth = 17;
        a.jpegQuality = 80;
        a.proportionalSize = true;
        a.referenceHeight = 1024;
    };
    ws.options1Click();
    ws.setHorizontalMaximum(640);
    ws.setHorizontalPosition(120);
    ws.setVerticalMaximum(480);
    ws.setVerticalPosition(80);
    ws.anchorClick(positions::TopLeft, true);
    addMask(ws, QStringLiteral("[p_filename]"));
    addMask(ws, QStringLiteral("Taken [p_filedatetime]"));
    addMask(ws, QStringLiteral("[p_width] x [p_height]"));
    ws.checkListBox1ClickCheck(1, false);
    ws.setWindowPosition(40, 60);
}

/// Other settings again, with no ticked stamp text entry.
void changeToOtherSettings(WorkspaceFixture& f)
{
    Workspace& ws = *f.ws;
    ws.setFont({QStringLiteral("DejaVu Sans"), 9, false, true});
    ws.setOutlineWidth(2);
    ws.opacityPresetClick(OpacityItem::P40);
    ws.plainEffectClick(EffectItem::Greyscale);
    ws.mutableAttributes().proportionalSize = false;
    ws.mutableAttributes().referenceHeight = 500;
    ws.mutableAttributes().jpegQuality = 33;
    ws.anchorClick(positions::Centre, true);
    addMask(ws, QStringLiteral("untouched [p_filename]"));
    ws.checkListBox1ClickCheck(ws.attributes().stampTexts.size() - 1, false);
    ws.setWindowPosition(300, 200);
}

/// What resetStampAttributes leaves of \a a, field by field from the reset table.
StampAttributes resetOf(StampAttributes a)
{
    a.fontName = QStringLiteral("Arial");
    a.fontSize = 12;
    a.bold = a.italic = false;
    a.textColor = a.outlineColor = 0;
    a.outlineWidth = 0;
    a.position = positions::BottomRight;
    a.customX = a.customY = 0;
    a.borderWidth = 5;
    a.opacity = 255;
    a.jpegQuality = 95;
    a.sepiaLevel = 45;
    a.brightness = a.contrast = 255;
    a.keepFlags = QStringLiteral("1111");
    a.dateFormatDateTime = a.dateFormatOriginal = a.dateFormatCreated = a.dateFormatOther = 0;
    a.stampTexts.clear();
    return a;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

/// A started workspace with a photo open and the messages of getting there forgotten.
struct OpenPhoto
{
    explicit OpenPhoto(bool settle = true)
    {
        f.ws->formCreate();
        if (settle)
            openPhoto();
    }
    void openPhoto()
    {
        f.open(f.makePhoto(QStringLiteral("photo.jpg"), QSize(64, 48)));
        QVERIFY(!f.ws->stampedPhoto().isNull());
        f.platform.prompts.clear();
        f.platform.dialogs.asked.clear();
    }
    QString profilePath(const QString& name) const { return f.dir.filePath(name); }

    WorkspaceFixture f;
};

} // namespace

class TestProfileCommands : public QObject
{
    Q_OBJECT
private slots:
    void restartRestoresEverything_data()
    {
        QTest::addColumn<bool>("confirmExit");
        QTest::newRow("exit confirmed") << true;
        QTest::newRow("exit cancelled at the loss question") << false;
    }
    void restartRestoresEverything()
    {
        QFETCH(bool, confirmExit);
        WorkspaceFixture f;
        f.ws->formCreate();
        const StampAttributes startValues = f.ws->attributes();
        changeEverything(f);
        const StampAttributes changed = f.ws->attributes();
        QVERIFY(f.ws->photoChanged()); // the stamp text list was edited
        f.platform.prompts.clear();
        f.platform.prompts.confirmAnswers.enqueue(confirmExit);
        QCOMPARE(f.ws->formClose(), confirmExit);
        QCOMPARE(f.platform.prompts.shown.size(), 1);
        QCOMPARE(QFileInfo::exists(f.ws->defaultProfilePath()), confirmExit);
        if (!confirmExit) {
            // Nothing was written; the settings stay in force.
            COMPARE_ATTRIBUTES(f.ws->attributes(), changed);
            QVERIFY(f.ws->formClose());
            QVERIFY(QFileInfo::exists(f.ws->defaultProfilePath()));
        }

        f.platform.prompts.clear();
        f.restart();
        COMPARE_ATTRIBUTES(f.ws->attributes(), changed);
        QVERIFY(f.ws->attributes() != startValues);
        QCOMPARE(f.ws->outlineMark(), 4);
        QCOMPARE(f.ws->opacityItem(), OpacityItem::Custom);
        QCOMPARE(f.ws->effectItem(), EffectItem::SepiaCustom);
        QCOMPARE(f.ws->pressedAnchor(), positions::TopLeft);
        QCOMPARE(f.ws->attributeCaption(), DefaultCaption);
        QVERIFY(!f.ws->photoChanged());
        QVERIFY(f.platform.prompts.shown.isEmpty());
    }

    void newAttributes_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }
    void newAttributes()
    {
        QFETCH(bool, ok);
        OpenPhoto p(false);
        WorkspaceFixture& f = p.f;
        changeEverything(f);
        p.openPhoto();
        const StampAttributes before = f.ws->attributes();
        const QString title = f.ws->title();
        const QImage stamped = f.ws->stampedPhoto();
        const EffectItem effect = f.ws->effectItem();
        QVERIFY(f.ws->photoChanged());

        f.platform.prompts.confirmAnswers.enqueue(ok);
        f.ws->newStampAttributesClick();
        QCOMPARE(f.platform.prompts.texts(), QStringList{ClearQuestion});
        if (!ok) {
            COMPARE_ATTRIBUTES(f.ws->attributes(), before);
            QCOMPARE(f.ws->stampedPhoto(), stamped);
            QCOMPARE(f.ws->title(), title);
            QVERIFY(f.ws->photoChanged());
            QVERIFY(f.ws->photoControlsEnabled());
            return;
        }
        COMPARE_ATTRIBUTES(f.ws->attributes(), resetOf(before));
        QCOMPARE(f.ws->attributes().customXMax, 64); // the maxima stay
        QVERIFY(f.ws->attributes().proportionalSize);
        QCOMPARE(f.ws->attributes().windowLeft, 40);
        QCOMPARE(f.ws->pressedAnchor(), positions::BottomRight);
        QCOMPARE(f.ws->outlineMark(), 0);
        QCOMPARE(f.ws->opacityItem(), OpacityItem::P100);
        QCOMPARE(f.ws->effectItem(), effect); // the effect choice stays
        QVERIFY(f.ws->basePhoto().isNull());
        QVERIFY(f.ws->adjustedPhoto().isNull());
        QVERIFY(f.ws->stampedPhoto().isNull());
        QVERIFY(f.ws->photoFileName().isEmpty());
        QCOMPARE(f.ws->title(), QStringLiteral("Orvane Tessarine"));
        QVERIFY(!f.ws->photoControlsEnabled());
        QVERIFY(f.ws->textPreview().isEmpty());
        QVERIFY(f.ws->stampMaskChoices().isEmpty());
        QCOMPARE(f.ws->attributeCaption(), DefaultCaption);
        QVERIFY(!f.ws->photoChanged());
    }

    void import_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("tickedBefore"); // the current list has a ticked entry
        QTest::newRow("profile exported earlier") << "exported" << false;
        QTest::newRow("Cancel in the open dialog") << "cancel dialog" << false;
        QTest::newRow("Cancel in the open dialog, an entry ticked") << "cancel dialog" << true;
        QTest::newRow("a file that is not a profile") << "not a profile" << false;
        QTest::newRow("a file that does not exist") << "missing" << false;
        QTest::newRow("Cancel at the question") << "cancel question" << false;
    }
    void import()
    {
        QFETCH(QString, kind);
        QFETCH(bool, tickedBefore);
        OpenPhoto p(false);
        WorkspaceFixture& f = p.f;
        changeEverything(f);
        const StampAttributes exported = f.ws->attributes();
        const QString saved = p.profilePath(QStringLiteral("saved.tsrx"));
        f.platform.dialogs.saveProfileAnswers.enqueue(saved);
        f.ws->exportAttributeSetClick();
        QVERIFY(QFileInfo::exists(saved));

        f.ws->mutableAttributes().stampTexts.clear();
        changeToOtherSettings(f);
        if (tickedBefore)
            addMask(*f.ws, QStringLiteral("[p_height] high"));
        p.openPhoto();
        f.ws->memo1KeyUp({QStringLiteral("typed into the text preview")});
        const StampAttributes current = f.ws->attributes();
        const QImage stamped = f.ws->stampedPhoto();
        QVERIFY(f.ws->photoChanged());
        QSignalSpy centred(f.ws.get(), &Workspace::centreWindowRequested);
        QSignalSpy moved(f.ws.get(), &Workspace::windowPositionChanged);

        QString chosen = saved;
        if (kind == QLatin1String("not a profile")) {
            chosen = p.profilePath(QStringLiteral("notes.tsrx"));
            writeFile(chosen, "Shopping list\r\nmilk\r\n");
        } else if (kind == QLatin1String("missing")) {
            chosen = p.profilePath(QStringLiteral("gone.tsrx"));
        }
        if (kind == QLatin1String("cancel question"))
            f.platform.prompts.confirmAnswers.enqueue(false);
        else if (kind != QLatin1String("cancel dialog"))
            f.platform.dialogs.openProfileAnswers.enqueue(chosen);
        f.ws->importAttributeSetClick();

        QCOMPARE(f.platform.prompts.texts(), QStringList{ImportQuestion});
        QCOMPARE(moved.count(), 0); // the window keeps its place
        if (kind == QLatin1String("cancel question")) {
            QVERIFY(f.platform.dialogs.asked.isEmpty());
            COMPARE_ATTRIBUTES(f.ws->attributes(), current);
            QCOMPARE(f.ws->textPreview(), QStringList{"typed into the text preview"});
            QCOMPARE(f.ws->stampedPhoto(), stamped);
            QVERIFY(f.ws->photoChanged());
            return;
        }
        QCOMPARE(f.platform.dialogs.asked,
                 QStringList{"openProfile Import Orvane Tessarine Attributes " +
                             f.platform.folders.dataFolder()});
        // The photo stays open and is stamped again from the masks.
        QCOMPARE(f.ws->photoFileName(), p.profilePath(QStringLiteral("photo.jpg")));
        QVERIFY(f.ws->photoControlsEnabled());
        QVERIFY(!f.ws->stampedPhoto().isNull());
        QVERIFY(!f.ws->textPreview().contains(QStringLiteral("typed into the text preview")));

        if (kind == QLatin1String("exported")) {
            StampAttributes expected = exported;
            expected.windowLeft = current.windowLeft;
            expected.windowTop = current.windowTop;
            COMPARE_ATTRIBUTES(f.ws->attributes(), expected);
            QCOMPARE(f.ws->attributeCaption(),
                     QStringLiteral("Stamp Text Attributes - saved.tsrx"));
            QCOMPARE(f.ws->textPreview(),
                     (QStringList{"photo.jpg", "64 x 48"})); // the two ticked entries
            QCOMPARE(f.ws->outlineMark(), 4);
            QCOMPARE(f.ws->pressedAnchor(), positions::TopLeft);
            QCOMPARE(centred.count(), 0);
            QVERIFY(f.ws->photoChanged());
        } else if (kind == QLatin1String("cancel dialog")) {
            COMPARE_ATTRIBUTES(f.ws->attributes(), current);
            QCOMPARE(f.ws->attributeCaption(), DefaultCaption);
            QCOMPARE(f.ws->textPreview(), tickedBefore ? QStringList{"48 high"} : QStringList());
            QCOMPARE(f.ws->photoChanged(), tickedBefore);
            QCOMPARE(centred.count(), 0);
        } else {
            // Not reported: the default attributes, the window centred, outline width 0.
            COMPARE_ATTRIBUTES(f.ws->attributes(), resetOf(current));
            QCOMPARE(f.ws->outlineMark(), 0);
            QCOMPARE(centred.count(), 1);
            QCOMPARE(f.ws->attributeCaption(),
                     "Stamp Text Attributes - " + QFileInfo(chosen).fileName());
            QVERIFY(!f.ws->photoChanged());
        }
    }

    void exportProfile_data()
    {
        QTest::addColumn<QString>("target"); // relative to the temporary folder; empty: Cancel
        QTest::addColumn<bool>("existing");
        QTest::addColumn<bool>("fails");
        QTest::newRow("new file") << "out.tsrx" << false << false;
        QTest::newRow("existing file, replaced without a question") << "out.tsrx" << true << false;
        QTest::newRow("below a regular file") << "plain.txt/out.tsrx" << false << true;
        QTest::newRow("into a missing folder") << "no such folder/out.tsrx" << false << true;
        QTest::newRow("Cancel in the save dialog") << "" << false << false;
    }
    void exportProfile()
    {
        QFETCH(QString, target);
        QFETCH(bool, existing);
        QFETCH(bool, fails);
        OpenPhoto p(false);
        WorkspaceFixture& f = p.f;
        changeEverything(f);
        p.openPhoto();
        writeFile(p.profilePath(QStringLiteral("plain.txt")), "a regular file\r\n");
        const QString path = target.isEmpty() ? QString() : p.profilePath(target);
        if (existing)
            writeFile(path, "Orvane Tessarine 1.0\r\nold contents\r\n");
        const StampAttributes before = f.ws->attributes();
        const bool changedBefore = f.ws->photoChanged();

        if (!path.isEmpty())
            f.platform.dialogs.saveProfileAnswers.enqueue(path);
        f.ws->exportAttributeSetClick();

        QCOMPARE(f.platform.dialogs.asked,
                 QStringList{"saveProfile Export Orvane Tessarine Attributes " +
                             f.platform.folders.dataFolder()});
        if (fails) {
            QCOMPARE(f.platform.prompts.shown.size(), 1);
            const auto& box = f.platform.prompts.shown.constFirst();
            QCOMPARE(box.kind, QStringLiteral("error"));
            QVERIFY2(box.text.startsWith(ExportFailed), qPrintable(box.text));
            QVERIFY2(box.text.size() > ExportFailed.size(), "the system's reason is missing");
            QVERIFY(!QFileInfo::exists(path));
        } else {
            QVERIFY(f.platform.prompts.shown.isEmpty());
            if (!path.isEmpty())
                QCOMPARE(readFile(path), profiles::profileBytes(before));
        }
        // Export changes nothing and leaves the default profile alone.
        COMPARE_ATTRIBUTES(f.ws->attributes(), before);
        QCOMPARE(f.ws->attributeCaption(), DefaultCaption);
        QCOMPARE(f.ws->photoChanged(), changedBefore);
        QVERIFY(!QFileInfo::exists(f.ws->defaultProfilePath()));
    }

    void reloadDefault_data()
    {
        QTest::addColumn<QString>("defaultProfile"); // "saved", "saved at 0", "none"
        QTest::addColumn<bool>("ok");
        QTest::addColumn<bool>("expectChanged");
        QTest::newRow("saved default profile") << "saved" << true << true;
        QTest::newRow("saved default profile, track bars at 0") << "saved at 0" << true << false;
        QTest::newRow("no default profile") << "none" << true << false;
        QTest::newRow("Cancel") << "saved" << false << true;
    }
    void reloadDefault()
    {
        QFETCH(QString, defaultProfile);
        QFETCH(bool, ok);
        QFETCH(bool, expectChanged);
        WorkspaceFixture f;
        f.ws->formCreate();
        changeEverything(f);
        if (defaultProfile == QLatin1String("saved at 0")) {
            f.ws->setHorizontalPosition(0);
            f.ws->setVerticalPosition(0);
            f.ws->anchorClick(positions::TopLeft, true);
        }
        const StampAttributes saved = f.ws->attributes();
        QVERIFY(f.ws->formClose());
        f.restart();
        if (defaultProfile == QLatin1String("none"))
            QVERIFY(QFile::remove(f.ws->defaultProfilePath()));

        // A changed, unsaved photo with other settings.
        f.ws->mutableAttributes().stampTexts.clear();
        changeToOtherSettings(f);
        f.open(f.makePhoto(QStringLiteral("photo.jpg"), QSize(64, 48)));
        f.ws->flip1Click();
        QVERIFY(f.ws->photoChanged());
        f.platform.prompts.clear();
        const StampAttributes current = f.ws->attributes();
        const QImage stamped = f.ws->stampedPhoto();
        QSignalSpy centred(f.ws.get(), &Workspace::centreWindowRequested);
        QSignalSpy moved(f.ws.get(), &Workspace::windowPositionChanged);

        f.platform.prompts.confirmAnswers.enqueue(ok);
        f.ws->reloadDefaultAttributesClick();

        if (!ok) {
            QCOMPARE(f.platform.prompts.texts(), QStringList{RevertQuestion});
            COMPARE_ATTRIBUTES(f.ws->attributes(), current);
            QCOMPARE(f.ws->stampedPhoto(), stamped);
            QVERIFY(f.ws->photoChanged());
            return;
        }
        // No loss question, although the photo had unsaved changes.
        QCOMPARE(f.platform.prompts.texts(), (QStringList{RevertQuestion, Reloaded}));
        QCOMPARE(f.platform.prompts.shown.constLast().kind, QStringLiteral("information"));
        QVERIFY(f.ws->stampedPhoto().isNull());
        QVERIFY(f.ws->basePhoto().isNull());
        QVERIFY(f.ws->photoFileName().isEmpty());
        QCOMPARE(f.ws->title(), QStringLiteral("Orvane Tessarine"));
        QVERIFY(!f.ws->photoControlsEnabled());
        QVERIFY(f.ws->textPreview().isEmpty());
        QCOMPARE(f.ws->attributeCaption(), DefaultCaption);
        QCOMPARE(f.ws->photoChanged(), expectChanged);
        if (defaultProfile == QLatin1String("none")) {
            StampAttributes expected = resetOf(current);
            COMPARE_ATTRIBUTES(f.ws->attributes(), expected);
            QCOMPARE(centred.count(), 1);
            QCOMPARE(moved.count(), 0);
        } else {
            COMPARE_ATTRIBUTES(f.ws->attributes(), saved); // the window position included
            QCOMPARE(moved.count(), 1);
            QCOMPARE(centred.count(), 0);
            QCOMPARE(f.ws->outlineMark(), 4);
            QCOMPARE(f.ws->pressedAnchor(), positions::TopLeft);
        }
    }

    void captionAndChangesFlag_data()
    {
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("photoChanged");
        const QString d = QStringLiteral("default.tsrx");
        QTest::newRow("new attributes") << QStringList{"new"} << d << false;
        QTest::newRow("import with a ticked entry")
            << QStringList{"import ticked.tsrx"} << "ticked.tsrx" << true;
        QTest::newRow("import without a ticked entry")
            << QStringList{"import plain.tsrx"} << "plain.tsrx" << false;
        QTest::newRow("import that moves a track bar")
            << QStringList{"import moved.tsrx"} << "moved.tsrx" << true;
        QTest::newRow("import of a file that is not a profile")
            << QStringList{"import broken.tsrx"} << "broken.tsrx" << false;
        QTest::newRow("import cancelled in the dialog, nothing ticked")
            << QStringList{"import cancel"} << d << false;
        QTest::newRow("import cancelled in the dialog, an entry ticked")
            << QStringList{"add ticked", "import cancel"} << d << true;
        QTest::newRow("import cancelled keeps the imported name")
            << QStringList{"import plain.tsrx", "import cancel"} << "plain.tsrx" << false;
        QTest::newRow("export leaves the flag set") << QStringList{"export"} << d << true;
        QTest::newRow("export leaves the flag clear and the name")
            << QStringList{"import plain.tsrx", "export"} << "plain.tsrx" << false;
        QTest::newRow("new attributes after an import")
            << QStringList{"import ticked.tsrx", "new"} << d << false;
        QTest::newRow("reload of a default profile that moves no track bar")
            << QStringList{"default plain.tsrx", "import ticked.tsrx", "reload"} << d << false;
        QTest::newRow("reload of a default profile that moves a track bar")
            << QStringList{"default moved.tsrx", "import plain.tsrx", "reload"} << d << true;
    }
    void captionAndChangesFlag()
    {
        QFETCH(QStringList, commands);
        QFETCH(QString, caption);
        QFETCH(bool, photoChanged);
        OpenPhoto p;
        WorkspaceFixture& f = p.f;
        StampAttributes plain = startupStampAttributes();
        plain.stampTexts = {{QStringLiteral("[p_filename]"), false}};
        StampAttributes ticked = plain;
        ticked.stampTexts = {{QStringLiteral("[p_filename]"), true}};
        StampAttributes moved = plain;
        moved.customXMax = 640;
        moved.customX = 120;
        moved.customYMax = 480;
        moved.customY = 80;
        for (const auto& [name, a] :
             {std::pair{"plain.tsrx", plain}, std::pair{"ticked.tsrx", ticked},
              std::pair{"moved.tsrx", moved}})
            QVERIFY(
                profiles::writeAttributeProfile(p.profilePath(QString::fromLatin1(name)), a).ok());
        writeFile(p.profilePath(QStringLiteral("broken.tsrx")), "Orvane Tessarine 1.0 \r\n");
        QVERIFY(f.ws->photoChanged());

        for (const QString& command : commands) {
            const QString argument = command.section(u' ', 1);
            if (command == QLatin1String("new")) {
                f.ws->newStampAttributesClick();
            } else if (command == QLatin1String("import cancel")) {
                f.ws->importAttributeSetClick();
            } else if (command.startsWith(QLatin1String("import "))) {
                f.platform.dialogs.openProfileAnswers.enqueue(p.profilePath(argument));
                f.ws->importAttributeSetClick();
            } else if (command == QLatin1String("export")) {
                f.platform.dialogs.saveProfileAnswers.enqueue(p.profilePath("out.tsrx"));
                f.ws->exportAttributeSetClick();
            } else if (command == QLatin1String("reload")) {
                f.ws->reloadDefaultAttributesClick();
            } else if (command.startsWith(QLatin1String("default "))) {
                QFile::remove(f.ws->defaultProfilePath());
                QVERIFY(QFile::copy(p.profilePath(argument), f.ws->defaultProfilePath()));
            } else if (command == QLatin1String("add ticked")) {
                addMask(*f.ws, QStringLiteral("[p_width]"));
            } else {
                QFAIL(qPrintable("unknown command " + command));
            }
        }
        QCOMPARE(f.ws->attributeCaption(), "Stamp Text Attributes - " + caption);
        QCOMPARE(f.ws->photoChanged(), photoChanged);
        for (const auto& box : f.platform.prompts.shown)
            QVERIFY2(box.kind == QLatin1String("confirm") || box.text == Reloaded,
                     qPrintable(box.text));
    }
};

TESS_TEST_MAIN(TestProfileCommands)
#include "test_profilecommands.moc"
