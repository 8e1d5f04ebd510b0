#include "FolderSearch.h"

#include <QFile>
#include <dirent.h>

FolderSearch::FolderSearch(const QString &searchPath)
{
    const int slash = searchPath.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash < 0 ? QStringLiteral(".") : searchPath.left(slash + 1);
    const QString pattern = searchPath.mid(slash + 1);
    m_matchAll = pattern == QLatin1String("*") || pattern == QLatin1String("*.*");
    if (!m_matchAll) {
        m_pattern = QRegularExpression(
            QRegularExpression::wildcardToRegularExpression(pattern),
            QRegularExpression::CaseInsensitiveOption);
    }
    if (folder.isEmpty() || pattern.isEmpty())
        return;
    m_dir = ::opendir(QFile::encodeName(folder).constData());
    if (m_dir)
        m_hasPending = readMatch(m_pending);
    if (!m_hasPending)
        close();
}

FolderSearch::~FolderSearch()
{
    close();
}

bool FolderSearch::next(QString &name)
{
    if (!m_hasPending)
        return false;
    name = m_pending;
    m_hasPending = m_dir && readMatch(m_pending);
    return true;
}

void FolderSearch::close()
{
    if (m_dir)
        ::closedir(static_cast<DIR *>(m_dir));
    m_dir = nullptr;
    m_hasPending = false;
}

bool FolderSearch::readMatch(QString &name)
{
    while (const dirent *entry = ::readdir(static_cast<DIR *>(m_dir))) {
        const QString decoded = QFile::decodeName(entry->d_name);
        if (m_matchAll || m_pattern.match(decoded).hasMatch()) {
            name = decoded;
            return true;
        }
    }
    return false;
}
