#include "ImageListRules.h"

namespace ImageListRules {

int wrap(int index, int count)
{
    if (index == count)
        index = 0;
    if (index == -1)
        index = count - 1;
    return index;
}

std::optional<int> nextStep(const QStringList &files, int index)
{
    const int last = int(files.size()) - 1;
    if (index == last)
        return std::nullopt;
    int i = index + 1;
    if (i > last)
        i = 0;
    if (i < 0 || i > last)
        return std::nullopt;
    if (files[i].isEmpty())
        ++i;
    return i;
}

std::optional<int> previousStep(const QStringList &files, int index)
{
    const int last = int(files.size()) - 1;
    if (index == 0)
        return std::nullopt;
    int i = index - 1;
    if (i == -1)
        i = last;
    if (i < 0 || i > last)
        return std::nullopt;
    if (files[i].isEmpty())
        --i;
    return i;
}

QStringList without(const QStringList &files, int index)
{
    QStringList rest = files;
    if (index >= 0 && index < rest.size())
        rest.removeAt(index);
    return rest;
}

}
