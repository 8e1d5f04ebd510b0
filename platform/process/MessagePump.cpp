#include "MessagePump.h"

#include <QCoreApplication>

namespace MessagePump {

void DoEvents()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void DoEvents(int times)
{
    for (int i = 0; i < times; ++i)
        DoEvents();
}

}
