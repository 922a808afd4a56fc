#include "app/Wording.h"

#include <QCoreApplication>

Wording::Wording(const char* source)
    : english_(QString::fromUtf8(source)), shown_(QCoreApplication::translate("TForm_Korvane", source))
{
}

Wording Wording::arg(const QString& value) const
{
    return {english_.arg(value), shown_.arg(value)};
}

Wording Wording::arg(const Wording& value) const
{
    return {english_.arg(value.english_), shown_.arg(value.shown_)};
}
