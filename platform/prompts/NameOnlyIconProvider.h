#pragma once
// Icons and type names for the entries of a file dialog, told from the
// names alone. Qt's own provider reads a file without a known extension to
// learn its type, on the interface thread; in a folder such as /proc that
// read can wait for ever (/proc/kmsg waits for the next kernel message), and
// a folder in the dialog's remembered history is listed at every opening.

#include <QFileIconProvider>
#include <QMimeDatabase>

class NameOnlyIconProvider : public QFileIconProvider {
public:
    QIcon icon(const QFileInfo &info) const override;
    QString type(const QFileInfo &info) const override;
    using QFileIconProvider::icon;

private:
    QMimeDatabase m_mimeTypes;
};
