// The process entry of Vantrel-legacy: the same program with the older build's pieces.
#include "app/ProgramEntry.h"
#include "legacy/LegacyBuild.h"

int main(int argc, char** argv) {
    app::install_legacy_build();
    return app::run_program(argc, argv);
}
