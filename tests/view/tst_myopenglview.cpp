#include "MyOpenGLView.h"
#include "Nullclines.h"
#include "PlotGeometry.h"
#include "PlotNavigation.h"
#include "SolutionTrace.h"

#include <QWindow>
#include <QtTest>

#include <algorithm>
#include <array>
#include <utility>

namespace plot = cosmophase::plot;

namespace {

constexpr int kSide = 800;
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kGrey = qRgb(179, 179, 179);
const QRgb kOrange = qRgb(255, 128, 0);
const QRgb kPurple = qRgb(128, 0, 128);
const QRgb kMagenta = qRgb(255, 0, 255);
const QRgb kGreen = qRgb(0, 255, 0);
const QRegularExpression kFpsTitle(QStringLiteral("^\\d+ fps$"));

// Plot coordinates to the pixel whose centre is nearest; rows grow downwards.
QPoint toPixel(plot::Point p)
{
    return {static_cast<int>((p.x + 2) / 4 * kSide), static_cast<int>((2 - p.y) / 4 * kSide)};
}

// Pixels within 1 of a colour in the square of half-side r around c, or in the whole image.
int count(const QImage& img, QRgb want, QPoint c = {}, int r = -1)
{
    const QRect area = r < 0 ? img.rect() : QRect(c.x() - r, c.y() - r, 2 * r + 1, 2 * r + 1);
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb c = img.pixel(x, y);
            n += std::max({qAbs(qRed(c) - qRed(want)), qAbs(qGreen(c) - qGreen(want)), qAbs(qBlue(c) - qBlue(want))}) <= 1;
        }
    return n;
}

} // namespace

// Counts the exposes of a window: another test's window on the same display
// may cover and uncover this one, and each uncovering asks for a frame.
class ExposeCounter : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        count += event->type() == QEvent::Expose ? 1 : 0;
        return false;
    }
};

class TestMyOpenGLView : public QObject {
    Q_OBJECT
    MyOpenGLView m_view;

public:
    // Before the QApplication exists, as the view requires.
    static void initMain() { QSurfaceFormat::setDefaultFormat(MyOpenGLView::defaultSurfaceFormat()); }

private slots:
    void initTestCase()
    {
        m_view.resize(kSide, kSide);
        m_view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_view));
        QTRY_COMPARE(m_view.grabFramebuffer().size(), QSize(kSide, kSide));
    }

    void equilibriumDotsInFrontOfTheGrid()
    {
        m_view.setSimIndex(2000); // marker off the dots
        const QImage img = m_view.grabFramebuffer();
        for (const plot::Point& dot : plot::kEquilibria) {
            // A 4 px disk, solid although grid lines, curves and the trajectory pass over it.
            QCOMPARE(count(img, kRed, toPixel(dot), 2), 25);
            QVERIFY(count(img, kRed, toPixel(dot), 7) < 80);
        }
    }

    // The field as laid out: a 5 x 5 clump of arrows in each unit cell, each
    // arrow through its site, and empty bands along z2, w0 = -1, 0 and 1,
    // a quarter, half and three quarters of the way across.
    void directionFieldInClumpsOfFive()
    {
        m_view.toggleShowStable(), m_view.toggleShowUnstable(), m_view.toggleShowFamily();
        const QImage img = m_view.grabFramebuffer();
        m_view.toggleShowStable(), m_view.toggleShowUnstable(), m_view.toggleShowFamily();
        int sitesDrawn = 0;
        for (const plot::Point& site : plot::arrowSites())
            sitesDrawn += count(img, kGreen, toPixel(site), 3) > 0 ? 1 : 0;
        QCOMPARE(sitesDrawn, 400);
        // Half a unit cell's first site, less the longest half-arrow and the head, is 0.08: 16 px.
        const int band = 12;
        for (const double v : {-1.0, 0.0, 1.0}) {
            const QPoint line = toPixel({v, v});
            QCOMPARE(count(img.copy(line.x() - band, 0, 2 * band + 1, kSide), kGreen), 0);
            QCOMPARE(count(img.copy(0, line.y() - band, kSide, 2 * band + 1), kGreen), 0);
        }
        QVERIFY(count(img.copy(toPixel({0.5, 0}).x() - band, 0, 2 * band + 1, kSide), kGreen) > 100);
    }

    void markerFollowsClampedIndex()
    {
        const auto& t = m_view.curves().trajectory();
        const int n = static_cast<int>(t.size());
        for (const auto& [request, expected] : {std::pair{-5, 0}, {n + 10, n - 1}, {2000, 2000}}) {
            const QPoint at = toPixel({t.x[std::size_t(expected)], t.y[std::size_t(expected)]});
            // The marker's 5 px disk adds blue around the trajectory (a ring around the origin's dot).
            m_view.setSimIndex((expected + n / 2) % n);
            const int lineOnly = count(m_view.grabFramebuffer(), kBlue, at, 5);
            m_view.setSimIndex(request);
            QCOMPARE(m_view.simIndex(), expected);
            const int withMarker = count(m_view.grabFramebuffer(), kBlue, at, 5);
            QVERIFY2(withMarker - lineOnly >= 20, qPrintable(QStringLiteral("%1 vs %2").arg(withMarker).arg(lineOnly)));
        }
    }

    void gridLinesStippledInsideTheSquare_data()
    {
        QTest::addColumn<double>("v");
        for (double v : {-2.0, -1.5, -1.0, -0.5, 0.0, 0.5, 1.0, 1.5, 2.0})
            QTest::newRow(qPrintable(QString::number(v))) << v;
    }

    void gridLinesStippledInsideTheSquare()
    {
        QFETCH(double, v);
        const QImage shot = m_view.grabFramebuffer();
        const QPoint at = toPixel({v, v});
        // Turned a quarter left, the horizontal lines also run bottom to top from their first vertex.
        for (const auto& [img, line] : {std::pair{shot, at.x()}, {shot.transformed(QTransform().rotate(-90)), at.y()}}) {
            // A line exactly on a pixel boundary may land on either side of it.
            const int c = std::clamp(line, 1, kSide - 1);
            const auto both = [&](QRgb colour, int y) { return count(img, colour, {c - 1, y}, 0) + count(img, colour, {c, y}, 0); };
            int grey = 0;
            int offStipple = 0;
            for (int t = 0; t < kSide; ++t) {
                if ((t + 2) % (kSide / 8) <= 4)
                    continue; // where the lines across pass
                const bool isGrey = both(kGrey, kSide - 1 - t) > 0;
                const bool dash = (0x0BADu >> (t % 16)) & 1;
                grey += isGrey;
                offStipple += isGrey ? !dash : dash && both(qRgb(255, 255, 255), kSide - 1 - t) == 2;
            }
            QVERIFY2(std::abs(v) < 2 ? grey > 150 && offStipple == 0 : grey == 0,
                     qPrintable(QStringLiteral("%1 grey, %2 off the stipple").arg(grey).arg(offStipple)));
        }
    }

    void curvesToggle_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QRgb>("colour");
        QTest::newRow("family, yellow") << 0 << qRgb(255, 255, 0);
        QTest::newRow("unstable, cyan") << 1 << qRgb(0, 255, 255);
        QTest::newRow("stable, dark green") << 2 << qRgb(0, 128, 0);
    }

    void curvesToggle()
    {
        QFETCH(int, which);
        QFETCH(QRgb, colour);
        const auto toggle = std::array{&MyOpenGLView::toggleShowFamily, &MyOpenGLView::toggleShowUnstable,
                                       &MyOpenGLView::toggleShowStable}[which];
        const QImage before = m_view.grabFramebuffer();
        QVERIFY(count(before, colour) > 300);
        (m_view.*toggle)();
        const QImage hidden = m_view.grabFramebuffer();
        QCOMPARE(count(hidden, colour), 0);
        QVERIFY(count(hidden, kBlue) >= count(before, kBlue)); // the rest stays
        (m_view.*toggle)();
        QCOMPARE(m_view.grabFramebuffer(), before);
    }

    void nullclinesWhereTheirRightHandSidesVanish_data()
    {
        QTest::addColumn<double>("w0");
        QTest::addColumn<double>("z2");
        QTest::addColumn<QRgb>("colour");
        QTest::newRow("z2 = -[4/3]") << 1.25 << -4.0 / 3 << kOrange;
        QTest::newRow("w0 = 0") << 0.0 << -1.75 << kOrange;
        QTest::newRow("parabola, upper arm") << 0.25 << plot::z2OnW0Nullcline(0.25) << kPurple;
        QTest::newRow("parabola, lower arm") << -0.625 << plot::z2OnW0Nullcline(-0.625) << kPurple;
    }

    void nullclinesWhereTheirRightHandSidesVanish()
    {
        QFETCH(double, w0);
        QFETCH(double, z2);
        QFETCH(QRgb, colour);
        m_view.setSimIndex(2000);
        const QImage off = m_view.grabFramebuffer();
        QVERIFY(count(off, kOrange) == 0 && count(off, kPurple) == 0); // colours of their own
        m_view.setShowNullclines(true);
        const QImage on = m_view.grabFramebuffer();
        QVERIFY(count(on, colour, toPixel({z2, w0}), 2) >= 4);
        QCOMPARE(count(on, colour == kOrange ? kPurple : kOrange, toPixel({z2, w0}), 4), 0); // and not the other one
        m_view.setShowNullclines(false);
        QCOMPARE(m_view.grabFramebuffer(), off);
    }

    // A straight trace across the origin's dot and the arrow at (1/6, 1/6):
    // the dot stays whole in front of it, the arrow goes behind it.
    void traceBehindTheDotsInFrontOfTheField()
    {
        m_view.setSimIndex(2000);
        const QPoint site = toPixel({1.0 / 6, 1.0 / 6});
        const QImage before = m_view.grabFramebuffer();
        QVERIFY(count(before, kGreen, site, 1) > 0 && count(before, kMagenta) == 0);
        m_view.setTraces({{0.4, 0.4, {{0.4, 0.2, 0.0, -0.2}, {0.4, 0.2, 0.0, -0.2}}, {{0.4, 0.6}, {0.4, 0.6}}}});
        const QImage traced = m_view.grabFramebuffer();
        QCOMPARE(count(traced, kRed, toPixel({0, 0}), 2), 25);
        QVERIFY(count(traced, kMagenta, site, 1) >= 2 && count(traced, kGreen, site, 0) == 0);
        QVERIFY(count(traced, kMagenta, toPixel({0.4, 0.4}), 2) >= 16); // the dot at its point
        m_view.setTraces({});
        QCOMPARE(m_view.grabFramebuffer(), before);
    }

    // Zoomed, the saddle fills the plot with dots of the same size; the
    // direction field switches off; Reset View gives back the same pixels.
    void zoomAndResetAndFieldSwitch()
    {
        m_view.setSimIndex(2000);
        const QImage fixed = m_view.grabFramebuffer();
        plot::PlotWindow window;
        window.zoomAbout({0, 0}, 25);
        m_view.setPlotWindow(window);
        const QImage zoomed = m_view.grabFramebuffer();
        QVERIFY(zoomed != fixed);
        QCOMPARE(count(zoomed, kRed, toPixel({0, 0}), 2), 25);
        QCOMPARE(count(zoomed, kRed), count(zoomed, kRed, toPixel({0, 0}), 7)); // the other equilibria are out of view
        QVERIFY(count(zoomed, kGreen) > 400);
        m_view.setShowDirectionField(false);
        QCOMPARE(count(m_view.grabFramebuffer(), kGreen), 0);
        m_view.setShowDirectionField(true);
        m_view.setPlotWindow({});
        QCOMPARE(m_view.grabFramebuffer(), fixed);
    }

    // The wheel zooms about the pointer, a right or middle drag pans.
    void wheelZoomsAboutThePointerAndDragsPan()
    {
        PlotNavigation navigation(m_view);
        const QPointF pointer(600.5, 200.5);
        const plot::Point under = m_view.plotWindow().pointAt(pointer.x() + 0.5, pointer.y() + 0.5, kSide, kSide);
        QWheelEvent wheel(pointer, m_view.mapToGlobal(pointer), {}, {0, 240}, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&m_view, &wheel);
        const plot::PlotWindow zoomed = m_view.plotWindow();
        QCOMPARE(zoomed.side(), 4 / (PlotNavigation::kZoomStep * PlotNavigation::kZoomStep));
        const plot::Point still = zoomed.pointAt(pointer.x() + 0.5, pointer.y() + 0.5, kSide, kSide);
        QVERIFY(qAbs(still.x - under.x) < 1e-12 && qAbs(still.y - under.y) < 1e-12);
        for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
            const plot::Point before = m_view.plotWindow().centre();
            QTest::mousePress(&m_view, button, {}, {400, 400});
            QMouseEvent move(QEvent::MouseMove, QPointF(480, 360), m_view.mapToGlobal(QPointF(480, 360)), Qt::NoButton,
                             button, Qt::NoModifier);
            QApplication::sendEvent(&m_view, &move);
            QTest::mouseRelease(&m_view, button, {}, {480, 360});
            // The plane moved with the pointer: 80 px right and 40 px up.
            const double pixel = zoomed.side() / kSide;
            QVERIFY(qAbs(m_view.plotWindow().centre().x - (before.x - 80 * pixel)) < 1e-12);
            QVERIFY(qAbs(m_view.plotWindow().centre().y - (before.y - 40 * pixel)) < 1e-12);
        }
        navigation.resetView();
        QVERIFY(m_view.plotWindow().isFull());
    }

    // Off, the view draws only when something changes and the title keeps
    // the last rate.
    void redrawWhenIdleOff()
    {
        QSignalSpy frames(&m_view, &QOpenGLWidget::frameSwapped);
        QVERIFY(frames.wait());
        m_view.setRedrawWhenIdle(false);
        QVERIFY(frames.wait());
        const QString title = m_view.windowTitle();
        ExposeCounter exposes;
        m_view.windowHandle()->installEventFilter(&exposes);
        frames.clear();
        QTest::qWait(300); // watching for frames that should not come
        m_view.windowHandle()->removeEventFilter(&exposes);
        QVERIFY2(frames.count() <= exposes.count, qPrintable(QStringLiteral("%1 frames, %2 exposes").arg(frames.count()).arg(exposes.count)));
        m_view.setSimIndex(100);
        QVERIFY(frames.wait());
        QCOMPARE(m_view.windowTitle(), title);
        m_view.setRedrawWhenIdle(true);
        QTRY_VERIFY(frames.count() >= 5);
    }

    void buildsOnShowAndAgainInAnotherWindow()
    {
        QWidget window;
        MyOpenGLView view;
        view.setSimIndex(-3);
        QCOMPARE(view.simIndex(), 0);
        view.setSimIndex(1000000); // the upper bound waits for the build
        QSignalSpy frames(&view, &QOpenGLWidget::frameSwapped);
        view.show();
        QTRY_VERIFY(frames.count() >= 3); // redrawn continuously
        QCOMPARE(view.simIndex(), static_cast<int>(view.curves().trajectory().size()) - 1);
        QTRY_VERIFY2(kFpsTitle.match(view.windowTitle()).hasMatch(), qPrintable(view.windowTitle()));
        // A new window means a new context: the view sets itself up again and titles that window.
        view.setParent(&window);
        view.show();
        window.show();
        QTRY_VERIFY(kFpsTitle.match(window.windowTitle()).hasMatch());
        const QImage img = view.grabFramebuffer();
        QCOMPARE(img.pixel(img.width() / 2, img.height() / 2), kRed);
    }
};

QTEST_MAIN(TestMyOpenGLView)

#include "tst_myopenglview.moc"
