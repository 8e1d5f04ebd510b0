#include "AssociationPolicy.h"

#include "AssocTypes.h"
#include "AssociationLog.h"
#include "ModAssoc.h"
#include "Prompts.h"
#include "Registry.h"

namespace AssociationPolicy {

namespace {

const QString kVerb = QStringLiteral("open");

QString iconPath(const AssocType &type)
{
    // GetAppPath ends with "/" and the icon file begins with one.
    return ModAssoc::GetAppPath() + QLatin1String(type.iconFile).mid(1);
}

void registerAll()
{
    for (const AssocType &type : AssocTypes)
        ModAssoc::CreateProgID(type.progId, type.description, kVerb, iconPath(type));
}

void associateAll()
{
    for (const AssocType &type : AssocTypes)
        ModAssoc::Associate(type.extension, type.progId);
}

bool isFirstRun()
{
    return ModAssoc::GetString(HKEY_CLASSES_ROOT, AssocTypes.front().progId, QString(), QString()).isEmpty();
}

// The list words of the types that no longer point here, in table order.
QString lostTypes()
{
    QString list;
    for (const AssocType &type : AssocTypes)
        if (ModAssoc::IsAssociated(type.extension, type.progId) != 1)
            list += QLatin1String(type.listWord);
    return list;
}

// The number of types associated now, or -1 when the store could not be read.
int countAssociated()
{
    Registry::FailureWatch watch;
    int count = 0;
    for (const AssocType &type : AssocTypes)
        count += ModAssoc::IsAssociated(type.extension, type.progId) == 1 ? 1 : 0;
    return watch.failed() ? -1 : count;
}

// A store that cannot be written now, or not read, changes nothing: a
// failed read is no first run and no lost type.
bool leftAlone(const char *why)
{
    qCWarning(lcAssociation) << "file types left as they are:" << why;
    return false;
}

QString questionText(const QString &lostTypes)
{
    return QStringLiteral("The following image types are no more associated with Quillmere, "
                          "Do you want to associate them now?\r\n")
        + lostTypes;
}

}

bool AssociateAll()
{
    if (Registry::keptReadOnly())
        return leftAlone("the settings are in use by another program");
    Registry::FailureWatch watch;
    const bool firstRun = isFirstRun();
    const QString lost = firstRun ? QString() : lostTypes();
    if (watch.failed())
        return leftAlone("the settings could not be read");
    if (!firstRun && lost.isEmpty())
        return true;        // every type is associated: nothing to write
    if (!firstRun && Prompts::MsgBox(questionText(lost), Prompts::YesNo | Prompts::Question) != Prompts::Yes)
        return false;
    registerAll();
    associateAll();
    return countAssociated() == int(AssocTypes.size());
}

bool DeAssociateAll()
{
    if (Registry::keptReadOnly())
        return leftAlone("the settings are in use by another program");
    for (const AssocType &type : AssocTypes)
        ModAssoc::DeAssociate(type.extension, type.progId);
    return countAssociated() == 0;
}

}
