#include "platform/qt/FontDialog.h"
#include "platform/qt/PhotoFileDialog.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMain.h"

#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

using namespace tess;
using platform::FontChoice;
using platform::FontDialog;

Q_DECLARE_METATYPE(FontChoice)

class TestQtDialogs : public QObject
{
    Q_OBJECT
private slots:
    /// Save As names the file it writes: only existing folders, and always a JPEG name.
    void saveAsName_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected"); // empty: the dialog refuses the name
        QTest::newRow("jpg kept") << "x.jpg"
                                  << "x.jpg";
        QTest::newRow("jpeg in capitals kept") << "x.JPEG"
                                               << "x.JPEG";
        QTest::newRow("no extension") << "x"
                                      << "x.jpg";
        QTest::newRow("another format's extension") << "x.png"
                                                    << "x.png.jpg";
        QTest::newRow("a dot in the name") << "trip.2024"
                                           << "trip.2024.jpg";
        QTest::newRow("trailing dot") << "x."
                                      << "x.jpg";
        QTest::newRow("folder that does not exist") << "missing/x.jpg"
                                                    << "";
        QTest::newRow("below a regular file") << "notes.txt/x.jpg"
                                              << "";
    }
    void saveAsName()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QVERIFY(!test::writeFile(dir, QStringLiteral("notes.txt"), "notes").isEmpty());
        const std::optional<QString> target = platform::photoSaveTarget(dir.filePath(typed));
        if (expected.isEmpty()) {
            QVERIFY(!target);
            return;
        }
        QCOMPARE(target.value_or(QString()), dir.filePath(expected));

        // The real dialog, the name typed into its name box and Save pressed.
        platform::PhotoSaveDialog dialog(nullptr, dir.path());
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        name->setText(typed);
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.selectedFiles(), QStringList{dir.filePath(expected)});
    }

    /// The Open dialog starts on the last chosen file, in its folder, wherever that is.
    void openStartsOnLastFile_data()
    {
        QTest::addColumn<QString>("last"); // relative to the temporary folder
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("selected");
        QTest::newRow("no file chosen yet") << ""
                                            << "data"
                                            << "";
        QTest::newRow("last file in the data folder") << "data/a.jpg"
                                                      << "data"
                                                      << "data/a.jpg";
        QTest::newRow("last file elsewhere") << "other/b.jpg"
                                             << "other"
                                             << "other/b.jpg";
        QTest::newRow("its folder is gone") << "gone/c.jpg"
                                            << "data"
                                            << "";
    }
    void openStartsOnLastFile()
    {
        QFETCH(QString, last);
        QFETCH(QString, folder);
        QFETCH(QString, selected);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("data")));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("other")));
        for (const char* file : {"data/a.jpg", "other/b.jpg"})
            QVERIFY(!test::writeFile(dir, QString::fromLatin1(file), "").isEmpty());
        platform::PhotoFileDialog dialog(nullptr, dir.filePath(QStringLiteral("data")),
                                         last.isEmpty() ? QString() : dir.filePath(last));
        QCOMPARE(dialog.directory().absolutePath(), dir.filePath(folder));
        const QString name = selected.isEmpty() ? QString() : QFileInfo(selected).fileName();
        QCOMPARE(dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text(), name);
    }

    /// The font dialog returns what it was started with unless the user changes it, and
    /// accepts only an installed face and a size in range.
    void fontDialog_data()
    {
        QTest::addColumn<FontChoice>("start");
        QTest::addColumn<QString>("typedFace"); // empty: left as it was
        QTest::addColumn<QString>("typedSize");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<FontChoice>("expected");
        const QString sans = QStringLiteral("DejaVu Sans");
        const FontChoice regular{sans, 12, false, false};
        const FontChoice boldItalic{sans, 40, true, true};
        QTest::newRow("regular unchanged") << regular << ""
                                           << "" << true << regular;
        QTest::newRow("italic unchanged") << FontChoice{sans, 9, false, true} << ""
                                          << "" << true << FontChoice{sans, 9, false, true};
        QTest::newRow("bold unchanged") << FontChoice{sans, 72, true, false} << ""
                                        << "" << true << FontChoice{sans, 72, true, false};
        QTest::newRow("bold italic unchanged") << boldItalic << ""
                                               << "" << true << boldItalic;
        QTest::newRow("face typed in other case")
            << boldItalic << "dejavu serif"
            << "" << true << FontChoice{QStringLiteral("DejaVu Serif"), 40, true, true};
        QTest::newRow("size typed beyond the list")
            << regular << ""
            << "300" << true << FontChoice{sans, 300, false, false};
        QTest::newRow("face not installed") << regular << "No Such Font 123"
                                            << "" << false << FontChoice{};
        QTest::newRow("face only begun") << regular << "DejaVu Se"
                                         << "" << false << FontChoice{};
        QTest::newRow("size 0") << regular << ""
                                << "0" << false << FontChoice{};
        QTest::newRow("size beyond the largest") << regular << ""
                                                 << "1639" << false << FontChoice{};
    }
    void fontDialog()
    {
        QFETCH(FontChoice, start);
        QFETCH(QString, typedFace);
        QFETCH(QString, typedSize);
        QFETCH(bool, accepted);
        QFETCH(FontChoice, expected);
        QVERIFY2(FontDialog::scalableFaces().contains(start.face), qPrintable(start.face));
        FontDialog dialog(start);
        if (!typedFace.isEmpty()) {
            dialog.faceEdit()->clear();
            QTest::keyClicks(dialog.faceEdit(), typedFace);
        }
        if (!typedSize.isEmpty()) {
            dialog.sizeEdit()->clear();
            QTest::keyClicks(dialog.sizeEdit(), typedSize);
        }
        QCOMPARE(dialog.okButton()->isEnabled(), accepted);
        if (accepted)
            QCOMPARE(dialog.choice(), expected);
    }
};

TESS_TEST_MAIN(TestQtDialogs)
#include "test_qtdialogs.moc"
