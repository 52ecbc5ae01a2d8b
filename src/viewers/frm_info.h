#pragma once
// Bitmap properties: the picture last chosen in the Open dialog and the main
// fields of its bitmap headers, read afresh each time the window is activated.

#include "platform/side_window.h"

#include <array>

class EditorLink;
class Label;
class QGroupBox;
class QLabel;

class frmInfo : public SideWindow
{
    Q_OBJECT
public:
    explicit frmInfo(EditorLink &main);

    QGroupBox *lblFileName;
    QLabel *Image1;
    std::array<Label *, 6> lblInfo{};
    std::array<Label *, 6> Label1{};

    void Form_Activate();

protected:
    bool event(QEvent *e) override;

private:
    EditorLink &main_;
};
