// Writes to the registry store for the tests that need a second process:
// argv[1] is the database. Without more arguments it writes without end, for
// the test that kills a writer in the middle of its work. With a value name
// as argv[2] it opens the store, says "ready", waits for a line on its
// standard input, creates the key Race\Key and stores that value in it; it
// ends with 0 when the value was stored.
#include "Registry.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

int writeForever()
{
    for (long i = 0;; ++i) {
        HKEY key = 0;
        const QString path = QStringLiteral("SOFTWARE\\Writer\\K%1").arg(i % 50);
        if (Registry::createKey(HKEY_CURRENT_USER, path, Registry::KEY_ALL_ACCESS, &key) != Registry::Success)
            return 1;
        const QByteArray value = QByteArray::number(qlonglong(i));
        Registry::setValue(key, QStringLiteral("Counter"), Registry::REG_SZ, value.constData(), value.size());
        Registry::closeKey(key);
        if (i == 20) {
            std::puts("writing");
            std::fflush(stdout);
        }
    }
}

int race(const QString &valueName)
{
    HKEY key = 0;
    Registry::openKey(HKEY_CURRENT_USER, QString(), Registry::KEY_READ, &key);   // opens the store
    std::puts("ready");
    std::fflush(stdout);
    if (std::getchar() == EOF)
        return 2;
    const bool stored =
        Registry::createKey(HKEY_CURRENT_USER, QStringLiteral("Race\\Key"), Registry::KEY_ALL_ACCESS, &key)
            == Registry::Success
        && Registry::setValue(key, valueName, Registry::REG_SZ, "1", 1) == Registry::Success;
    Registry::closeKey(key);
    return stored ? 0 : 1;
}

}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    Registry::setDatabasePath(QString::fromLocal8Bit(argv[1]));
    return argc > 2 ? race(QString::fromLocal8Bit(argv[2])) : writeForever();
}
