#pragma once
// The icon as a tiled wallpaper: a window that repeats the current icon from
// its top-left corner over its whole surface, while the editor steps aside
// (minimised while the preview is up, maximised when it goes).

#include <QPixmap>
#include <QWidget>

class EditorLink;
class QLabel;
class QTimer;

class frmPrevia : public QWidget
{
    Q_OBJECT
public:
    explicit frmPrevia(EditorLink &main);

    // The hidden tile source: the icon's drawn picture.
    void setTileFromIkon();
    const QImage &tilePicture() const { return tile_; }
    bool tiling() const { return tiling_; }
    QSize sizeInPixels() const { return sizePx_; }

    QLabel *picTile;
    QTimer *Timer1;

    void Timer1_Timer();

protected:
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void changeEvent(QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    void Form_Resize();

    EditorLink &main_;
    QImage tile_;
    QPixmap tilePixmap_; // what the tiles are drawn from, made once per picture
    QSize tileSize_;
    QSize sizePx_;
    bool tiling_ = false;
};
