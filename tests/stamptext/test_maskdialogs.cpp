#include "stamptext/StampMask.h"
#include "stamptext/ui/MaskLineEdit.h"
#include "stamptext/ui/SamplePreview.h"
#include "stamptext/ui/TForm13.h"
#include "stamptext/ui/Tstampmask.h"
#include "tests/support/TestMain.h"
#include "tests/support/WorkspaceFixture.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSet>

using namespace tess;
using namespace tess::stamptext::ui;
using tess::test::WorkspaceFixture;

namespace {

/// A dialog whose modal loop is replaced by a script of the user's actions, so that the
/// host-side code around the loop runs as in the program without waiting.
template <class Form> class Scripted : public Form
{
public:
    using Form::Form;
    std::function<void(Form&)> user;
    int exec() override
    {
        this->FormActivate();
        if (user)
            user(*this);
        return this->result();
    }
};

/// The main window's mask dialogs, with scripted modal loops.
class MaskWindows : public WorkspaceWindows
{
public:
    explicit MaskWindows(Workspace& ws) : editor(ws) {}
    Scripted<Tstampmask> editor;
    Scripted<TForm13> edit;

    void showOptions() override {}
    void showBrightnessContrast() override {}
    void showCustomOpacity() override {}
    void showSepiaLevel() override {}
    std::optional<QString> buildStampMask(const QString& mask) override
    {
        return editor.buildMask(mask);
    }
    QString editStampMask(const QString& text) override { return edit.editText(text); }
};

enum class Leave
{
    Ok,
    Cancel,
    Escape,
    CloseBox
};

QListWidgetItem* itemCalled(QListWidget* list, const QString& text)
{
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

} // namespace

class TestMaskDialogs : public QObject
{
    Q_OBJECT
private slots:
    void itemsCoverEveryTagOnce()
    {
        WorkspaceFixture f;
        Tstampmask editor(*f.ws);
        QCOMPARE(editor.lbStamps->count(), 37);
        QCOMPARE(editor.lbStamps->item(0)->text(),
                 QStringLiteral("Exif - Aperture: [aperture_exif]"));
        QCOMPARE(editor.lbStamps->item(19)->text(),
                 QStringLiteral("Exif - Original Date Time: [originaldatetime_exif]"));
        QCOMPARE(editor.lbStamps->item(36)->text(),
                 QStringLiteral("File Date/Time: [p_filedatetime]"));
        QSet<QString> tags;
        for (int i = 0; i < editor.lbStamps->count(); ++i) {
            const QString text = editor.lbStamps->item(i)->text();
            tags.insert(text.sliced(text.indexOf(u'[')));
        }
        const QStringList& all = stamptext::stampTags();
        QCOMPARE(tags, QSet<QString>(all.begin(), all.end()));
        QCOMPARE(editor.windowTitle(), QStringLiteral("Stamp Mask Editor"));
        QVERIFY(editor.edtStampMaskPreview->isReadOnly());
        QCOMPARE(editor.edtStampMaskPreview->focusPolicy(), Qt::NoFocus);
    }

    void add_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("selectionStart"); // -1: as the opening left it
        QTest::addColumn<int>("selectionLength");
        QTest::addColumn<QString>("item"); // empty: no item selected
        QTest::addColumn<bool>("doubleClick");
        QTest::addColumn<QString>("mask");
        QTest::newRow("double-click right after opening")
            << "x" << -1 << 0 << "Hour: [hh]" << true << "[hh]x";
        QTest::newRow("replaces the selection")
            << "Shot at noon" << 5 << 2 << "Hour: [hh]" << false << "Shot [hh] noon";
        QTest::newRow("at the caret") << "ab" << 1 << 0 << "Day: [dd]" << false << "a[dd]b";
        QTest::newRow("at the end") << "ab" << 2 << 0 << "Seconds: [ss]" << true << "ab[ss]";
        QTest::newRow("into an empty mask")
            << "" << -1 << 0 << "File Date/Time: [p_filedatetime]" << false << "[p_filedatetime]";
        QTest::newRow("no item selected")
            << "Shot at noon" << 5 << 2 << "" << false << "Shot at noon";
    }
    void add()
    {
        QFETCH(QString, field);
        QFETCH(int, selectionStart);
        QFETCH(int, selectionLength);
        QFETCH(QString, item);
        QFETCH(bool, doubleClick);
        QFETCH(QString, mask);
        WorkspaceFixture f;
        Tstampmask editor(*f.ws);
        // An earlier showing left another text, caret and selection behind.
        editor.setStampMaskField(QStringLiteral("earlier text"));
        editor.FormActivate();
        editor.edtStampMask->setSelection(3, 4);

        editor.setStampMaskField(field);
        editor.FormActivate();
        if (selectionStart >= 0)
            editor.edtStampMask->setSelection(selectionStart, selectionLength);
        QListWidgetItem* chosen = item.isEmpty() ? nullptr : itemCalled(editor.lbStamps, item);
        QVERIFY(item.isEmpty() || chosen);
        editor.lbStamps->setCurrentItem(chosen);
        if (doubleClick)
            emit editor.lbStamps->itemDoubleClicked(chosen);
        else
            editor.btnAddMAsk->click();
        QCOMPARE(editor.edtStampMask->text(), mask);
        QCOMPARE(editor.edtStampMaskPreview->text(), editor.buildSamplePreview(mask));
    }

    void showingReloadsAndEnterPressesNothing()
    {
        WorkspaceFixture f;
        Tstampmask editor(*f.ws);
        editor.setStampMaskField(QStringLiteral("x [ss]"));
        editor.show();
        QCOMPARE(editor.edtStampMask->text(), QStringLiteral("x [ss]"));
        QCOMPARE(editor.edtStampMaskPreview->text(), QStringLiteral("x 09"));
        for (QPushButton* button : {editor.btnAddMAsk, editor.Button1, editor.Button2})
            QVERIFY2(!button->isDefault(), qPrintable(button->text()));
        editor.lbStamps->setCurrentRow(0);
        editor.edtStampMask->setFocus();
        QTest::keyClick(editor.edtStampMask, Qt::Key_Return);
        QCOMPARE(editor.edtStampMask->text(), QStringLiteral("x [ss]"));
        QVERIFY(editor.isVisible());
        QVERIFY(!editor.handedMask());
        editor.hide();
    }

    void selectionSurvivesLeavingTheEdit()
    {
        MaskLineEdit edit;
        edit.setText(QStringLiteral("Shot at noon"));
        edit.show();
        edit.activateWindow();
        edit.setFocus();
        edit.setSelection(7, -2); // "at", caret before it
        QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
        QApplication::sendEvent(&edit, &out);
        QCOMPARE(edit.selectedText(), QStringLiteral("at"));
        QCOMPARE(edit.cursorPosition(), 5);
        edit.setSelection(2, 0);
        edit.setCursorPosition(9);
        QApplication::sendEvent(&edit, &out);
        QVERIFY(!edit.hasSelectedText());
        QCOMPARE(edit.cursorPosition(), 9);
    }

    void samplePreview_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<int>("formatIndex"); // for all four date fields
        QTest::addColumn<QString>("timeSeparator");
        QTest::addColumn<QString>("preview");
        QTest::newRow("date and make") << "Taken [dd]/[MM]/[yyyy] with [make_exif]" << 0 << ":"
                                       << "Taken 03/07/2008 with My Camera Make";
        QTest::newRow("light source") << "[lightsource_exif]" << 0 << ":"
                                      << "9";
        QTest::newRow("copyright") << "[copyright_exif]" << 0 << ":"
                                   << "\u00a9 2008";
        QTest::newRow("clock") << "[hh]:[mm]:[ss] [MM]" << 0 << ":"
                               << "14:05:09 07";
        QTest::newRow("exif tags in any case") << "[MAKE_Exif] [Model_exif]" << 0 << ":"
                                               << "My Camera Make My Camera Model";
        QTest::newRow("other tags exactly") << "[Mm] [DD] [P_WIDTH]" << 0 << ":"
                                            << "[Mm] [DD] [P_WIDTH]";
        QTest::newRow("picture and file") << "[p_width]x[p_height] [p_filename]" << 0 << ":"
                                          << "1024x768 my_photo.jpg";
        QTest::newRow("date time, index 0 is the EXIF form") << "[datetime_exif]" << 0 << "."
                                                             << "2008:07:03 14:05:09";
        QTest::newRow("date time, index 4") << "[datetime_exif]" << 4 << ":"
                                            << "07/03/2008 02:05:09 pm";
        QTest::newRow("original, index 2") << "[originaldatetime_exif]" << 2 << ":"
                                           << "2008-07-03";
        QTest::newRow("created, index 3, regional separator")
            << "[createddatetime_exif]" << 3 << "."
            << "14.05.09";
        QTest::newRow("file date, index 0 is the EXIF form") << "[p_filedatetime]" << 0 << "."
                                                             << "2008:07:03 14:05:09";
        QTest::newRow("file date, index 7") << "[p_filedatetime]" << 7 << ":"
                                            << "03-07-2008 14:05:09";
        QTest::newRow("index outside the table") << "<[datetime_exif]>" << 9 << ":"
                                                 << "<>";
    }
    void samplePreview()
    {
        QFETCH(QString, mask);
        QFETCH(int, formatIndex);
        QFETCH(QString, timeSeparator);
        QFETCH(QString, preview);
        WorkspaceFixture f;
        f.platform.clock.timeSep = timeSeparator;
        StampAttributes& a = f.ws->mutableAttributes();
        a.dateFormatDateTime = a.dateFormatOriginal = a.dateFormatCreated = a.dateFormatOther =
            formatIndex;
        Tstampmask editor(*f.ws);
        editor.setStampMaskField(mask);
        editor.FormActivate();
        QCOMPARE(editor.edtStampMaskPreview->text(), preview);
        // Typing refreshes it too.
        editor.edtStampMask->setText(QStringLiteral("[ss]"));
        QCOMPARE(editor.edtStampMaskPreview->text(), QStringLiteral("09"));
    }

    void showingAgainRefreshesThePreview()
    {
        WorkspaceFixture f;
        Tstampmask editor(*f.ws);
        editor.setStampMaskField(QStringLiteral("[datetime_exif] [mm]"));
        editor.FormActivate();
        QCOMPARE(editor.edtStampMaskPreview->text(), QStringLiteral("2008:07:03 14:05:09 05"));
        // Same text, but the Options dialog changed the format and time went on.
        f.ws->mutableAttributes().dateFormatDateTime = 2;
        f.platform.clock.time = f.platform.clock.time.addSecs(60);
        editor.FormActivate();
        QCOMPARE(editor.edtStampMaskPreview->text(), QStringLiteral("2008-07-03 06"));
    }

    void editorHandsTheMaskOver_data()
    {
        QTest::addColumn<int>("leaveHow");
        QTest::addColumn<QString>("field");
        QTest::newRow("OK") << int(Leave::Ok) << "Day [dd]";
        QTest::newRow("Cancel") << int(Leave::Cancel) << "Day ";
        QTest::newRow("close box") << int(Leave::CloseBox) << "Day ";
    }
    void editorHandsTheMaskOver()
    {
        QFETCH(int, leaveHow);
        QFETCH(QString, field);
        WorkspaceFixture f;
        MaskWindows windows(*f.ws);
        f.ws->setWindows(&windows);
        f.ws->setStampMaskField(QStringLiteral("Day "));
        windows.editor.user = [&](Tstampmask& editor) {
            QCOMPARE(editor.edtStampMask->text(), QStringLiteral("Day "));
            editor.edtStampMask->end(false);
            editor.lbStamps->setCurrentItem(itemCalled(editor.lbStamps, "Day: [dd]"));
            editor.btnAddMAsk->click();
            if (Leave(leaveHow) == Leave::Ok)
                editor.Button1->click();
            else if (Leave(leaveHow) == Leave::Cancel)
                editor.Button2->click();
            else
                editor.reject();
        };
        f.ws->speedButton2Click();
        QCOMPARE(f.ws->stampMaskField(), field);

        // The next showing starts again from the field's text.
        QString opened;
        windows.editor.user = [&](Tstampmask& editor) {
            opened = editor.edtStampMask->text();
            editor.Button2->click();
        };
        f.ws->speedButton2Click();
        QCOMPARE(opened, field);
        QCOMPARE(f.ws->stampMaskField(), field);
    }

    void editEntry_data()
    {
        QTest::addColumn<QString>("typed"); // what Edit1 holds when the user leaves
        QTest::addColumn<int>("leaveHow");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<bool>("rendered");
        QTest::newRow("all deleted, OK") << "" << int(Leave::Ok) << "Day [dd]" << false;
        QTest::newRow("all deleted, close box")
            << "" << int(Leave::CloseBox) << "Day [dd]" << false;
        QTest::newRow("changed, OK") << "Hour [hh]" << int(Leave::Ok) << "Hour [hh]" << true;
        QTest::newRow("changed, close box keeps the edit")
            << "Hour [hh]" << int(Leave::CloseBox) << "Hour [hh]" << true;
        QTest::newRow("changed, Cancel")
            << "Hour [hh]" << int(Leave::Cancel) << "Day [dd]" << false;
        QTest::newRow("changed, Esc cancels")
            << "Hour [hh]" << int(Leave::Escape) << "Day [dd]" << false;
    }
    void editEntry()
    {
        QFETCH(QString, typed);
        QFETCH(int, leaveHow);
        QFETCH(QString, mask);
        QFETCH(bool, rendered);
        WorkspaceFixture f;
        f.ws->formCreate();
        f.open(f.makePhoto(QStringLiteral("photo.jpg"), QSize(120, 80)));
        f.ws->setStampMaskField(QStringLiteral("Day [dd]"));
        f.ws->btnAddFiletoGridClick();
        f.ws->setSelectedEntry(0);
        const QStringList previewBefore = f.ws->textPreview();
        const qint64 stampedBefore = f.ws->stampedPhoto().cacheKey();

        MaskWindows windows(*f.ws);
        f.ws->setWindows(&windows);
        QString shownText;
        windows.edit.user = [&](TForm13& form) {
            shownText = form.Edit1->text();
            QCOMPARE(form.focusWidget(), static_cast<QWidget*>(form.Edit1));
            form.Edit1->setText(typed);
            switch (Leave(leaveHow)) {
            case Leave::Ok:
                form.Button1->click();
                break;
            case Leave::Cancel:
                form.Button2->click();
                break;
            case Leave::Escape:
                QTest::keyClick(&form, Qt::Key_Escape);
                break;
            case Leave::CloseBox:
                form.reject();
                break;
            }
        };
        f.ws->speedButton3Click();

        QCOMPARE(shownText, QStringLiteral("Day [dd]"));
        QCOMPARE(f.ws->attributes().stampTexts.size(), 1);
        QCOMPARE(f.ws->attributes().stampTexts[0].mask, mask);
        QVERIFY(f.ws->attributes().stampTexts[0].ticked);
        QCOMPARE(f.ws->stampedPhoto().cacheKey() != stampedBefore, rendered);
        if (!rendered)
            QCOMPARE(f.ws->textPreview(), previewBefore);
        // Emptied for the next use.
        QVERIFY(windows.edit.Edit1->text().isEmpty());
    }

    void editDialogFrame()
    {
        TForm13 form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Edit Stamp Mask Text"));
        QCOMPARE(form.Label1->text(), QStringLiteral("Stamp Mask:"));
        QVERIFY(form.Button1->isDefault());
        QCOMPARE(form.Button1->text(), QStringLiteral("&OK"));
        QCOMPARE(form.Button2->text(), QStringLiteral("&Cancel"));
        QCOMPARE(form.minimumSize(), form.maximumSize());
    }
};

TESS_TEST_MAIN(TestMaskDialogs)
#include "test_maskdialogs.moc"
