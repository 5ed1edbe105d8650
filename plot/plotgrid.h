#pragma once

#include <QPen>

class ChCoord;
class DrawText;
class QColor;
class QPainter;

// A solid pen of the colour and width, as the scene's fixed pens are made.
QPen solidPen(const QColor &colour, int width);

// The labelled grid of a plot window through the mapping `grid` (its screen and world
// rectangles set): major lines in light grey 2 pixels wide on the tick steps, minor lines 1
// pixel wide every tenth of a step, and the major values in general format with six digits,
// x along the top edge right of each line, y along the left edge below it. An axis whose
// range gives no valid tick step draws nothing.
void drawPlotGrid(QPainter *p, const ChCoord &grid, const DrawText &labels);
