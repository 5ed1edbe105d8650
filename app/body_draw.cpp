// Scene rendering of the plot windows and their mouse navigation.
#include "body.h"

void Body::draw(QPainter *) {}

void Body::drawShapes(QPainter *, ChCoord *, Box, QVector<Shape *> &, bool) {}

void Body::drawShapes(QPainter *, ChCoord *, Box, QVector<Shape *> &) {}

void Body::drawGrid(QPainter *, ChCoord *) {}

void Body::mouseMoved() {}

void Body::wheelMoved(int) {}
