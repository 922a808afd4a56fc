#include "widgets/VrControlsCursor.h"

#include "widgets/Vrsysutils.h"

#include <QImage>
#include <QPixmap>

#include <map>

static void InitVrControlsResources()
{
    Q_INIT_RESOURCE(VrControls);
}

namespace {

// The hand's image is 32 x 32 with its hot spot on the tip of the index finger.
QCursor LoadHandCursor()
{
    InitVrControlsResources();
    const QImage image = LoadResourceImage(QStringLiteral(":/widgets/VRCURSORHANDPOINT.xpm"), "xpm");
    return QCursor(QPixmap::fromImage(image), 10, 5);
}

std::map<int, QCursor>& CursorTable()
{
    // Built on first use, once the GUI exists: a cursor cannot be made before it.
    static std::map<int, QCursor> table{{crVrHandPoint, LoadHandCursor()}};
    return table;
}

} // namespace

QCursor VrScreenCursor(int Id)
{
    const auto& table = CursorTable();
    const auto it = table.find(Id);
    return it == table.end() ? QCursor(Qt::ArrowCursor) : it->second;
}

void VrSetScreenCursor(int Id, const QCursor& Cursor)
{
    CursorTable()[Id] = Cursor;
}
