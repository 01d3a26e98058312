#include "ui/settings_bridge.h"

#include "ui/font_record.h"

namespace pelmora::ui {

void ApplySettings(const Settings& settings, DisplayOptions& options) {
    options.selectionColour = settings.selectionColour;
    options.gridColour = settings.gridColour;
    options.rectangleColour = settings.rectangleColour;
    options.numberColour = settings.numberColour;
    options.trackColour = settings.trackColour;
    options.numberFont = FontFromRecord(settings.numberFont);
    options.gridAcross = settings.gridAcross;
    options.gridDown = settings.gridDown;
    options.showGrid = settings.showGrid;
    options.showRectangles = settings.showRectangles;
    options.showNumbers = settings.showNumbers;
}

void TakeDisplayOptions(const DisplayOptions& options, Settings& settings) {
    settings.selectionColour = options.selectionColour;
    settings.gridColour = options.gridColour;
    settings.rectangleColour = options.rectangleColour;
    settings.numberColour = options.numberColour;
    settings.trackColour = options.trackColour;
    settings.numberFont = RecordFromFont(options.numberFont, settings.numberFont);
    settings.gridAcross = options.gridAcross;
    settings.gridDown = options.gridDown;
    settings.showGrid = options.showGrid;
    settings.showRectangles = options.showRectangles;
    settings.showNumbers = options.showNumbers;
}

}  // namespace pelmora::ui
