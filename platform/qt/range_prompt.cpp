#include "platform/qt/range_prompt.h"

namespace qv {

QString RangePromptText(long long low, long long high, const QString& field)
{
    QString name = field.trimmed();
    while (name.endsWith(QLatin1Char(':')) || name.endsWith(QChar(0xFF1A)))
        name.chop(1);
    const QString range = QString::fromUtf8(u8"请填入一个在%1和%2之间的整数。").arg(low).arg(high);
    return name.isEmpty() ? range : QString::fromUtf8(u8"“%1”：").arg(name) + range;
}

} // namespace qv
