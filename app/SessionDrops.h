#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QMimeData;
class QWidget;

// A file dropped on the window opens as File ▸ Open Session… opens it: a
// session file, or a figure or movie that carries one. Only a single file
// of those kinds is taken, so the pointer shows at once what a drop does.
class SessionDrops : public QObject {
    Q_OBJECT

public:
    using Open = std::function<void(const QString& path)>;

    // Makes `window` take drops; `open` runs once the drop is over, since it
    // may ask about unsaved work and the drag's source waits until then.
    SessionDrops(QWidget& window, Open open, QObject* parent = nullptr);

    // The local file a drop would open, or empty.
    static QString droppedFile(const QMimeData* data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Open m_open;
};
