#include "EmbeddedRecord.h"
#include "FigureWriter.h"
#include "HeadlessRun.h"
#include "SessionFile.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>

using namespace cosmophase;

namespace {

// A session with something of everything a figure shows.
Session richSession()
{
    Session session;
    session.q = "0.9999";
    session.marker = 1200;
    session.view = {0.2, 0.1, 1.5};
    session.layers.legend = true;
    session.traces = {{0.5, 1.2}, {-0.7, 0.3}};
    return session;
}

bool write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QImage rendered(const QByteArray& svg)
{
    QSvgRenderer renderer(svg);
    QImage image(renderer.defaultSize(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

void paintSomething(QPainter& painter)
{
    painter.setPen(QPen(Qt::darkBlue, 3));
    painter.drawEllipse(QRectF(10, 12, 40, 30));
    painter.drawText(QPointF(8, 58), QStringLiteral("z2"));
}

} // namespace

// Figures and movies carry the session that drew them, and reopen as it.
class TestFiguresRemember : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // Runs the program; on failure says why.
    static int run(const QStringList& arguments, QString* err = nullptr)
    {
        const apptest::HeadlessRun result = apptest::runHeadless(arguments);
        if (err)
            *err = result.err;
        else if (result.status != 0)
            qWarning("%s", qPrintable(result.err));
        return result.status;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(write(path("rich.cosmophase"), QByteArray::fromStdString(sessionText(richSession()))));
    }

    // The record is metadata only: the picture is the same without it.
    void embeddingChangesNoPixel()
    {
        const std::string record = sessionRecordText(richSession(), "00112233aabbccdd");
        for (const int scale : {1, 2}) {
            const FigureFormat png{FigureFormat::Png, scale};
            const QByteArray with = encodeFigure(png, QSize(64, 64), paintSomething, {}, record);
            const QByteArray without = encodeFigure(png, QSize(64, 64), paintSomething, {});
            QVERIFY(with.size() > without.size());
            QCOMPARE(QImage::fromData(with), QImage::fromData(without));
        }
        const FigureFormat svg{FigureFormat::Svg, 1};
        QCOMPARE(rendered(encodeFigure(svg, QSize(64, 64), paintSomething, {}, record)),
                 rendered(encodeFigure(svg, QSize(64, 64), paintSomething, {})));
    }

    // A figure saved from a session, reopened and saved again as a PNG,
    // has the pixels of the PNG saved from the session itself.
    void reopenedFigureRedrawsTheSamePixels_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("option");
        QTest::newRow("png") << "s.png" << "--save-figure";
        QTest::newRow("svg") << "s.svg" << "--save-figure";
        QTest::newRow("pdf") << "s.pdf" << "--save-figure";
        QTest::newRow("gif") << "s.gif" << "--save-animation";
        QTest::newRow("mp4") << "s.mp4" << "--save-animation";
        QTest::newRow("webm") << "s.webm" << "--save-animation";
    }
    void reopenedFigureRedrawsTheSamePixels()
    {
        QFETCH(QString, source);
        QFETCH(QString, option);
        const QString size = QStringLiteral("300");
        const QString reference = path("reference.png");
        if (!QFile::exists(reference))
            QCOMPARE(run({path("rich.cosmophase"), "--save-figure", reference, "--size", size}), 0);
        QStringList save{path("rich.cosmophase"), option, path(source), "--size", size};
        if (option == QLatin1String("--save-animation"))
            save << "--fps" << "2" << "--duration" << "1";
        QCOMPARE(run(save), 0);
        const QString again = path(source + ".again.png");
        QCOMPARE(run({path(source), "--save-figure", again, "--size", size}), 0);
        const QImage redrawn(again);
        QVERIFY(!redrawn.isNull());
        QCOMPARE(redrawn, QImage(reference));
        // And it carries the same session again.
        QCOMPARE(readEmbedded(again.toStdString()).record->sessionText,
                 readEmbedded(reference.toStdString()).record->sessionText);
    }

    // A picture without a session, or with a damaged one, is refused with
    // one line and exit status 2, as a bad session file is.
    void picturesWithoutASessionAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("says");
        QImage plain(8, 8, QImage::Format_RGB32);
        plain.fill(Qt::red);
        QByteArray plainPng;
        {
            QBuffer buffer(&plainPng);
            buffer.open(QIODevice::WriteOnly);
            plain.save(&buffer, "PNG");
        }
        const QByteArray figure = encodeFigure({FigureFormat::Png, 1}, QSize(32, 32), paintSomething, {},
                                               sessionRecordText(richSession(), "00112233aabbccdd"));
        QTest::newRow("png without") << plainPng << "carries no session";
        QTest::newRow("truncated") << figure.left(figure.indexOf("iTXt") + 30) << "truncated";
    }
    void picturesWithoutASessionAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, says);
        const QString picture = path("bad.png");
        QVERIFY(write(picture, bytes));
        const QString out = path("never.png");
        QString err;
        QCOMPARE(run({picture, "--save-figure", out}, &err), 2);
        QVERIFY2(err.contains(says) && err.count('\n') == 1, qPrintable(err));
        QVERIFY(!QFile::exists(out));
    }
};

QTEST_MAIN(TestFiguresRemember)
#include "tst_figures_remember.moc"
