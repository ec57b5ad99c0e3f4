#include "app/program.h"

int main() { return lumetra::run_program({}); }
