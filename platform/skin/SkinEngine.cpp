#include "SkinEngine.h"

#include <QFile>
#include <QRegularExpression>
#include <QWidget>

namespace {
SkinEngine *g_main = nullptr;

// A skin object's name as the file and the callers write it, compared
// without regard to letter case.
QString key(const QString &name) { return name.trimmed().toLower(); }

// A skin file must look like text: no NUL bytes and valid UTF-8.
bool looksLikeText(const QByteArray &bytes)
{
    if (bytes.contains('\0'))
        return false;
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}
}

bool SkinEngine::LoadSkin(const QString &path)
{
    m_objects.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.read(4 * 1024 * 1024);
    if (!looksLikeText(bytes))
        return false;

    static const QRegularExpression header(QStringLiteral("^\\s*\\[([^\\]]+)\\]\\s*$"));
    QHash<QString, QString> objects;
    QString current;
    for (const QString &line : QString::fromUtf8(bytes).split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch match = header.match(line);
        if (match.hasMatch()) {
            current = key(match.captured(1));
            objects.insert(current, QString());
        } else if (!current.isEmpty() && !line.trimmed().startsWith(QLatin1Char('#'))) {
            objects[current] += line + QLatin1Char('\n');
        }
    }
    // Rules whose braces do not balance would make Qt drop the whole sheet
    // with warnings; such an object is left out.
    for (auto it = objects.begin(); it != objects.end();) {
        if (it.value().count(QLatin1Char('{')) != it.value().count(QLatin1Char('}')))
            it = objects.erase(it);
        else
            ++it;
    }
    m_objects = objects;
    return !m_objects.isEmpty();
}

QString SkinEngine::styleSheet(const QString &name) const
{
    return m_objects.value(key(name));
}

void SkinEngine::ApplySkin(QWidget *window)
{
    if (window && m_objects.contains(QStringLiteral("form")))
        window->setStyleSheet(m_objects.value(QStringLiteral("form")));
}

void SkinEngine::ApplySkinByName(QWidget *widget, const QString &name)
{
    if (!widget)
        return;
    const auto it = m_objects.constFind(key(name));
    if (it != m_objects.constEnd())
        widget->setStyleSheet(it.value());
}

SkinEngine &SkinEngine::main()
{
    static SkinEngine unskinned;
    return g_main ? *g_main : unskinned;
}

void SkinEngine::setMain(SkinEngine *engine) { g_main = engine; }
