#pragma once
// Puts a control at its designed position, given in twips.

#include "platform/twips.h"

#include <QWidget>

inline void placeTwips(QWidget *w, double left, double top, double width, double height)
{
    w->setGeometry(twips::toPixels(left), twips::toPixels(top), twips::toPixels(width), twips::toPixels(height));
}
