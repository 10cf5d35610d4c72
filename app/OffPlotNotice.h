#pragma once

#include <QWidget>

class MyOpenGLView;
class QLabel;
class QPushButton;

// A note over the bottom of the phase plane while the run on screen leaves
// the square -2 ... 2 and the plotted window does not hold all of it (above
// q = 1 every run does), with a button that zooms the plot to the whole run.
// A child widget of the view, so the GL frame itself is unchanged; hidden
// while the run fits.
class OffPlotNotice : public QWidget {
    Q_OBJECT

public:
    explicit OffPlotNotice(MyOpenGLView& view);

    QPushButton* zoomButton() const { return m_zoom; }

public slots:
    // Frames the whole run and the origin's square around it.
    void zoomToRun();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();
    void place();

    MyOpenGLView& m_view;
    QLabel* m_text = nullptr;
    QPushButton* m_zoom = nullptr;
};
