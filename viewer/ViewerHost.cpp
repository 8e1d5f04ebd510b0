#include "ViewerHost.h"

namespace {
ViewerHost *g_host = nullptr;
}

ViewerHost *ViewerHost::instance()
{
    return g_host;
}

void ViewerHost::setInstance(ViewerHost *host)
{
    g_host = host;
}
