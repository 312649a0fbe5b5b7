// input_codes.cpp: the names of the keys and mouse buttons, in the capitals
// of the game's fonts.
#include "scene_api/input_codes.h"

namespace vel {

std::string input_code_name(int32_t code) {
  if (code >= 4 && code <= 29) return std::string(1, static_cast<char>('A' + code - 4));
  if (code >= 30 && code <= 38) return std::string(1, static_cast<char>('1' + code - 30));
  if (code >= 58 && code <= 69) return "F" + std::to_string(code - 57);
  switch (code) {
    case 39:
      return "0";
    case 40:
      return "RETURN";
    case 41:
      return "ESC";
    case 42:
      return "BACKSPACE";
    case 43:
      return "TAB";
    case 44:
      return "SPACE";
    case 79:
      return "RIGHT";
    case 80:
      return "LEFT";
    case 81:
      return "DOWN";
    case 82:
      return "UP";
    case 88:
      return "KEYPAD ENTER";
    case 224:
      return "LEFT CTRL";
    case 225:
      return "LEFT SHIFT";
    case 226:
      return "LEFT ALT";
    case 228:
      return "RIGHT CTRL";
    case 229:
      return "RIGHT SHIFT";
    case 230:
      return "RIGHT ALT";
    case kMouseButtonBase + 1:
      return "LEFT BUTTON";
    case kMouseButtonBase + 2:
      return "MIDDLE BUTTON";
    case kMouseButtonBase + 3:
      return "RIGHT BUTTON";
    default:
      break;
  }
  if (code > kMouseButtonBase && code < kInputCodes) {
    return "MOUSE " + std::to_string(code - kMouseButtonBase);
  }
  return "KEY " + std::to_string(code);
}

}  // namespace vel
