#pragma once
// The previous-instance test. The first instance holds a kernel lock on a
// file in the program's data folder; a second start finds it held and ends.
// The lock goes with its process however that ends (a crash, a signal, a
// lost display), so a lock file left behind never blocks a later start.

#include <QString>

class SingleInstance {
public:
    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;
    // True when another instance of the program runs, or when the lock
    // file cannot be opened (the user is told); false when this process is
    // now the one instance.
    bool anotherInstanceRuns();
    static QString lockPath();
private:
    int m_fd = -1;
};
