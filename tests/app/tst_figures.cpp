#include "AppCommands.h"
#include "AppTestSupport.h"
#include "FigureWriter.h"
#include "FrameContent.h"
#include "PhasePlaneFigure.h"
#include "SolutionTrace.h"
#include "TimeSeriesChart.h"

#include <QBuffer>
#include <QChartView>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include <optional>

namespace plot = cosmophase::plot;
using cosmophase::FigureFormat;
using plot::FrameContent;

namespace {

constexpr int kSide = 800;

QImage svgImage(const QByteArray& svg, QSize size)
{
    QSvgRenderer renderer(svg);
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(), size));
    return image;
}

// Points on a polyline at even steps of its vertex index, ends included.
std::vector<plot::Point> along(const std::vector<plot::Point>& strip, int count)
{
    std::vector<plot::Point> points;
    const double last = static_cast<double>(strip.size() - 1);
    for (int i = 0; i < count; ++i) {
        const double at = last * i / (count - 1);
        const auto k = static_cast<std::size_t>(at);
        const plot::Point a = strip[k];
        const plot::Point b = strip[std::min(k + 1, strip.size() - 1)];
        const double f = at - static_cast<double>(k);
        points.push_back({a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f});
    }
    return points;
}

// Where a layer can be seen: its dots, marker, arrow heads, trace starts and
// 100 points along each of its curves.
std::vector<plot::Point> probesOf(const plot::Layer& layer)
{
    std::vector<plot::Point> probes(layer.disks.begin(), layer.disks.end());
    probes.insert(probes.end(), layer.points.begin(), layer.points.end());
    for (const plot::Arrow& a : layer.arrows)
        probes.push_back({a.site.x + a.offset.x + a.head.x, a.site.y + a.offset.y + a.head.y});
    for (const std::vector<plot::Point>& strip : layer.strips) {
        const std::vector<plot::Point> points = along(strip, 100);
        probes.insert(probes.end(), points.begin(), points.end());
    }
    return probes;
}

QRgb rgbOf(const plot::Colour& c)
{
    return qRgb(qRound(c.red * 255.0f), qRound(c.green * 255.0f), qRound(c.blue * 255.0f));
}

// Whether a pixel shows `colour`, or shows it with at least 45% coverage over one of the
// `backgrounds`: edges of the SVG are smoothed, and a 1 px line between two
// pixel rows is half of each.
bool near(QRgb a, QRgb b)
{
    return std::max({qAbs(qRed(a) - qRed(b)), qAbs(qGreen(a) - qGreen(b)), qAbs(qBlue(a) - qBlue(b))}) <= 30;
}

// A pixel of one of the colours themselves is that colour, not a mixture
// (purple is not half red over blue).
bool shows(QRgb pixel, QRgb colour, const QList<QRgb>& backgrounds)
{
    for (QRgb plain : backgrounds)
        if (near(pixel, plain))
            return near(pixel, colour);
    const double p[] = {double(qRed(pixel)), double(qGreen(pixel)), double(qBlue(pixel))};
    const double c[] = {double(qRed(colour)), double(qGreen(colour)), double(qBlue(colour))};
    for (QRgb background : backgrounds) {
        const double b[] = {double(qRed(background)), double(qGreen(background)), double(qBlue(background))};
        double along = 0, length = 0;
        for (int i = 0; i < 3; ++i) {
            along += (p[i] - b[i]) * (c[i] - b[i]);
            length += (c[i] - b[i]) * (c[i] - b[i]);
        }
        const double coverage = length > 0 ? along / length : 1;
        if (coverage < 0.45)
            continue;
        bool fits = true;
        for (int i = 0; i < 3; ++i)
            fits = fits && qAbs(p[i] - (coverage * c[i] + (1 - coverage) * b[i])) <= 30;
        if (fits)
            return true;
    }
    return false;
}

// The first of `colours` seen within 2 px of `at`, as an index; -1 for none.
int frontmostNear(const QImage& image, QPoint at, const QList<QRgb>& colours, const QList<QRgb>& backgrounds)
{
    int front = -1;
    for (int y = at.y() - 2; y <= at.y() + 2; ++y)
        for (int x = at.x() - 2; x <= at.x() + 2; ++x) {
            if (!image.rect().contains(x, y))
                continue;
            for (int k = 0; k < colours.size() && (front < 0 || k < front); ++k)
                if (shows(image.pixel(x, y), colours[k], backgrounds))
                    front = k;
        }
    return front;
}

} // namespace

class TestFigures : public QObject {
    Q_OBJECT
    MyOpenGLView m_view;
    QTemporaryDir m_dir;
    apptest::App m_app;
    QStringList m_errors;

    bool save(const QString& what, const QString& path)
    {
        AppCommands& commands = *m_app.delegate->commands();
        return what == QLatin1String("chart") ? commands.saveChart(path) : commands.saveFigure(path);
    }

public:
    static void initMain() { QSurfaceFormat::setDefaultFormat(MyOpenGLView::defaultSurfaceFormat()); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_view.resize(kSide, kSide);
        m_view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_view));
        QTRY_COMPARE(m_view.grabFramebuffer().size(), QSize(kSide, kSide));
        QVERIFY(apptest::launch(m_app));
        m_app.delegate->commands()->setErrorSink(
            [this](const QString& title, const QString& text) { m_errors << title + '|' + text; });
        // The chart is filled once the plot has shown a frame.
        QTRY_VERIFY(!m_app.controller->timeSeriesChart()->series().time.empty());
    }

    void init() { m_errors.clear(); }

    // Each command in each format writes a file that reads back as what it is.
    void savedFromTheWindow_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("kind");
        for (const char* what : {"figure", "chart"})
            for (const char* kind : {"svg", "pdf", "png"})
                QTest::addRow("%s %s", what, kind) << what << kind;
    }

    void savedFromTheWindow()
    {
        QFETCH(QString, what);
        QFETCH(QString, kind);
        const QString path = m_dir.filePath(what + '.' + kind);
        QVERIFY(save(what, path));
        QVERIFY2(m_errors.isEmpty(), qPrintable(m_errors.join('\n')));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const QByteArray title = what == QLatin1String("figure") ? ">z2</text>" : ">Elapsed time (years)</text>";
        if (kind == QLatin1String("svg")) {
            QVERIFY(QSvgRenderer(bytes).isValid());
            QVERIFY(!bytes.contains("<image"));
            QVERIFY(bytes.contains(title)); // text as text
        } else if (kind == QLatin1String("pdf")) {
            QProcess info;
            info.start(QStringLiteral("pdfinfo"), {path});
            QVERIFY(info.waitForFinished(20000));
            QCOMPARE(info.exitCode(), 0);
            QVERIFY(QRegularExpression("\\nPages: +1\\n").match(QString::fromLatin1(info.readAllStandardOutput())).hasMatch());
            QProcess render;
            render.start(QStringLiteral("pdftoppm"), {"-r", "20", "-png", path, m_dir.filePath(what + "-pdf")});
            QVERIFY(render.waitForFinished(20000));
            QCOMPARE(render.exitCode(), 0);
            QVERIFY(!QImage(m_dir.filePath(what + "-pdf-1.png")).isNull());
        } else {
            const QImage image = QImage::fromData(bytes, "PNG");
            const QString twice = m_dir.filePath(what + "@2x.png");
            QVERIFY(save(what, twice));
            QCOMPARE(QImage(twice).size(), image.size() * 2);
            const QSize onScreen = what == QLatin1String("figure") ? m_app.view->size()
                                   : m_app.controller->timeSeriesChart()->chartView(TimeSeriesChart::Observables)->viewport()->size();
            // The figure adds its axes around the plot; the chart is as shown.
            if (what == QLatin1String("figure"))
                QVERIFY(image.width() > onScreen.width() && image.height() > onScreen.height());
            else
                QCOMPARE(image.size(), onScreen);
        }
    }

    void failedSaveWritesNothing_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("figure, missing folder") << "figure" << "missing/f.svg" << "No such file";
        QTest::newRow("chart, missing folder") << "chart" << "missing/c.pdf" << "No such file";
        QTest::newRow("figure, other kind") << "figure" << "f.jpg" << ".svg, .pdf or .png";
    }

    void failedSaveWritesNothing()
    {
        QFETCH(QString, what);
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(!save(what, dir.filePath(name)));
        QCOMPARE(m_errors.size(), 1);
        QVERIFY2(m_errors.first().startsWith(what == QLatin1String("chart") ? "Save Chart|" : "Save Figure|"),
                 qPrintable(m_errors.first()));
        QVERIFY2(m_errors.first().contains(reason), qPrintable(m_errors.first()));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    }

    void formatFromName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("kind"); // -1: refused
        QTest::addColumn<int>("scale");
        QTest::newRow("svg") << "a/fig.svg" << int(FigureFormat::Svg) << 1;
        QTest::newRow("upper-case pdf") << "FIG.PDF" << int(FigureFormat::Pdf) << 1;
        QTest::newRow("png") << "fig.png" << int(FigureFormat::Png) << 1;
        QTest::newRow("png @2x") << "fig@2x.png" << int(FigureFormat::Png) << 2;
        QTest::newRow("png @4x") << "a.b@4x.png" << int(FigureFormat::Png) << 4;
        QTest::newRow("png @3x is 1x") << "fig@3x.png" << int(FigureFormat::Png) << 1;
        QTest::newRow("svg @2x stays vector") << "fig@2x.svg" << int(FigureFormat::Svg) << 1;
        QTest::newRow("jpeg") << "fig.jpg" << -1 << 0;
        QTest::newRow("no extension") << "svg" << -1 << 0;
    }

    void formatFromName()
    {
        QFETCH(QString, name);
        QFETCH(int, kind);
        QFETCH(int, scale);
        const std::optional<FigureFormat> format = cosmophase::figureFormatFor(name);
        QCOMPARE(format.has_value(), kind >= 0);
        if (format) {
            QCOMPARE(int(format->kind), kind);
            QCOMPARE(format->scale, scale);
        }
    }

    // The SVG and the GL frame agree on the layer in front at every dot,
    // the marker, each arrow head and 100 points along each curve shown.
    void svgShowsTheFrame_data()
    {
        QTest::addColumn<bool>("additions");
        QTest::newRow("start-up") << false;
        QTest::newRow("traces and nullclines, family off") << true;
    }

    void svgShowsTheFrame()
    {
        QFETCH(bool, additions);
        if (additions) {
            m_view.setTraces({cosmophase::traceThrough(0.5, 1.2), cosmophase::traceThrough(-1.7, -1.1)});
            m_view.setShowNullclines(true);
            m_view.toggleShowFamily();
        }
        m_view.setSimIndex(3000);
        m_view.update();
        const FrameContent content = m_view.frameContent();
        QTRY_VERIFY(!m_view.grabFramebuffer().isNull());
        const QImage gl = m_view.grabFramebuffer().convertToFormat(QImage::Format_RGB32);
        const PhasePlaneFigure figure(content, kSide, m_view.font());
        const QByteArray svg = cosmophase::encodeFigure({FigureFormat::Svg}, figure.size(),
                                                        [&](QPainter& p) { figure.paint(p); }, "test");
        const QImage drawn = svgImage(svg, figure.size()).copy(figure.plotRect());
        if (additions) {
            m_view.setTraces({});
            m_view.setShowNullclines(false);
            m_view.toggleShowFamily();
        }
        QCOMPARE(drawn.size(), gl.size());

        // The grid is left out: its stipple is matched in pattern, not to the pixel.
        QList<QRgb> colours;
        for (const plot::Layer& layer : content.layers())
            if (layer.shown && &layer != &content.layer(FrameContent::Grid))
                colours << rgbOf(layer.style.colour);
        const QList<QRgb> backgrounds = QList<QRgb>{qRgb(255, 255, 255)} + colours;
        int probes = 0;
        QStringList mismatches;
        for (FrameContent::LayerId id : {FrameContent::Equilibria, FrameContent::Marker, FrameContent::Trajectory,
                                         FrameContent::Family, FrameContent::Unstable, FrameContent::Stable,
                                         FrameContent::Traces, FrameContent::Z2Nullclines, FrameContent::W0Nullcline,
                                         FrameContent::DirectionField}) {
            const plot::Layer& layer = content.layer(id);
            if (!layer.shown)
                continue;
            for (const plot::Point& p : probesOf(layer)) {
                const QPoint at(static_cast<int>((p.x + 2) / 4 * kSide), static_cast<int>((2 - p.y) / 4 * kSide));
                if (!gl.rect().contains(at))
                    continue;
                ++probes;
                const int inGl = frontmostNear(gl, at, colours, backgrounds);
                const int inSvg = frontmostNear(drawn, at, colours, backgrounds);
                // Where layers meet, edges may differ by a pixel: then the
                // layer's own colour must still be there in both.
                const QList<QRgb> own{rgbOf(layer.style.colour)};
                const bool ownInBoth = frontmostNear(gl, at, own, backgrounds) == 0
                                       && frontmostNear(drawn, at, own, backgrounds) == 0;
                if ((inGl != inSvg || inGl < 0) && !ownInBoth)
                    mismatches << QStringLiteral("layer %1 at (%2, %3): %4 vs %5")
                                      .arg(id).arg(p.x).arg(p.y).arg(inGl).arg(inSvg);
            }
        }
        QVERIFY(probes > 1000);
        QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches.mid(0, 10).join('\n')));
        QVERIFY2(svg.size() < 2 * 1024 * 1024, qPrintable(QString::number(svg.size())));
        // Drawn, not pasted in as a picture; the grid keeps its stipple.
        QVERIFY(!svg.contains("<image"));
        QVERIFY(svg.contains("stroke-dasharray"));
    }

    void stippleAsDashes()
    {
        // 0x0BAD from its lowest bit: 1 on, 1 off, 2 on, 1 off, 1 on, 1 off, 3 on, 1 off, 1 on, 4 off.
        QCOMPARE(PhasePlaneFigure::dashPattern(0x0BAD, 1, 1), (QVector<qreal>{1, 1, 2, 1, 1, 1, 3, 1, 1, 4}));
        QCOMPARE(PhasePlaneFigure::dashPattern(0x00F0, 2, 2), (QVector<qreal>{0, 4, 4, 8}));
    }
};

QTEST_MAIN(TestFigures)
#include "tst_figures.moc"
