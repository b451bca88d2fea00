// Writes the demo's pictures and models into the directory given (default: data).
#include "content/ContentGenerator.h"

int main(int argc, char** argv) {
    const char* directory = argc > 1 ? argv[1] : "data";
    return velmorra::tools::ContentGenerator(directory).generateAll() ? 0 : 1;
}
