// In-band colour codes of console and HUD text: 0x0E + palette index sets a colour, 0x0F restores the previous one.
#pragma once

#define COLOUR_CODE '\x0E'
#define COLOUR_RESTORE '\x0F'

enum PaletteIndex : unsigned char {
    PALETTE_BLACK = 0,
    PALETTE_BLACK2 = 1,
    PALETTE_RED = 2,
    PALETTE_GREEN = 3,
    PALETTE_BLUE = 4,
    PALETTE_CYAN = 5,
    PALETTE_MAGENTA = 6,
    PALETTE_YELLOW = 7,
    PALETTE_WHITE = 8,
};

// String-literal prefixes for concatenation: ERROR_COLOUR "text".
#define ERROR_COLOUR "\x0E\x02"
#define GREEN_COLOUR "\x0E\x03"
#define BLUE_COLOUR "\x0E\x04"
#define YELLOW_COLOUR "\x0E\x07"
#define WHITE_COLOUR "\x0E\x08"
#define RESTORE_COLOUR "\x0F"
