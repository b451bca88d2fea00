#include "app/Application.h"
#include "platform/ShellObjects.h"

int main() {
    // The shell objects exist before the run sequence starts, as the music
    // player must initialise its library before anything else runs.
    velmorra::shellObjects();
    return velmorra::runApplication();
}
