#include "FigureWriter.h"

#include "EmbeddedRecord.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

namespace cosmophase {

std::optional<FigureFormat> figureFormatFor(const QString& path)
{
    const QFileInfo info(path);
    const QString suffix = info.suffix().toLower();
    if (suffix == QLatin1String("svg"))
        return FigureFormat{FigureFormat::Svg, 1};
    if (suffix == QLatin1String("pdf"))
        return FigureFormat{FigureFormat::Pdf, 1};
    if (suffix != QLatin1String("png"))
        return std::nullopt;
    const QString base = info.completeBaseName();
    for (int scale : {2, 4}) {
        if (base.endsWith(QStringLiteral("@%1x").arg(scale)))
            return FigureFormat{FigureFormat::Png, scale};
    }
    return FigureFormat{FigureFormat::Png, 1};
}

QString figureFileFilter()
{
    return QStringLiteral("Figures (*.svg *.pdf *.png);;SVG (*.svg);;PDF (*.pdf);;PNG (*.png);;"
                          "PNG at twice the size (*@2x.png);;PNG at four times the size (*@4x.png)");
}

QByteArray encodeFigure(const FigureFormat& format, QSize size, const FigurePainter& paint, const QString& title,
                        const std::string& record)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly))
        return {};
    switch (format.kind) {
    case FigureFormat::Svg: {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        // A pixel at 96 dpi, so that the drawing's printed size is its size on screen.
        svg.setResolution(96);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(), size));
        svg.setTitle(title);
        QPainter painter(&svg);
        paint(painter);
        break;
    }
    case FigureFormat::Pdf: {
        QPdfWriter pdf(&buffer);
        // At 72 dpi one unit is one point: the page is the figure, a pixel a point.
        pdf.setResolution(72);
        pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(size), QPageSize::Point), QPageLayout::Portrait,
                                      QMarginsF(), QPageLayout::Point));
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("Cosmophase"));
        if (!record.empty())
            pdf.setDocumentXmpMetadata(QByteArray::fromStdString(
                pdfXmpPacket(title.toStdString(), pdf.creator().toStdString(), record)));
        QPainter painter(&pdf);
        paint(painter);
        break;
    }
    case FigureFormat::Png: {
        QImage image(size * format.scale, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.scale(format.scale, format.scale);
            paint(painter);
        }
        if (!image.save(&buffer, "PNG"))
            return {};
        break;
    }
    }
    if (record.empty() || format.kind == FigureFormat::Pdf)
        return bytes;
    return QByteArray::fromStdString(withEmbeddedRecord(bytes.toStdString(), record));
}

WriteResult writeFigure(const QString& path, QSize size, const FigurePainter& paint, const QString& title,
                        const std::string& record)
{
    const std::optional<FigureFormat> format = figureFormatFor(path);
    if (!format)
        return {false, QStringLiteral("%1: unknown kind of figure; use .svg, .pdf or .png").arg(path).toStdString(), {}};
    const QByteArray bytes = encodeFigure(*format, size, paint, title, record);
    if (bytes.isEmpty())
        return {false, QStringLiteral("%1: the figure could not be encoded").arg(path).toStdString(), {}};
    return writeFileAtomically(QFile::encodeName(path).toStdString(), bytes.toStdString());
}

} // namespace cosmophase
