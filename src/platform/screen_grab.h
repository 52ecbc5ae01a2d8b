#pragma once
// The screen as a still picture, for the desktop colour picker.
#include <QImage>
#include <QString>
class ScreenGrab
{
public:
    virtual ~ScreenGrab() = default;
    // The whole screen at its pixel size as it is at this moment, in an opaque
    // 32-bit format; a null image and a reason the user can read when there is none.
    virtual QImage snapDesktop(QString *whyNot) = 0;
};
