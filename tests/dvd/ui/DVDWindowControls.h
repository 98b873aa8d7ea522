#pragma once

#include "dvd/ui/ExportDVDWndCtrl.h"
#include "tests/support/NamedControl.h"

// The DVD tab's controls live on its page, not in a window of its own.
template <class T>
T *control(const ExportDVDWndCtrl &tab, const char *name)
{
    return namedControl<T>(tab.dvdExportView(), name);
}
