#pragma once
// The About window: the product's artwork on black, an animated picture, a
// clock ticking every second, and two invisible link areas (home page, mail).

#include "platform/side_window.h"

class QLabel;
class QMovie;
class QTimer;
class ShellLauncher;

class frmAbout : public SideWindow
{
    Q_OBJECT
public:
    frmAbout(QWidget *mainWindow, WindowPlacement &placement, ShellLauncher &shell);

    QTimer *tmrHora;
    QLabel *AniGIF1, *lblHora, *Label2, *Label4, *Label5;

    void tmrHora_Timer();
    void Label4_Click();
    void Label5_Click();

    // The artwork the window shows, drawn here rather than shipped as a picture.
    static QImage artwork();

protected:
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    ShellLauncher &shell_;
    QMovie *movie_;
};
