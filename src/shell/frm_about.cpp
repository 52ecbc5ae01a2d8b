#include "shell/frm_about.h"

#include "platform/place.h"
#include "platform/shell_launcher.h"
#include "platform/tool_pictures.h"
#include "platform/window_placement.h"
#include "shell/project_info.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QLocale>
#include <QMouseEvent>
#include <QMovie>
#include <QPainter>
#include <QScreen>
#include <QTime>
#include <QTimer>

namespace {

constexpr int kClientWidth = 5220, kClientHeight = 5595;

// The locale's long time format without its time-zone part.
QString timeText(const QTime &t)
{
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return QLocale::system().toString(t, format.trimmed());
}

QLabel *linkArea(QWidget *parent, const char *name, int left, int top, int w, int h)
{
    auto *area = new QLabel(parent);
    area->setObjectName(QString::fromLatin1(name));
    area->setAttribute(Qt::WA_TranslucentBackground);
    area->setCursor(pictures::hand());
    placeTwips(area, left, top, w, h);
    return area;
}

} // namespace

QImage frmAbout::artwork()
{
    QImage art(350, 375, QImage::Format_RGB32);
    art.fill(Qt::black);
    QPainter p(&art);
    p.setRenderHint(QPainter::Antialiasing);
    // A magnified icon: an 8 x 8 grid whose cells fade from blue to gold.
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) {
            const bool lit = (r + c) % 3 != 0 && !(r > 1 && r < 6 && c > 1 && c < 6);
            const QColor cell = lit ? QColor::fromHsv((220 - (r + c) * 12 + 360) % 360, 200, 230) : QColor(40, 40, 48);
            p.fillRect(95 + c * 20, 30 + r * 20, 18, 18, cell);
        }
    p.setPen(QColor(235, 190, 60));
    p.setFont(QFont(QStringLiteral("Liberation Serif"), 30, QFont::Bold));
    p.drawText(QRect(0, 200, 350, 50), Qt::AlignCenter, QStringLiteral("Tessarel"));
    p.setPen(QColor(200, 200, 210));
    p.setFont(QFont(QStringLiteral("Liberation Sans"), 10));
    p.drawText(QRect(0, 245, 350, 20), Qt::AlignCenter,
               QStringLiteral("Icon Editor  -  Version %1").arg(QString::fromLatin1(projectinfo::kVersion)));
    QLinearGradient rule(20, 0, 330, 0);
    rule.setColorAt(0, Qt::black);
    rule.setColorAt(0.5, QColor(235, 190, 60));
    rule.setColorAt(1, Qt::black);
    p.fillRect(20, 272, 310, 2, rule);
    // Where the two link areas lie.
    p.setPen(QColor(120, 170, 255));
    p.setFont(QFont(QStringLiteral("Liberation Sans"), 9, QFont::Normal, true));
    p.drawText(QRect(32, 322, 49, 33), Qt::AlignCenter, QStringLiteral("Home"));
    p.drawText(QRect(248, 322, 73, 33), Qt::AlignCenter, QStringLiteral("Mail"));
    return art;
}

// The animation is compiled into the platform library's resources.
static void initAnimationResource() { Q_INIT_RESOURCE(resources); }

frmAbout::frmAbout(QWidget *mainWindow, WindowPlacement &placement, ShellLauncher &shell)
    : SideWindow(mainWindow, placement, QStringLiteral("frmAbout"), QStringLiteral("About Vorn Tessarel"),
                 Protocol{.positionFields = false, .timer = false})
    , tmrHora(new QTimer(this))
    , shell_(shell)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);
    auto *art = new QLabel(this);
    art->setObjectName(QStringLiteral("Picture"));
    art->setPixmap(QPixmap::fromImage(artwork()));
    art->setGeometry(0, 0, 350, 375);

    AniGIF1 = new QLabel(this);
    AniGIF1->setObjectName(QStringLiteral("AniGIF1"));
    initAnimationResource();
    movie_ = new QMovie(QStringLiteral(":/about_animation.gif"), QByteArray(), this);
    AniGIF1->setMovie(movie_);
    AniGIF1->setGeometry(20, 30, 50, 50);
    movie_->start();

    Label2 = new QLabel(QStringLiteral("Draw, open and save 32 x 32 icons.\nFree software by the Tessarel developers."),
                        this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setStyleSheet(QStringLiteral("color: rgb(170, 170, 180); background: transparent;"));
    Label2->setGeometry(0, 278, 350, 34);

    lblHora = new QLabel(this);
    lblHora->setObjectName(QStringLiteral("lblHora"));
    lblHora->setAlignment(Qt::AlignCenter);
    lblHora->setStyleSheet(QStringLiteral("color: red; background: transparent;"));
    placeTwips(lblHora, 1800, 4920, 1575, 255);
    Label4 = linkArea(this, "Label4", 480, 4800, 735, 495);
    Label5 = linkArea(this, "Label5", 3720, 4800, 1095, 495);
    Label4->installEventFilter(this);
    Label5->installEventFilter(this);

    // Initialize: the clock runs from creation, once a second.
    tmrHora->setObjectName(QStringLiteral("tmrHora"));
    tmrHora->setInterval(1000);
    connect(tmrHora, &QTimer::timeout, this, &frmAbout::tmrHora_Timer);
    tmrHora->start();

    // Load: always on top, centred on the screen.
    loadProtocol();
    setFixedSize(twips::toPixels(kClientWidth), twips::toPixels(kClientHeight));
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

void frmAbout::tmrHora_Timer() { lblHora->setText(timeText(QTime::currentTime())); }

void frmAbout::Label4_Click()
{
    // The browser must be able to come in front.
    placement().SetWindowTopmost(this, false);
    shell_.ShellExecute(nullptr, QStringLiteral("Open"), QString::fromLatin1(projectinfo::kHomepage), {}, {});
}

void frmAbout::Label5_Click()
{
    placement().SetWindowTopmost(this, false);
    shell_.ShellExecute(nullptr, QStringLiteral("Open"),
                        QStringLiteral("mailto:") + QString::fromLatin1(projectinfo::kMail), {}, {});
}

bool frmAbout::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton) {
        auto *area = static_cast<QLabel *>(watched);
        if (area->rect().contains(static_cast<QMouseEvent *>(e)->position().toPoint())) {
            if (area == Label4)
                Label4_Click();
            else if (area == Label5)
                Label5_Click();
        }
    }
    return SideWindow::eventFilter(watched, e);
}

void frmAbout::closeEvent(QCloseEvent *e)
{
    // The clock stops before the window goes.
    tmrHora->stop();
    movie_->stop();
    SideWindow::closeEvent(e);
}
