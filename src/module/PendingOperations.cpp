// Temporary until the upload and automation routines land; removed by them.
#include "app/TForm_Korvane.h"

void TForm_Korvane::FormCreate()
{
    show();
}

void TForm_Korvane::AutoStep() {}

// Nothing creates these objects before their owners land, so there is nothing to destroy yet.
void AutoWorkerDeleter::operator()(TThread_Auto*) const {}
