#include "qt/Documents.h"

#include <QDir>
#include <QFileInfo>

namespace kelmor {

QStringList DocumentFolders(const QString& programDir) {
    const QDir program(programDir);
    return {QDir::currentPath(), program.absolutePath(),
            QDir::cleanPath(program.absoluteFilePath(QStringLiteral(KELMOR_DATA_FROM_BIN)))};
}

QString FindDocument(const QString& name, const QStringList& folders) {
    for (const QString& folder : folders) {
        const QFileInfo file(QDir(folder), name);
        if (file.isFile()) return file.absoluteFilePath();
    }
    return {};
}

} // namespace kelmor
