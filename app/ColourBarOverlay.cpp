#include "ColourBarOverlay.h"

#include "FamilyColourBar.h"
#include "MyOpenGLView.h"

#include <QEvent>
#include <QPainter>

ColourBarOverlay::ColourBarOverlay(MyOpenGLView& view)
    : QWidget(&view)
    , m_view(view)
{
    setObjectName(QStringLiteral("familyColourBar"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
    connect(&m_view, &MyOpenGLView::layersChanged, this, &ColourBarOverlay::place);
    m_view.installEventFilter(this);
}

void ColourBarOverlay::place()
{
    const cosmophase::plot::RunCurves& runs = m_view.runCurves();
    const bool shown = runs.scale.has_value() && !runs.family.empty();
    setVisible(shown);
    if (!shown)
        return;
    setGeometry(FamilyColourBar::boxIn(m_view.rect(), FamilyColourBar::size(font())));
    raise();
    update();
}

bool ColourBarOverlay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_view && event->type() == QEvent::Resize)
        place();
    return QWidget::eventFilter(watched, event);
}

void ColourBarOverlay::paintEvent(QPaintEvent*)
{
    const cosmophase::plot::RunCurves& runs = m_view.runCurves();
    if (!runs.scale)
        return;
    QPainter painter(this);
    FamilyColourBar::paintBox(painter, rect(), *runs.scale, font());
}
