#include "app/ui/MainWindow.h"
#include "app/ui/PhotoPane.h"
#include "metadata/PhotoFile.h"
#include "profiles/AttributeProfile.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMain.h"
#include "tests/support/TestPhotos.h"
#include "tests/support/WorkspaceFixture.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <QUrl>

using namespace tess;
using tess::test::WorkspaceFixture;

namespace {

/// The payload of the first APP1 segment that starts with "Exif\0\0", or empty.
QByteArray exifSegment(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray d = f.readAll();
    qsizetype i = 2;
    while (i + 4 <= d.size() && uchar(d[i]) == 0xFF) {
        const uchar marker = uchar(d[i + 1]);
        const int len = (uchar(d[i + 2]) << 8) | uchar(d[i + 3]);
        if (marker == 0xDA || marker == 0xD9 || len < 2)
            break;
        const QByteArray payload = d.mid(i + 4, len - 2);
        if (marker == 0xE1 && payload.startsWith(QByteArray("Exif\0\0", 6)))
            return payload;
        i += 2 + len;
    }
    return {};
}

/// Mean absolute difference of two equally sized pictures over \a area.
double meanDifference(const QImage& a, const QImage& b, QRect area)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB888);
    const QImage y = b.convertToFormat(QImage::Format_RGB888);
    qint64 sum = 0, n = 0;
    for (int r = area.top(); r <= area.bottom(); ++r) {
        const uchar* p = x.constScanLine(r);
        const uchar* q = y.constScanLine(r);
        for (int c = area.left() * 3; c < (area.right() + 1) * 3; ++c, ++n)
            sum += qAbs(int(p[c]) - int(q[c]));
    }
    return n ? double(sum) / n : 0.0;
}

struct WindowFixture : WorkspaceFixture
{
    WindowFixture() : window(*ws) { window.formCreate(); }
    void trigger(const QString& name)
    {
        QAction* act = window.action(name);
        QVERIFY2(act, qPrintable(name));
        QVERIFY2(act->isEnabled(), qPrintable(name));
        act->trigger();
    }
    void addMask(const QString& mask)
    {
        window.stampMaskField()->setEditText(mask);
        window.findChild<QPushButton*>(QStringLiteral("btnAddFiletoGrid"))->click();
    }
    ui::MainWindow window;
};

/// The entries as the window's list shows them: "+mask" for a ticked box, "-mask" for an
/// empty one, "?mask" for an entry without a box.
QStringList shownEntries(const QListWidget* list)
{
    QStringList shown;
    for (int i = 0; i < list->count(); ++i) {
        const QListWidgetItem* item = list->item(i);
        const QVariant box = item->data(Qt::CheckStateRole);
        const bool hasBox = box.isValid() && (item->flags() & Qt::ItemIsUserCheckable);
        shown << (!hasBox ? u'?' : item->checkState() == Qt::Checked ? u'+' : u'-') + item->text();
    }
    return shown;
}

QStringList modelEntries(const Workspace& ws)
{
    QStringList entries;
    for (const StampText& t : ws.attributes().stampTexts)
        entries << (t.ticked ? u'+' : u'-') + t.mask;
    return entries;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void menusAndStartState()
    {
        WindowFixture f;
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Orvane Tessarine"));
        QStringList menus;
        for (QAction* a : f.window.menuBar()->actions())
            menus << a->text();
        QCOMPARE(menus, (QStringList{QStringLiteral("&File"), QStringLiteral("&Photo"),
                                     QStringLiteral("F&ormat"), QStringLiteral("&Tools"),
                                     QStringLiteral("&Help")}));
        for (const char* name :
             {"Save1", "SaveAs1", "Close1", "Print1", "Flip1", "Font1", "Width1", "tbSaveAs1"})
            QVERIFY2(!f.window.action(QString::fromLatin1(name))->isEnabled(), name);
        for (const char* name : {"Open1", "Exit1", "Options1", "BatchStamp1", "Help2", "About1"})
            QVERIFY2(f.window.action(QString::fromLatin1(name))->isEnabled(), name);
        QCOMPARE(f.window.action(QStringLiteral("Open1"))->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::Key_O));
        QCOMPARE(f.window.action(QStringLiteral("FullScreenPreview1"))->shortcut(),
                 QKeySequence(Qt::Key_F11));
        QVERIFY(f.window.action(QStringLiteral("N01"))->isChecked());
        QVERIFY(f.window.action(QStringLiteral("N1001"))->isChecked());
        QVERIFY(f.window.action(QStringLiteral("None1"))->isChecked());
        QVERIFY(!f.window.stampTextList()->isEnabled());
    }

    /// The whole job: open a camera photo, stamp it top left, save it under a new name.
    void stampAndSaveAs_data()
    {
        QTest::addColumn<bool>("byDrop");
        QTest::addColumn<bool>("overSource");
        QTest::newRow("open, save as") << false << false;
        QTest::newRow("drop, save as") << true << false;
        QTest::newRow("open, save over source") << false << true;
    }
    void stampAndSaveAs()
    {
        QFETCH(bool, byDrop);
        QFETCH(bool, overSource);
        WindowFixture f;
        const QString source = f.dir.filePath(QStringLiteral("exif-org-nikon-e950.jpg"));
        QVERIFY(QFile::copy(test::cameraPhoto(QStringLiteral("exif-org-nikon-e950.jpg")), source));
        QFile::setPermissions(source, QFile::ReadOwner | QFile::WriteOwner);
        const QByteArray sourceExif = exifSegment(source);
        QVERIFY(!sourceExif.isEmpty());
        const QImage original = metadata::loadPhoto(source).image;

        if (byDrop) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(source)});
            auto* pane = qobject_cast<ui::DropGroupBox*>(f.window.photoPane());
            QVERIFY(pane && pane->acceptDrops());
            pane->handleDrop(&data);
        } else {
            f.platform.dialogs.openPhotoAnswers.enqueue(source);
            f.trigger(QStringLiteral("Open1"));
        }
        QCOMPARE(f.window.windowTitle(),
                 QStringLiteral("Orvane Tessarine - exif-org-nikon-e950.jpg"));
        QVERIFY(f.window.stampTextList()->isEnabled());
        QVERIFY(f.window.stampMaskField()->findText(QStringLiteral("[make_exif]")) >= 0);

        f.addMask(QStringLiteral("[make_exif] [model_exif] [originaldatetime_exif]"));
        QCOMPARE(f.ws->textPreview().size(), 1);
        const QString make = f.ws->photoValues()->valueOf(QStringLiteral("[make_exif]"));
        QVERIFY(!make.isEmpty());
        QVERIFY(f.ws->textPreview().at(0).startsWith(make + u' '));
        f.window.anchorButton(positions::TopLeft)->click();
        QCOMPARE(f.ws->attributes().position, positions::TopLeft);
        f.platform.dialogs.fontAnswers.enqueue(
            platform::FontChoice{QStringLiteral("DejaVu Sans"), 20, true, false});
        f.trigger(QStringLiteral("Font1"));
        f.platform.dialogs.colorAnswers.enqueue(0x00FFFFFFu);
        f.trigger(QStringLiteral("extColor1"));
        f.trigger(QStringLiteral("N21"));
        QVERIFY(f.window.action(QStringLiteral("N21"))->isChecked());
        QVERIFY(!f.window.shownPicture().isNull());

        QString dest = f.dir.filePath(QStringLiteral("stamped.jpg"));
        if (overSource) {
            dest = source;
            f.trigger(QStringLiteral("Save1"));
            QCOMPARE(f.platform.prompts.texts().last(),
                     QStringLiteral("The original file has been overwritten successfully."));
        } else {
            f.platform.dialogs.savePhotoAnswers.enqueue(dest);
            f.trigger(QStringLiteral("SaveAs1"));
            QCOMPARE(f.platform.prompts.texts().last(), QStringLiteral("The file has been saved."));
        }
        const metadata::LoadResult saved = metadata::loadPhoto(dest);
        QVERIFY(saved.ok());
        QCOMPARE(saved.image.size(), original.size());
        // The EXIF block is carried over; only the recorded pixel size may be corrected.
        const QByteArray savedExif = exifSegment(dest);
        QCOMPARE(savedExif.size(), sourceExif.size());
        int differing = 0;
        for (qsizetype i = 0; i < savedExif.size(); ++i)
            differing += savedExif[i] != sourceExif[i];
        QVERIFY(differing <= 8);
        const QRect topLeft(5, 5, 60, 20);
        const QRect farCorner(original.width() - 60, original.height() - 40, 50, 30);
        QVERIFY(meanDifference(saved.image, original, topLeft) > 20);
        QVERIFY(meanDifference(saved.image, original, farCorner) < 4);
    }

    /// Whatever the list commands do, every entry keeps a box showing its tick, so an
    /// unticked entry can be ticked again.
    void stampTextListBoxes_data()
    {
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("add after an unticked entry, then tick it by Space")
            << QStringList{"add A", "add B", "space 1", "add C", "space 1"}
            << QStringList{"+A", "+B", "+C"};
        QTest::newRow("remove below an unticked entry")
            << QStringList{"add A", "add B", "add C", "space 1", "select 2", "remove"}
            << QStringList{"+A", "-B"};
        QTest::newRow("move an unticked entry down and up")
            << QStringList{"add A", "add B", "space 0", "select 0", "down", "down", "up"}
            << QStringList{"-A", "+B"};
        QTest::newRow("edit an unticked entry")
            << QStringList{"add A", "space 0", "select 0", "edit Z"} << QStringList{"-Z"};
        QTest::newRow("import a list with every third entry unticked")
            << QStringList{"add A", "space 0", "import 30"} << QStringList{};
        QTest::newRow("Delete removes the selected entry")
            << QStringList{"add A", "add B", "space 0", "select 1", "key Delete"}
            << QStringList{"-A"};
        QTest::newRow("Enter edits the selected entry")
            << QStringList{"add A", "add B", "space 1", "select 1", "key Return Z"}
            << QStringList{"+A", "-Z"};
        QTest::newRow("double-click on the text edits the entry")
            << QStringList{"add A", "add B", "space 0", "double-click text 0 Z"}
            << QStringList{"-Z", "+B"};
        QTest::newRow("double-click on the box does not edit")
            << QStringList{"add A", "add B", "double-click box 1"} << QStringList{"+A", "-B"};
    }
    void stampTextListBoxes()
    {
        QFETCH(QStringList, commands);
        QFETCH(QStringList, expected);
        QVERIFY(!commands.isEmpty());
        WindowFixture f;
        f.platform.dialogs.openPhotoAnswers.enqueue(
            f.makePhoto(QStringLiteral("a.jpg"), QSize(120, 80)));
        f.trigger(QStringLiteral("Open1"));
        QListWidget* list = f.window.stampTextList();
        int edits = 0;
        const auto answerEdit = [&](const QStringList& words, int at) {
            if (words.size() > at) {
                f.windows.editAnswers.enqueue(words.at(at));
                ++edits;
            }
        };
        const auto rowPoint = [list](int row, bool onBox) {
            const QRect r = list->visualItemRect(list->item(row));
            return onBox ? QPoint(r.left() + r.height() / 2, r.center().y()) : r.center();
        };
        for (const QString& command : std::as_const(commands)) {
            const QStringList w = command.split(u' ');
            const QString& verb = w.at(0);
            if (verb == QLatin1String("add")) {
                f.addMask(w.at(1));
            } else if (verb == QLatin1String("select")) {
                list->setCurrentRow(w.at(1).toInt());
            } else if (verb == QLatin1String("space")) {
                const int row = w.at(1).toInt();
                const bool before = f.ws->attributes().stampTexts.at(row).ticked;
                list->setCurrentRow(row);
                QTest::keyClick(list, Qt::Key_Space);
                QCOMPARE(f.ws->attributes().stampTexts.at(row).ticked, !before);
            } else if (verb == QLatin1String("remove") || verb == QLatin1String("up") ||
                       verb == QLatin1String("down")) {
                const char* name = verb == QLatin1String("remove") ? "SpeedButton6"
                                   : verb == QLatin1String("up")   ? "SpeedButton4"
                                                                   : "SpeedButton5";
                f.window.button(QString::fromLatin1(name))->click();
            } else if (verb == QLatin1String("edit")) {
                answerEdit(w, 1);
                f.window.button(QStringLiteral("SpeedButton3"))->click();
            } else if (verb == QLatin1String("key")) {
                answerEdit(w, 2);
                QTest::keyClick(list, w.at(1) == QLatin1String("Delete") ? Qt::Key_Delete
                                                                         : Qt::Key_Return);
            } else if (verb == QLatin1String("double-click")) {
                answerEdit(w, 3);
                // The first click of a double-click arrives as a click of its own.
                const QPoint at = rowPoint(w.at(2).toInt(), w.at(1) == QLatin1String("box"));
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
                QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
            } else if (verb == QLatin1String("import")) {
                StampAttributes profile = f.ws->attributes();
                profile.stampTexts.clear();
                for (int i = 0; i < w.at(1).toInt(); ++i) {
                    profile.stampTexts.append({QStringLiteral("entry %1").arg(i), i % 3 != 2});
                    expected << (i % 3 != 2 ? u'+' : u'-') + QStringLiteral("entry %1").arg(i);
                }
                const QString path = test::writeFile(f.dir, QStringLiteral("list.tsrx"),
                                                     profiles::profileBytes(profile));
                QVERIFY(!path.isEmpty());
                f.platform.dialogs.openProfileAnswers.enqueue(path);
                f.window.button(QStringLiteral("SpeedButton8"))->click();
            } else {
                QFAIL(qPrintable(QStringLiteral("unknown command ") + command));
            }
            QCOMPARE(shownEntries(list), modelEntries(*f.ws));
        }
        QCOMPARE(modelEntries(*f.ws), expected);
        // Each answer went to one Edit dialog, and no other Edit dialog was shown.
        QVERIFY(f.windows.editAnswers.isEmpty());
        QCOMPARE(f.windows.shown.filter(QStringLiteral("edit ")).size(), edits);
    }

    void cancelAtLossQuestionChangesNothing()
    {
        WindowFixture f;
        f.platform.dialogs.openPhotoAnswers.enqueue(
            f.makePhoto(QStringLiteral("a.jpg"), QSize(120, 80)));
        f.trigger(QStringLiteral("Open1"));
        f.addMask(QStringLiteral("hello"));
        const QImage stamped = f.ws->stampedPhoto();
        f.platform.prompts.confirmAnswers.enqueue(false);
        f.trigger(QStringLiteral("Close1"));
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Orvane Tessarine - a.jpg"));
        QCOMPARE(f.ws->stampedPhoto(), stamped);
        f.platform.prompts.confirmAnswers.enqueue(false);
        QVERIFY(!f.window.close());
        QVERIFY(!QFile::exists(f.ws->defaultProfilePath()));
    }

    void trackBarMovesTheStamp()
    {
        WindowFixture f;
        f.platform.dialogs.openPhotoAnswers.enqueue(
            f.makePhoto(QStringLiteral("a.jpg"), QSize(400, 300)));
        f.trigger(QStringLiteral("Open1"));
        QVERIFY(f.window.anchorButton(positions::BottomRight)->isChecked());
        QCOMPARE(f.window.horizontalTrackBar()->maximum(), 400);
        f.window.horizontalTrackBar()->setValue(120);
        QCOMPARE(f.ws->attributes().customX, 120);
        QCOMPARE(f.ws->attributes().position, positions::Custom);
        QVERIFY(!f.window.anchorButton(positions::BottomRight)->isChecked());
    }

    void unhandledFailureShowsErrorBox()
    {
        WindowFixture f;
        f.ws->guarded([] { throw std::runtime_error("disk on fire"); });
        QCOMPARE(f.platform.prompts.shown.last(),
                 (test::ScriptedPrompts::Message{QStringLiteral("error"),
                                                 QStringLiteral("disk on fire")}));
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Orvane Tessarine"));
    }
};

TESS_TEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
