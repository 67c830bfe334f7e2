#include "profiles/ui/ClampingSpinBox.h"
#include "profiles/ui/Toptionform.h"
#include "tests/support/TestMain.h"
#include "tests/support/WorkspaceFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

using namespace tess;
using tess::profiles::ui::ClampingSpinBox;
using tess::profiles::ui::Toptionform;
using tess::test::WorkspaceFixture;

namespace {

/// Adds a ticked mask through the stamp mask field, as the user does it.
void addMask(WorkspaceFixture& f, const QString& mask)
{
    f.ws->setStampMaskField(mask);
    f.ws->btnAddFiletoGridClick();
}

/// The Options dialog over a started workspace, opened through the main window's command
/// with the user's actions played by the test (the dialog is never run modally).
struct OptionsFixture
{
    OptionsFixture() : form(*f.ws) { f.ws->formCreate(); }

    /// Options1Click; \a user acts on the dialog after it has been activated.
    void options(const std::function<void(Toptionform&)>& user)
    {
        f.windows.onOptions = [this, user](Workspace&) {
            form.prepareToShow();
            form.FormActivate();
            user(form);
        };
        f.ws->options1Click();
    }

    /// A photo with one ticked mask, so that every render writes a stamp line.
    void openStampedPhoto(QSize size, const QString& mask)
    {
        addMask(f, mask);
        f.open(f.makePhoto(QStringLiteral("photo.jpg"), size));
        QVERIFY(!f.ws->stampedPhoto().isNull());
        f.platform.prompts.clear(); // the loss question: adding the mask changed the photo
    }

    WorkspaceFixture f;
    Toptionform form;
};

QLineEdit* editOf(ClampingSpinBox* box)
{
    return box->findChild<QLineEdit*>();
}

/// Replaces the box's text by typing \a text, as the user would.
void typeInto(ClampingSpinBox* box, const QString& text)
{
    QLineEdit* edit = editOf(box);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
    QCOMPARE(edit->text(), text);
}

void leave(QWidget* box)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(box, &out);
}

QTreeWidgetItem* nodeAt(QTreeWidget* tree, int absoluteIndex)
{
    int i = 0;
    for (QTreeWidgetItemIterator it(tree); *it; ++it, ++i) {
        if (i == absoluteIndex)
            return *it;
    }
    return nullptr;
}

QString nodePath(QTreeWidgetItem* item)
{
    return item->parent() ? nodePath(item->parent()) + u'/' + item->text(0) : item->text(0);
}

template <typename W> QStringList textsOf(const QWidget& parent, QString (W::*text)() const)
{
    QStringList texts;
    for (const W* w : parent.findChildren<W*>())
        texts.append((w->*text)());
    return texts;
}

} // namespace

class TestOptionsDialog : public QObject
{
    Q_OBJECT
private slots:
    void captionsAndLists()
    {
        OptionsFixture o;
        const Toptionform& form = o.form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Options"));
        QStringList nodes;
        for (int i = 0; i < 4; ++i)
            nodes.append(nodePath(nodeAt(form.treeView(), i)));
        QCOMPARE(nodes, (QStringList{"EXIF Date Time Options", "General Options",
                                     "General Options/Photos", "General Options/Text"}));
        QVERIFY(!nodeAt(form.treeView(), 4));
        QStringList groups = textsOf(form, &QGroupBox::title);
        QStringList expectedGroups{"Field: EXIF Date Time",
                                   "Field: EXIF Original Date Time",
                                   "Field: EXIF Created Date Time",
                                   "Other Date Time Fields",
                                   "Settings Behavior",
                                   "JPEG Compression Settings",
                                   "Border Width for Corner Location of Stamp",
                                   "Font Size"};
        groups.sort();
        expectedGroups.sort();
        QCOMPARE(groups, expectedGroups);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(
                form.keepBox(i)->text(),
                (QStringList{"Keep Photo Effects on &Open", "Keep Photo Effects in &Batch Mode",
                             "Keep Photo Adjustments on O&pen",
                             "Keep Photo Adjustments in B&atch Mode"}[i]));
        QCOMPARE(form.qualityDefaultButton()->text(), QStringLiteral("D&efault"));
        QCOMPARE(form.keepOwnCompressionBox()->text().replace(u'\n', u' '),
                 QStringLiteral("Keep the photo's own compression outside the stamp"));
        QVERIFY(form.keepOwnCompressionBox()->toolTip().contains(
            QStringLiteral("The JPEG quality then applies only to the stamp's blocks.")));
        QCOMPARE(form.keepOwnCompressionBox()->parentWidget(),
                 form.qualityDefaultButton()->parentWidget()); // in the JPEG group
        QCOMPARE(form.borderDefaultButton()->text(), QStringLiteral("&Default"));
        QCOMPARE(form.useCurrentButton()->text(), QStringLiteral("&Use Current"));
        QCOMPARE(form.okButton()->text(), QStringLiteral("OK"));
        QCOMPARE(form.cancelButton()->text(), QStringLiteral("Cancel"));
        const QStringList labels = textsOf(form, &QLabel::text);
        for (const char* label :
             {"Set the Date and Time Format for Date Fields.", "Set General Options",
              "Set Photo Options", "Set Text Stamp Options", "Preview:", "Format:", "Lower quality",
              "Smaller file size", "Higher quality", "Larger file size", "Width:", "Pixels",
              "Proportional:", "Photo Height:"})
            QVERIFY2(labels.contains(QString::fromLatin1(label)), label);
        QCOMPARE(labels.count(QStringLiteral("Preview:")), 4);

        const QStringList formats{"Default",        "YYYY-MM-DD HH:MM:SS",       "YYYY-MM-DD",
                                  "HH:MM:SS",       "MM/DD/YYYY HH:MM:SS am/pm", "MM/DD/YYYY",
                                  "HH:MM:SS am/pm", "DD-MM-YYYY  HH:MM:SS",      "DD-MM-YYYY"};
        for (int i = 0; i < 4; ++i) {
            QComboBox* list = form.dateList(i);
            QVERIFY(!list->isEditable());
            QStringList items;
            for (int k = 0; k < list->count(); ++k)
                items.append(list->itemText(k));
            QCOMPARE(items, formats);
            QVERIFY(form.datePreview(i)->isReadOnly());
        }
        QCOMPARE(form.qualityTrackBar()->minimum(), 1);
        QCOMPARE(form.qualityTrackBar()->maximum(), 100);
        QCOMPARE(form.qualityTrackBar()->tickInterval(), 10);
        QCOMPARE(form.borderBox()->minimum(), 0);
        QCOMPARE(form.borderBox()->maximum(), 100);
        QCOMPARE(form.photoHeightBox()->minimum(), 1);
        QCOMPARE(form.photoHeightBox()->maximum(), 999999);
    }

    void activationLoadsStoredValues_data()
    {
        QTest::addColumn<QString>("keep");
        QTest::addColumn<QList<bool>>("boxes");
        QTest::addColumn<bool>("proportional");
        QTest::addColumn<int>("height");
        QTest::addColumn<QList<int>>("formats");
        QTest::addColumn<int>("border");
        QTest::addColumn<int>("quality");
        QTest::newRow("start values") << "1111" << QList<bool>{true, true, true, true} << false
                                      << 768 << QList<int>{0, 0, 0, 0} << 5 << 95;
        QTest::newRow("every field changed") << "0101" << QList<bool>{false, true, false, true}
                                             << true << 1200 << QList<int>{1, 4, 7, 8} << 0 << 1;
        QTest::newRow("flags not made of 1 and 0")
            << "1x1" << QList<bool>{true, false, true, false} << false << 999999
            << QList<int>{8, 0, 3, 6} << 100 << 100;
    }
    void activationLoadsStoredValues()
    {
        QFETCH(QString, keep);
        QFETCH(QList<bool>, boxes);
        QFETCH(bool, proportional);
        QFETCH(int, height);
        QFETCH(QList<int>, formats);
        QFETCH(int, border);
        QFETCH(int, quality);
        OptionsFixture o;
        StampAttributes& a = o.f.ws->mutableAttributes();
        a.keepFlags = keep;
        a.proportionalSize = proportional;
        a.referenceHeight = height;
        a.dateFormatDateTime = formats[0];
        a.dateFormatOriginal = formats[1];
        a.dateFormatCreated = formats[2];
        a.dateFormatOther = formats[3];
        a.borderWidth = border;
        a.jpegQuality = quality;

        // Leftovers of an earlier, cancelled opening must not show.
        Toptionform& form = o.form;
        form.treeView()->setCurrentItem(nodeAt(form.treeView(), 3));
        for (int i = 0; i < 4; ++i) {
            form.keepBox(i)->setChecked(!boxes[i]);
            form.dateList(i)->setCurrentIndex((formats[i] + 1) % 9);
        }
        form.proportionalBox()->setChecked(!proportional);
        form.qualityTrackBar()->setValue(quality == 50 ? 51 : 50);
        typeInto(form.borderBox(), QStringLiteral("33"));

        form.FormActivate();
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(form.keepBox(i)->isChecked(), boxes[i]);
            QCOMPARE(form.dateList(i)->currentIndex(), formats[i]);
        }
        QCOMPARE(form.proportionalBox()->isChecked(), proportional);
        QCOMPARE(form.photoHeightBox()->value(), height);
        QCOMPARE(form.borderBox()->value(), border);
        QCOMPARE(editOf(form.borderBox())->text(), QString::number(border));
        QCOMPARE(form.qualityTrackBar()->value(), quality);
        QCOMPARE(form.qualityNumber()->text(), QString::number(quality));
        QCOMPARE(form.shownPage(), 0);
        QCOMPARE(form.treeView()->currentItem(), nodeAt(form.treeView(), 0));
        QVERIFY(nodeAt(form.treeView(), 1)->isExpanded());
        QCOMPARE(o.f.ws->attributes().keepFlags, keep); // activation writes nothing
    }

    void treeNodeShowsItsPage_data()
    {
        QTest::addColumn<int>("node");
        QTest::newRow("EXIF Date Time Options") << 0;
        QTest::newRow("General Options") << 1;
        QTest::newRow("Photos") << 2;
        QTest::newRow("Text") << 3;
    }
    void treeNodeShowsItsPage()
    {
        QFETCH(int, node);
        OptionsFixture o;
        o.form.FormActivate();
        o.form.treeView()->setCurrentItem(nodeAt(o.form.treeView(), (node + 1) % 4));
        o.form.treeView()->setCurrentItem(nodeAt(o.form.treeView(), node));
        QCOMPARE(o.form.shownPage(), node);
        o.form.FormActivate();
        QCOMPARE(o.form.shownPage(), 0);
    }

    void closingWithoutOk_data()
    {
        QTest::addColumn<bool>("cancelButton");
        QTest::addColumn<bool>("expectRebuilt");
        QTest::newRow("Cancel") << true << false;
        // The close box applies nothing, but the main window rebuilds the photo values and
        // renders again with the unchanged settings.
        QTest::newRow("close box") << false << true;
    }
    void closingWithoutOk()
    {
        QFETCH(bool, cancelButton);
        QFETCH(bool, expectRebuilt);
        OptionsFixture o;
        o.openStampedPhoto(QSize(80, 60), QStringLiteral("[p_filedatetime] [p_height]"));
        const StampAttributes before = o.f.ws->attributes();
        const QImage stamped = o.f.ws->stampedPhoto();
        const QStringList preview = o.f.ws->textPreview();
        const bool changed = o.f.ws->photoChanged();
        o.f.ws->setStampMaskField(QStringLiteral("[p_width] typed, not added"));

        o.options([&](Toptionform& form) {
            for (int i = 0; i < 4; ++i) {
                form.keepBox(i)->setChecked(false);
                form.dateList(i)->setCurrentIndex(i + 2);
            }
            form.qualityTrackBar()->setValue(10);
            form.qualityDefaultButton()->click();
            form.qualityTrackBar()->setValue(20);
            typeInto(form.borderBox(), QStringLiteral("77"));
            leave(form.borderBox());
            form.proportionalBox()->setChecked(true);
            form.useCurrentButton()->click();
            typeInto(form.photoHeightBox(), QStringLiteral("500"));
            if (cancelButton)
                form.cancelButton()->click();
            else
                form.reject();
        });
        QCOMPARE(o.f.ws->dialogCancelled(), cancelButton);
        QCOMPARE(o.f.ws->attributes(), before);
        QCOMPARE(o.f.ws->stampedPhoto(), stamped);
        QCOMPARE(o.f.ws->textPreview(), preview);
        QCOMPARE(o.f.ws->photoChanged(), changed);
        // Rebuilding the photo value table empties the stamp mask field.
        QCOMPARE(o.f.ws->stampMaskField().isEmpty(), expectRebuilt);

        // The next opening shows the stored values again.
        o.options([&](Toptionform& form) {
            QCOMPARE(form.keepBox(0)->isChecked(), true);
            QCOMPARE(form.dateList(3)->currentIndex(), before.dateFormatOther);
            QCOMPARE(form.qualityTrackBar()->value(), before.jpegQuality);
            QCOMPARE(form.borderBox()->value(), before.borderWidth);
            QCOMPARE(form.proportionalBox()->isChecked(), before.proportionalSize);
            QCOMPARE(form.photoHeightBox()->value(), before.referenceHeight);
            form.cancelButton()->click();
        });
        QCOMPARE(o.f.ws->attributes(), before);
    }

    void keepFlagsOnOk_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("toggle"); // keep box to click, -1 for none
        QTest::addColumn<QString>("expected");
        QTest::newRow("uncheck only batch effects") << "1111" << 1 << "1011";
        QTest::newRow("unchanged") << "1111" << -1 << "1111";
        QTest::newRow("check only batch adjustments") << "0000" << 3 << "0001";
        QTest::newRow("uncheck effects on open") << "1111" << 0 << "0111";
        QTest::newRow("short flags become four") << "10" << -1 << "1000";
        QTest::newRow("odd characters count as 0") << "1x11" << -1 << "1011";
    }
    void keepFlagsOnOk()
    {
        QFETCH(QString, stored);
        QFETCH(int, toggle);
        QFETCH(QString, expected);
        OptionsFixture o;
        o.f.ws->mutableAttributes().keepFlags = stored;
        o.options([&](Toptionform& form) {
            if (toggle >= 0)
                form.keepBox(toggle)->click();
            form.okButton()->click();
        });
        QVERIFY(!o.f.ws->dialogCancelled());
        QCOMPARE(o.f.ws->attributes().keepFlags, expected);
    }

    /// The choice lives outside the attributes; only OK stores it.
    void keepOwnCompressionOnOk_data()
    {
        QTest::addColumn<bool>("stored");
        QTest::addColumn<bool>("click");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<bool>("expected");
        QTest::newRow("ticked and OK") << false << true << true << true;
        QTest::newRow("shown as stored, OK") << true << false << true << true;
        QTest::newRow("unticked and OK") << true << true << true << false;
        QTest::newRow("ticked and Cancel") << false << true << false << false;
    }
    void keepOwnCompressionOnOk()
    {
        QFETCH(bool, stored);
        QFETCH(bool, click);
        QFETCH(bool, ok);
        QFETCH(bool, expected);
        OptionsFixture o;
        o.f.ws->setSaveOptions({stored});
        const StampAttributes before = o.f.ws->attributes();
        o.options([&](Toptionform& form) {
            QCOMPARE(form.keepOwnCompressionBox()->isChecked(), stored);
            if (click)
                form.keepOwnCompressionBox()->click();
            (ok ? form.okButton() : form.cancelButton())->click();
        });
        QCOMPARE(o.f.ws->saveOptions().keepOwnCompression, expected);
        QCOMPARE(o.f.ws->attributes().keepFlags, before.keepFlags);
    }

    void spinBoxSettlesTypedText_data()
    {
        QTest::addColumn<bool>("heightBox");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("expected");
        QTest::addColumn<bool>("leaveFirst");
        struct Case
        {
            const char* name;
            bool height;
            const char* typed;
            int expected;
        };
        const Case cases[] = {
            {"border 250", false, "250", 100},
            {"border empty", false, "", 0},
            {"border 42", false, "42", 42},
            {"border not a number", false, "abc", 0},
            {"border negative", false, "-3", 0},
            {"border too many digits", false, "99999999999", 100},
            {"height 0", true, "0", 1},
            {"height empty", true, "", 1},
            {"height 3000", true, "3000", 3000},
            {"height above the range", true, "1234567", 999999},
            {"height with blanks", true, " 12 ", 12},
        };
        for (const Case& c : cases) {
            for (bool leaveFirst : {true, false}) {
                const QByteArray name =
                    QByteArray(c.name) + (leaveFirst ? " / focus lost" : " / OK at once");
                QTest::newRow(name.constData())
                    << c.height << QString::fromLatin1(c.typed) << c.expected << leaveFirst;
            }
        }
    }
    void spinBoxSettlesTypedText()
    {
        QFETCH(bool, heightBox);
        QFETCH(QString, typed);
        QFETCH(int, expected);
        QFETCH(bool, leaveFirst);
        OptionsFixture o;
        o.options([&](Toptionform& form) {
            ClampingSpinBox* box = heightBox ? form.photoHeightBox() : form.borderBox();
            typeInto(box, typed);
            if (leaveFirst) {
                leave(box);
                QCOMPARE(box->value(), expected);
                QCOMPARE(editOf(box)->text(), QString::number(expected));
            }
            form.okButton()->click();
        });
        const StampAttributes& a = o.f.ws->attributes();
        QCOMPARE(heightBox ? a.referenceHeight : a.borderWidth, expected);
    }

    void useCurrent_data()
    {
        QTest::addColumn<int>("photoHeight"); // 0 for no photo
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("stored");
        QTest::newRow("3000-pixel-high photo") << 3000 << true << 3000;
        QTest::newRow("no photo") << 0 << false << 768;
    }
    void useCurrent()
    {
        QFETCH(int, photoHeight);
        QFETCH(bool, enabled);
        QFETCH(int, stored);
        OptionsFixture o;
        if (photoHeight > 0)
            o.openStampedPhoto(QSize(40, photoHeight), QStringLiteral("[p_width]"));
        o.options([&](Toptionform& form) {
            QCOMPARE(form.useCurrentButton()->isEnabled(), enabled);
            QCOMPARE(form.photoHeightBox()->value(), 768);
            form.useCurrentButton()->click();
            QCOMPARE(form.photoHeightBox()->value(), stored);
            form.okButton()->click();
        });
        QCOMPARE(o.f.ws->attributes().referenceHeight, stored);
    }

    void previewsFollowTheLists_data()
    {
        QTest::addColumn<int>("list");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("dateSeparator");
        QTest::addColumn<QString>("timeSeparator");
        QTest::addColumn<QString>("expected");
        // The scripted clock stands at 3 July 2008, 14:05:09.
        QTest::newRow("Default") << 1 << 0 << "/"
                                 << ":"
                                 << "2008:07:03 14:05:09";
        QTest::newRow("Default, time separator .") << 0 << 0 << "/"
                                                   << "."
                                                   << "2008.07.03 14.05.09";
        QTest::newRow("YYYY-MM-DD HH:MM:SS") << 2 << 1 << "/"
                                             << ":"
                                             << "2008-07-03 14:05:09";
        QTest::newRow("YYYY-MM-DD") << 3 << 2 << "/"
                                    << ":"
                                    << "2008-07-03";
        QTest::newRow("HH:MM:SS") << 0 << 3 << "/"
                                  << ":"
                                  << "14:05:09";
        QTest::newRow("MM/DD/YYYY HH:MM:SS am/pm") << 1 << 4 << "/"
                                                   << ":"
                                                   << "07/03/2008 02:05:09 pm";
        QTest::newRow("MM/DD/YYYY for EXIF Date Time") << 0 << 5 << "/"
                                                       << ":"
                                                       << "07/03/2008";
        QTest::newRow("MM/DD/YYYY, date separator -") << 0 << 5 << "-"
                                                      << ":"
                                                      << "07-03-2008";
        QTest::newRow("HH:MM:SS am/pm") << 2 << 6 << "/"
                                        << ":"
                                        << "02:05:09 pm";
        QTest::newRow("DD-MM-YYYY  HH:MM:SS") << 3 << 7 << "/"
                                              << ":"
                                              << "03-07-2008 14:05:09";
        QTest::newRow("DD-MM-YYYY") << 3 << 8 << "."
                                    << "."
                                    << "03-07-2008";
    }
    void previewsFollowTheLists()
    {
        QFETCH(int, list);
        QFETCH(int, index);
        QFETCH(QString, dateSeparator);
        QFETCH(QString, timeSeparator);
        QFETCH(QString, expected);
        OptionsFixture o;
        o.f.platform.clock.date = dateSeparator;
        o.f.platform.clock.timeSep = timeSeparator;
        o.openStampedPhoto(QSize(64, 48), QStringLiteral("[p_filedatetime]"));
        const StampAttributes before = o.f.ws->attributes();
        const QImage stamped = o.f.ws->stampedPhoto();
        o.options([&](Toptionform& form) {
            const QString& t = timeSeparator;
            const QString defaultText = "2008" + t + "07" + t + "03 14" + t + "05" + t + "09";
            QCOMPARE(form.datePreview(list)->text(), defaultText);
            form.dateList(list)->setCurrentIndex(index);
            QCOMPARE(form.datePreview(list)->text(), expected);
            for (int other = 0; other < 4; ++other) {
                if (other != list)
                    QCOMPARE(form.datePreview(other)->text(), defaultText);
            }
            // Nothing takes effect before OK.
            QCOMPARE(o.f.ws->attributes(), before);
            QCOMPARE(o.f.ws->stampedPhoto(), stamped);
            form.cancelButton()->click();
        });
    }

    void okAppliesDateFormatsAndRendersAgain_data()
    {
        QTest::addColumn<bool>("photoOpen");
        QTest::newRow("photo open") << true;
        QTest::newRow("no photo open") << false;
    }
    void okAppliesDateFormatsAndRendersAgain()
    {
        QFETCH(bool, photoOpen);
        OptionsFixture o;
        if (photoOpen)
            o.openStampedPhoto(QSize(160, 60), QStringLiteral("[p_filedatetime]"));
        const QImage stamped = o.f.ws->stampedPhoto();
        static const QRegularExpression defaultForm(
            QStringLiteral("^\\d{4}:\\d{2}:\\d{2} \\d{2}:\\d{2}:\\d{2}$"));
        if (photoOpen)
            QVERIFY(defaultForm.match(o.f.ws->textPreview().value(0)).hasMatch());

        o.options([&](Toptionform& form) {
            form.dateList(0)->setCurrentIndex(5);
            form.dateList(1)->setCurrentIndex(1);
            form.dateList(2)->setCurrentIndex(8);
            form.dateList(3)->setCurrentIndex(2);
            form.qualityTrackBar()->setValue(40);
            QCOMPARE(form.qualityNumber()->text(), QStringLiteral("40"));
            typeInto(form.borderBox(), QStringLiteral("12"));
            form.proportionalBox()->setChecked(true);
            form.okButton()->click();
        });
        const StampAttributes& a = o.f.ws->attributes();
        QCOMPARE(a.dateFormatDateTime, 5);
        QCOMPARE(a.dateFormatOriginal, 1);
        QCOMPARE(a.dateFormatCreated, 8);
        QCOMPARE(a.dateFormatOther, 2);
        QCOMPARE(a.jpegQuality, 40);
        QCOMPARE(a.borderWidth, 12);
        QVERIFY(a.proportionalSize);
        QVERIFY(!o.f.ws->dialogCancelled());
        QCOMPARE(o.f.platform.prompts.texts(), QStringList());
        if (photoOpen) {
            static const QRegularExpression isoDate(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
            QVERIFY2(isoDate.match(o.f.ws->textPreview().value(0)).hasMatch(),
                     qPrintable(o.f.ws->textPreview().value(0)));
            QVERIFY(o.f.ws->stampedPhoto() != stamped);
        } else {
            QVERIFY(o.f.ws->stampedPhoto().isNull());
            QVERIFY(!o.f.ws->photoValues());
            QVERIFY(o.f.ws->textPreview().isEmpty());
        }
    }

    void defaultButtons()
    {
        OptionsFixture o;
        o.options([&](Toptionform& form) {
            form.qualityTrackBar()->setValue(12);
            QCOMPARE(form.qualityNumber()->text(), QStringLiteral("12"));
            form.qualityDefaultButton()->click();
            QCOMPARE(form.qualityTrackBar()->value(), 95);
            QCOMPARE(form.qualityNumber()->text(), QStringLiteral("95"));
            typeInto(form.borderBox(), QStringLiteral("60"));
            leave(form.borderBox());
            form.borderDefaultButton()->click();
            QCOMPARE(form.borderBox()->value(), 5);
            form.okButton()->click();
        });
        QCOMPARE(o.f.ws->attributes().jpegQuality, 95);
        QCOMPARE(o.f.ws->attributes().borderWidth, 5);
    }

    void indexOutsideTheTableIsKept()
    {
        // A profile may hold any number; a list that shows no item leaves it as it was.
        OptionsFixture o;
        o.f.ws->mutableAttributes().dateFormatCreated = 12;
        o.options([&](Toptionform& form) {
            QCOMPARE(form.dateList(2)->currentIndex(), -1);
            QVERIFY(form.datePreview(2)->text().isEmpty());
            form.dateList(0)->setCurrentIndex(3);
            form.okButton()->click();
        });
        QCOMPARE(o.f.ws->attributes().dateFormatCreated, 12);
        QCOMPARE(o.f.ws->attributes().dateFormatDateTime, 3);
    }
};

TESS_TEST_MAIN(TestOptionsDialog)
#include "test_optionsdialog.moc"
