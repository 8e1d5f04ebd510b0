#pragma once
// What the main window's preview does with its imaging control: show the
// browser's current file, zoom it in steps and name the file on show.

#include <QString>

class ImgX;

class PreviewPane {
public:
    // The file types that go through the picture loader.
    static inline const QString PictureLoadExts = QStringLiteral("ico cur dib");

    explicit PreviewPane(ImgX *view);

    // Shows the file; "", a folder or a file that cannot be read leaves the
    // preview empty. The zoom stays; the scroll mode goes back to 0.
    void Show(const QString &path);
    void Clear();
    // One zoom step; nothing happens without an image or past the limits.
    void ZoomIn();
    void ZoomOut();
    // The file on show, "" when the preview is empty.
    QString ShownFile() const;
    bool isEmpty() const;

    static bool isPictureFile(const QString &path);

private:
    void loadPicture(const QString &path);
    void loadFile(const QString &path);
    void applyZoom(double zoom);

    ImgX *m_view;
    QString m_picturePath;   // the file a picture came from; the control keeps no path for it
};
