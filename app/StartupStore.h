#pragma once
// The settings store at start-up. Another program may hold it (a backup, a
// tool looking into it); the start waits for it about two seconds at most,
// then lets the user choose between running without writing any settings
// and ending.

namespace StartupStore {

// False when the program is to end. A start that must write (an
// association switch) cannot run read-only: it says why and ends.
bool open(bool mayRunReadOnly);

}
