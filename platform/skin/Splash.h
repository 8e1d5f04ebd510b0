#pragma once
// The start-up splash. A splash file is a picture file in any format the
// imaging component reads as such through Qt (PNG, say), whatever its
// name. Show puts it on screen and it closes itself after a few seconds, at
// the first click, or when a dialog or message box is about to show; the
// program does nothing more with it.

#include <QString>
#include <QPixmap>

class QSplashScreen;

class Splash {
public:
    Splash();
    ~Splash();
    // False (and nothing to show) when the file cannot be read.
    bool LoadSplash(const QString &path);
    // Shows the splash; mode 0 lets it close by itself.
    void Show(int mode = 0);
    bool isVisible() const;
    static constexpr int kShowMilliseconds = 2500;
private:
    QPixmap m_picture;
    QSplashScreen *m_screen = nullptr;
};
