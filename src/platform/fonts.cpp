#include "platform/fonts.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLabel>

namespace fonts {

void installStandIns()
{
    // Fontconfig alone sends the "MS" names to DejaVu, which is far wider than
    // the bitmap fonts the boxes were sized for.
    static const bool done = [] {
        const QString sans = QStringLiteral("Liberation Sans");
        const QString serif = QStringLiteral("Liberation Serif");
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), {sans, QStringLiteral("Nimbus Sans")});
        QFont::insertSubstitutions(QStringLiteral("Arial"), {sans, QStringLiteral("Nimbus Sans")});
        QFont::insertSubstitutions(QStringLiteral("MS Serif"), {serif, QStringLiteral("Nimbus Roman")});
        QFont::insertSubstitutions(QStringLiteral("Times New Roman"), {serif, QStringLiteral("Nimbus Roman")});
        return true;
    }();
    Q_UNUSED(done);
}

QFont classic(const QString &family, qreal points)
{
    installStandIns();
    QString chosen = family;
    const QStringList installed = QFontDatabase::families();
    for (const QString &standIn : QFont::substitutes(family))
        if (installed.contains(standIn, Qt::CaseInsensitive)) {
            chosen = standIn;
            break;
        }
    QFont f(chosen);
    if (points > 0)
        f.setPointSizeF(points);
    return f;
}

void fitCaption(QLabel *label)
{
    QFont f = label->font();
    const double room = label->contentsRect().width();
    constexpr double kSmallest = 5;
    while (QFontMetricsF(f).horizontalAdvance(label->text()) > room && f.pointSizeF() > kSmallest)
        f.setPointSizeF(f.pointSizeF() - 0.5);
    label->setFont(f);
}

} // namespace fonts
