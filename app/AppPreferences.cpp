#include "AppPreferences.h"

#include "AppCommands.h"
#include "AppDelegate.h"
#include "CurveSwitches.h"
#include "FormAdditions.h"
#include "MasterViewController.h"
#include "MenuActions.h"
#include "Preferences.h"

#include <QMainWindow>
#include <QMenuBar>

void keepApplicationPreferences(Preferences& preferences, AppDelegate& delegate)
{
    CurveSwitches& curves = delegate.masterViewController()->additions().curveSwitches();
    preferences.addSwitch(QStringLiteral("stable_manifold"), curves.stable());
    preferences.addSwitch(QStringLiteral("unstable_manifold"), curves.unstable());
    preferences.addSwitch(QStringLiteral("family_curve"), curves.family());
    preferences.addSwitch(QStringLiteral("nullclines"), curves.nullclines());
    const PlotLayerSwitches& layers = delegate.layerSwitches();
    preferences.addSwitch(QStringLiteral("direction_field"), *layers.directionField);
    preferences.addSwitch(QStringLiteral("legend"), *layers.legend);
    preferences.addSwitch(QStringLiteral("redraw_when_idle"), *layers.redrawWhenIdle);
    const QMenuBar& bar = *delegate.window()->menuBar();
    for (const auto& [key, text] : {std::pair{"default_run", "Default Run"}, std::pair{"time_series", "Time Series"}})
        if (QAction* action = menuAction(bar, QString::fromLatin1(text)))
            preferences.addSwitch(QString::fromLatin1(key), *action);

    AppCommands* commands = delegate.commands();
    preferences.addFolder(
        QStringLiteral("save"), [commands] { return commands->lastFolder(); },
        [commands](const QString& folder) { commands->setLastFolder(folder); });
}
