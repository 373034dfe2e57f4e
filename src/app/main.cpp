#include <cstdio>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <string>
#include <vector>

#include "app/Commands.h"

int main(int argc, char** argv) {
#ifdef __GLIBC__
    // Lists of millions of values are made and dropped pass after pass; kept in the heap, not
    // handed back to the system, each new one reuses memory already in place instead of
    // faulting in fresh pages.
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return vortel::RunWindow(argc, argv, {});
    const std::string& first = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (first == "cartesian") return vortel::RunCartesianCommand(rest);
    if (first == "sortcount") return vortel::RunSortCountCommand(rest);
    if (first == "paper-table") return vortel::RunPaperTableCommand(rest);
    if (first == "--terminal") return vortel::RunTerminal();
    if (first == "--screenshot" && args.size() == 2) return vortel::RunWindow(argc, argv, args[1]);
    if (first == "--help" || first == "-h") {
        vortel::PrintUsage();
        return 0;
    }
    std::fprintf(stderr, "vortel: unknown command \"%s\"; see vortel --help\n", first.c_str());
    return 2;
}
