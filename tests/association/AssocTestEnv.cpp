#include "AssocTestEnv.h"

#include "ModAssoc.h"
#include "ScriptedPrompts.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>

namespace {
const char *const kDesktopVars[] = {"XDG_DATA_DIRS", "XDG_CONFIG_DIRS", "XDG_CURRENT_DESKTOP"};
}

void AssocTestEnv::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    m_savedProgramDir = qgetenv("QMR_PROGRAM_DIR");
    Registry::setDatabasePath(path("registry.db"));
    QDir().mkpath(path("data"));
    QDir().mkpath(path("config"));
    qputenv("XDG_DATA_HOME", path("data").toUtf8());
    qputenv("XDG_CONFIG_HOME", path("config").toUtf8());
    // The machine's own lists and programs stay out; xdg-mime works the
    // generic way.
    for (const char *var : kDesktopVars)
        m_savedDesktopVars << qgetenv(var);
    qputenv("XDG_DATA_DIRS", path("sysdata").toUtf8());
    qputenv("XDG_CONFIG_DIRS", path("sysconfig").toUtf8());
    qputenv("XDG_CURRENT_DESKTOP", "X-Generic");
    setProgramFolder(path("program"));
    ScriptedPrompts::instance().reset();
}

void AssocTestEnv::TearDown()
{
    Registry::setRootReadOnly(HKEY_CLASSES_ROOT, false);
    Registry::setRootReadOnly(HKEY_CURRENT_USER, false);
    Registry::setDatabasePath(QString());
    qputenv("QMR_PROGRAM_DIR", m_savedProgramDir);
    for (int i = 0; i < m_savedDesktopVars.size(); ++i)
        m_savedDesktopVars[i].isNull() ? qunsetenv(kDesktopVars[i]) : qputenv(kDesktopVars[i], m_savedDesktopVars[i]);
    ScriptedPrompts::instance().reset();
}

void AssocTestEnv::setProgramFolder(const QString &folder, bool withProgram)
{
    m_programFolder = folder;
    QDir().mkpath(folder);
    if (withProgram) {
        ASSERT_TRUE(TestFiles::writeBytes(folder + "/qmr", "#!/bin/sh\n"));
        QFile::setPermissions(folder + "/qmr", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    qputenv("QMR_PROGRAM_DIR", folder.toUtf8());
}

QString AssocTestEnv::stored(HKEY root, const QString &key, const QString &name)
{
    return ModAssoc::GetString(root, key, name, QStringLiteral("<missing>"));
}

void AssocTestEnv::storeRaw(HKEY root, const QString &key, const QString &name, std::uint32_t type,
                            const QByteArray &bytes)
{
    HKEY handle = 0;
    ASSERT_EQ(Registry::createKey(root, key, Registry::KEY_ALL_ACCESS, &handle), Registry::Success);
    ASSERT_EQ(Registry::setValueRaw(handle, name, type, bytes), Registry::Success);
    Registry::closeKey(handle);
}

bool AssocTestEnv::keyExists(HKEY root, const QString &key)
{
    HKEY handle = 0;
    if (Registry::openKey(root, key, Registry::KEY_READ, &handle) != Registry::Success)
        return false;
    Registry::closeKey(handle);
    return true;
}

QString AssocTestEnv::userChoiceKey(const QString &extension)
{
    return QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\") + extension;
}
