#include "StartupFigure.h"

#include "CurveSet.h"
#include "FigureWriter.h"
#include "FrameContent.h"
#include "PhasePlaneFigure.h"

#include <QGuiApplication>
#include <QPainter>

namespace cosmophase {

namespace {

WriteResult save(const QString& path, int side, const plot::FrameContent& content, const QString& title)
{
    const PhasePlaneFigure figure(content, side, QGuiApplication::font());
    return writeFigure(path, figure.size(), [&figure](QPainter& painter) { figure.paint(painter); }, title);
}

plot::FrameContent startupContent(const CurveSet& curves)
{
    plot::FrameContent content;
    content.setCurves(curves);
    content.setVisibility({true, true, true});
    return content;
}

} // namespace

WriteResult saveStartupFigure(const QString& path, int side)
{
    CurveSet curves;
    curves.initialize();
    plot::FrameContent content = startupContent(curves);
    content.setMarker({curves.trajectory().x.front(), curves.trajectory().y.front()});
    return save(path, side, content, QStringLiteral("Cosmophase phase plane"));
}

WriteResult saveStartupFigure(const QString& path, int side, const RunParameters& parameters,
                              const Curve& trajectory)
{
    if (parameters.isDefault())
        return saveStartupFigure(path, side);
    CurveSet curves;
    curves.initialize();
    plot::FrameContent content = startupContent(curves);
    content.setTrajectory(trajectory);
    content.setShowDefaultTrajectory(true);
    content.setMarker({trajectory.x.front(), trajectory.y.front()});
    return save(path, side, content,
                QStringLiteral("Cosmophase phase plane, q = %1, T = %2")
                    .arg(QString::fromStdString(accelerationText(parameters.q)))
                    .arg(parameters.T));
}

} // namespace cosmophase
