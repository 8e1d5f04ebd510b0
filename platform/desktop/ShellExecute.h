#pragma once
// Starting a file with the program the desktop associates with it, or
// running it when it is itself a program. Results: above 32 the file was
// started; 2 it does not exist; 31 no program could start it.

#include <QString>

namespace ShellExecute {
int open(const QString &file, const QString &parameters = QString(), const QString &workingFolder = QString());
}
