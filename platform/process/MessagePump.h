#pragma once
// Letting pending events run, on the one user-interface thread.

namespace MessagePump {
// Runs the events that are waiting now, once.
void DoEvents();
// Runs them the given number of times in a row.
void DoEvents(int times);
}
