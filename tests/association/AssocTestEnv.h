#pragma once
// A clean machine for each test: an empty registry store, a program folder
// holding a "qmr" file, and empty desktop data and config folders, the
// system's included.

#include "Registry.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class AssocTestEnv : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString path(const QString &relative) const { return m_dir.path() + QLatin1Char('/') + relative; }
    // Moves the program folder (creating it, with a "qmr" file when asked).
    void setProgramFolder(const QString &folder, bool withProgram = true);
    QString programFolder() const { return m_programFolder; }

    // A string value as stored; "<missing>" when there is no such value.
    static QString stored(HKEY root, const QString &key, const QString &name = QString());
    static void storeRaw(HKEY root, const QString &key, const QString &name, std::uint32_t type,
                         const QByteArray &bytes);
    static bool keyExists(HKEY root, const QString &key);
    static QString userChoiceKey(const QString &extension);

private:
    QTemporaryDir m_dir;
    QString m_programFolder;
    QByteArray m_savedProgramDir;
    QList<QByteArray> m_savedDesktopVars;
};
