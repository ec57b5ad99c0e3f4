// The page's program: the same shell as lumetra.exe, with no command line.
// main suspends in wait_event (Asyncify) while the page runs.
#include "app/program.h"

int main() { return lumetra::run_program({}); }
