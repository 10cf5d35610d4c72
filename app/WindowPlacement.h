#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

// Where the main window opens: `preferred` where that size and the window
// frame fit in the screen's available area (without panels and docks),
// otherwise as much of each side as fits. The phase plane follows the
// window and stays square, so on a small screen it only gets smaller.
struct WindowPlacement {
    QSize size; // the window without its frame
    QPoint framePosition; // the frame's top-left corner, centring it

    static WindowPlacement within(const QRect& available, const QMargins& frame, const QSize& preferred);
    // A window remembered from an earlier run (`geometry` without its frame,
    // perhaps on a screen since gone or larger): as much of its size as
    // fits, moved as little as needed to lie wholly within `available`.
    static WindowPlacement keptWithin(const QRect& available, const QMargins& frame, const QRect& geometry);
};
