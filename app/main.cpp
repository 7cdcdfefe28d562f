// The process entry of Vantrel.
#include "app/ProgramEntry.h"

int main(int argc, char** argv) { return app::run_program(argc, argv); }
