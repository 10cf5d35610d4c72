#include "FamilyPicking.h"

#include "MyOpenGLView.h"

#include <QLabel>
#include <QMouseEvent>

FamilyPicking::FamilyPicking(MyOpenGLView& view, QLabel& label, QObject* parent)
    : QObject(parent)
    , m_view(view)
    , m_label(label)
    , m_pointer(view)
{
    connect(&m_view, &MyOpenGLView::plotWindowChanged, &m_pointer, &PlotPointer::setPlotWindow);
    connect(&m_pointer, &PlotPointer::left, this, [this] { name(-1); });
    connect(&m_view, &MyOpenGLView::layersChanged, this, [this] { name(-1); });
    // After the tracer's watcher: this one sees the events first.
    m_view.installEventFilter(this);
}

int FamilyPicking::memberAt(QPointF position) const
{
    const cosmophase::plot::RunCurves& runs = m_view.runCurves();
    if (runs.family.empty() || m_view.width() <= 0)
        return -1;
    const double reach = kReachPixels * m_view.plotWindow().side() / m_view.width();
    return runs.familyMemberNear(m_pointer.plotPointAt(position), reach);
}

void FamilyPicking::name(int member)
{
    const cosmophase::plot::RunCurves& runs = m_view.runCurves();
    if (member < 0 || static_cast<std::size_t>(member) >= runs.family.size()) {
        m_label.clear();
        return;
    }
    m_label.setText(tr("Family: %1 (Ctrl+click: make it the run)")
                        .arg(QString::fromStdString(runs.family[static_cast<std::size_t>(member)].label)));
}

bool FamilyPicking::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &m_view)
        return false;
    switch (event->type()) {
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->buttons() == Qt::NoButton)
            name(memberAt(mouse->position()));
        break;
    }
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton || !(mouse->modifiers() & Qt::ControlModifier))
            break;
        const int member = memberAt(mouse->position());
        if (member < 0)
            break;
        m_pressed = member;
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton || !m_pressed)
            break;
        const int member = *m_pressed;
        m_pressed.reset();
        emit memberChosen(static_cast<std::size_t>(member));
        return true;
    }
    default:
        break;
    }
    return false;
}
