#pragma once

#include <QList>
#include <QString>

class QAction;
class QMenuBar;

// Every action the menu bar offers, submenus included, in menu order.
QList<QAction*> menuActions(const QMenuBar& bar);

// The action whose text, without its mnemonic, is `text`; null if none.
// Scripts, measurements and tests drive the menus by what the user reads.
QAction* menuAction(const QMenuBar& bar, const QString& text);
