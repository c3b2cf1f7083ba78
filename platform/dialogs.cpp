#include "platform/dialogs.h"

QList<std::pair<QString, QString>> SplitFileFilter(const QString& filter) {
    QList<std::pair<QString, QString>> pairs;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        pairs.append({parts[i], parts[i + 1]});
    }
    return pairs;
}
