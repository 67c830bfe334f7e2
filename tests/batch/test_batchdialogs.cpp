#include "batch/BatchLog.h"
#include "batch/BatchSetup.h"
#include "batch/ui/Tbatchprocess.h"
#include "batch/ui/Tbatchstampform.h"
#include "metadata/PhotoFile.h"
#include "tests/batch/BatchTestSupport.h"
#include "tests/support/TestMain.h"
#include "tests/support/TestPhotos.h"
#include "tests/support/WorkspaceFixture.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QUrl>

using namespace tess;
using tess::batch::ui::Tbatchprocess;
using tess::batch::ui::Tbatchstampform;
using tess::test::WorkspaceFixture;

namespace {

/// The Batch Stamp dialog over a started workspace. The processing window is never shown:
/// \a onProcess plays what happens while it is open (by default, the run).
struct DialogFixture
{
    DialogFixture() : form(*f.ws)
    {
        f.ws->formCreate();
        form.setProcessRunner([this](Tbatchprocess& process) {
            ++processShown;
            if (onProcess)
                onProcess(process);
            else
                process.runBatch();
        });
    }

    QString folder(const QString& name)
    {
        const QString path = f.dir.filePath(name);
        QDir().mkpath(path);
        return path;
    }

    /// Fills the dialog through its handlers: files added and a destination chosen.
    void fill(const QStringList& files, const QString& destination)
    {
        f.platform.dialogs.openPhotosAnswers.enqueue(files);
        form.Button1Click();
        f.platform.dialogs.folderAnswers.enqueue(destination);
        form.SpeedButton2Click();
    }

    QString logPath() const { return f.platform.folders.dataFolder() + batch::BatchLogName; }

    WorkspaceFixture f;
    Tbatchstampform form;
    std::function<void(Tbatchprocess&)> onProcess;
    int processShown = 0;
};

/// The dialog as it opens: empty, "C&urrent Attributes" chosen.
void verifyCleared(const Tbatchstampform& form)
{
    QVERIFY(form.currentAttributesButton()->isChecked());
    QVERIFY(!form.savedProfileButton()->isChecked());
    QVERIFY(!form.profileBox()->isEnabled());
    QVERIFY(!form.profileBrowseButton()->isEnabled());
    QVERIFY(form.profileBox()->text().isEmpty());
    QVERIFY(form.destinationBox()->text().isEmpty());
    QCOMPARE(form.fileList()->count(), 0);
    QCOMPARE(form.fileCount()->text(), QStringLiteral("Files: 0"));
    QVERIFY(!form.overwriteBox()->isChecked());
}

template <typename W> QStringList textsOf(const QWidget& parent)
{
    QStringList texts;
    for (const W* w : parent.findChildren<W*>()) {
        if (w->window() == &parent) // not the processing window's
            texts.append(w->text());
    }
    return texts;
}

} // namespace

class TestBatchDialogs : public QObject
{
    Q_OBJECT
private slots:
    void setupCaptions()
    {
        DialogFixture d;
        const Tbatchstampform& form = d.form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Batch Stamp"));
        QStringList groups;
        for (const QGroupBox* g : form.findChildren<QGroupBox*>())
            groups.append(g->title());
        QCOMPARE(groups,
                 (QStringList{"Stamp Attributes", "Files to Process", "Destination Folder"}));
        QCOMPARE(textsOf<QRadioButton>(form),
                 (QStringList{"C&urrent Attributes", "&Saved Attributes Profile:"}));
        QCOMPARE(textsOf<QPushButton>(form),
                 (QStringList{"&Add Files", "&Remove File(s)", "Clear &List", "&OK", "&Cancel"}));
        QCOMPARE(form.overwriteBox()->text(), QStringLiteral("O&verwrite Existing Files"));
        QCOMPARE(form.profileBrowseButton()->text(), QStringLiteral("..."));
        QCOMPARE(form.destinationBrowseButton()->text(), QStringLiteral("..."));
        QVERIFY(form.fileCount()->font().bold());
        QVERIFY(form.profileBox()->isReadOnly());
        QVERIFY(form.destinationBox()->isReadOnly());
        QCOMPARE(form.fileList()->selectionMode(), QAbstractItemView::ExtendedSelection);
        verifyCleared(form);
    }

    void processCaptions()
    {
        DialogFixture d;
        const Tbatchprocess& process = d.form.processWindow();
        QCOMPARE(process.windowTitle(), QStringLiteral("Batch Stamp Processing"));
        QCOMPARE(process.stopButton()->text(), QStringLiteral("&STOP"));
        QCOMPARE(process.okButton()->text(), QStringLiteral("&OK"));
        QCOMPARE(process.stopButton()->geometry(), process.okButton()->geometry());
        QCOMPARE(process.logLink()->text(), QStringLiteral("View Result Log"));
        QCOMPARE(process.folderLink()->text(), QStringLiteral("Open Destination Folder"));
        for (const QLabel* link : {process.logLink(), process.folderLink()}) {
            QVERIFY(link->font().underline());
            QCOMPARE(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
            QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
        }
        QVERIFY(!process.progressBar()->isTextVisible());
    }

    void profileChoice()
    {
        DialogFixture d;
        d.form.RadioButton2Click();
        QVERIFY(d.form.profileBox()->isEnabled());
        QVERIFY(d.form.profileBrowseButton()->isEnabled());
        d.f.platform.dialogs.openProfileAnswers.enqueue(QStringLiteral("/profiles/night.tsrx"));
        d.form.SpeedButton1Click();
        QCOMPARE(d.form.profileBox()->text(), QStringLiteral("/profiles/night.tsrx"));
        QCOMPARE(d.f.platform.dialogs.asked.last(),
                 "openProfile Select a Orvane Tessarine Attributes " +
                     d.f.platform.folders.dataFolder());
        d.form.SpeedButton1Click(); // cancelled
        QCOMPARE(d.form.profileBox()->text(), QStringLiteral("/profiles/night.tsrx"));
        d.form.RadioButton1Click();
        QVERIFY(!d.form.profileBox()->isEnabled());
        QVERIFY(!d.form.profileBrowseButton()->isEnabled());
        QVERIFY(d.form.currentAttributesButton()->isChecked());
    }

    void missingInput_data()
    {
        QTest::addColumn<bool>("savedProfile");
        QTest::addColumn<QString>("profile");
        QTest::addColumn<int>("files");
        QTest::addColumn<QString>("destination");
        QTest::addColumn<QString>("message");
        const QString head = QStringLiteral(
            "The following information is missing.  Please correct in order to proceed: \n\n");
        const QString profile = QStringLiteral("- A valid attribute profile.\n");
        const QString files = QStringLiteral("- At least one JPEG file to process.\n");
        const QString folder = QStringLiteral("- A destination folder.\n");
        QTest::newRow("all three") << true << "" << 0 << "" << head + profile + files + folder;
        QTest::newRow("current attributes, nothing else")
            << false << "" << 0 << "" << head + files + folder;
        QTest::newRow("profile only") << true << "" << 2 << "/out/" << head + profile;
        QTest::newRow("no files") << true << "/p.tsrx" << 0 << "/out/" << head + files;
        QTest::newRow("no destination") << false << "" << 1 << "" << head + folder;
        QTest::newRow("complete with profile") << true << "/p.tsrx" << 1 << "/out/"
                                               << "";
        QTest::newRow("complete, profile box unused") << false << "" << 1 << "/out/"
                                                      << "";
    }
    void missingInput()
    {
        QFETCH(bool, savedProfile);
        QFETCH(QString, profile);
        QFETCH(int, files);
        QFETCH(QString, destination);
        QFETCH(QString, message);
        QCOMPARE(batch::missingBatchInput({savedProfile, profile, files, destination}), message);
    }

    /// OK with missing input shows the error box and keeps everything as it was.
    void okWithMissingInput()
    {
        DialogFixture d;
        d.form.RadioButton2Click();
        d.form.Button4Click();
        QCOMPARE(d.f.platform.prompts.shown.size(), 1);
        QCOMPARE(d.f.platform.prompts.shown[0].kind, QStringLiteral("error"));
        QCOMPARE(d.f.platform.prompts.shown[0].text,
                 QStringLiteral("The following information is missing.  Please correct in order "
                                "to proceed: \n\n- A valid attribute profile.\n- At least one "
                                "JPEG file to process.\n- A destination folder.\n"));
        QCOMPARE(d.processShown, 0);
        QVERIFY(d.form.savedProfileButton()->isChecked());
        QVERIFY(d.form.profileBox()->isEnabled());
    }

    /// The JPEG rule, for files from the open dialog and files dropped onto the list.
    void jpegRule_data()
    {
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("mixed-case Jpeg, PNG and folder")
            << QStringList{"/p/one.Jpeg", "/p/two.png", "/p/folder"} << QStringList{"/p/one.Jpeg"};
        QTest::newRow("upper and lower case") << QStringList{"/p/a.JPG", "/p/b.jpg", "/p/c.jPeG"}
                                              << QStringList{"/p/a.JPG", "/p/b.jpg", "/p/c.jPeG"};
        QTest::newRow("last extension counts")
            << QStringList{"/p/a.jpg.txt", "/p/b.txt.jpg", "/p/jpg", "/p/a.jp", "/p/a.jpeg2"}
            << QStringList{"/p/b.txt.jpg"};
        QTest::newRow("dot in a folder name")
            << QStringList{"/p.jpg/file", "C:\\p.jpg\\file"} << QStringList();
        QTest::newRow("duplicates kept")
            << QStringList{"/p/a.jpg", "/p/a.jpg"} << QStringList{"/p/a.jpg", "/p/a.jpg"};
    }
    void jpegRule()
    {
        QFETCH(QStringList, paths);
        QFETCH(QStringList, listed);
        QCOMPARE(batch::batchJpegFiles(paths), listed);
        DialogFixture d;
        d.form.ListBox1DropFiles(paths);
        QCOMPARE(d.form.files(), listed);
        QCOMPARE(d.form.fileCount()->text(), QStringLiteral("Files: %1").arg(listed.size()));
        d.f.platform.dialogs.openPhotosAnswers.enqueue(paths);
        d.form.Button1Click();
        QCOMPARE(d.form.files(), listed + listed);
        QCOMPARE(d.form.fileCount()->text(), QStringLiteral("Files: %1").arg(2 * listed.size()));
    }

    /// A real drop onto the list, a folder named like a photo among the files.
    void dropOntoList()
    {
        DialogFixture d;
        const QString folder = d.folder(QStringLiteral("photos.jpg"));
        const QString photo = d.f.dir.filePath(QStringLiteral("one.JPEG"));
        test::makeJpeg(photo, QSize(8, 8));
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(photo), QUrl::fromLocalFile(folder),
                      QUrl::fromLocalFile(d.f.dir.filePath(QStringLiteral("notes.txt")))});
        QWidget* viewport = d.form.fileList()->viewport();
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &drop);
        QCOMPARE(d.form.files(), QStringList{photo});
        QCOMPARE(d.form.fileCount()->text(), QStringLiteral("Files: 1"));
    }

    void addFilesDialog()
    {
        DialogFixture d;
        d.form.Button1Click(); // cancelled
        QCOMPARE(d.f.platform.dialogs.asked.last(),
                 "openPhotos " + d.f.platform.folders.dataFolder());
        QCOMPARE(d.form.fileCount()->text(), QStringLiteral("Files: 0"));
    }

    void removeSelected_data()
    {
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("three of five") << QList<int>{0, 2, 3} << QStringList{"/b.jpg", "/e.jpg"};
        QTest::newRow("none") << QList<int>{}
                              << QStringList{"/a.jpg", "/b.jpg", "/c.jpg", "/d.jpg", "/e.jpg"};
        QTest::newRow("all") << QList<int>{0, 1, 2, 3, 4} << QStringList{};
        QTest::newRow("last") << QList<int>{4}
                              << QStringList{"/a.jpg", "/b.jpg", "/c.jpg", "/d.jpg"};
    }
    void removeSelected()
    {
        QFETCH(QList<int>, selected);
        QFETCH(QStringList, left);
        DialogFixture d;
        d.form.ListBox1DropFiles({"/a.jpg", "/b.jpg", "/c.jpg", "/d.jpg", "/e.jpg"});
        for (int i : selected)
            d.form.fileList()->item(i)->setSelected(true);
        d.form.Button2Click();
        QCOMPARE(d.form.files(), left);
        QCOMPARE(d.form.fileCount()->text(), QStringLiteral("Files: %1").arg(left.size()));
        d.form.Button3Click();
        QCOMPARE(d.form.fileCount()->text(), QStringLiteral("Files: 0"));
        QCOMPARE(d.form.fileList()->count(), 0);
    }

    void itemToolTip()
    {
        DialogFixture d;
        d.form.ListBox1DropFiles({"/photos/a.jpg", "/photos/b.jpg"});
        d.form.fileList()->setCurrentRow(1);
        d.form.ListBox1Click();
        QCOMPARE(d.form.fileList()->toolTip(), QStringLiteral("/photos/b.jpg"));
    }

    void destinationFolder_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("box");
        QTest::newRow("folder") << "/data/out"
                                << "/data/out/";
        QTest::newRow("folder with separator") << "/data/out/"
                                               << "/data/out/";
        QTest::newRow("root") << "/"
                              << "/";
        QTest::newRow("doubled separators") << "/data//out//"
                                            << "/data/out/";
    }
    void destinationFolder()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, box);
        QCOMPARE(batch::normaliseDestinationFolder(chosen), box);
        DialogFixture d;
        d.f.platform.dialogs.folderAnswers.enqueue(chosen);
        d.form.SpeedButton2Click();
        QCOMPARE(d.form.destinationBox()->text(), box);
        QCOMPARE(d.f.platform.dialogs.asked.last(),
                 QStringLiteral("chooseFolder Select a Destination Folder "));
        d.form.SpeedButton2Click(); // cancelled
        QCOMPARE(d.form.destinationBox()->text(), box);
        QCOMPARE(d.f.platform.dialogs.asked.last(),
                 QStringLiteral("chooseFolder Select a Destination Folder ") + box);
    }

    /// OK with the current attributes, two files and a destination: the processing window
    /// opens prepared at 0 of 4, the run stamps both with the main window's settings, and
    /// the dialog comes back empty.
    void okRunsTheBatch()
    {
        DialogFixture d;
        StampAttributes& a = d.f.ws->mutableAttributes();
        a.fontName = QStringLiteral("DejaVu Sans");
        a.italic = true;
        a.bold = false;
        a.stampTexts = {{QStringLiteral("[p_filename]"), true}};
        const QString one = d.f.makePhoto(QStringLiteral("one.jpg"), QSize(80, 60));
        const QString two = d.f.makePhoto(QStringLiteral("two.jpg"), QSize(60, 80));
        const QString out = d.folder(QStringLiteral("out"));
        d.fill({one, two}, out);
        d.form.overwriteBox()->setChecked(true);
        d.onProcess = [&](Tbatchprocess& process) {
            QCOMPARE(process.progressBar()->maximum(), 4);
            QCOMPARE(process.progressBar()->value(), 0);
            QCOMPARE(process.statusLine()->text(), QStringLiteral("Processing...  Please Wait."));
            QVERIFY(!process.stopButton()->isHidden());
            QVERIFY(process.okButton()->isHidden());
            QVERIFY(process.logLink()->isHidden());
            QVERIFY(process.folderLink()->isHidden());
            QCOMPARE(process.run().job().files, (QStringList{one, two}));
            QCOMPARE(process.run().job().destinationFolder, out + u'/');
            QVERIFY(process.run().job().overwrite);
            QVERIFY(!process.run().job().useProfile);
            process.runBatch();
            QCOMPARE(process.progressBar()->value(), 4);
            QCOMPARE(process.statusLine()->text(),
                     QStringLiteral("2 of 2 photos have been stamped."));
            QVERIFY(process.stopButton()->isHidden());
            QVERIFY(!process.okButton()->isHidden());
            QVERIFY(!process.logLink()->isHidden());
            QVERIFY(!process.folderLink()->isHidden());
            QCOMPARE(process.run().settings().fontStyle, QStringLiteral("Italic"));
            process.Button2Click();
        };
        d.form.Button4Click();
        QCOMPARE(d.processShown, 1);
        QVERIFY(d.f.platform.prompts.shown.isEmpty());
        QVERIFY(metadata::loadPhoto(out + QStringLiteral("/one.jpg")).ok());
        QVERIFY(metadata::loadPhoto(out + QStringLiteral("/two.jpg")).ok());
        QCOMPARE(d.form.result(), int(QDialog::Accepted));
        verifyCleared(d.form);
    }

    /// The window's Save As and the batch with the current attributes write the same file,
    /// byte for byte: one renderer and one writer.
    void windowAndBatchWriteTheSameFile()
    {
        DialogFixture d;
        const QString photo = d.f.dir.filePath(QStringLiteral("Canon_40D.jpg"));
        QVERIFY(QFile::copy(test::cameraPhoto(QStringLiteral("Canon_40D.jpg")), photo));
        d.f.open(photo);
        QVERIFY(!d.f.ws->stampedPhoto().isNull());
        StampAttributes& a = d.f.ws->mutableAttributes();
        a.fontName = QStringLiteral("DejaVu Sans");
        a.fontSize = 9;
        a.proportionalSize = true;
        a.referenceHeight = 70;
        a.textColor = 0x0000FFFF;
        a.outlineColor = 0x00400000;
        a.outlineWidth = 2;
        a.opacity = 153;
        a.position = positions::TopRight;
        a.borderWidth = 3;
        a.effect = PhotoEffect::Sepia;
        a.sepiaLevel = 60;
        a.brightness = 300;
        a.contrast = 200;
        a.jpegQuality = 90;
        a.stampTexts = {{QStringLiteral("[make_exif] [model_exif]"), true},
                        {QStringLiteral("[p_filename] [p_width]x[p_height]"), true}};
        d.f.ws->renderFromMasks();
        const QString windowCopy = d.f.dir.filePath(QStringLiteral("window.jpg"));
        d.f.platform.dialogs.savePhotoAnswers.enqueue(windowCopy);
        d.f.ws->saveAs1Click();

        const QString out = d.folder(QStringLiteral("out"));
        d.fill({photo}, out);
        d.form.Button4Click();
        const QByteArray batchCopy = test::readBytes(out + QStringLiteral("/Canon_40D.jpg"));
        QVERIFY(!batchCopy.isEmpty());
        QCOMPARE(batchCopy, test::readBytes(windowCopy));
    }

    /// A profile that can't be read: the start line, the error box, the window closes; then
    /// the dialog clears itself.
    void failedStart()
    {
        DialogFixture d;
        const QString profile = d.f.dir.filePath(QStringLiteral("bad.tsrx"));
        test::writeBytes(profile, "not a profile\r\n");
        const QString photo = d.f.makePhoto(QStringLiteral("a.jpg"), QSize(40, 30));
        const QString out = d.folder(QStringLiteral("out"));
        d.form.RadioButton2Click();
        d.f.platform.dialogs.openProfileAnswers.enqueue(profile);
        d.form.SpeedButton1Click();
        d.fill({photo}, out);
        int closed = -1;
        d.onProcess = [&](Tbatchprocess& process) {
            QObject::connect(&process, &QDialog::finished, &process,
                             [&closed](int result) { closed = result; });
            process.runBatch();
        };
        d.form.Button4Click();
        QCOMPARE(closed, int(QDialog::Rejected));
        QCOMPARE(d.f.platform.prompts.texts(), QStringList{batch::CouldNotStart});
        QCOMPARE(d.f.platform.prompts.shown[0].kind, QStringLiteral("error"));
        QVERIFY(QDir(out).isEmpty());
        const QString log = QString::fromUtf8(test::readBytes(d.logPath()));
        QCOMPARE(log.count(QStringLiteral("\r\n")), 1);
        QVERIFY(log.endsWith(QStringLiteral(" - Orvane Tessarine Batch Process Started.\r\n")));
        verifyCleared(d.form);
    }

    /// The close box while the run goes on stops it after the photos in progress (the first
    /// one per worker); the window stays until the run has ended.
    void closeWhileRunning()
    {
        DialogFixture d;
        QStringList photos;
        for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
            photos.append(d.f.makePhoto(QString::fromLatin1(name), QSize(30, 20)));
        d.fill(photos, d.folder(QStringLiteral("out")));
        int closedDuringRun = 0;
        d.onProcess = [&](Tbatchprocess& process) {
            QObject::connect(&process.run(), &batch::BatchRun::changed, &process, [&] {
                if (process.run().status().startsWith(QStringLiteral("Processing 1 of")) &&
                    !process.run().stopRequested())
                    QMetaObject::invokeMethod(
                        &process, [&] { process.reject(); }, Qt::QueuedConnection);
            });
            QObject::connect(&process, &QDialog::finished, &process, [&] { ++closedDuringRun; });
            process.runBatch();
            QCOMPARE(closedDuringRun, 0);
            const int inHand = std::min(3, batch::BatchRun::workerCount(process.run().job()));
            QCOMPARE(process.statusLine()->text(),
                     QStringLiteral("%1 of 3 photos have been stamped.").arg(inHand));
            process.reject(); // now it closes
            QCOMPARE(closedDuringRun, 1);
        };
        d.form.Button4Click();
        const QString log = QString::fromUtf8(test::readBytes(d.logPath()));
        QVERIFY(
            log.contains(QStringLiteral(" - Orvane Tessarine Batch Process Stopped by User.\r\n")));
        QVERIFY(log.endsWith(QStringLiteral(" - Orvane Tessarine Batch Process Completed.\r\n")));
    }

    void cancelClears()
    {
        DialogFixture d;
        d.form.RadioButton2Click();
        d.f.platform.dialogs.openProfileAnswers.enqueue(QStringLiteral("/p.tsrx"));
        d.form.SpeedButton1Click();
        d.fill({"/a.jpg"}, QStringLiteral("/out"));
        d.form.overwriteBox()->setChecked(true);
        d.form.Button5Click();
        QCOMPARE(d.form.result(), int(QDialog::Rejected));
        QCOMPARE(d.processShown, 0);
        verifyCleared(d.form);
    }

    /// The close box keeps the dialog's contents for the next opening.
    void closeBoxKeepsContents()
    {
        DialogFixture d;
        d.fill({"/a.jpg", "/b.jpeg"}, QStringLiteral("/out"));
        d.form.reject();
        QCOMPARE(d.form.files(), (QStringList{"/a.jpg", "/b.jpeg"}));
        QCOMPARE(d.form.destinationBox()->text(), QStringLiteral("/out/"));
        QCOMPARE(d.form.fileCount()->text(), QStringLiteral("Files: 2"));
    }

    void viewResultLog_data()
    {
        QTest::addColumn<bool>("logExists");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QString>("told");
        QTest::newRow("opened") << true << true << QString();
        QTest::newRow("no log") << false << true << QStringLiteral("error: Log file not found.");
        QTest::newRow("no program opens it: its path is told")
            << true << false
            << QStringLiteral("information: No program could be started to open the file. "
                              "It is %1");
    }
    void viewResultLog()
    {
        QFETCH(bool, logExists);
        QFETCH(bool, opens);
        QFETCH(QString, told);
        DialogFixture d;
        QFile::remove(d.logPath());
        if (logExists)
            test::writeBytes(d.logPath(), "line\r\n");
        d.f.platform.shell.documentOpens = opens;
        d.form.processWindow().Label2Click();
        QStringList shown;
        for (const test::ScriptedPrompts::Message& m : d.f.platform.prompts.shown)
            shown.append(m.kind + QStringLiteral(": ") + m.text);
        QCOMPARE(shown, told.isEmpty() ? QStringList() : QStringList{told.arg(d.logPath())});
        QCOMPARE(d.f.platform.shell.documents,
                 logExists ? QStringList{d.logPath()} : QStringList());
    }

    void openDestinationFolder_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::newRow("existing folder") << true;
        QTest::newRow("folder gone") << false;
    }
    void openDestinationFolder()
    {
        QFETCH(bool, exists);
        DialogFixture d;
        const QString out = d.f.dir.filePath(QStringLiteral("out")) + u'/';
        if (exists)
            QDir().mkpath(out);
        batch::BatchJob job;
        job.destinationFolder = out;
        Tbatchprocess& process = d.form.processWindow();
        process.prepare(job);
        process.Label3Click();
        QCOMPARE(d.f.platform.prompts.texts(),
                 exists
                     ? QStringList()
                     : QStringList{QStringLiteral("The local folder specified does not exist.")});
        QCOMPARE(d.f.platform.shell.folders, exists ? QStringList{out} : QStringList());
    }
};

TESS_TEST_MAIN(TestBatchDialogs)
#include "test_batchdialogs.moc"
