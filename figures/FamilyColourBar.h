#pragma once

#include "RunCurves.h"

#include <QFont>
#include <QRect>
#include <QSize>

#include <vector>

class QPainter;

// The key to a family's colours: a framed bar from the smallest to the
// largest log10(1 - q) of the family, labelled at its ends and at the whole
// decades between, under the title "log10(1 - q)". It sits in the plot's
// bottom left corner, on screen and in figures alike.
class FamilyColourBar {
public:
    static constexpr int kBarWidth = 160;
    static constexpr int kBarHeight = 10;

    static QSize size(const QFont& font);
    static QRect boxIn(const QRect& square, QSize size);
    // Values labelled: the ends and the whole numbers between them, at
    // most seven in all (every second, third ... whole number beyond that).
    static std::vector<double> labelledValues(const cosmophase::plot::FamilyScale& scale);
    static void paintBox(QPainter& painter, const QRect& box, const cosmophase::plot::FamilyScale& scale,
                         const QFont& font);
    // Size, place and paint in one.
    static void paint(QPainter& painter, const QRect& square, const cosmophase::plot::FamilyScale& scale,
                      const QFont& font);
};
