#pragma once

#include <QWidget>

class MyOpenGLView;

// The family's colour bar (FamilyColourBar) over the plot's bottom left
// corner while a family is shown: a child widget of the view, like the
// legend, so that the GL frame itself is unchanged.
class ColourBarOverlay : public QWidget {
    Q_OBJECT

public:
    explicit ColourBarOverlay(MyOpenGLView& view);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();

    MyOpenGLView& m_view;
};
