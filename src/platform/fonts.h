#pragma once
// The classic Windows font names the windows are designed with, mapped to
// Linux fonts of matching metrics, and a fit for captions in designed boxes.

#include <QFont>

class QLabel;

namespace fonts {

// "MS Sans Serif" and "Arial" -> Liberation Sans; "MS Serif" and
// "Times New Roman" -> Liberation Serif (fonts-liberation, metric-compatible
// with Arial and Times New Roman). Safe to call more than once.
void installStandIns();

// A font of a classic family at a size in points (the default size when
// negative), naming its stand-in outright when that is installed: Qt asks
// fontconfig for the fallbacks of any family it does not have (a sort of
// every font, about a millisecond) before it tries a substitute.
QFont classic(const QString &family, qreal points = -1);

// Shrinks the label's font, half a point at a time, until its caption fits the
// box it was designed with; a caption that fits keeps its designed size.
void fitCaption(QLabel *label);

} // namespace fonts
