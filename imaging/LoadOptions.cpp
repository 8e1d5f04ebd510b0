#include "LoadOptions.h"

#include <QStringList>

LoadOptions LoadOptions::parse(const QString &text)
{
    LoadOptions options;
    const QStringList items = text.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString &item : items) {
        const int eq = item.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = item.left(eq).trimmed();
        const QString value = item.mid(eq + 1).trimmed();
        if (key.compare(QLatin1String("ThumbnailSize"), Qt::CaseInsensitive) == 0) {
            bool ok = false;
            const int n = value.toInt(&ok);
            if (ok && n > 0)
                options.thumbnailSize = n;
        }
    }
    return options;
}
