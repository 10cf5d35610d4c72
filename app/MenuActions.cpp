#include "MenuActions.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

QList<QAction*> menuActions(const QMenuBar& bar)
{
    QList<QAction*> found;
    QList<QAction*> pending = bar.actions();
    while (!pending.isEmpty()) {
        QAction* action = pending.takeFirst();
        if (action->menu() != nullptr)
            pending = action->menu()->actions() + pending;
        else
            found += action;
    }
    return found;
}

QAction* menuAction(const QMenuBar& bar, const QString& text)
{
    for (QAction* action : menuActions(bar))
        if (action->text().remove(QLatin1Char('&')) == text)
            return action;
    return nullptr;
}
