#include "StartupFigure.h"

#include "CurveSet.h"
#include "FigureWriter.h"
#include "FrameContent.h"
#include "PhasePlaneFigure.h"

#include <QGuiApplication>
#include <QPainter>

namespace cosmophase {

namespace {

WriteResult save(const QString& path, int side, const plot::FrameContent& content, const QString& title,
                 const std::string& record)
{
    const PhasePlaneFigure figure(content, side, QGuiApplication::font());
    return writeFigure(path, figure.size(), [&figure](QPainter& painter) { figure.paint(painter); }, title, record);
}

plot::FrameContent startupContent(const CurveSet& curves)
{
    plot::FrameContent content;
    content.setCurves(curves);
    content.setVisibility({true, true, true});
    return content;
}

} // namespace

QString figureTitle(const QString& subject, const RunParameters& parameters)
{
    if (parameters.isDefault())
        return subject;
    return QStringLiteral("%1, q = %2, T = %3")
        .arg(subject, QString::fromStdString(accelerationText(parameters.q)))
        .arg(parameters.T);
}

WriteResult saveStartupFigure(const QString& path, int side, const std::string& record)
{
    CurveSet curves;
    curves.initialize();
    plot::FrameContent content = startupContent(curves);
    content.setMarker({curves.trajectory().x.front(), curves.trajectory().y.front()});
    return save(path, side, content, QStringLiteral("Cosmophase phase plane"), record);
}

WriteResult saveStartupFigure(const QString& path, int side, const RunParameters& parameters,
                              const Curve& trajectory, const std::string& record)
{
    if (parameters.isDefault())
        return saveStartupFigure(path, side, record);
    CurveSet curves;
    curves.initialize();
    plot::FrameContent content = startupContent(curves);
    content.setTrajectory(trajectory);
    content.setShowDefaultTrajectory(true);
    content.setMarker({trajectory.x.front(), trajectory.y.front()});
    return save(path, side, content, figureTitle(QStringLiteral("Cosmophase phase plane"), parameters), record);
}

} // namespace cosmophase
