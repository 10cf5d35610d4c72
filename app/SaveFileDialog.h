#pragma once

#include <QString>

class QWidget;

// Asks where to save, in Qt's file dialog: a name typed without an
// extension gets the selected filter's before the dialog closes, so the
// overwrite question and the file written both see the full name. An empty
// result cancels.
QString askSavePath(QWidget* parent, const QString& caption, const QString& suggestedPath, const QString& filter);

// The extension a filter such as "SVG (*.svg)" or "PNG at twice the size
// (*@2x.png)" gives a bare name: its first pattern's, without the dot.
QString suffixOfFilter(const QString& nameFilter);
