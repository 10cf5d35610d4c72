#pragma once

#include "FrameContent.h"
#include "PlotWindow.h"
#include "RunCurves.h"

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

class QPainter;

// The key to the phase plane: a small framed box naming each layer a frame
// shows (all but the grid), each beside a swatch drawn the way the layer is:
// a dot for the equilibria and the marker, a line for curves, a line with
// its clicked dot for traces, an arrow with its square head for the field.
// The box sits in the corner of the plot where it hides the least of the
// curves. The window and saved figures draw the same box in the same place.
class PlotLegend {
public:
    enum class Swatch { Dot, Line, LineWithDot, Arrow, Gradient };

    struct Entry {
        QString name;
        cosmophase::plot::Colour colour;
        Swatch swatch = Swatch::Line;
    };

    static constexpr int kMargin = 6;

    // Pinned runs (each by its q and T) and a family (one entry with the
    // family's colours) follow the trajectory's entry, as they are drawn.
    static std::vector<Entry> entries(const cosmophase::plot::FrameContent& content,
                                      const cosmophase::plot::RunCurves* runs = nullptr);
    static QSize size(const std::vector<Entry>& entries, const QFont& font);
    // The box of `size` in the corner of `square` (the plot in pixels, which
    // shows `window`) that the fewest segments and points of the content's
    // curves, traces and dots cross: the top right when several tie. The
    // grid, the direction field and the marker, which moves, do not count.
    static QRect boxIn(const QRect& square, QSize size, const cosmophase::plot::FrameContent& content,
                       const cosmophase::plot::PlotWindow& window, const cosmophase::plot::RunCurves* runs = nullptr);
    static void paintBox(QPainter& painter, const QRect& box, const std::vector<Entry>& entries, const QFont& font);
};
