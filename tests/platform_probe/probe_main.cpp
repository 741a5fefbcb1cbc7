// Links every probed function against the system's libraries. Run with "--run" to call them
// (needs a desktop); by default it only proves that everything resolves.
#include <cstring>

int probe_user();
int probe_gdi();

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--run") == 0) return probe_user() + probe_gdi();
    return 0;
}
