#include "adjust/PixelEffects.h"
#include "adjust/ui/TForm16.h"
#include "adjust/ui/TOpacity_form.h"
#include "adjust/ui/TSepia_form.h"
#include "tests/support/TestMain.h"
#include "tests/support/WorkspaceFixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <cmath>

using namespace tess;
using namespace tess::adjust::ui;
using tess::test::WorkspaceFixture;

Q_DECLARE_METATYPE(tess::EffectItem)
Q_DECLARE_METATYPE(tess::OpacityItem)

namespace {

/// What the user does in an open dialog before it closes.
enum class Leave
{
    Ok,
    Cancel,
    Escape,
    CloseBox
};

/// A workspace with a colourful photo open, not square, so scaling and colour both show.
struct OpenPhoto : WorkspaceFixture
{
    OpenPhoto()
    {
        ws->formCreate();
        open(makePhoto(QStringLiteral("gradient.jpg"), QSize(320, 200)));
    }
};

/// The preview TForm16 should show: the adjusted base photo scaled into the preview area.
QImage expectedPreview(const Workspace& ws, const TForm16& form, int brightness, int contrast)
{
    const StampAttributes& a = ws.attributes();
    const QImage adjusted = adjust::applyPhotoAdjustments(
        ws.basePhoto(), a.effect, quint8(a.sepiaLevel), brightness, contrast);
    return adjusted.scaled(form.ScrollBox1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

bool isGrey(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qRed(p) != qGreen(p) || qGreen(p) != qBlue(p))
                return false;
        }
    return true;
}

void leave(QDialog& dialog, QPushButton* ok, QPushButton* cancel, Leave how)
{
    switch (how) {
    case Leave::Ok:
        ok->click();
        break;
    case Leave::Cancel:
        cancel->click();
        break;
    case Leave::Escape:
        QTest::keyClick(&dialog, Qt::Key_Escape);
        break;
    case Leave::CloseBox:
        // The close box rejects the dialog without pressing any button.
        dialog.reject();
        break;
    }
}

} // namespace

class TestAdjustDialogs : public QObject
{
    Q_OBJECT
private slots:
    void frames_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSize>("designSize");
        QTest::newRow("brightness and contrast") << "brightness"
                                                 << "Brightness and Contrast" << QSize(439, 244);
        QTest::newRow("sepia") << "sepia"
                               << "Sepia Level" << QSize(300, 124);
        QTest::newRow("opacity") << "opacity"
                                 << "Custom Opacity Level" << QSize(300, 124);
    }
    void frames()
    {
        QFETCH(QString, kind);
        QFETCH(QString, caption);
        QFETCH(QSize, designSize);
        WorkspaceFixture f;
        std::unique_ptr<platform::FixedDialog> dialog;
        if (kind == u"brightness")
            dialog = std::make_unique<TForm16>(*f.ws);
        else if (kind == u"sepia")
            dialog = std::make_unique<TSepia_form>(*f.ws);
        else
            dialog = std::make_unique<TOpacity_form>(*f.ws);
        QCOMPARE(dialog->windowTitle(), caption);
        // Laid out for 120 dpi; the tests run at 96 dpi.
        const QSize expected(int(std::nearbyint(designSize.width() * 0.8)),
                             int(std::nearbyint(designSize.height() * 0.8)));
        QCOMPARE(dialog->minimumSize(), expected);
        QCOMPARE(dialog->maximumSize(), expected);
        QVERIFY(dialog->font().families().contains(QStringLiteral("Tahoma")));
    }

    void trackBarsAndLabels_data()
    {
        QTest::addColumn<int>("brightness");
        QTest::addColumn<int>("contrast");
        QTest::addColumn<int>("bar1");
        QTest::addColumn<int>("bar2");
        QTest::addColumn<QString>("label3");
        QTest::addColumn<QString>("label6");
        QTest::newRow("300 and 200") << 300 << 200 << 300 << 200 << "45"
                                     << "-55";
        QTest::newRow("unchanged") << 255 << 255 << 255 << 255 << "0"
                                   << "0";
        QTest::newRow("range ends") << 0 << 510 << 0 << 510 << "-255"
                                    << "255";
        QTest::newRow("outside the range shows at the ends") << 900 << -40 << 510 << 0 << "255"
                                                             << "-255";
    }
    void trackBarsAndLabels()
    {
        QFETCH(int, brightness);
        QFETCH(int, contrast);
        QFETCH(int, bar1);
        QFETCH(int, bar2);
        QFETCH(QString, label3);
        QFETCH(QString, label6);
        OpenPhoto f;
        f.ws->mutableAttributes().brightness = brightness;
        f.ws->mutableAttributes().contrast = contrast;
        TForm16 form(*f.ws);
        form.FormActivate();
        QCOMPARE(form.TrackBar1->value(), bar1);
        QCOMPARE(form.TrackBar2->value(), bar2);
        QCOMPARE(form.Label3->text(), label3);
        QCOMPARE(form.Label6->text(), label6);
        QCOMPARE(form.previewImage(), expectedPreview(*f.ws, form, bar1, bar2));
        QCOMPARE(form.previewRenders(), 1);
    }

    void brightnessCommand_data()
    {
        QTest::addColumn<bool>("reset");
        QTest::addColumn<int>("leaveHow");
        QTest::addColumn<int>("brightness");
        QTest::addColumn<int>("contrast");
        QTest::addColumn<bool>("rendered");
        QTest::newRow("reset, cancel") << true << int(Leave::Cancel) << 300 << 200 << false;
        QTest::newRow("reset, escape") << true << int(Leave::Escape) << 300 << 200 << false;
        QTest::newRow("reset, OK") << true << int(Leave::Ok) << 255 << 255 << true;
        QTest::newRow("reset, close box") << true << int(Leave::CloseBox) << 300 << 200 << true;
        QTest::newRow("OK untouched") << false << int(Leave::Ok) << 300 << 200 << true;
    }
    void brightnessCommand()
    {
        QFETCH(bool, reset);
        QFETCH(int, leaveHow);
        QFETCH(int, brightness);
        QFETCH(int, contrast);
        QFETCH(bool, rendered);
        OpenPhoto f;
        f.ws->mutableAttributes().brightness = 300;
        f.ws->mutableAttributes().contrast = 200;
        f.ws->rerenderStamp();
        const qint64 before = f.ws->stampedPhoto().cacheKey();

        TForm16 form(*f.ws);
        bool cancelledInside = false;
        f.windows.onBrightness = [&](Workspace& ws) {
            form.FormActivate();
            if (reset) {
                form.Button2->click();
                QCOMPARE(form.Label3->text(), QStringLiteral("0"));
                QCOMPARE(form.Label6->text(), QStringLiteral("0"));
                // Reset previews the photo without any brightness or contrast change.
                QCOMPARE(form.previewImage(), expectedPreview(ws, form, 255, 255));
                QCOMPARE(ws.attributes().brightness, 300);
            }
            leave(form, form.Button1, form.Button3, Leave(leaveHow));
            cancelledInside = ws.dialogCancelled();
        };
        f.ws->brightness1Click();

        QCOMPARE(f.windows.shown, QStringList{QStringLiteral("brightness")});
        QCOMPARE(cancelledInside,
                 Leave(leaveHow) == Leave::Cancel || Leave(leaveHow) == Leave::Escape);
        QCOMPARE(f.ws->attributes().brightness, brightness);
        QCOMPARE(f.ws->attributes().contrast, contrast);
        QCOMPARE(f.ws->stampedPhoto().cacheKey() != before, rendered);
        QVERIFY(!f.ws->dialogCancelled());
        if (rendered) {
            const QImage adjusted = adjust::applyPhotoAdjustments(
                f.ws->basePhoto(), PhotoEffect::None, 45, brightness, contrast);
            QCOMPARE(f.ws->adjustedPhoto(), adjusted);
        }
    }

    void nothingMovedSurvivesCancel()
    {
        OpenPhoto f;
        TForm16 form(*f.ws);
        form.FormActivate();
        form.TrackBar1->setValue(40);
        form.TrackBar2->setValue(400);
        form.Button3->click();
        f.ws->mutableAttributes().brightness = 100;
        form.FormActivate();
        QCOMPARE(form.TrackBar1->value(), 100);
        QCOMPARE(form.TrackBar2->value(), 255);
        QCOMPARE(form.Label3->text(), QStringLiteral("-155"));
        QCOMPARE(form.Label6->text(), QStringLiteral("0"));
    }

    void visibleSwitchesPreviewWorkOff()
    {
        OpenPhoto f;
        TForm16 form(*f.ws);
        form.FormActivate();
        const int renders = form.previewRenders();
        const QImage shown = form.previewImage();

        form.CheckBox1->setChecked(false);
        QVERIFY(form.Image1->isHidden());
        form.TrackBar1->setValue(400);
        form.TrackBar2->setValue(100);
        form.Button2->click();
        form.TrackBar2->setValue(20);
        QCOMPARE(form.Label3->text(), QStringLiteral("0"));
        QCOMPARE(form.Label6->text(), QStringLiteral("-235"));
        QCOMPARE(form.previewRenders(), renders);
        QCOMPARE(form.previewImage(), shown);

        form.CheckBox1->setChecked(true);
        QVERIFY(!form.Image1->isHidden());
        QCOMPARE(form.previewRenders(), renders + 1);
        QCOMPARE(form.previewImage(), expectedPreview(*f.ws, form, 255, 20));
    }

    void previewFollowsTheEffect_data()
    {
        QTest::addColumn<EffectItem>("effect");
        QTest::addColumn<int>("brightness");
        QTest::addColumn<bool>("grey");
        QTest::newRow("greyscale") << EffectItem::Greyscale << 255 << true;
        QTest::newRow("greyscale, brighter") << EffectItem::Greyscale << 330 << true;
        QTest::newRow("none") << EffectItem::None << 255 << false;
        QTest::newRow("sepia 60") << EffectItem::Sepia60 << 200 << false;
        QTest::newRow("negative") << EffectItem::Negative << 255 << false;
    }
    void previewFollowsTheEffect()
    {
        QFETCH(EffectItem, effect);
        QFETCH(int, brightness);
        QFETCH(bool, grey);
        OpenPhoto f;
        if (effect == EffectItem::Sepia60)
            f.ws->sepiaPresetClick(60);
        else
            f.ws->plainEffectClick(effect);
        f.ws->mutableAttributes().brightness = brightness;
        TForm16 form(*f.ws);
        form.FormActivate();
        const QImage& preview = form.previewImage();
        QCOMPARE(isGrey(preview), grey);
        QCOMPARE(preview, expectedPreview(*f.ws, form, brightness, 255));
        // Scaled into the preview area, keeping the photo's proportions (320 x 200).
        QCOMPARE(preview.width(), form.ScrollBox1->width());
        QCOMPARE(preview.height(), qRound(form.ScrollBox1->width() * 200.0 / 320.0));
        QCOMPARE(form.Image1->pixmap().size(), preview.size());
    }

    void opacityPercentage_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0 << "0%";
        QTest::newRow("1") << 1 << "0%";
        QTest::newRow("2") << 2 << "1%";
        QTest::newRow("51") << 51 << "20%";
        QTest::newRow("127") << 127 << "50%";
        QTest::newRow("128") << 128 << "50%";
        QTest::newRow("254") << 254 << "100%";
        QTest::newRow("255") << 255 << "100%";
    }
    void opacityPercentage()
    {
        QFETCH(int, position);
        QFETCH(QString, text);
        QCOMPARE(opacityPercentText(position), text);

        WorkspaceFixture f;
        TOpacity_form form(*f.ws);
        f.ws->mutableAttributes().opacity = position;
        form.FormActivate();
        QCOMPARE(form.TrackBar1->value(), position);
        QCOMPARE(form.Label3->text(), text);
        form.TrackBar1->setValue(position == 0 ? 255 : 0);
        form.TrackBar1->setValue(position);
        QCOMPARE(form.Label3->text(), text);
    }

    void customOpacityCommand_data()
    {
        QTest::addColumn<OpacityItem>("preset");
        QTest::addColumn<int>("moveTo");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("opensAt");
        QTest::addColumn<int>("opacity");
        QTest::newRow("OK after moving") << OpacityItem::P40 << 200 << true << 102 << 200;
        QTest::newRow("close box after moving") << OpacityItem::P40 << 200 << false << 102 << 102;
        QTest::newRow("OK at the preset") << OpacityItem::P80 << -1 << true << 204 << 204;
    }
    void customOpacityCommand()
    {
        QFETCH(OpacityItem, preset);
        QFETCH(int, moveTo);
        QFETCH(bool, ok);
        QFETCH(int, opensAt);
        QFETCH(int, opacity);
        OpenPhoto f;
        f.ws->opacityPresetClick(preset);
        TOpacity_form form(*f.ws);
        int opened = -1;
        f.windows.onOpacity = [&](Workspace&) {
            form.FormActivate();
            opened = form.TrackBar1->value();
            if (moveTo >= 0)
                form.TrackBar1->setValue(moveTo);
            if (ok)
                form.Button1->click();
            else
                form.reject();
        };
        f.ws->custom1Click();
        QCOMPARE(opened, opensAt);
        QCOMPARE(f.ws->opacityItem(), OpacityItem::Custom);
        QCOMPARE(f.ws->attributes().opacity, opacity);
    }

    void customSepiaCommand_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("moveTo");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("level");
        QTest::newRow("close box keeps the level") << 45 << 70 << false << "45" << 45;
        QTest::newRow("OK writes the position") << 45 << 70 << true << "45" << 70;
        QTest::newRow("stored above 100 shows and writes 100") << 150 << -1 << true << "100" << 100;
    }
    void customSepiaCommand()
    {
        QFETCH(int, stored);
        QFETCH(int, moveTo);
        QFETCH(bool, ok);
        QFETCH(QString, label);
        QFETCH(int, level);
        OpenPhoto f;
        f.ws->plainEffectClick(EffectItem::Greyscale);
        f.ws->mutableAttributes().sepiaLevel = stored;
        TSepia_form form(*f.ws);
        QString shownLabel;
        f.windows.onSepia = [&](Workspace& ws) {
            // The effect is sepia already while the dialog is open.
            QCOMPARE(ws.attributes().effect, PhotoEffect::Sepia);
            form.FormActivate();
            shownLabel = form.Label3->text();
            if (moveTo >= 0) {
                form.TrackBar1->setValue(moveTo);
                QCOMPARE(form.Label3->text(), QString::number(moveTo));
            }
            if (ok)
                form.Button1->click();
            else
                form.reject();
        };
        f.ws->custom2Click();
        QCOMPARE(shownLabel, label);
        QCOMPARE(f.ws->attributes().sepiaLevel, level);
        QCOMPARE(f.ws->attributes().effect, PhotoEffect::Sepia);
        QCOMPARE(f.ws->effectItem(), EffectItem::SepiaCustom);
        // Rendered again whichever way the dialog was left: the photo is sepia at the level.
        QCOMPARE(f.ws->adjustedPhoto(),
                 adjust::applyPhotoAdjustments(f.ws->basePhoto(), PhotoEffect::Sepia, quint8(level),
                                               255, 255));
    }
};

TESS_TEST_MAIN(TestAdjustDialogs)
#include "test_adjustdialogs.moc"
