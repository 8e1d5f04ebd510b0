#include "AssociationPolicy.h"

#include "AssocTypes.h"
#include "ModAssoc.h"
#include "Prompts.h"

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

QString questionText(const QString &lostTypes)
{
    return QStringLiteral("The following image types are no more associated with Quillmere, "
                          "Do you want to associate them now?\r\n")
        + lostTypes;
}

}

void AssociateAll()
{
    if (isFirstRun()) {
        registerAll();
        associateAll();
        return;
    }
    const QString lost = lostTypes();
    if (lost.isEmpty()) {
        associateAll();     // every type is associated: nothing is written
        return;
    }
    if (Prompts::MsgBox(questionText(lost), Prompts::YesNo | Prompts::Question) != Prompts::Yes)
        return;
    registerAll();
    associateAll();
}

void DeAssociateAll()
{
    for (const AssocType &type : AssocTypes)
        ModAssoc::DeAssociate(type.extension, type.progId);
}

}
