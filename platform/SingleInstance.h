#pragma once
// The previous-instance test. The first instance holds a lock file in the
// program's data folder; a second start finds it held and ends. A lock left
// by a crashed instance names a process that no longer runs and is taken
// over, so a crash never blocks later starts.

#include <QString>
#include <memory>

class QLockFile;

class SingleInstance {
public:
    SingleInstance();
    ~SingleInstance();
    // True when another instance of the program runs; false when this
    // process is now the one instance.
    bool anotherInstanceRuns();
    static QString lockPath();
private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_held = false;
};
