#include "editor/animated_strip.h"

#include <QLinearGradient>
#include <QPainter>

AnimatedStrip::AnimatedStrip(QWidget *parent, const QString &name, int phase)
    : QWidget(parent)
    , position_(phase)
{
    setObjectName(name);
    timer_.setInterval(60);
    connect(&timer_, &QTimer::timeout, this, [this] {
        position_ = (position_ + 8) % std::max(1, width() + 60);
        update();
    });
    timer_.start();
}

void AnimatedStrip::stop()
{
    timer_.stop();
    hide();
}

void AnimatedStrip::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(0x40, 0, 0));
    QLinearGradient glow(position_ - 60, 0, position_, 0);
    glow.setColorAt(0, QColor(0x40, 0, 0));
    glow.setColorAt(1, QColor(0xFF, 0x30, 0x30));
    p.fillRect(QRect(position_ - 60, 0, 60, height()), glow);
}
