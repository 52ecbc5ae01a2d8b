#include "platform/common_dialog.h"

#include <QStringList>

QStringList CommonDialog::qtNameFilters(const QString &filter)
{
    const QStringList items = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < items.size(); i += 2) {
        QString patterns = items[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        QString description = items[i];
        // The description often repeats the patterns in brackets; Qt reads the
        // last bracket group, so give it the real patterns.
        const int bracket = description.lastIndexOf(QLatin1Char('('));
        if (bracket >= 0)
            description = description.left(bracket).trimmed();
        out << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
    return out;
}
