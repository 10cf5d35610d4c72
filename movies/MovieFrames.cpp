#include "MovieFrames.h"

#include <QPainter>

namespace cosmophase {

namespace {

// As a PNG figure is painted.
QImage blankImage(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

MovieFrames::MovieFrames(const PhasePlaneFigure& figure, QSize imageSize)
    : m_figure(figure)
    , m_still(blankImage(imageSize.expandedTo(figure.size())))
    , m_legendBox(figure.legendBox())
{
    QPainter painter(&m_still);
    painter.setRenderHint(QPainter::Antialiasing);
    m_figure.paintStill(painter);
}

QImage MovieFrames::frame(plot::Point marker) const
{
    QImage image = m_still;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    m_figure.paintMoving(painter, marker, m_legendBox);
    return image;
}

} // namespace cosmophase
