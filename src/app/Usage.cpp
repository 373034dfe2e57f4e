#include <cstdio>

#include "app/Commands.h"

namespace vortel {

void PrintUsage() {
    std::fputs(
        "Usage:\n"
        "  vortel                      open the program window\n"
        "  vortel --terminal           run the program with prompts in this terminal\n"
        "  vortel --screenshot FILE.png\n"
        "                              save a picture of the window after start-up\n"
        "  vortel cartesian [--transform none|arcsine|logit] [--reversed]\n"
        "                   [--detail-differences] [--flow-record] [--code CODE]\n"
        "                   [--csv] [--figure FILE.png|FILE.svg] [--parameter NAME]\n"
        "                   [--progress] FILE1 [FILE2 ... FILE20]\n"
        "      Cartesian paired test of two to 20 treatments, one bootstrap-result file\n"
        "      each, or any number in a FILE whose name ends in .csv: a table with the\n"
        "      columns treatment and value (and n, original), or one column per\n"
        "      treatment with rows labelled n and original. --parameter names the\n"
        "      parameter of a table that names none (default: value).\n"
        "      Output files go into the folder of the last FILE; the report's full\n"
        "      path is printed on standard output. --transform defaults to none; CODE\n"
        "      goes into the report's name (default 1: the date and time instead);\n"
        "      a report whose name is taken goes to \"<name> (2).txt\", \"(3)\" and so on,\n"
        "      never over another file.\n"
        "      --detail-differences writes six files of differences per pair and\n"
        "      --flow-record a file naming the procedures that ran.\n"
        "      --csv also writes the results as \"<report> pairs.csv\" and \"<report>\n"
        "      treatments.csv\" beside the report, with it or not at all, and prints\n"
        "      their paths after the report's. --figure draws the histogram of each\n"
        "      pair's differences with its mean and intervals into one PNG or SVG\n"
        "      picture once the report is written.\n"
        "      --progress prints one line per step on standard error: \"progress began\n"
        "      PAIRS\", \"progress pair I J differences\", \"progress pair I J sorting\",\n"
        "      \"progress done I J\" and \"progress finished\".\n"
        "      The report's last table marks treatments that do not differ (P > 0.05)\n"
        "      with a common letter; from six treatments on the letters are a compact\n"
        "      letter display made by insertion and absorption (Piepho 2004), with no\n"
        "      letter that could be left out.\n"
        "  vortel sortcount [--kind general|boot|results] [--serials] [--decimals N]\n"
        "                   [--chart FILE.png|FILE.svg] [--column NAME] FILE\n"
        "      Sort and count the values of FILE: a general data file, bootstrap results\n"
        "      (the default kind) or PBT or CPT results, with --serials when every value\n"
        "      has a serial number before it; --decimals rounds the sorted copy (-1, the\n"
        "      default, keeps full precision). Writes the sorted, percentile and counts\n"
        "      files beside FILE and prints their paths; --chart also draws the frequency\n"
        "      view, as an SVG drawing when its name ends in .svg, else as a PNG picture.\n"
        "      A FILE whose name ends in .csv is a table: its one column, or the column\n"
        "      NAME, is sorted (bootstrap results need rows labelled n and original).\n"
        "A FILE whose name begins with - follows --. A refused run prints one line on\n"
        "standard error and writes no file.\n"
        "Exit status: 0 on success, 1 when the input is refused, 2 for a usage error.\n",
        stdout);
}

}  // namespace vortel
