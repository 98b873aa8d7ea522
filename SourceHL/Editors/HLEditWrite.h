#pragma once

#include "SourceHL/Common/HLEditGate.h"

#include <functional>

// The owner hook every pane writes the model through. The main window gives each pane one
// that runs the write inside its edit gate (HLEditGate::perform), so the preview job is
// stopped first and the change is announced once as kinds; panes never refresh views by hand.
using HLEditWrite = std::function<void(HLChange::Kinds kinds, const std::function<void()> &write)>;
