#include "SaveFileDialog.h"

#include <QFileDialog>
#include <QRegularExpression>

QString suffixOfFilter(const QString& nameFilter)
{
    static const QRegularExpression firstPattern(QStringLiteral("\\*[^ )]*\\.([A-Za-z0-9]+)"));
    return firstPattern.match(nameFilter).captured(1);
}

QString askSavePath(QWidget* parent, const QString& caption, const QString& suggestedPath, const QString& filter)
{
    QFileDialog dialog(parent, caption, suggestedPath, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffixOfFilter(dialog.selectedNameFilter()));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& selected) { dialog.setDefaultSuffix(suffixOfFilter(selected)); });
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}
