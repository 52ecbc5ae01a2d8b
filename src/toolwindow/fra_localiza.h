#pragma once
// The tool window's icon library browser: every icon of an executable,
// library or icon library, one shown at a time with back and next, the one
// shown always in the editor.

#include <QGroupBox>
#include <QImage>
#include <optional>
#include <vector>

class EditorLink;
class Label;
class PictureBox;
class QToolButton;
class QPushButton;

// Where the browser stands: n icons, the index shown, and what back and next
// may do. Navigation stops at both ends; it never wraps.
struct BrowserNavigation
{
    int count = 0;
    int index = 0;
    bool backEnabled = false;
    bool nextEnabled = false;

    // A new file: index 0; next only when there is more than one icon; back
    // stays as it was.
    void loaded(int n);
    void next();
    void back();
};

class fraLocaliza : public QGroupBox
{
    Q_OBJECT
public:
    fraLocaliza(QWidget *parent, EditorLink &main, qint32 &currentIconIndex);

    QPushButton *cmdOpen;
    QToolButton *cmdBack, *cmdNext;
    Label *lblArquivo;
    // PicIcon(0) is the one box on screen; it shows the icon at the current
    // index. The others exist as pictures only.
    PictureBox *PicIcon0;
    int iconCount() const { return int(icons_.size()); }
    QImage PicIcon(int i) const; // the icon over its silver box

    void cmdOpen_Click();
    void cmdNext_Click();
    void cmdBack_Click();

private:
    void show(int index);
    void lblArquivo_Change();

    EditorLink &main_;
    qint32 &index_;
    BrowserNavigation nav_;
    std::vector<QImage> icons_;
    // The colour each icon's transparent pixels are shown in, if it has any.
    std::vector<std::optional<QRgb>> transparent_;
};
