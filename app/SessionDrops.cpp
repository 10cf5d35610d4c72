#include "SessionDrops.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

SessionDrops::SessionDrops(QWidget& window, Open open, QObject* parent)
    : QObject(parent)
    , m_open(std::move(open))
{
    window.setAcceptDrops(true);
    window.installEventFilter(this);
}

QString SessionDrops::droppedFile(const QMimeData* data)
{
    if (!data || data->urls().size() != 1 || !data->urls().front().isLocalFile())
        return {};
    const QString path = data->urls().front().toLocalFile();
    static const QStringList kinds{QStringLiteral("cosmophase"), QStringLiteral("png"), QStringLiteral("svg"),
                                   QStringLiteral("pdf"),        QStringLiteral("gif"), QStringLiteral("mp4"),
                                   QStringLiteral("webm")};
    return kinds.contains(QFileInfo(path).suffix().toLower()) ? path : QString();
}

bool SessionDrops::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (droppedFile(drag->mimeData()).isEmpty())
            return QObject::eventFilter(watched, event);
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString path = droppedFile(drop->mimeData());
        if (path.isEmpty())
            return QObject::eventFilter(watched, event);
        drop->acceptProposedAction();
        QTimer::singleShot(0, this, [this, path] { m_open(path); });
        return true;
    }
    default: return QObject::eventFilter(watched, event);
    }
}
