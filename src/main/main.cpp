// main.cpp: program entry; runs the game's shell and turns its result into
// the process's exit status (0, or 1 after a start-up error).
#include "main/shell.h"

int main() {
  return vel::shell_exit_status(vel::run_default_shell());
}
