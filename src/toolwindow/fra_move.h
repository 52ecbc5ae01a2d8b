#pragma once
// The tool window's image-shift panel: eight arrow buttons around a compass
// that move the icon one pixel per click.

#include <QGroupBox>
#include <array>

class EditorLink;
class QToolButton;

class fraMove : public QGroupBox
{
    Q_OBJECT
public:
    fraMove(QWidget *parent, EditorLink &main);

    std::array<QToolButton *, 8> cmdShift{};
    void cmdShift_Click(int index);

private:
    EditorLink &main_;
};
