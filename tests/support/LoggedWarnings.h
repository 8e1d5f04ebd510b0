#pragma once
// The warnings logged while an object of this class lives, for failures
// whose only trace is the log. One object at a time.

#include <QString>
#include <QtGlobal>

class LoggedWarnings {
public:
    LoggedWarnings();
    ~LoggedWarnings();
    // Whether a warning of the category (e.g. "qmr.app") mentions the text.
    bool has(const char *category, const QString &text) const;

private:
    QtMessageHandler m_previous;
};
