#pragma once

class QPainter;

// QPainter::drawLine(x0, y0, x1, y1) in the painter's pen, pixel for pixel. A 1-pixel pen (width 1
// or 0), solid or dashed, opaque and of a solid colour, drawn aliased into a raster image
// (RasterTarget) is written as the pixels Qt's 1-pixel line drawing would blend one at a time:
// the same steps in 26.6 and 16.16 fixed point, the same clipping to the image, end pixels, square
// caps and dash phase along the line. Anything else is drawn by QPainter.
void drawPixelLine(QPainter *p, int x0, int y0, int x1, int y1);
