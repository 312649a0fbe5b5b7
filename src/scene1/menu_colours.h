// menu_colours.h: the colours the game's pages share (the title, the help
// page, the panel and the options menu), so every page reads as one game.
#pragma once

#include "gfx/vec.h"

namespace vel {

inline constexpr Colour kMenuCyan{0.0f, 0.8f, 1.0f, 1.0f};        // items, idle buttons
inline constexpr Colour kMenuWhite{1.0f, 1.0f, 1.0f, 1.0f};       // words to read
inline constexpr Colour kMenuYellow{1.0f, 0.85f, 0.2f, 1.0f};     // the goal, the keys' hints
inline constexpr Colour kMenuHead{0.0f, 0.5f, 1.0f, 1.0f};        // headings
inline constexpr Colour kMenuBacking{0.0f, 0.03f, 0.08f, 0.92f};  // behind a page's text

}  // namespace vel
