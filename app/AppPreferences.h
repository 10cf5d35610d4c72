#pragma once

class AppDelegate;
class Preferences;

// The application's own preferences: the View menu's switches, under the
// names the session file gives the layers, and the save dialogs' folder.
void keepApplicationPreferences(Preferences& preferences, AppDelegate& delegate);
