#include "MyOpenGLView.h"
#include "PlotGeometry.h"

#include <QImage>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

using cosmophase::plot::Point;
namespace plot = cosmophase::plot;

namespace {

constexpr int kSide = 800;
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kWhite = qRgb(255, 255, 255);
constexpr unsigned kStipple = 0x0BAD; // 0000 1011 1010 1101

// Plot coordinates to the pixel whose centre is nearest; rows grow downwards.
QPoint toPixel(Point p)
{
    const double px = (p.x + 2) / 4 * kSide;
    const double py = (2 - p.y) / 4 * kSide;
    return {static_cast<int>(std::floor(px)), static_cast<int>(std::floor(py))};
}

bool isGrey(QRgb c)
{
    return qRed(c) == qGreen(c) && qGreen(c) == qBlue(c) && qRed(c) >= 176 && qRed(c) <= 181;
}

bool isColour(QRgb c, QRgb want)
{
    return std::abs(qRed(c) - qRed(want)) <= 1 && std::abs(qGreen(c) - qGreen(want)) <= 1 &&
           std::abs(qBlue(c) - qBlue(want)) <= 1;
}

int countWithin(const QImage& img, QPoint centre, double radius, QRgb colour)
{
    int count = 0;
    const int r = static_cast<int>(std::ceil(radius));
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx)
            if (dx * dx + dy * dy <= radius * radius &&
                isColour(img.pixel(centre.x() + dx, centre.y() + dy), colour))
                ++count;
    return count;
}

int countColour(const QImage& img, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            count += isColour(img.pixel(x, y), colour) ? 1 : 0;
    return count;
}

} // namespace

class TestMyOpenGLView : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void buildsTheCurveSetWithTheSurface();
    void equilibriumDotsInFrontOfTheGrid_data();
    void equilibriumDotsInFrontOfTheGrid();
    void markerFollowsClampedIndex_data();
    void markerFollowsClampedIndex();
    void markerDiskAtTheSample();
    void gridLinesStippledInsideTheSquare_data();
    void gridLinesStippledInsideTheSquare();
    void curvesToggle_data();
    void curvesToggle();
    void titleShowsFrameRate();
    void indexBeforeTheBuildIsKeptInRange();
    void movesToAnotherWindow();

private:
    QImage frame() { return m_view->grabFramebuffer().convertToFormat(QImage::Format_RGB32); }
    int trajectoryLength() const { return static_cast<int>(m_view->curves().trajectory().size()); }
    Point sample(int index) const
    {
        const auto& t = m_view->curves().trajectory();
        return {t.x[static_cast<std::size_t>(index)], t.y[static_cast<std::size_t>(index)]};
    }

    MyOpenGLView* m_view = nullptr;
};

void TestMyOpenGLView::initTestCase()
{
    m_view = new MyOpenGLView;
    m_view->resize(kSide, kSide);
    QSignalSpy frames(m_view, &QOpenGLWidget::frameSwapped);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view));
    QTRY_VERIFY(frames.count() > 0);
    QCOMPARE(frame().size(), QSize(kSide, kSide));
}

void TestMyOpenGLView::cleanupTestCase()
{
    delete m_view;
}

void TestMyOpenGLView::init()
{
    // Every test starts from the built state: all curves shown, marker at 0.
    if (!m_view->showFamilyCurve())
        m_view->toggleShowFamily();
    if (!m_view->showUnstableManifold())
        m_view->toggleShowUnstable();
    if (!m_view->showStableManifold())
        m_view->toggleShowStable();
    m_view->setSimIndex(0);
}

void TestMyOpenGLView::buildsTheCurveSetWithTheSurface()
{
    QVERIFY(m_view->curves().isBuilt());
    QVERIFY(m_view->showFamilyCurve());
    QVERIFY(m_view->showUnstableManifold());
    QVERIFY(m_view->showStableManifold());
    QVERIFY(trajectoryLength() > 1000);
    const QImage img = frame();
    QCOMPARE(img.pixel(5, 5), kWhite);
}

void TestMyOpenGLView::equilibriumDotsInFrontOfTheGrid_data()
{
    QTest::addColumn<int>("which");
    QTest::newRow("origin") << 0;
    QTest::newRow("(-4/3, -2/3)") << 1;
    QTest::newRow("(-4/3, 1/3)") << 2;
}

void TestMyOpenGLView::equilibriumDotsInFrontOfTheGrid()
{
    QFETCH(int, which);
    // Keep the marker off the dots; what remains in front of them would be a fault.
    m_view->setSimIndex(trajectoryLength() / 2);
    const QImage img = frame();
    const QPoint centre = toPixel(plot::kEquilibria[static_cast<std::size_t>(which)]);
    const double radiusPx = plot::kDotRadius / 4 * kSide; // 4 px
    // The inner disk is solid red although grid lines, curves and the
    // trajectory all pass over some of the dots.
    const double inner = radiusPx - 1.5;
    int innerPixels = 0;
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx)
            innerPixels += dx * dx + dy * dy <= inner * inner ? 1 : 0;
    QCOMPARE(countWithin(img, centre, inner, kRed), innerPixels);
    QVERIFY(countWithin(img, centre, radiusPx + 3, kRed) < 100);
}

void TestMyOpenGLView::markerFollowsClampedIndex_data()
{
    QTest::addColumn<int>("request");
    QTest::addColumn<int>("expected"); // -1 stands for n - 1
    QTest::newRow("negative gives 0") << -5 << 0;
    QTest::newRow("past the end gives n - 1") << 1 << -1; // request replaced by n + 10
    QTest::newRow("n - 1 is kept") << 2 << -1;            // request replaced by n - 1
    QTest::newRow("inside is kept") << 2000 << 2000;
}

void TestMyOpenGLView::markerFollowsClampedIndex()
{
    QFETCH(int, request);
    QFETCH(int, expected);
    const int n = trajectoryLength();
    if (request == 1)
        request = n + 10;
    else if (request == 2)
        request = n - 1;
    if (expected == -1)
        expected = n - 1;

    m_view->setSimIndex(1000);
    const QImage elsewhere = frame();
    m_view->setSimIndex(expected);
    const QImage reference = frame();
    QCOMPARE(m_view->simIndex(), expected);
    QVERIFY(reference != elsewhere);

    m_view->setSimIndex(request);
    QCOMPARE(m_view->simIndex(), expected);
    QCOMPARE(frame(), reference);
}

void TestMyOpenGLView::markerDiskAtTheSample()
{
    // Along the trajectory the marker's disk adds blue around the line.
    const int n = trajectoryLength();
    for (int index : {1000, 2000, n - 1}) {
        const QPoint at = toPixel(sample(index));
        m_view->setSimIndex(index == 1000 ? 2000 : 1000);
        const int lineOnly = countWithin(frame(), at, 4, kBlue);
        m_view->setSimIndex(index);
        const int withMarker = countWithin(frame(), at, 4, kBlue);
        QVERIFY2(withMarker >= 40 && lineOnly <= 25,
                 qPrintable(QStringLiteral("index %1: %2 vs %3").arg(index).arg(withMarker).arg(lineOnly)));
    }
}

void TestMyOpenGLView::gridLinesStippledInsideTheSquare_data()
{
    QTest::addColumn<double>("v");
    QTest::addColumn<bool>("drawn");
    for (double v : {-2.0, -1.5, -1.0, -0.5, 0.0, 0.5, 1.0, 1.5, 2.0})
        QTest::newRow(qPrintable(QString::number(v))) << v << (std::abs(v) < 2);
}

void TestMyOpenGLView::gridLinesStippledInsideTheSquare()
{
    QFETCH(double, v);
    QFETCH(bool, drawn);
    const QImage img = frame();
    const QPoint line = toPixel({v, v});
    // Lines cross at the grid positions; those pixels belong to the crossing line.
    std::vector<int> crossings;
    for (double g : plot::gridLines())
        crossings.push_back(toPixel({g, g}).x());
    auto onCrossing = [&](int t) {
        return std::any_of(crossings.begin(), crossings.end(),
                           [t](int c) { return std::abs(t - c) <= 1; });
    };
    // The stipple runs from each line's first vertex: bottom to top for the
    // vertical lines, left to right for the horizontal ones, bit 0 first.
    struct Run {
        int grey = 0;
        int agreeing = 0;
        int judged = 0;
    };
    auto runAlong = [&](bool vertical) {
        Run best;
        // A line exactly on a pixel boundary may land on either side of it.
        for (int offset : {-1, 0}) {
            Run run;
            const int c = std::clamp((vertical ? line.x() : line.y()) + offset, 0, kSide - 1);
            for (int t = 0; t < kSide; ++t) {
                if (onCrossing(t))
                    continue;
                const QRgb px = vertical ? img.pixel(c, kSide - 1 - t) : img.pixel(t, c);
                const bool dash = (kStipple >> (t % 16)) & 1;
                if (isGrey(px)) {
                    ++run.grey;
                    ++run.judged;
                    run.agreeing += dash ? 1 : 0;
                } else if (px == kWhite) {
                    ++run.judged;
                    run.agreeing += dash ? 0 : 1;
                }
            }
            if (run.grey > best.grey)
                best = run;
        }
        return best;
    };
    for (bool vertical : {true, false}) {
        const Run run = runAlong(vertical);
        const QString what = QStringLiteral("%1: %2 grey, %3 of %4 pixels follow the stipple")
                                 .arg(vertical ? "vertical" : "horizontal")
                                 .arg(run.grey)
                                 .arg(run.agreeing)
                                 .arg(run.judged);
        if (drawn) {
            QVERIFY2(run.grey > 150, qPrintable(what));
            QVERIFY2(run.agreeing == run.judged, qPrintable(what));
        } else {
            QVERIFY2(run.grey == 0, qPrintable(what));
        }
    }
}

void TestMyOpenGLView::curvesToggle_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QRgb>("colour");
    QTest::newRow("family, yellow") << 0 << qRgb(255, 255, 0);
    QTest::newRow("unstable, cyan") << 1 << qRgb(0, 255, 255);
    QTest::newRow("stable, dark green") << 2 << qRgb(0, 128, 0);
}

void TestMyOpenGLView::curvesToggle()
{
    QFETCH(int, which);
    QFETCH(QRgb, colour);
    const std::function<void()> toggles[] = {[this] { m_view->toggleShowFamily(); },
                                             [this] { m_view->toggleShowUnstable(); },
                                             [this] { m_view->toggleShowStable(); }};
    const std::function<bool()> flags[] = {[this] { return m_view->showFamilyCurve(); },
                                           [this] { return m_view->showUnstableManifold(); },
                                           [this] { return m_view->showStableManifold(); }};
    const QImage shown = frame();
    QVERIFY2(countColour(shown, colour) > 300, qPrintable(QString::number(countColour(shown, colour))));

    toggles[which]();
    QVERIFY(!flags[which]());
    const QImage hidden = frame();
    QCOMPARE(countColour(hidden, colour), 0);
    // The other items are untouched: the trajectory stays blue as before.
    QVERIFY(countColour(hidden, kBlue) >= countColour(shown, kBlue));

    toggles[which]();
    QVERIFY(flags[which]());
    QCOMPARE(frame(), shown);
}

void TestMyOpenGLView::titleShowsFrameRate()
{
    const QRegularExpression fps(QStringLiteral("^\\d+ fps$"));
    QTRY_VERIFY2(fps.match(m_view->windowTitle()).hasMatch(), qPrintable(m_view->windowTitle()));
    // Redrawn continuously: the title keeps being rewritten.
    QSignalSpy frames(m_view, &QOpenGLWidget::frameSwapped);
    QTRY_VERIFY(frames.count() >= 3);
}

void TestMyOpenGLView::indexBeforeTheBuildIsKeptInRange()
{
    MyOpenGLView view;
    QVERIFY(!view.showFamilyCurve() && !view.showStableManifold() && !view.showUnstableManifold());
    view.setSimIndex(-3);
    QCOMPARE(view.simIndex(), 0);
    view.setSimIndex(1000000);
    view.resize(200, 200);
    QSignalSpy frames(&view, &QOpenGLWidget::frameSwapped);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QTRY_VERIFY(frames.count() > 0);
    QCOMPARE(view.simIndex(), static_cast<int>(view.curves().trajectory().size()) - 1);
    QVERIFY(view.showFamilyCurve() && view.showStableManifold() && view.showUnstableManifold());
}

void TestMyOpenGLView::movesToAnotherWindow()
{
    // A new window means a new context: the view must set itself up again
    // and keep titling whichever window holds it.
    QWidget first;
    QWidget second;
    for (QWidget* w : {&first, &second})
        w->resize(kSide / 4, kSide / 4);
    auto* view = new MyOpenGLView(&first);
    view->resize(kSide / 4, kSide / 4);
    QSignalSpy frames(view, &QOpenGLWidget::frameSwapped);
    first.show();
    QVERIFY(QTest::qWaitForWindowExposed(&first));
    QTRY_VERIFY(frames.count() > 0);
    const QRegularExpression fps(QStringLiteral("^\\d+ fps$"));
    QTRY_VERIFY(fps.match(first.windowTitle()).hasMatch());

    view->setParent(&second);
    view->show();
    second.show();
    QVERIFY(QTest::qWaitForWindowExposed(&second));
    frames.clear();
    QTRY_VERIFY(frames.count() > 0);
    QTRY_VERIFY(fps.match(second.windowTitle()).hasMatch());
    const QImage img = view->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(img.pixel(img.width() / 2, img.height() / 2), kRed);
}

int main(int argc, char** argv)
{
    QSurfaceFormat::setDefaultFormat(MyOpenGLView::defaultSurfaceFormat());
    QApplication app(argc, argv);
    TestMyOpenGLView test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_myopenglview.moc"
