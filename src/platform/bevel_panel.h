#pragma once
// A bevelled 3-D container panel. Bevel style code 1 is inset; 2 and every
// other code are raised. In drag mode 1 pressing the panel drags it; dropping
// it right over another panel raises that panel's dragDrop with the drop
// point in its twips. Pointer moves over a panel stop at the panel.

#include <QCursor>
#include <QWidget>
#include <optional>

class BevelPanel : public QWidget
{
    Q_OBJECT
public:
    BevelPanel(QWidget *parent, const QString &name);

    QString caption() const { return caption_; }
    void setCaption(const QString &c);
    // The caption as drawn: whole when it fits, else cut at its end.
    QString shownCaption() const;
    int bevelWidth() const { return bevelWidth_; }
    void setBevelWidth(int px);
    int bevelStyle() const { return bevelStyle_; }
    void setBevelStyle(int code);
    int dragMode() const { return dragMode_; }
    void setDragMode(int mode) { dragMode_ = mode; }
    // Places the panel's top-left corner at (left, top) twips of its container.
    void move(int leftTwips, int topTwips);

    // Called when a drag ends over this panel (x, y in this panel's twips).
    void acceptDrop(QWidget *source, double x, double y) { emit dragDrop(source, x, y); }

signals:
    void dragDrop(QWidget *source, double x, double y);
    void pointerMove(int button, int shift, double x, double y);

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    void drawBevel(QPainter &p, QRect r, bool raised, int width);
    QRect captionRect() const;

    QString caption_;
    int bevelWidth_ = 2;
    int bevelStyle_ = 2;
    int dragMode_ = 0;
    bool dragging_ = false;
    std::optional<QCursor> ownCursor_; // the cursor set before a drag, if any
};
