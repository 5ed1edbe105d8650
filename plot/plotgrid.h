#pragma once

class ChCoord;
class DrawText;
class QPainter;

// The labelled grid of a plot window through the mapping `grid` (its screen and world
// rectangles set): major lines in light grey 2 pixels wide on the tick steps, minor lines 1
// pixel wide every tenth of a step, and the major values in general format with six digits,
// x along the top edge right of each line, y along the left edge below it. An axis whose
// range gives no valid tick step draws nothing.
void drawPlotGrid(QPainter *p, const ChCoord &grid, const DrawText &labels);
