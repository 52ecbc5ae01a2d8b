#pragma once
// The tool window's picture buttons: an arrow drawn for this program,
// pointing at an angle (degrees, 0 to the right, clockwise).

#include <QToolButton>

QToolButton *arrowButton(QWidget *parent, const QString &name, double angle);
