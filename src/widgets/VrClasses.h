// The widget library's property objects.
#pragma once

#include "widgets/VrClassesBevel.h"
#include "widgets/VrClassesBitmaps.h"
#include "widgets/VrClassesLists.h"
#include "widgets/VrClassesPalette.h"
#include "widgets/VrClassesPersistent.h"
#include "widgets/VrClassesText.h"
#include "widgets/VrClassesValues.h"
