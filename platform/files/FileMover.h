#pragma once
// Copies, moves and removes single items on the file system, reporting
// failures as FileOps::OperationError.

#include <QString>

class OperationProgress;
class QFile;

class FileMover {
public:
    explicit FileMover(OperationProgress &progress) : m_progress(progress) {}

    void copyItem(const QString &src, const QString &dst, bool mayReplace);
    void moveItem(const QString &src, const QString &dst, bool mayReplace);
    // Copies or moves the folder's contents into an existing folder; files
    // of the same name are replaced (the user agreed to that for the whole
    // folder). A moved folder is removed once it is empty.
    void merge(const QString &src, const QString &dst, bool move);
    void removeItem(const QString &path);

private:
    void moveFileAcross(const QString &src, const QString &dst, bool mayReplace);
    void moveFolderAcross(const QString &src, const QString &dst);
    static void requireWritable(const QString &folder);
    static void requireRemovableContents(const QString &folder);
    static QString setAside(const QString &path);
    static bool mergeConflict(const QString &from, const QString &to);
    static QString tempTemplate(const QString &dst);
    static QString randomNameBeside(const QString &path, const char *kind);
    void place(const QString &temp, const QString &dst, bool mayReplace);
    void copyFile(const QString &src, const QString &dst, bool mayReplace, bool durable);
    qint64 copyBytes(QFile &in, QFile &out);
    void copyLink(const QString &src, const QString &dst, bool mayReplace);
    void copyFolder(const QString &src, const QString &dst, bool durable);
    void copyContents(const QString &src, const QString &dst, bool durable);

    OperationProgress &m_progress;
};
