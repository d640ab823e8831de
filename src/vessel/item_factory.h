// Making slot items from their files: THINGTYPE chooses the class (JET,
// RJET, GUN, SHIELD, NUKEGEN, ...), then every line of the file goes through
// that class's handle_file_command. Kept apart from the definition reader,
// whose helpers the equipment classes use to read their keys.
#pragma once

class SLOTTHING;

// A new item of the class that thingtype names (compared without case); a
// plain SLOTTHING for a name no class answers. Never null.
SLOTTHING* create_slot_item(const char* thingtype);

// The slot item of the file at path (THINGTYPE selects its class), owned by
// the caller; null when the file cannot be read or names no THINGTYPE.
SLOTTHING* load_sid(const char* path);
// The same from a text in memory.
SLOTTHING* make_slot_item(const char* text);
