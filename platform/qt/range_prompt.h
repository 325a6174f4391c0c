#pragma once
// The framework's range prompt for an integer outside [low, high], naming the field (its
// label, trailing colon dropped) when one is given.
#include <QString>

namespace qv {

QString RangePromptText(long long low, long long high, const QString& field = QString());

} // namespace qv
