// make_big_project FOLDER [MODULES] [LINES_PER_MODULE] [DESIGNED_FORMS]
//
// Writes the synthetic benchmark project (see BigProject.h) into FOLDER and
// prints what it wrote, so the project can be read or documented by hand.

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "BigProject.h"

namespace {

bool parseCount(const char* text, int& value) {
    char* end = nullptr;
    const long number = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || number < 1 || number > 1000000) return false;
    value = static_cast<int>(number);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 5) {
        std::fprintf(stderr, "usage: %s FOLDER [MODULES] [LINES_PER_MODULE] [DESIGNED_FORMS]\n",
                     argv[0]);
        return 2;
    }
    int modules = 1000;
    int linesPerModule = 300;
    if (argc > 2 && !parseCount(argv[2], modules)) {
        std::fprintf(stderr, "%s: MODULES must be a whole number from 1 to 1000000: %s\n", argv[0],
                     argv[2]);
        return 2;
    }
    if (argc > 3 && !parseCount(argv[3], linesPerModule)) {
        std::fprintf(stderr, "%s: LINES_PER_MODULE must be a whole number from 1 to 1000000: %s\n",
                     argv[0], argv[3]);
        return 2;
    }
    int designedForms = 0;
    if (argc > 4 && !parseCount(argv[4], designedForms)) {
        std::fprintf(stderr, "%s: DESIGNED_FORMS must be a whole number from 1 to 1000000: %s\n",
                     argv[0], argv[4]);
        return 2;
    }
    try {
        const tarnwick::BigProjectStats stats =
            tarnwick::makeBigProject(argv[1], modules, linesPerModule, designedForms);
        std::printf("%s/BigProject.vbp: %d modules, %lld lines, %d members\n", argv[1],
                    stats.modules, stats.lines, stats.members);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
        return 1;
    }
    return 0;
}
