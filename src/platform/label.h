#pragma once
// A label that tells when its caption changes, so a window can keep menu
// states in step with it (the Change event of a classic label).

#include "platform/colour_value.h"

#include <QLabel>

class Label : public QLabel
{
    Q_OBJECT
public:
    Label(QWidget *parent, const QString &name, const QString &caption = QString())
        : QLabel(caption, parent)
    {
        setObjectName(name);
    }

    void setCaption(const QString &c)
    {
        if (c == text())
            return;
        setText(c);
        emit Change();
    }

    // The caption's colour (ForeColor).
    void setForeColor(ColourValue c)
    {
        QPalette pal = palette();
        pal.setColor(QPalette::WindowText, colour::toQColor(c));
        setPalette(pal);
    }

signals:
    void Change();
};
