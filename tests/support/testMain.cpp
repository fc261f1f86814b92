#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest.h>

#include "hostCore.h"

int main(int argc, char** argv) {
    // The messenger's window is in front while plug-ins run; with the bare desktop in front every
    // notification would count as suppressed by a full-screen application.
    kivhost::hostCore::get().mainWindow();
    doctest::Context context(argc, argv);
    return context.run();
}
