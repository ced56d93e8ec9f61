// A stand-in application for the end-to-end tests: writes the arguments it was
// started with, one per line, to the file named by its first argument.

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc < 2)
        return 2;
    const char *target = argv[1];
    char partial[4096];
    std::snprintf(partial, sizeof partial, "%s.partial", target);
    std::FILE *out = std::fopen(partial, "w");
    if (out == nullptr)
        return 1;
    for (int i = 2; i < argc; ++i)
        std::fprintf(out, "%s\n", argv[i]);
    std::fclose(out);
    // Appears whole, so a test never reads half of it.
    return std::rename(partial, target) == 0 ? 0 : 1;
}
