#include "widgets/VrClassesPersistent.h"

void TVrPersistent::Assign(const TVrPersistent* Source)
{
    AssignError(Source);
}

void TVrPersistent::AssignError(const TVrPersistent* Source) const
{
    const QString source = Source ? QString::fromLatin1(Source->metaObject()->className()) : QStringLiteral("nil");
    throw EVrException(QStringLiteral("Cannot assign a %1 to a %2")
                           .arg(source, QString::fromLatin1(metaObject()->className())));
}

void TVrPersistent::BeginUpdate()
{
    ++FUpdateCount;
}

void TVrPersistent::EndUpdate()
{
    if (FUpdateCount > 0)
        --FUpdateCount;
    Changed();
}

void TVrPersistent::Changed()
{
    if (FUpdateCount == 0 && OnChange)
        OnChange(this);
}
