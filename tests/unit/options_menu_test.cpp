// The options menu as the menu keys drive it: a row changes at once, a
// control takes the next key pressed and shows whom it now clashes with,
// and the reset puts every control back.
#include "play/options_menu.h"

#include <gtest/gtest.h>

#include "scene_api/control_bits.h"
#include "scene_api/input_codes.h"

namespace vel {
namespace {

// One press of `bits` (or of the key `code`), then their release.
void press(OptionsMenu& menu, PlayerOptions& options, uint32_t bits, int32_t code = -1) {
  FrameEvents events;
  options_menu_step(menu, bits, code, false, 0.02f, options, events);
  options_menu_step(menu, 0, -1, false, 0.02f, options, events);
}

void to_row(OptionsMenu& menu, PlayerOptions& options, int32_t row) {
  while (menu.row != row) press(menu, options, kMenuDownBit);
}

TEST(OptionsMenu, ARowChangesAtOnceAndAKeyHeldFromBeforeDoesNothing) {
  OptionsMenu menu;
  PlayerOptions options;
  open_options_menu(menu);
  FrameEvents events;
  // Return still down from the title's OPTIONS: not a press made here.
  options_menu_step(menu, kMenuSelectBit, -1, false, 0.02f, options, events);
  EXPECT_FALSE(options.fullscreen);
  press(menu, options, 0);
  press(menu, options, kMenuSelectBit);
  EXPECT_TRUE(options.fullscreen);
  to_row(menu, options, kOptionMusic);
  press(menu, options, kMenuLeftBit);
  press(menu, options, kMenuLeftBit);
  EXPECT_EQ(options.music_volume, 0.8f);
  to_row(menu, options, kOptionScale);
  press(menu, options, kMenuRightBit);
  EXPECT_EQ(options.scale, 2);
  press(menu, options, kPanelToggleBit);
  EXPECT_FALSE(menu.open);
}

TEST(OptionsMenu, RebindingTakesTheNextKeyAndShowsTheClash) {
  OptionsMenu menu;
  PlayerOptions options;
  open_options_menu(menu);
  press(menu, options, 0);
  const int32_t jump_row = kOptionFirstControl + 6;
  to_row(menu, options, jump_row);
  press(menu, options, kMenuSelectBit);
  EXPECT_EQ(menu.binding, 6);
  // The next key is the slot's, even one the menu itself reads (W: up).
  press(menu, options, kMenuUpBit, 26);
  EXPECT_EQ(menu.binding, -1);
  EXPECT_EQ(menu.row, jump_row);
  EXPECT_EQ(options.controls[6], 26);
  // W walks forward too: both in play, a clash; W also moves a menu up,
  // which is never read at the same time as the jump.
  EXPECT_EQ(control_conflicts(options.controls, 6), 1u);
  EXPECT_EQ(control_conflicts(options.controls, 8), 0u);
  EXPECT_EQ(control_conflicts(options.controls, 0), 1u << 6);
  EXPECT_EQ(input_code_name(options.controls[6]), "W");
  to_row(menu, options, kOptionResetControls);
  press(menu, options, kMenuSelectBit);
  EXPECT_EQ(options.controls, Settings{}.controls);
}

}  // namespace
}  // namespace vel
