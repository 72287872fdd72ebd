#pragma once

// The console lines are French text stored in code page 850, as the objects
// have always printed them; patches that parse the console rely on the bytes.
// Adjacent string literals keep a following hex digit out of the escape.
#define CP850_E_AIGU "\x82"
#define CP850_E_GRAVE "\x8A"
#define CP850_E_CIRC "\x88"
#define CP850_A_GRAVE "\x85"
#define CP850_O_CIRC "\x93"
#define CP850_DEGRE "\xF8"
#define CP850_O_BARRE "\x9D"
// One line of sorvel~ has always carried its e-acute in ISO 8859-1.
#define LATIN1_E_AIGU "\xE9"
