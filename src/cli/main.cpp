// tessarin-cli: batch access to the game files and analyses of Tessarin.

#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/Commands.h"

int main(int argc, char** argv) {
    using namespace tessarin::cli;
    CLI::App app{"Tessarin command-line tool: inspect and convert game logs and sight logs."};
    app.require_subcommand(1);

    InfoOptions info;
    auto* infoCmd = app.add_subcommand("info", "Load a game file as the viewer does and print what it holds.");
    infoCmd->add_option("FILE", info.file, "Game log (.rcg, version 3), sight log (SLG) or version-2 sight log (SLH)")
        ->required();
    infoCmd->add_flag("--json", info.json, "Print one JSON object instead of text");

    ConvertOptions convert;
    auto* convertCmd =
        app.add_subcommand("convert", "Load a game file and write it again in the format of its first record.");
    convertCmd->add_option("IN", convert.in, "File to read")->required();
    convertCmd->add_option("OUT", convert.out, "File to write")->required();

    CLI11_PARSE(app, argc, argv);

    if (*infoCmd) return runInfo(info, std::cout, std::cerr);
    if (*convertCmd) return runConvert(convert, std::cout, std::cerr);
    return 1;
}
