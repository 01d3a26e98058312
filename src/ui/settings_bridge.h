#pragma once

#include "base/settings_file.h"
#include "ui/display_options.h"

namespace pelmora::ui {

// What the page is drawn with, from the settings file: the five colours, the number font, the
// grid sizes and the three "Show" check boxes.
void ApplySettings(const Settings& settings, DisplayOptions& options);

// The same fields back into the settings before they are saved. The number font keeps the
// fields Qt has no notion of from the record it was read from.
void TakeDisplayOptions(const DisplayOptions& options, Settings& settings);

}  // namespace pelmora::ui
