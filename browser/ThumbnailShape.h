#pragma once
// The shape of a 140-pixel thumbnail. An image whose long side is less
// than 1.8 times its short side becomes 140 pixels wide with its height by
// the aspect ratio. A longer one is fitted into a 140 x 140 white square:
// a wide image 140 wide, centred from top to bottom; a tall one 140 high,
// centred from left to right. Every computed value is taken to the nearest
// whole number, a half going to the even neighbour.

namespace ThumbnailShape {

constexpr int Side = 140;
constexpr double FrameRatio = 1.8;

// The nearest whole number; a half goes to the even neighbour (100.5
// gives 100, 31.5 gives 32).
int roundHalfEven(double value);
// Whether the image goes into the square frame.
bool isFramed(int width, int height);
// Unframed: the thumbnail's height for a 140-pixel width.
int plainHeight(int width, int height);
// Framed, taller than wide: the thumbnail's width for a 140-pixel height.
int tallWidth(int width, int height);
// Framed: where a side of the given length starts in a square of the
// given side.
int frameOffset(int side, int square = Side);

}
