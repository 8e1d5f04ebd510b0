#pragma once
// Twips and pixels. Window geometry in the program is in twips (1440 to the
// logical inch); the factors come from the screen's real logical DPI.

class QWidget;

namespace ScreenMetrics {
double twipsPerPixelX();
double twipsPerPixelY();
double screenWidthTwips();
double screenHeightTwips();
}

// A top-level window's outer geometry (frame included) in twips. Setting a
// size resizes the window so that its outer size matches.
namespace FormGeometry {
double left(const QWidget *w);
double top(const QWidget *w);
double width(const QWidget *w);
double height(const QWidget *w);
void setLeft(QWidget *w, double twips);
void setTop(QWidget *w, double twips);
void setWidth(QWidget *w, double twips);
void setHeight(QWidget *w, double twips);
// A child control's size in twips (no frame).
double controlWidth(const QWidget *w);
double controlHeight(const QWidget *w);
void setControlWidth(QWidget *w, double twips);
void setControlHeight(QWidget *w, double twips);
int toPixelsX(double twips);
int toPixelsY(double twips);
}
