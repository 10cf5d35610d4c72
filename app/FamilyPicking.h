#pragma once

#include "PlotGeometry.h"
#include "PlotPointer.h"

#include <QObject>

#include <optional>

class MyOpenGLView;
class QLabel;

// Names the family member under the pointer in a label (the status bar's),
// and makes it the window's run on Ctrl+click. A plain click still traces;
// a Ctrl+click over a member does not.
class FamilyPicking : public QObject {
    Q_OBJECT

public:
    // How near, in pixels, the pointer must come to a member's curve.
    static constexpr double kReachPixels = 4;

    FamilyPicking(MyOpenGLView& view, QLabel& label, QObject* parent = nullptr);

    // The member under a widget position; -1 for none.
    int memberAt(QPointF position) const;

signals:
    void memberChosen(std::size_t index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void name(int member);

    MyOpenGLView& m_view;
    QLabel& m_label;
    PlotPointer m_pointer;
    std::optional<int> m_pressed; // the member a Ctrl+press landed on
};
