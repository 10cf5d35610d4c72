#include "LaterFolderSyncs.h"

#include "OneLine.h"

#include <QMetaObject>

LaterFolderSyncs::LaterFolderSyncs(QObject* parent)
    : QObject(parent)
    , m_writer([this](const std::string&, const cosmophase::WriteResult& result) {
        if (result.warning.empty())
            return;
        QMetaObject::invokeMethod(
            this,
            [this, line = QString::fromStdString(cosmophase::escapeControlCharacters(result.warning))] {
                emit warning(line);
            },
            Qt::QueuedConnection);
    })
{
}

LaterFolderSyncs::~LaterFolderSyncs() = default;

void LaterFolderSyncs::sync(const std::string& path)
{
    m_writer.syncFolder(path);
}
