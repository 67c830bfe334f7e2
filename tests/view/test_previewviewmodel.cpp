#include "tests/support/TestMain.h"
#include "view/PreviewViewModel.h"

using tess::view::bestFitSize;
using tess::view::PreviewViewModel;

namespace {

/// One mouse move of a drag: where the pointer goes in the view, and whether the left
/// button is held.
struct Move
{
    QPoint to;
    bool left = true;
};
using Drag = QList<Move>;

/// Presses at \a from (in the view) and moves through \a moves. The pointer is given to
/// the model in image coordinates, as the image control reports it.
void drag(PreviewViewModel& m, QPoint from, const Drag& moves)
{
    m.mouseDown(from - m.position());
    for (const Move& move : moves)
        m.mouseMove(move.to - m.position(), move.left);
}

/// A model showing \a photo at Actual Size in a view of \a view, as after the window was
/// created, shown and activated.
PreviewViewModel shown(QSize photo, QSize view)
{
    PreviewViewModel m;
    m.setPhotoSize(photo);
    m.formCreate();
    m.formResize(view);
    m.formActivate();
    return m;
}

} // namespace

Q_DECLARE_METATYPE(Drag)
Q_DECLARE_METATYPE(tess::view::PreviewViewModel::Mode)

class TestPreviewViewModel : public QObject
{
    Q_OBJECT

private slots:
    void bestFit_data()
    {
        QTest::addColumn<QSize>("photo");
        QTest::addColumn<QSize>("view");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("4000x3000: height limits")
            << QSize(4000, 3000) << QSize(800, 500) << QSize(666, 500);
        QTest::newRow("300x200 is enlarged")
            << QSize(300, 200) << QSize(800, 500) << QSize(750, 500);
        QTest::newRow("portrait 2000x3000")
            << QSize(2000, 3000) << QSize(800, 500) << QSize(333, 500);
        QTest::newRow("wide photo fits by width")
            << QSize(4000, 1000) << QSize(800, 500) << QSize(800, 200);
        QTest::newRow("portrait in a tall view: width limits")
            << QSize(1000, 2000) << QSize(300, 900) << QSize(300, 600);
        QTest::newRow("square in a wide view")
            << QSize(1000, 1000) << QSize(800, 500) << QSize(500, 500);
        QTest::newRow("fractions dropped") << QSize(1000, 3) << QSize(800, 500) << QSize(800, 2);
        QTest::newRow("no photo") << QSize() << QSize(800, 500) << QSize(0, 0);
        QTest::newRow("no view") << QSize(300, 200) << QSize(0, 0) << QSize(0, 0);
    }
    void bestFit()
    {
        QFETCH(QSize, photo);
        QFETCH(QSize, view);
        QFETCH(QSize, expected);
        QCOMPARE(bestFitSize(photo, view), expected);
    }

    void panLimits_data()
    {
        QTest::addColumn<QSize>("photo");
        QTest::addColumn<QSize>("view");
        QTest::addColumn<int>("limitX");
        QTest::addColumn<int>("limitY");
        QTest::newRow("2000x1500 in 800x500")
            << QSize(2000, 1500) << QSize(800, 500) << -1200 << -1000;
        QTest::newRow("smaller than the view") << QSize(300, 200) << QSize(800, 500) << 500 << 300;
        QTest::newRow("larger on one axis only")
            << QSize(1000, 400) << QSize(800, 500) << -200 << 100;
        QTest::newRow("no photo") << QSize() << QSize(800, 500) << 800 << 500;
    }
    void panLimits()
    {
        QFETCH(QSize, photo);
        QFETCH(QSize, view);
        QFETCH(int, limitX);
        QFETCH(int, limitY);
        const PreviewViewModel m = shown(photo, view);
        QCOMPARE(m.panLimitX(), limitX);
        QCOMPARE(m.panLimitY(), limitY);
        QCOMPARE(m.imageRect(), QRect(QPoint(0, 0), photo.isEmpty() ? QSize(0, 0) : photo));
    }

    void panning_data()
    {
        QTest::addColumn<QSize>("photo");
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<Drag>("moves");
        QTest::addColumn<QPoint>("expected");
        const QSize big(2000, 1500);
        QTest::newRow("left by 100")
            << big << QPoint(400, 250) << Drag{{QPoint(300, 250)}} << QPoint(-100, 0);
        QTest::newRow("up and left")
            << big << QPoint(400, 250) << Drag{{QPoint(350, 200)}} << QPoint(-50, -50);
        QTest::newRow("in steps, the grabbed point stays under the pointer")
            << big << QPoint(400, 250)
            << Drag{{QPoint(390, 240)}, {QPoint(370, 220)}, {QPoint(300, 150)}}
            << QPoint(-100, -100);
        QTest::newRow("right from the start reaches 0: stays")
            << big << QPoint(400, 250) << Drag{{QPoint(450, 250)}} << QPoint(0, 0);
        QTest::newRow("back to exactly 0 is not applied")
            << big << QPoint(400, 250) << Drag{{QPoint(300, 250)}, {QPoint(400, 250)}}
            << QPoint(-100, 0);
        QTest::newRow("to exactly the limit is not applied")
            << big << QPoint(700, 250) << Drag{{QPoint(100, 250)}, {QPoint(-500, 250)}}
            << QPoint(-600, 0);
        QTest::newRow("one pixel short of the limit")
            << big << QPoint(700, 250) << Drag{{QPoint(100, 250)}, {QPoint(-499, 250)}}
            << QPoint(-1199, 0);
        QTest::newRow("beyond the limit is not clamped")
            << big << QPoint(700, 250) << Drag{{QPoint(-600, 250)}} << QPoint(0, 0);
        QTest::newRow("each axis on its own")
            << big << QPoint(400, 250) << Drag{{QPoint(300, 300)}} << QPoint(-100, 0);
        QTest::newRow("right button does not pan")
            << big << QPoint(400, 250) << Drag{{QPoint(300, 200), false}} << QPoint(0, 0);
        QTest::newRow("release and move again")
            << big << QPoint(400, 250) << Drag{{QPoint(300, 250)}, {QPoint(200, 250), false}}
            << QPoint(-100, 0);
        QTest::newRow("a small photo cannot be dragged")
            << QSize(300, 200) << QPoint(100, 100) << Drag{{QPoint(50, 50)}, {QPoint(150, 150)}}
            << QPoint(0, 0);
        QTest::newRow("wider only: moves across, not down")
            << QSize(1000, 400) << QPoint(400, 200) << Drag{{QPoint(350, 100)}} << QPoint(-50, 0);
    }
    void panning()
    {
        QFETCH(QSize, photo);
        QFETCH(QPoint, from);
        QFETCH(Drag, moves);
        QFETCH(QPoint, expected);
        PreviewViewModel m = shown(photo, QSize(800, 500));
        drag(m, from, moves);
        QCOMPARE(m.position(), expected);
        QCOMPARE(m.imageRect(), QRect(expected, photo));
    }

    void modes_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<PreviewViewModel::Mode>("mode");
        QTest::addColumn<QPoint>("position");
        const auto fit = PreviewViewModel::Mode::BestFit;
        const auto actual = PreviewViewModel::Mode::ActualSize;
        // p: pan by (-100, -50); b: Best Fit; a: Actual Size; v: activation; r: resize;
        // o: a photo is opened.
        QTest::newRow("activation keeps the position") << "pv" << actual << QPoint(-100, -50);
        QTest::newRow("best fit puts it at the corner") << "pb" << fit << QPoint(0, 0);
        QTest::newRow("best fit does not pan") << "bp" << fit << QPoint(0, 0);
        QTest::newRow("activation after best fit shows actual size")
            << "bv" << actual << QPoint(0, 0);
        QTest::newRow("actual size puts it at the corner") << "pa" << actual << QPoint(0, 0);
        QTest::newRow("resize puts it at the corner") << "pr" << actual << QPoint(0, 0);
        QTest::newRow("opening a photo puts it at the corner") << "po" << actual << QPoint(0, 0);
        QTest::newRow("pans again after coming back") << "bvp" << actual << QPoint(-100, -50);
    }
    void modes()
    {
        QFETCH(QString, steps);
        QFETCH(PreviewViewModel::Mode, mode);
        QFETCH(QPoint, position);
        PreviewViewModel m = shown(QSize(2000, 1500), QSize(800, 500));
        for (const QChar step : steps) {
            switch (step.toLatin1()) {
            case 'p':
                drag(m, QPoint(400, 250), {{QPoint(300, 200)}});
                break;
            case 'b':
                m.bestFit();
                break;
            case 'a':
                m.actualSize();
                break;
            case 'v':
                m.formActivate();
                break;
            case 'r':
                m.formResize(QSize(700, 400));
                break;
            case 'o':
                m.resetPosition();
                break;
            }
        }
        QCOMPARE(m.mode(), mode);
        QCOMPARE(m.position(), position);
    }

    void bestFitGeometry()
    {
        PreviewViewModel m = shown(QSize(4000, 3000), QSize(800, 500));
        m.bestFit();
        QCOMPARE(m.imageRect(), QRect(0, 0, 800, 500));
        QCOMPARE(m.photoRect(), QRect(0, 0, 666, 500));
        m.formResize(QSize(400, 500));
        QCOMPARE(m.imageRect(), QRect(0, 0, 400, 500));
        QCOMPARE(m.photoRect(), QRect(0, 0, 400, 300));
    }

    void anotherPhotoSizeGetsItsOwnLimits()
    {
        PreviewViewModel m = shown(QSize(2000, 1500), QSize(800, 500));
        m.resetPosition();
        m.setPhotoSize(QSize(900, 600));
        QCOMPARE(m.panLimitX(), -100);
        QCOMPARE(m.panLimitY(), -100);
        drag(m, QPoint(400, 250), {{QPoint(200, 250)}});
        QCOMPARE(m.position(), QPoint(0, 0));
        drag(m, QPoint(400, 250), {{QPoint(350, 250)}});
        QCOMPARE(m.position(), QPoint(-50, 0));
    }
};

TESS_TEST_MAIN(TestPreviewViewModel)
#include "test_previewviewmodel.moc"
