#pragma once
// The picture store of a list view: pictures under string keys, in the
// order they were added, shown in cells of the first picture's size. Sizes
// are logical pixels; a picture of a higher device pixel ratio is drawn at
// its logical size with all its pixels.

#include "PackedPicture.h"

#include <QCache>
#include <QHash>
#include <QObject>
#include <QPixmap>
#include <QVector>

class ImageList : public QObject {
    Q_OBJECT
public:
    explicit ImageList(QObject *parent = nullptr);

    int Count() const { return m_entries.size(); }
    // Adds a picture under a key not yet in use. False (nothing added) when
    // the key is taken or the picture is empty.
    bool Add(const QString &key, const QImage &picture);
    bool Add(const QString &key, const PackedPicture &picture);
    void Clear();

    // 1-based position of the key; 0 when no picture has it.
    int IndexOf(const QString &key) const;
    QString Key(int index) const;
    QImage Picture(int index) const;
    QImage Picture(const QString &key) const;
    // The cell every picture is shown in: the size of the first picture
    // added after a clear; empty while the store is empty.
    QSize ImageSize() const { return m_cellSize; }
    // The picture fitted into a cell, for drawing: a larger one is scaled
    // down keeping its shape, a smaller one stays as it is. Null for an
    // unknown key.
    QPixmap cellPixmap(const QString &key) const;

Q_SIGNALS:
    void changed();

private:
    struct Entry {
        QString key;
        PackedPicture picture;
    };
    QVector<Entry> m_entries;
    QHash<QString, int> m_positions;     // key -> 0-based position
    QSize m_cellSize;
    mutable QCache<QString, QPixmap> m_drawCache;
};
