#include "toolwindow/arrow_button.h"

#include <QPainterPath>
#include <QStyleOptionToolButton>
#include <QStylePainter>

namespace {

constexpr int kSide = 24;

// Painted rather than set as an icon: every QIcon made for a fresh tool
// window leaves its own keys in the application's pixmap cache, which a long
// session of opening and closing the window would pile up.
class ArrowButton : public QToolButton
{
public:
    ArrowButton(QWidget *parent, double angle)
        : QToolButton(parent)
        , angle_(angle)
    {
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QStylePainter p(this);
        QStyleOptionToolButton opt;
        initStyleOption(&opt);
        p.drawComplexControl(QStyle::CC_ToolButton, opt);

        // A dark shaft and head, nudged like a pressed button's label.
        QPointF centre = QRectF(rect()).center();
        if (opt.state & (QStyle::State_Sunken | QStyle::State_On))
            centre += QPointF(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &opt, this),
                              style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &opt, this));
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(centre);
        p.rotate(angle_);
        QPainterPath path;
        path.moveTo(10, 0);
        path.lineTo(1, -8);
        path.lineTo(1, -3);
        path.lineTo(-9, -3);
        path.lineTo(-9, 3);
        path.lineTo(1, 3);
        path.lineTo(1, 8);
        path.closeSubpath();
        p.fillPath(path, isEnabled() ? QColor(0, 0, 128) : palette().color(QPalette::Disabled, QPalette::ButtonText));
    }

private:
    double angle_;
};

} // namespace

QToolButton *arrowButton(QWidget *parent, const QString &name, double angle)
{
    auto *b = new ArrowButton(parent, angle);
    b->setObjectName(name);
    b->setIconSize(QSize(kSide, kSide)); // sizes the button as the arrow's picture would
    return b;
}
