#include "AppCommands.h"
#include "AppTestSupport.h"
#include "PlotLegend.h"
#include "FigureWriter.h"
#include "FrameContent.h"
#include "PhasePlaneFigure.h"
#include "SaveFileDialog.h"
#include "SolutionTrace.h"
#include "TimeSeriesChart.h"

#include <QAction>
#include <QChartView>
#include <QStatusBar>
#include <QPainter>
#include <QProcess>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include <array>
#include <optional>

namespace plot = cosmophase::plot;
using cosmophase::FigureFormat;
using plot::FrameContent;

namespace {

constexpr int kSide = 800;

// Where a layer can be seen: its dots, marker, arrow heads, trace starts and
// 100 points along each curve, evenly by vertex index, ends included.
std::vector<plot::Point> probesOf(const plot::Layer& layer)
{
    std::vector<plot::Point> probes(layer.disks.begin(), layer.disks.end());
    probes.insert(probes.end(), layer.points.begin(), layer.points.end());
    for (const plot::Arrow& a : layer.arrows)
        probes.push_back({a.site.x + a.offset.x + a.head.x, a.site.y + a.offset.y + a.head.y});
    for (const std::vector<plot::Point>& strip : layer.strips)
        for (int i = 0; i < 100; ++i) {
            const double at = static_cast<double>(strip.size() - 1) * i / 99, f = at - std::floor(at);
            const plot::Point a = strip[std::size_t(at)], b = strip[std::min(std::size_t(at) + 1, strip.size() - 1)];
            probes.push_back({a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f});
        }
    return probes;
}

QRgb rgbOf(const plot::Colour& c)
{
    return qRgb(qRound(c.red * 255.0f), qRound(c.green * 255.0f), qRound(c.blue * 255.0f));
}

using Rgb = std::array<double, 3>;
Rgb channels(QRgb c) { return {double(qRed(c)), double(qGreen(c)), double(qBlue(c))}; }
bool near(const Rgb& a, const Rgb& b)
{
    return std::max({qAbs(a[0] - b[0]), qAbs(a[1] - b[1]), qAbs(a[2] - b[2])}) <= 30;
}

// Whether a pixel shows `colour`, alone or with at least 45% coverage over one
// of the `backgrounds`: SVG edges are smoothed, and a 1 px line between two
// pixel rows is half of each. A pixel of one of the colours themselves is that
// colour, not a mixture (purple is not half red over blue).
bool shows(QRgb pixel, QRgb colour, const QList<QRgb>& backgrounds)
{
    const Rgb p = channels(pixel), c = channels(colour);
    for (QRgb plain : backgrounds)
        if (near(p, channels(plain)))
            return near(p, c);
    for (QRgb background : backgrounds) {
        const Rgb b = channels(background);
        double along = 0, length = 0;
        for (int i = 0; i < 3; ++i)
            along += (p[i] - b[i]) * (c[i] - b[i]), length += (c[i] - b[i]) * (c[i] - b[i]);
        const double k = length > 0 ? along / length : 1;
        const Rgb mixed{k * c[0] + (1 - k) * b[0], k * c[1] + (1 - k) * b[1], k * c[2] + (1 - k) * b[2]};
        if (k >= 0.45 && near(p, mixed))
            return true;
    }
    return false;
}

// The first of `colours` seen within 2 px of `at`, as an index; -1 for none.
int frontmostNear(const QImage& image, QPoint at, const QList<QRgb>& colours, const QList<QRgb>& backgrounds)
{
    int front = -1;
    for (int y = at.y() - 2; y <= at.y() + 2; ++y)
        for (int x = at.x() - 2; x <= at.x() + 2; ++x)
            for (int k = 0; image.rect().contains(x, y) && k < colours.size() && (front < 0 || k < front); ++k)
                if (shows(image.pixel(x, y), colours[k], backgrounds))
                    front = k;
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
    static int run(const QString& program, const QStringList& arguments, QByteArray* output = nullptr)
    {
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished(20000))
            return -1;
        if (output)
            *output = process.readAllStandardOutput();
        return process.exitCode();
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
        QTRY_VERIFY(!m_app.controller->additions().timeSeriesChart()->series().time.empty());
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
        const bool figure = what == QLatin1String("figure");
        const QString path = m_dir.filePath(what + '.' + kind);
        QVERIFY(save(what, path));
        QVERIFY2(m_errors.isEmpty(), qPrintable(m_errors.join('\n')));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        if (kind == QLatin1String("svg")) {
            QVERIFY(QSvgRenderer(bytes).isValid());
            QVERIFY(!bytes.contains("<image"));
            QVERIFY(bytes.contains(figure ? ">z2</text>" : ">Elapsed time (years)</text>")); // text as text
        } else if (kind == QLatin1String("pdf")) {
            QByteArray info;
            QCOMPARE(run("pdfinfo", {path}, &info), 0);
            QVERIFY2(QRegularExpression("\\nPages: +1\\n").match(QString::fromLatin1(info)).hasMatch(), info.constData());
            QCOMPARE(run("pdftoppm", {"-r", "20", "-png", path, m_dir.filePath(what + "-pdf")}), 0);
            QVERIFY(!QImage(m_dir.filePath(what + "-pdf-1.png")).isNull());
        } else {
            const QImage image = QImage::fromData(bytes, "PNG");
            const QString twice = m_dir.filePath(what + "@2x.png");
            QVERIFY(save(what, twice));
            QCOMPARE(QImage(twice).size(), image.size() * 2);
            // The figure adds its axes around the plot; the chart is as shown.
            if (figure)
                QVERIFY(image.width() > m_app.view->width() && image.height() > m_app.view->height());
            else
                QCOMPARE(image.size(), m_app.controller->additions().timeSeriesChart()
                                           ->chartView(TimeSeriesChart::Observables)->viewport()->size());
        }
    }

    // Saved as shown: the zoomed window with its own ticks, and the legend
    // naming the layers shown only while it is on.
    void zoomedFigureWithLegend()
    {
        QAction* legend = m_app.menuAction(QStringLiteral("Legend"));
        const auto svg = [this](const QString& name) {
            const QString path = m_dir.filePath(name);
            QFile file(path);
            return save("figure", path) && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        QVERIFY(!svg("plain.svg").contains(">Trajectory</text>"));
        legend->trigger();
        cosmophase::plot::PlotWindow window;
        window.zoomAbout({0, 0}, 40);
        m_app.view->setPlotWindow(window);
        const QByteArray zoomed = svg("zoomed.svg");
        legend->trigger();
        m_app.view->setPlotWindow({});
        for (const char* text : {">Trajectory</text>", ">Stable manifold</text>", ">Direction field</text>", ">0.04</text>"})
            QVERIFY2(zoomed.contains(text), text);
        QVERIFY(!zoomed.contains(">1.5</text>") && !zoomed.contains(">Traces</text>"));
    }

    // Each layer's swatch is drawn the way the layer is; the box takes the
    // corner that hides the least, the top right when nothing is in the way.
    void legendSwatchesAndCorner()
    {
        using Swatch = PlotLegend::Swatch;
        cosmophase::plot::FrameContent content = m_app.view->frameContent();
        content.setShowDefaultTrajectory(true);
        QMap<QString, Swatch> swatches;
        for (const PlotLegend::Entry& entry : PlotLegend::entries(content))
            swatches.insert(entry.name, entry.swatch);
        const QMap<QString, Swatch> expected{{"Equilibria", Swatch::Dot}, {"Marker", Swatch::Dot},
                                             {"Trajectory", Swatch::Line}, {"Default run", Swatch::Line},
                                             {"Family curve", Swatch::Line}, {"Unstable manifold", Swatch::Line},
                                             {"Stable manifold", Swatch::Line}, {"Direction field", Swatch::Arrow}};
        QCOMPARE(swatches, expected);

        const QRect square(10, 20, 600, 600);
        const QSize size(150, 120);
        cosmophase::plot::FrameContent bare; // dots, marker and grid only
        const QRect topRight = PlotLegend::boxIn(square, size, bare, {});
        QCOMPARE(topRight, QRect(square.right() + 1 - PlotLegend::kMargin - 150, 20 + PlotLegend::kMargin, 150, 120));
        // A trace through the top right pushes the box to the top left; one
        // through both top corners, to the bottom right.
        bare.setTraces({cosmophase::traceThrough(1.6, 1.6)});
        const QRect moved = PlotLegend::boxIn(square, size, bare, {});
        QVERIFY2(moved != topRight, qPrintable(QStringLiteral("%1,%2").arg(moved.x()).arg(moved.y())));
        cosmophase::plot::Layer& traces = bare.editLayer(cosmophase::plot::FrameContent::Traces);
        traces.strips = {{{-1.9, 1.7}, {1.9, 1.7}}};
        traces.points.clear();
        QCOMPARE(PlotLegend::boxIn(square, size, bare, {}).topLeft(), QPoint(topRight.x(), 620 - PlotLegend::kMargin - 120));
        // Zoomed, the same line lies below the window and hides nothing.
        cosmophase::plot::PlotWindow window;
        window.zoomAbout({0, 0}, 4);
        QCOMPARE(PlotLegend::boxIn(square, size, bare, window), topRight);
    }

    // Dialogs start where the last file went; each save is confirmed with
    // its path. A bare name gets the selected filter's extension.
    void dialogsRememberTheFolderAndConfirmSaves()
    {
        AppCommands& commands = *m_app.delegate->commands();
        QStringList suggested;
        commands.setPathPrompt([&](const QString&, const QString& path, const QString&) {
            suggested << path;
            return m_dir.filePath(QStringLiteral("remembered.svg"));
        });
        commands.saveFigureAs();
        commands.exportSamplesAs();
        QCOMPARE(suggested.size(), 2);
        QCOMPARE(QFileInfo(suggested[0]).absolutePath(), QDir::homePath());
        QCOMPARE(QFileInfo(suggested[1]).absolutePath(), QFileInfo(m_dir.filePath("x")).absolutePath());
        QVERIFY(m_app.delegate->window()->statusBar()->currentMessage().contains(m_dir.filePath("remembered.svg")));
        const struct { const char* filter; const char* suffix; } filters[] = {
            {"Figures (*.svg *.pdf *.png)", "svg"}, {"PDF (*.pdf)", "pdf"}, {"PNG at twice the size (*@2x.png)", "png"},
            {"CSV files (*.csv)", "csv"}};
        for (const auto& f : filters)
            QCOMPARE(suffixOfFilter(QString::fromLatin1(f.filter)), QString::fromLatin1(f.suffix));
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
        const QString title = what == QLatin1String("chart") ? "Save Chart|" : "Save Figure|";
        QVERIFY2(m_errors.first().startsWith(title) && m_errors.first().contains(reason), qPrintable(m_errors.first()));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    }

    void formatFromName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("kind"); // -1: refused
        QTest::addColumn<int>("scale");
        QTest::newRow("upper-case pdf") << "FIG.PDF" << int(FigureFormat::Pdf) << 1;
        QTest::newRow("png") << "fig.png" << int(FigureFormat::Png) << 1;
        QTest::newRow("png @4x") << "a.b@4x.png" << int(FigureFormat::Png) << 4;
        QTest::newRow("png @3x is 1x") << "fig@3x.png" << int(FigureFormat::Png) << 1;
        QTest::newRow("svg @2x stays vector") << "fig@2x.svg" << int(FigureFormat::Svg) << 1;
        QTest::newRow("no extension") << "svg" << -1 << 0;
    }

    void formatFromName()
    {
        QFETCH(QString, name);
        QFETCH(int, kind);
        QFETCH(int, scale);
        const std::optional<FigureFormat> format = cosmophase::figureFormatFor(name);
        QCOMPARE(format ? int(format->kind) : -1, kind);
        QCOMPARE(format ? format->scale : 0, scale);
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
        const auto toggleAdditions = [&](bool on) {
            m_view.setTraces(on ? std::vector{cosmophase::traceThrough(0.5, 1.2), cosmophase::traceThrough(-1.7, -1.1)}
                                : std::vector<cosmophase::SolutionTrace>{});
            m_view.setShowNullclines(on);
            m_view.toggleShowFamily();
        };
        if (additions)
            toggleAdditions(true);
        m_view.setSimIndex(3000);
        m_view.update();
        const FrameContent content = m_view.frameContent();
        QTRY_VERIFY(!m_view.grabFramebuffer().isNull());
        const QImage gl = m_view.grabFramebuffer().convertToFormat(QImage::Format_RGB32);
        const PhasePlaneFigure figure(content, kSide, m_view.font());
        const QByteArray svg = cosmophase::encodeFigure({FigureFormat::Svg}, figure.size(),
                                                        [&](QPainter& p) { figure.paint(p); }, "test");
        if (additions)
            toggleAdditions(false);
        QImage whole(figure.size(), QImage::Format_RGB32);
        whole.fill(Qt::white);
        QPainter painter(&whole);
        QSvgRenderer(svg).render(&painter, QRectF(whole.rect()));
        painter.end();
        const QImage drawn = whole.copy(figure.plotRect());
        QCOMPARE(drawn.size(), gl.size());

        // The grid is left out: its stipple is matched in pattern, not to the pixel.
        QList<QRgb> colours;
        for (const plot::Layer& layer : content.layers())
            if (layer.shown && &layer != &content.layer(FrameContent::Grid))
                colours << rgbOf(layer.style.colour);
        const QList<QRgb> backgrounds = QList<QRgb>{qRgb(255, 255, 255)} + colours;
        int probes = 0;
        QStringList mismatches;
        for (int id = 0; id < FrameContent::LayerCount; ++id) {
            const plot::Layer& layer = content.layers()[id];
            for (const plot::Point& p : layer.shown && id != FrameContent::Grid ? probesOf(layer) : std::vector<plot::Point>{}) {
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
