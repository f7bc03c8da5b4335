#pragma once
#include <QString>
#include <QStringList>

namespace kelmor {

// Where the program looks for a document it opens by bare name (the
// manual), first to last: the current folder, the program's own folder
// (the build tree, a copied folder), then the installed data folder
// relative to the program.
QStringList DocumentFolders(const QString& programDir);

// The full path of the first file called `name` in `folders`; empty when
// none holds one.
QString FindDocument(const QString& name, const QStringList& folders);

} // namespace kelmor
