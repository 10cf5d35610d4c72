#include "FigureWriter.h"
#include "FrameConverter.h"
#include "MovieFrames.h"
#include "MovieWriter.h"
#include "SessionFigure.h"
#include "Simulation.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

using namespace cosmophase;

Q_DECLARE_METATYPE(cosmophase::Session)
Q_DECLARE_METATYPE(cosmophase::PlaybackPace)

namespace {

Curve trajectoryOf(const Session& session, std::vector<double>* times = nullptr)
{
    Simulation run;
    run.initialize(session.parameters());
    run.runSimulationBounded();
    if (times)
        *times = run.getTimeData();
    return {run.getz2Data(), run.getw0Data()};
}

struct Decoded {
    int frames = 0;
    QSize size;
    QString title;
    QImage first; // when decoded as BGRA, as GIF is
};

// Reads every frame back with FFmpeg's own decoders.
Decoded decode(const QString& path)
{
    Decoded decoded;
    AVFormatContext* input = nullptr;
    if (avformat_open_input(&input, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
        return decoded;
    avformat_find_stream_info(input, nullptr);
    if (const AVDictionaryEntry* title = av_dict_get(input->metadata, "title", nullptr, 0))
        decoded.title = QString::fromUtf8(title->value);
    const int index = av_find_best_stream(input, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    const AVCodec* decoder = index >= 0 ? avcodec_find_decoder(input->streams[index]->codecpar->codec_id) : nullptr;
    AVCodecContext* codec = decoder ? avcodec_alloc_context3(decoder) : nullptr;
    if (codec && avcodec_parameters_to_context(codec, input->streams[index]->codecpar) >= 0 &&
        avcodec_open2(codec, decoder, nullptr) >= 0) {
        AVPacket* packet = av_packet_alloc();
        AVFrame* frame = av_frame_alloc();
        const auto receive = [&] {
            while (avcodec_receive_frame(codec, frame) >= 0) {
                if (decoded.frames == 0 && frame->format == AV_PIX_FMT_BGRA)
                    decoded.first = QImage(frame->data[0], frame->width, frame->height, frame->linesize[0],
                                           QImage::Format_ARGB32)
                                        .convertToFormat(QImage::Format_RGB32);
                ++decoded.frames;
                decoded.size = QSize(frame->width, frame->height);
            }
        };
        while (av_read_frame(input, packet) >= 0) {
            if (packet->stream_index == index && avcodec_send_packet(codec, packet) >= 0)
                receive();
            av_packet_unref(packet);
        }
        avcodec_send_packet(codec, nullptr);
        receive();
        av_frame_free(&frame);
        av_packet_free(&packet);
    }
    avcodec_free_context(&codec);
    avformat_close_input(&input);
    return decoded;
}

QSize evenSize(QSize size)
{
    return {size.width() + size.width() % 2, size.height() + size.height() % 2};
}

// The mean difference of a channel between two pictures of a size, 0 to 255.
double paletteError(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return 255;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestMovies : public QObject {
    Q_OBJECT

private slots:
    // A frame before encoding is the PNG figure of the session with the
    // marker at the frame's sample, pixel for pixel.
    void frameIsTheFigure_data()
    {
        QTest::addColumn<Session>("session");
        QTest::addColumn<double>("percent");
        QTest::addColumn<PlaybackPace>("pace");
        QTest::addColumn<int>("side");

        Session plain;
        Session dressed; // zoomed, with a legend, a trace and nullclines
        dressed.view = {-0.2, 0.1, 0.9};
        dressed.layers.legend = true;
        dressed.layers.nullclines = true;
        dressed.traces = {{0.5, 0.5}};
        Session otherRun; // the default run's faint curve behind it
        otherRun.q = "0.9999";
        otherRun.T = 1000;
        otherRun.layers.legend = true;

        QTest::newRow("start") << plain << 0.0 << PlaybackPace::Time << 300;
        QTest::newRow("early, time") << plain << 0.4 << PlaybackPace::Time << 300;
        QTest::newRow("middle, odd side") << plain << 50.0 << PlaybackPace::Time << 301;
        QTest::newRow("end") << plain << 100.0 << PlaybackPace::Time << 300;
        QTest::newRow("log pace") << plain << 30.0 << PlaybackPace::LogTime << 300;
        QTest::newRow("sample pace") << plain << 30.0 << PlaybackPace::Samples << 300;
        QTest::newRow("dressed, start") << dressed << 0.0 << PlaybackPace::Time << 400;
        QTest::newRow("dressed, log") << dressed << 60.0 << PlaybackPace::LogTime << 400;
        QTest::newRow("other run, legend") << otherRun << 80.0 << PlaybackPace::Time << 250;
    }

    void frameIsTheFigure()
    {
        QFETCH(Session, session);
        QFETCH(double, percent);
        QFETCH(PlaybackPace, pace);
        QFETCH(int, side);

        std::vector<double> times;
        const Curve trajectory = trajectoryOf(session, &times);
        MovieRequest request;
        request.fromPercent = percent;
        request.toPercent = 100;
        request.pace = pace;
        const std::size_t sample = request.frameSample(times, 0);

        QTemporaryDir dir;
        const QString png = dir.filePath(QStringLiteral("figure.png"));
        Session marked = session;
        marked.marker = sample;
        QVERIFY(saveSessionFigure(png, side, marked, trajectory).ok);
        const QImage figure = QImage(png).convertToFormat(QImage::Format_RGB32);

        const SessionScene scene(session, trajectory, side, QGuiApplication::font());
        const QSize even = evenSize(scene.figure().size());
        const MovieFrames frames(scene.figure(), even);
        const QImage frame = frames.frame({trajectory.x[sample], trajectory.y[sample]});
        QCOMPARE(frame.size(), even);
        QCOMPARE(frame.copy(QRect(QPoint(), figure.size())), figure);
        if (even != figure.size())
            QCOMPARE(frame.pixel(even.width() - 1, even.height() - 1), qRgb(255, 255, 255));
    }

    // Converting only the rows that differ from the reference gives the
    // bytes that converting the whole frame gives, wherever they lie.
    void changedRowsConvertAsTheWholeFrame_data()
    {
        QTest::addColumn<QList<int>>("rows"); // first rows of 6-row blotches

        QTest::newRow("none") << QList<int>{};
        QTest::newRow("top edge") << QList<int>{0};
        QTest::newRow("bottom edge") << QList<int>{194};
        QTest::newRow("odd row, middle") << QList<int>{77};
        QTest::newRow("two apart") << QList<int>{20, 150};
        for (int gap = 7; gap <= 40; gap += 3)
            QTest::addRow("two, %d rows apart", gap) << QList<int>{41, 41 + gap};
        for (int row = 1; row < 194; row += 11)
            QTest::addRow("one at row %d", row) << QList<int>{row};
    }

    void changedRowsConvertAsTheWholeFrame()
    {
        QFETCH(QList<int>, rows);
        QImage reference(QSize(130, 200), QImage::Format_RGB32);
        for (int y = 0; y < reference.height(); ++y)
            for (int x = 0; x < reference.width(); ++x)
                reference.setPixel(x, y, qRgb(x * 2, y, (x * y) % 256));
        QImage changed = reference;
        for (int row : rows)
            for (int y = row; y < row + 6; ++y)
                for (int x = 30; x < 50; ++x)
                    changed.setPixel(x, y, qRgb(0, 0, 255));

        const EncoderFrame banded = YuvConverter(reference).convert(changed);
        const EncoderFrame whole = YuvConverter(QImage(QSize(2, 2), QImage::Format_RGB32)).convert(changed);
        QVERIFY(banded && whole);
        for (int plane = 0; plane < 3; ++plane) {
            const int width = plane == 0 ? 130 : 65, height = plane == 0 ? 200 : 100;
            for (int y = 0; y < height; ++y)
                QVERIFY2(std::memcmp(banded->data[plane] + y * banded->linesize[plane],
                                     whole->data[plane] + y * whole->linesize[plane], width) == 0,
                         qPrintable(QStringLiteral("plane %1, row %2").arg(plane).arg(y)));
        }
    }

    // Frame k of N = round(fps x duration) lies k / (N - 1) of the way from `from` to `to`.
    void framePercents_data()
    {
        QTest::addColumn<int>("fps");
        QTest::addColumn<double>("duration");
        QTest::addColumn<int>("frames");
        QTest::addColumn<QList<double>>("percents"); // of frames 0, 1 and N - 1

        QTest::newRow("default") << 30 << 20.0 << 600 << QList<double>{10, 10 + 80.0 / 599, 90};
        QTest::newRow("rounded count") << 3 << 0.5 << 2 << QList<double>{10, 90, 90};
        QTest::newRow("one frame") << 1 << 1.0 << 1 << QList<double>{10, 10, 10};
    }

    void framePercents()
    {
        QFETCH(int, fps);
        QFETCH(double, duration);
        QFETCH(int, frames);
        QFETCH(QList<double>, percents);
        MovieRequest request;
        request.fps = fps;
        request.duration = duration;
        request.fromPercent = 10;
        request.toPercent = 90;
        QCOMPARE(request.frameCount(), frames);
        QCOMPARE(request.framePercent(0), percents[0]);
        QCOMPARE(request.framePercent(1), percents[1]);
        QCOMPARE(request.framePercent(frames - 1), percents[2]);
    }

    // Written files decode back with their frame count and size, the
    // codec's even sides where it needs them.
    void decodesBack_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("side");
        QTest::addColumn<unsigned>("threads");

        QTest::newRow("mp4") << "movie.mp4" << 120 << 0u;
        QTest::newRow("mp4, odd figure, one thread") << "movie.MP4" << 121 << 1u;
        QTest::newRow("gif") << "movie.gif" << 121 << 0u;
        QTest::newRow("webm") << "movie.webm" << 120 << 2u;
    }

    void decodesBack()
    {
        QFETCH(QString, name);
        QFETCH(int, side);
        QFETCH(unsigned, threads);
        QTemporaryDir dir;
        MovieRequest request;
        request.path = QFile::encodeName(dir.filePath(name)).toStdString();
        request.side = side;
        request.fps = 10;
        request.duration = 1.2;
        request.threads = threads;
        request.session.q = "0.9999";
        std::vector<int> progress;
        const MovieResult result = writeMovie(request, [&](int done, int total) {
            QCOMPARE(total, 12);
            progress.push_back(done);
        });
        QVERIFY2(result.ok(), result.error.c_str());
        QCOMPARE(progress.size(), std::size_t{12});
        QCOMPARE(progress.back(), 12);

        const Curve trajectory = trajectoryOf(request.session);
        const SessionScene scene(request.session, trajectory, side, QGuiApplication::font());
        const QImage firstFrame =
            MovieFrames(scene.figure(), scene.figure().size()).frame({trajectory.x[0], trajectory.y[0]});
        QSize size = scene.figure().size();
        if (!name.endsWith(QLatin1String("gif")))
            size = evenSize(size);
        const Decoded decoded = decode(dir.filePath(name));
        QCOMPARE(decoded.frames, 12);
        QCOMPARE(decoded.size, size);
        if (!name.endsWith(QLatin1String("gif")))
            QCOMPARE(decoded.title, QStringLiteral("Cosmophase phase plane, q = 0.9999, T = 9000"));
        else
            QVERIFY2(paletteError(decoded.first, firstFrame) < 1, qPrintable(QString::number(paletteError(decoded.first, firstFrame))));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
    }

    // A cancelled or failed export leaves an existing file as it was and no
    // other file behind.
    void nothingBehindOnCancelOrFailure_data()
    {
        QTest::addColumn<QString>("q");
        QTest::addColumn<int>("cancelAfter"); // frames; 0: never
        QTest::addColumn<MovieResult::Status>("status");

        QTest::newRow("cancelled") << "0.999999426" << 3 << MovieResult::Status::Cancelled;
        QTest::newRow("run cannot finish") << "1.3228756" << 0 << MovieResult::Status::NoRun;
    }

    void nothingBehindOnCancelOrFailure()
    {
        QFETCH(QString, q);
        QFETCH(int, cancelAfter);
        QFETCH(MovieResult::Status, status);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("talk.mp4"));
        {
            QFile existing(path);
            QVERIFY(existing.open(QIODevice::WriteOnly));
            existing.write("an earlier movie");
        }
        MovieRequest request;
        request.path = QFile::encodeName(path).toStdString();
        request.side = 100;
        request.duration = 2;
        request.session.q = q.toStdString();
        std::atomic<bool> cancel{false};
        int seen = 0;
        const MovieResult result = writeMovie(
            request,
            [&](int done, int) {
                seen = done;
                if (done == cancelAfter)
                    cancel = true;
            },
            &cancel);
        QCOMPARE(result.status, status);
        if (cancelAfter != 0)
            QCOMPARE(seen, cancelAfter);
        QCOMPARE(contentsOf(path), QByteArray("an earlier movie"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"talk.mp4"});
    }
};

QTEST_MAIN(TestMovies)
#include "tst_movies.moc"
