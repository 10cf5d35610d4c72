#include "StartupFigure.h"

#include "CurveSet.h"
#include "FigureWriter.h"
#include "FrameContent.h"
#include "PhasePlaneFigure.h"

#include <QGuiApplication>
#include <QPainter>

namespace cosmophase {

WriteResult saveStartupFigure(const QString& path, int side)
{
    CurveSet curves;
    curves.initialize();
    plot::FrameContent content;
    content.setCurves(curves);
    content.setVisibility({true, true, true});
    content.setMarker({curves.trajectory().x.front(), curves.trajectory().y.front()});
    const PhasePlaneFigure figure(content, side, QGuiApplication::font());
    return writeFigure(path, figure.size(), [&figure](QPainter& painter) { figure.paint(painter); },
                       QStringLiteral("Cosmophase phase plane"));
}

} // namespace cosmophase
