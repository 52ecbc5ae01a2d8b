#pragma once
// A thin decorative strip with a light running along it, on the start-up panel.

#include <QTimer>
#include <QWidget>

class AnimatedStrip : public QWidget
{
    Q_OBJECT
public:
    AnimatedStrip(QWidget *parent, const QString &name, int phase);
    // Stops the animation and hides the strip.
    void stop();
    bool isRunning() const { return timer_.isActive(); }

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    QTimer timer_;
    int position_ = 0;
};
