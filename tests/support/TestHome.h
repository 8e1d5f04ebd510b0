#pragma once
// Moves every folder the program keeps things in (its home, the XDG data,
// config, cache and desktop folders) into one fresh temporary folder for the
// life of this object, and keeps the wallpaper commands from running.

#include <QTemporaryDir>

class TestHome {
public:
    TestHome();
    QString path() const { return m_root.path(); }

private:
    QTemporaryDir m_root;
};
