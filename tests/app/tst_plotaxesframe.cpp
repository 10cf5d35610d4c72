// The axes around the square plot follow it through resizes: each label
// centred on its grid line, the titles beside the middle of their axes.

#include "PlotAxesFrame.h"
#include "PlotGeometry.h"

#include <QTest>

class TestPlotAxesFrame : public QObject {
    Q_OBJECT

    // Centre of the box around the text (dark pixels) in an area; null without text.
    static QPointF inkCentre(const QImage& img, const QRect& area)
    {
        QRect box;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                box |= img.valid(x, y) && qGray(img.pixel(x, y)) < 128 ? QRect(x, y, 1, 1) : QRect();
        return box.isNull() ? QPointF() : QRectF(box).center();
    }

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
        const QWidget* plot = new QWidget(&frame);
        frame.resize(size);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        const QRect sq = plot->geometry();
        QVERIFY(sq.width() == sq.height() && sq.width() > 200 && frame.contentsRect().contains(sq));
        const QImage img = frame.grab().toImage();
        QVERIFY(inkCentre(img, sq).isNull());
        const int line = frame.fontMetrics().height(), width = frame.fontMetrics().horizontalAdvance(PlotAxesFrame::tickLabel(-1.5));
        const int below = sq.bottom() + 1 + PlotAxesFrame::kTickLength + PlotAxesFrame::kGap;
        const int right = sq.left() - PlotAxesFrame::kTickLength - PlotAxesFrame::kGap; // of the labels on the left
        for (double v : cosmophase::plot::tickValues()) {
            const double across = sq.left() + (v + 2) / 4 * sq.width(), up = sq.top() + (2 - v) / 4 * sq.width();
            const QPointF under = inkCentre(img, QRect(int(across) - width / 2 - 1, below, width + 2, line));
            const QPointF left = inkCentre(img, QRect(right - width, int(up) - line, width, 2 * line));
            QVERIFY2(!under.isNull() && qAbs(under.x() - across) <= 2 && !left.isNull() && qAbs(left.y() - up) <= 2,
                     qPrintable(PlotAxesFrame::tickLabel(v)));
        }
        const QPointF z2 = inkCentre(img, QRect(sq.left(), below + line, sq.width(), line + PlotAxesFrame::kGap));
        const QPointF w0 = inkCentre(img, QRect(0, sq.top(), right - width, sq.height()));
        QVERIFY(!z2.isNull() && qAbs(z2.x() - sq.center().x()) <= 4 && !w0.isNull() && qAbs(w0.y() - sq.center().y()) <= 4);
        QCOMPARE(PlotAxesFrame::tickLabel(-1.5), QString::fromUtf8("\u22121.5")); // a true minus
        // Zoomed: whole steps as whole numbers, fine steps to their own digit.
        QCOMPARE(PlotAxes::tickLabel(-600, 200), QString::fromUtf8("\u2212600"));
        QCOMPARE(PlotAxes::tickLabel(1400, 200), QStringLiteral("1400"));
        QCOMPARE(PlotAxes::tickLabel(0.0004, 0.0002), QStringLiteral("0.0004"));
        QCOMPARE(PlotAxes::tickLabel(0.15, 0.05), QStringLiteral("0.15"));
        QCOMPARE(PlotAxes::tickLabel(2e7, 1e7), QStringLiteral("2e+07"));
    }
};

QTEST_MAIN(TestPlotAxesFrame)
#include "tst_plotaxesframe.moc"
