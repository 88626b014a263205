#pragma once
// The program's two dialog templates: the main window and the About box.

#include "resources/dialog_template.h"

namespace resources {

const DialogDefinition& MainDialog();
const DialogDefinition& AboutDialog();

// The template with this id, or null.
const DialogDefinition* FindDialog(WORD id);

}  // namespace resources
