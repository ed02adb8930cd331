// The window framework's shared routines (the classic tvInterface module) in one include:
// captions and tool tips, field definitions, the custom-fields panel, moving rows
// between controls and the record buffer, status messages, documents and layout
// persistence. Every routine returns -1 (or its value) and never lets an error out: a
// missing row, control or property leaves the window as it was designed.
#pragma once

#include "forms/framework/captions.h"
#include "forms/framework/controls.h"
#include "forms/framework/custom_panel.h"
#include "forms/framework/documents.h"
#include "forms/framework/field_definitions.h"
#include "forms/framework/form_fields.h"
#include "forms/framework/grid_layout.h"
#include "forms/framework/status.h"
#include "forms/framework/twips.h"
#include "forms/framework/window_layout.h"
