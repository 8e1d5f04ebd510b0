// Writes to the registry store without end, for the test that kills a
// writer in the middle of its work: argv[1] is the database.
#include "Registry.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    Registry::setDatabasePath(QString::fromLocal8Bit(argv[1]));
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
