#pragma once
// Work done in a child process of this one, for libraries that cannot be
// trusted with every file: one that loops forever costs at most the time
// limit, and one that crashes ends only the child. The child is a fork, so
// the work may use what the program holds; it runs alone in the child and
// must not wait on other threads.

#include <QByteArray>
#include <QString>

#include <chrono>
#include <functional>

namespace HelperProcess {

struct Result {
    bool ok = false;
    QByteArray output;   // what the work returned
    QString failure;     // why there is no output, for a message
    QString thrown;      // the whole message of an error the work threw
};

// Runs `work` in a child and gives back the bytes it returns (empty bytes
// count as failure, and so does an exception, whose message is handed
// back). Stops the child once `limit` has passed or its output passes
// `maxBytes`.
Result run(const std::function<QByteArray()> &work, std::chrono::milliseconds limit, qint64 maxBytes);

}
