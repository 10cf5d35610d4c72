#pragma once

#include "FrameContent.h"

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

class QPainter;

// The key to the phase plane: a small framed box naming each layer a frame
// shows (all but the grid), each beside a swatch in its colour. The window
// and saved figures draw the same box.
class PlotLegend {
public:
    struct Entry {
        QString name;
        cosmophase::plot::Colour colour;
    };

    static constexpr int kMargin = 6;

    static std::vector<Entry> entries(const cosmophase::plot::FrameContent& content);
    static QSize size(const std::vector<Entry>& entries, const QFont& font);
    // The box in its corner of the plot square: the top right.
    static QRect boxIn(const QRect& square, QSize size);
    static void paintBox(QPainter& painter, const QRect& box, const std::vector<Entry>& entries, const QFont& font);
    // Entries, size, place and paint in one.
    static void paint(QPainter& painter, const QRect& square, const cosmophase::plot::FrameContent& content,
                      const QFont& font);
};
