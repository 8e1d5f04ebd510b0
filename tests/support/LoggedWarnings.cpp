#include "LoggedWarnings.h"

#include <QMutex>
#include <QStringList>

namespace {
// Warnings may come from worker threads.
QMutex g_mutex;
QStringList g_lines;
}

LoggedWarnings::LoggedWarnings()
{
    QMutexLocker lock(&g_mutex);
    g_lines.clear();
    m_previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &message) {
        QMutexLocker lock(&g_mutex);
        if (type == QtWarningMsg)
            g_lines << QLatin1String(context.category) + QStringLiteral(": ") + message;
    });
}

LoggedWarnings::~LoggedWarnings() { qInstallMessageHandler(m_previous); }

bool LoggedWarnings::has(const char *category, const QString &text) const
{
    QMutexLocker lock(&g_mutex);
    for (const QString &line : g_lines)
        if (line.startsWith(QLatin1String(category) + QStringLiteral(": ")) && line.contains(text))
            return true;
    return false;
}
