#pragma once

#include "BackgroundWriter.h"

#include <QObject>
#include <QString>

#include <string>

// The folder syncs that saves on the UI thread leave for later
// (FolderSync::Later): what makes a rename survive a power cut, done in
// order on a thread of their own, so that a save waits only for its data.
// A folder that cannot be synced is reported after.
class LaterFolderSyncs : public QObject {
    Q_OBJECT

public:
    explicit LaterFolderSyncs(QObject* parent = nullptr);
    // Finishes the syncs asked for.
    ~LaterFolderSyncs() override;

    // After a FolderSync::Later write of `path`.
    void sync(const std::string& path);
    void wait() { m_writer.wait(); }

signals:
    // One line: saved, but its folder could not be synced.
    void warning(const QString& line);

private:
    cosmophase::BackgroundWriter m_writer;
};
