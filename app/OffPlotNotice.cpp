#include "OffPlotNotice.h"

#include "MyOpenGLView.h"
#include "PlotWindow.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <cmath>
#include <optional>

namespace plot = cosmophase::plot;

namespace {

struct Bounds {
    double left = 0;
    double right = 0;
    double bottom = 0;
    double top = 0;
    bool within(double l, double r, double b, double t) const
    {
        return left >= l && right <= r && bottom >= b && top <= t;
    }
};

// Null for an empty curve or one with a non-finite point, which no window
// could frame.
std::optional<Bounds> boundsOf(const cosmophase::Curve& curve)
{
    if (curve.empty())
        return std::nullopt;
    const auto [left, right] = std::minmax_element(curve.x.begin(), curve.x.end());
    const auto [bottom, top] = std::minmax_element(curve.y.begin(), curve.y.end());
    const Bounds bounds{*left, *right, *bottom, *top};
    if (!(std::isfinite(bounds.left) && std::isfinite(bounds.right) && std::isfinite(bounds.bottom)
          && std::isfinite(bounds.top)))
        return std::nullopt;
    return bounds;
}

} // namespace

OffPlotNotice::OffPlotNotice(MyOpenGLView& view)
    : QWidget(&view)
    , m_view(view)
    , m_text(new QLabel(tr("The run leaves the square \u22122 \u2026 2."), this))
    , m_zoom(new QPushButton(tr("Zoom to Run"), this))
{
    setObjectName(QStringLiteral("offPlotNotice"));
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(255, 248, 220));
    setPalette(colours);
    m_zoom->setFocusPolicy(Qt::NoFocus);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 4, 4, 4);
    layout->addWidget(m_text);
    layout->addWidget(m_zoom);
    hide();
    connect(m_zoom, &QPushButton::clicked, this, &OffPlotNotice::zoomToRun);
    connect(&m_view, &MyOpenGLView::layersChanged, this, &OffPlotNotice::refresh);
    connect(&m_view, &MyOpenGLView::plotWindowChanged, this, &OffPlotNotice::refresh);
    m_view.installEventFilter(this);
}

void OffPlotNotice::zoomToRun()
{
    if (const std::optional<Bounds> run = boundsOf(m_view.curves().trajectory()))
        m_view.setPlotWindow(plot::PlotWindow::framing(run->left, run->right, run->bottom, run->top));
}

void OffPlotNotice::refresh()
{
    const std::optional<Bounds> run = boundsOf(m_view.curves().trajectory());
    const double full = plot::PlotWindow::kFullHalfSide;
    const plot::PlotWindow& window = m_view.plotWindow();
    const bool leaves = run && !run->within(-full, full, -full, full)
                     && !run->within(window.left(), window.right(), window.bottom(), window.top());
    setVisible(leaves);
    if (leaves)
        place();
}

void OffPlotNotice::place()
{
    const QSize size = sizeHint();
    setGeometry((m_view.width() - size.width()) / 2, m_view.height() - size.height() - 8, size.width(), size.height());
    raise();
}

bool OffPlotNotice::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_view && event->type() == QEvent::Resize && isVisible())
        place();
    return QWidget::eventFilter(watched, event);
}
