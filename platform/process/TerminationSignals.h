#pragma once
// The signals that ask a program to end (SIGTERM at logout or shutdown,
// SIGINT, SIGHUP). The program is first asked to end the ordinary way,
// through its event loop; when it has not ended within a short grace (its
// interface thread busy with a long decode, say), it is ended where it
// stands. That leaves nothing damaged: the store commits whole or not at
// all, and files are written aside and renamed into place. A signal that
// was ignored when the program started (SIGHUP under nohup) stays ignored.

#include <QObject>

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // One per program, made after the application object.
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;
    // True once such a signal came; the event loop was told to quit.
    bool received() const;

    // How long the ordinary way may take after a signal.
    static constexpr int kGraceMs = 600;
};
