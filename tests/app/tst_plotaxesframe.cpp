// The axes around the square plot: labels where the grid lines run, titles
// beside the axes, all following the square through resizes.

#include "PlotAxesFrame.h"
#include "PlotGeometry.h"

#include <QImage>
#include <QTest>

#include <cmath>

namespace {

// Centre of the box around the dark pixels (text) in an area, and their count.
struct Ink {
    double x = 0, y = 0;
    int count = 0;
};

Ink inkIn(const QImage& img, const QRect& area)
{
    QRect box;
    int count = 0;
    const QRect clipped = area & img.rect();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            if (qGray(img.pixel(x, y)) < 128) {
                box |= QRect(x, y, 1, 1);
                ++count;
            }
    return {(box.left() + box.right() + 1) / 2.0, (box.top() + box.bottom() + 1) / 2.0, count};
}

} // namespace

class TestPlotAxesFrame : public QObject {
    Q_OBJECT

private slots:
    void labelsFollowTheSquare_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("wide") << QSize(760, 520);
        QTest::newRow("tall") << QSize(420, 640);
        QTest::newRow("small") << QSize(360, 360);
    }

    void labelsFollowTheSquare()
    {
        QFETCH(QSize, size);
        PlotAxesFrame frame;
        auto* plot = new QWidget(&frame);
        frame.resize(size);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        const QRect square = plot->geometry();
        QCOMPARE(square, frame.plotRect());
        QVERIFY(square.width() == square.height() && square.width() > 150);
        QVERIFY(frame.contentsRect().contains(square));

        const QImage img = frame.grab().toImage();
        QVERIFY(inkIn(img, square).count == 0); // nothing drawn over the plot
        const int line = frame.fontMetrics().height();
        const int side = square.width();
        const int below = square.bottom() + 1 + PlotAxesFrame::kTickLength + PlotAxesFrame::kGap;
        const int labelWidth = frame.fontMetrics().horizontalAdvance(PlotAxesFrame::tickLabel(-1.5));
        for (double v : cosmophase::plot::tickValues()) {
            const double across = square.left() + (v + 2) / 4 * side;
            const double up = square.top() + (2 - v) / 4 * side;
            // Each label centred on its grid line, under the square and left of it.
            const Ink under = inkIn(img, QRect(std::lround(across) - labelWidth / 2 - 1, below, labelWidth + 2, line));
            const Ink left = inkIn(img, QRect(square.left() - PlotAxesFrame::kTickLength - PlotAxesFrame::kGap - labelWidth,
                                              std::lround(up) - line, labelWidth, 2 * line));
            QVERIFY2(under.count > 5 && std::abs(under.x - across) <= 3, qPrintable(QString::number(v)));
            QVERIFY2(left.count > 5 && std::abs(left.y - up) <= 3, qPrintable(QString::number(v)));
        }
        // "z2" under the middle of the horizontal axis, "w0" at the left beside the middle of the vertical one.
        const Ink z2 = inkIn(img, QRect(square.left(), below + line, side, line + PlotAxesFrame::kGap));
        const Ink w0 = inkIn(img, QRect(0, square.top(), square.left() - PlotAxesFrame::kTickLength - PlotAxesFrame::kGap - labelWidth,
                                        side));
        QVERIFY(z2.count > 5 && std::abs(z2.x - (square.left() + side / 2.0)) <= 4);
        QVERIFY(w0.count > 5 && std::abs(w0.y - (square.top() + side / 2.0)) <= 4);
    }

    void labelsUseATrueMinus()
    {
        QCOMPARE(PlotAxesFrame::tickLabel(-1.5), QString::fromUtf8("\u22121.5"));
        QCOMPARE(PlotAxesFrame::tickLabel(0), QStringLiteral("0"));
        QCOMPARE(PlotAxesFrame::tickLabel(2), QStringLiteral("2"));
    }
};

QTEST_MAIN(TestPlotAxesFrame)
#include "tst_plotaxesframe.moc"
