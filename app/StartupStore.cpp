#include "StartupStore.h"

#include "AppLog.h"
#include "Prompts.h"
#include "Registry.h"

#include <QCoreApplication>

namespace StartupStore {

namespace {
constexpr int kStartupWaitMs = 2000;
}

bool open(bool mayRunReadOnly)
{
    if (Registry::openStore(kStartupWaitMs) != Registry::StoreState::InUse)
        return true;
    const QString path = Registry::databasePath();
    qCWarning(lcApp) << "the settings store" << path << "is held by another program";
    if (!mayRunReadOnly) {
        Prompts::MsgBox(QCoreApplication::translate("StartupStore",
                            "The settings are in use by another program (%1), so the file types were not "
                            "changed.").arg(path),
                        Prompts::OKOnly | Prompts::Exclamation);
        return false;
    }
    const int answer = Prompts::MsgBox(QCoreApplication::translate("StartupStore",
                                           "The settings are in use by another program (%1).\r\nDo you want to "
                                           "run Quillmere without saving any changes to them? Choose No to end "
                                           "Quillmere.").arg(path),
                                       Prompts::YesNo | Prompts::Exclamation);
    if (answer != Prompts::Yes)
        return false;
    Registry::keepReadOnly();
    return true;
}

}
