#pragma once

class QPainter;

// One grid line from (x0, y0) to (x1, y1) in the painter's pen, exactly as QPainter::drawLine
// would set its pixels. A vertical or horizontal line in a solid opaque pen of width 1 or 2,
// painted aliased by Qt's raster engine, unscaled and moved by whole pixels only, is filled as
// the rectangle of those pixels (written straight into the image where it is a RasterTarget): a
// vertical line then costs a store per row instead of one blend per pixel. Anything else, and
// anything on a vector device (SVG, PDF, a printer), is drawn as a line.
void drawGridLine(QPainter *p, int x0, int y0, int x1, int y1);
