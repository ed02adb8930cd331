// Opening the definitions database at start-up. Without Definitions.mdb the program can
// show neither a caption nor a message, so this is the one place that asks with fixed
// texts, and the one failure that ends the program.
#pragma once

namespace tv::app {

// Opens <DefinitionsLocation>/Definitions.mdb into state().DefinitionsDb and keeps its
// "Form Captions", "Messages" and "Field Definitions" tables open on their primary keys.
// Empty locations are first read from the settings; a trailing "\" or "/" is dropped.
// A damaged file is offered for repair; a missing or unusable one is located by the user,
// who is first told when the file is a legacy Jet (Access) file.
// Returns false when the program has to end: repair refused or failed, or the user gave
// up locating the file.
bool OpenDefinitions();

// Asks where Definitions.mdb is, until a file of exactly that name is chosen (the folder
// then becomes DefinitionsLocation and the setting "Definitions Location") or the user
// cancels (false).
bool LocateDefinitions();

}  // namespace tv::app
