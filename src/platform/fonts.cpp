#include "platform/fonts.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>
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
    // Every window asks again for the same few names: the font list is read
    // once per name.
    static QHash<QString, QString> chosen;
    auto it = chosen.constFind(family);
    if (it == chosen.constEnd()) {
        QString name = family;
        const QStringList installed = QFontDatabase::families();
        for (const QString &standIn : QFont::substitutes(family))
            if (installed.contains(standIn, Qt::CaseInsensitive)) {
                name = standIn;
                break;
            }
        it = chosen.insert(family, name);
    }
    QFont f(*it);
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
