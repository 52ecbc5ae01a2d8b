#pragma once
// A lightweight figure drawn over a picture box (rubber bands, selection mark).
// It holds its geometry in the owner's twips so a gesture can read it back.

#include <QColor>
#include <QObject>
#include <QRect>

class QPainter;

class Shape : public QObject
{
    Q_OBJECT
public:
    enum Kind { Line, Rectangle, Circle, DashDotRectangle };

    Shape(QWidget *owner, const QString &name, Kind kind, QColor colour = Qt::black);

    Kind kind() const { return kind_; }
    bool isVisible() const { return visible_; }
    void setVisible(bool v);

    // Rectangle and circle geometry (twips).
    int left() const { return left_; }
    int top() const { return top_; }
    int width() const { return width_; }
    int height() const { return height_; }
    void setGeometry(int left, int top, int width, int height);
    void setSize(int width, int height) { setGeometry(left_, top_, width, height); }

    // Line end points (twips).
    int x1() const { return x1_; }
    int y1() const { return y1_; }
    int x2() const { return x2_; }
    int y2() const { return y2_; }
    void setLine(int x1, int y1, int x2, int y2);

    void paint(QPainter &p) const;

private:
    void changed();
    QRect pixelBounds() const;

    QWidget *owner_;
    Kind kind_;
    QColor colour_;
    bool visible_ = false;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    int x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
    QRect lastPainted_;
};
