#include "FolderSearch.h"

#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <utility>
#include <vector>

namespace {

bool isDots(const QString &name)
{
    return name == QLatin1String(".") || name == QLatin1String("..");
}

// The sort key of a name, with the name itself to break ties between
// names that differ only in letter case (a case-sensitive file system can
// hold both), so the order never depends on the file system's own.
using Keyed = std::pair<QString, QString>;

bool keyedBefore(const Keyed &a, const Keyed &b)
{
    if (isDots(a.second) || isDots(b.second))
        return isDots(a.second) && (!isDots(b.second) || a.second.size() < b.second.size());
    const int byKey = QString::compare(a.first, b.first, Qt::CaseSensitive);
    return byKey != 0 ? byKey < 0 : QString::compare(a.second, b.second, Qt::CaseSensitive) < 0;
}

// The whole folder is read at the start: the order is only known once
// every name is in.
std::vector<Keyed> readFolder(const QString &folder, const QRegularExpression *pattern, int &error,
                              QStringList &unreadable)
{
    std::vector<Keyed> entries;
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir) {
        // A folder that is not there is an answer, not a failure.
        if (errno != ENOENT && errno != ENOTDIR)
            error = errno;
        return entries;
    }
    while (const dirent *entry = ::readdir(dir)) {
        QString name = QFile::decodeName(entry->d_name);
        // A name that is not UTF-8 decodes to another name, which leads to
        // no file: it cannot be listed or opened.
        if (QFile::encodeName(name) != entry->d_name) {
            unreadable << std::move(name);
            continue;
        }
        if (!pattern || pattern->match(name).hasMatch())
            entries.emplace_back(name.toUpper(), std::move(name));
    }
    ::closedir(dir);
    return entries;
}

}

FolderSearch::FolderSearch(const QString &searchPath)
{
    const int slash = searchPath.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash < 0 ? QStringLiteral(".") : searchPath.left(slash + 1);
    const QString pattern = searchPath.mid(slash + 1);
    if (folder.isEmpty() || pattern.isEmpty())
        return;
    const bool matchAll = pattern == QLatin1String("*") || pattern == QLatin1String("*.*");
    const QRegularExpression matcher(
        matchAll ? QString() : QRegularExpression::wildcardToRegularExpression(pattern),
        QRegularExpression::CaseInsensitiveOption);
    std::vector<Keyed> entries = readFolder(folder, matchAll ? nullptr : &matcher, m_readError, m_unreadable);
    std::sort(entries.begin(), entries.end(), keyedBefore);
    m_names.reserve(qsizetype(entries.size()));
    for (Keyed &entry : entries)
        m_names << std::move(entry.second);
}

bool FolderSearch::next(QString &name)
{
    if (!isOpen())
        return false;
    name = m_names[m_next++];
    return true;
}

void FolderSearch::close()
{
    m_names.clear();
    m_next = 0;
}
