#pragma once

#include "AtomicWrite.h"

#include <QByteArray>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>
#include <string>

class QPainter;

namespace cosmophase {

// How a figure is saved, from its file name: "name.svg", "name.pdf",
// "name.png", and "name@2x.png" or "name@4x.png" for a PNG at twice or
// four times the size on screen.
struct FigureFormat {
    enum Kind { Svg, Pdf, Png };
    Kind kind = Svg;
    int scale = 1;
};

std::optional<FigureFormat> figureFormatFor(const QString& path);

// For file dialogs: the three kinds of file and the larger PNGs.
QString figureFileFilter();

// Paints in on-screen pixels over a figure of a given size.
using FigurePainter = std::function<void(QPainter&)>;

// The figure as the bytes of its file: vector SVG or PDF (one page exactly
// the figure's size, a pixel a point) or a PNG at the format's scale.
// Empty when it could not be encoded. A `record` (sessionRecordText) is
// kept in the file's metadata, where it changes nothing that is drawn.
QByteArray encodeFigure(const FigureFormat& format, QSize size, const FigurePainter& paint,
                        const QString& title, const std::string& record = {});

// Encodes by the path's extension and writes the whole file or nothing.
WriteResult writeFigure(const QString& path, QSize size, const FigurePainter& paint, const QString& title,
                        const std::string& record = {});

} // namespace cosmophase
