#pragma once
// An integer validator that takes digits only, whatever the user's locale: Qt's own lets the
// locale's grouping through ("19.200" in German, "19,200" in C), which QString::toInt reads as 0.
#include <QIntValidator>
#include <QLocale>

namespace qv {

inline QIntValidator* DigitsValidator(int low, int high, QObject* parent)
{
    QLocale digits = QLocale::c(); // whose "," still groups unless refused
    digits.setNumberOptions(QLocale::RejectGroupSeparator);
    auto* validator = new QIntValidator(low, high, parent);
    validator->setLocale(digits);
    return validator;
}

} // namespace qv
