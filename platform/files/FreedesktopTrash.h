#pragma once
// The freedesktop trash. A file goes to the trash of its own volume: the
// home trash for the home volume, else the volume's top-level trash. It is
// never copied across volumes, and a volume without a usable trash gives
// false, leaving the file where it was.

#include <QString>
#include <sys/types.h>

class QFileInfo;

class FreedesktopTrash {
public:
    static bool moveToTrash(const QString &path);

private:
    static QString homeTrash();
    static dev_t deviceOf(const QString &path);
    static QString nearestExisting(QString path);
    static QString topFolderOf(const QString &path, dev_t device);
    static QString relativeTo(const QString &top, const QString &path);
    static bool prepare(const QString &trash, bool makeParents);
    static bool moveInto(const QString &trash, const QString &absolute, const QString &pathForInfo);
    static QString uniqueName(const QFileInfo &item, int n);
};
