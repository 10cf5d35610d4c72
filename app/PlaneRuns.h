#pragma once

#include <QObject>

class MyOpenGLView;
class PinnedRuns;
class RunFamily;

// Shows the pinned runs and the family in the phase plane: whenever either
// changes, the view gets their curves in their colours, the family's
// coloured by log10(1 - q) across its grid.
class PlaneRuns : public QObject {
    Q_OBJECT

public:
    PlaneRuns(MyOpenGLView& view, const PinnedRuns& pinned, const RunFamily& family, QObject* parent = nullptr);

    void update();

private:
    MyOpenGLView& m_view;
    const PinnedRuns& m_pinned;
    const RunFamily& m_family;
};
