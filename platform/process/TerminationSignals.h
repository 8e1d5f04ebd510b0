#pragma once
// The signals that ask a program to end (SIGTERM at logout or shutdown,
// SIGINT, SIGHUP) end it the ordinary way instead of killing it where it
// stands: the handler only wakes the event loop, which then quits.

#include <QObject>

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // One per program, made after the application object.
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;
    // True once such a signal came; the event loop was told to quit.
    bool received() const { return m_received; }

private:
    void readSignal();

    bool m_received = false;
};
