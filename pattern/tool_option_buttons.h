#pragma once
// Opening the option pop-ups from the tool palette's option buttons.
#include <functional>

#include "pattern/shapes/tool_options.h"

class QObject;
class QWidget;
class TZeichenfunktionen;

// Creates the option's pop-up, places it by its button on the tool window
// (level with it for the outline and insert/delete pop-ups), runs it
// modally and frees it. What was chosen (the slope's tag, else the button
// from 1); 0 when the pop-up was left without a choice.
int OpenToolOptionPopup(ToolOption option, QWidget* toolWindow);

// The palette's five option buttons open their pop-ups; after one closes,
// `closed` runs with the option and the choice. The connections last as long
// as context.
void ConnectToolOptionButtons(TZeichenfunktionen* palette, QObject* context,
                              std::function<void(ToolOption option, int chosen)> closed);
