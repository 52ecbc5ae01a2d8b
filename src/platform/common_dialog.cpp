#include "platform/common_dialog.h"

#include <QStringList>

QStringList CommonDialog::qtNameFilters(const QString &filter)
{
    const QStringList items = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < items.size(); i += 2) {
        QString patterns = items[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt filters by the last bracket group, so the real patterns go there;
        // the dialog hides that group and shows the description as written,
        // even where it names more patterns than the filter uses.
        out << QStringLiteral("%1 (%2)").arg(items[i], patterns);
    }
    return out;
}
