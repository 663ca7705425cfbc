#include "cli/Cli.h"

#include <ostream>

#include "base/Version.h"
#include "cli/BatchScore.h"
#include "cli/PeaksCommand.h"
#include "headless/SessionScript.h"

namespace lociview::headless {

const char* const kCliHelp =
    "usage: lociview-cli run SCRIPT\n"
    "       lociview-cli score [OPTION]... FILE...\n"
    "       lociview-cli peaks [OPTION]... FILE...\n"
    "       lociview-cli --help\n"
    "\n"
    "Lociview without a display: the same controller as the desktop\n"
    "application, driven by scripted user actions.\n"
    "\n"
    "run SCRIPT   plays a session script (a path, or - for standard input)\n"
    "             and prints the trace of everything the user would see or\n"
    "             the program would log. One command per line:\n"
    "               open [PATH]            Open, answering the file dialog with\n"
    "                                      PATH (cancelled without one)\n"
    "               set FIELD [TEXT]       type TEXT into a field\n"
    "               locus mono|di|tri|penta|none\n"
    "               walk-every-locus on|off  walk the ladder for every repeat\n"
    "                                      unit (then locus also takes tetra\n"
    "                                      and hexa)\n"
    "               instability NAME VALUE the indices' choices, as score's\n"
    "                                      options: index-size, peak-threshold,\n"
    "                                      repeat-unit, controls, group\n"
    "               state Maybes|toggleTable on|off\n"
    "               answer default|alternate ...   answers for the next alerts\n"
    "               select [ROW ...]       select rows of the results table\n"
    "               do ACTION:             send an action, e.g. do scoreData:\n"
    "               snapshot NAME          keep what a clean-up changes\n"
    "               restore NAME           put it back (undo or redo)\n"
    "               open-lanes PATH...     Open, answering the file dialog with\n"
    "                                      several files, which become the\n"
    "                                      lanes of one data set\n"
    "               dye LETTER|cancel      the answer of the next import review\n"
    "                                      (sizing tables, genotype tables and\n"
    "                                      per-sample files): the dye to score,\n"
    "                                      a letter or colour, or cancel to keep\n"
    "                                      the open data set; without one, the\n"
    "                                      default dye\n"
    "               marker NAME            the marker the next import review\n"
    "                                      answers for a table with a Marker\n"
    "                                      column; without one, the marker with\n"
    "                                      most rows in the dye\n"
    "               show WHAT              title fields counters log sppcr\n"
    "                                      results table store lanes data\n"
    "                                      state accum windows chart cleanup\n"
    "                                      provenance runs\n"
    "                                      stats spectrum accumstats\n"
    "                                      accumspectrum (SP-PCR statistics\n"
    "                                      of the run and of the accumulated\n"
    "                                      runs, as the score blocks)\n"
    "                                      import (layout, files, dye, rows per\n"
    "                                      dye, skipped rows, notes) samples\n"
    "                                      (lane, sample, file, peaks)\n"
    "                                      instability instability-groups\n"
    "                                      (as the score blocks)\n"
    "             FIELD: progenitor1 progenitor2 lowrange highrange shift\n"
    "               stuttertol geforun accumgeforun cuwlessthanfield\n"
    "               cuwgreaterthanfield cuwlanefield cuwallelefield\n"
    "             ACTION: openData: printMyWindow: scoreData: toggleTable:\n"
    "               toggleMaybes: graphSelections: cleanUpWindow:\n"
    "               cleanUpLessThan: cleanUpGreaterThan: cleanUpLaneAndOrAllele:\n"
    "               preAddToAccumulator: addToAccumulator: resetAccumulator:\n"
    "               exportSPPCRData: exportSPPCR2: exportAccumulatedSPPCRData:\n"
    "             Empty lines and lines starting with # are ignored. Line\n"
    "             ends may be LF or CR LF.\n"
    "             Exit status 0; 2 for a script error, reported on standard\n"
    "             error as SCRIPT:LINE: message.\n"
    "\n"
    "score ...    scores peak files in a batch, as described below.\n"
    "\n"
    "peaks ...    writes the peaks of trace files (.fsa), called and sized,\n"
    "             as a sizing table ('lociview-cli peaks --help').\n";

namespace {

int dispatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace

int cliMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const int status = dispatch(args, out, err);
    // Output that never arrived (a full disk, a closed pipe) is a failure too.
    out.flush();
    if (out) return status;
    err << "lociview-cli: standard output could not be written\n";
    return status == 0 ? 1 : status;
}

namespace {

int dispatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << kCliHelp;
        return 2;
    }
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help" ||
        (command == "run" && args.size() == 2 && args[1] == "--help")) {
        out << kCliHelp << '\n' << scoreHelp();
        return 0;
    }
    if (command == "--version") {
        out << "lociview-cli " << kVersion << '\n';
        return 0;
    }
    if (command == "run") {
        if (args.size() != 2) {
            err << "lociview-cli run: expected exactly one SCRIPT\n" << "usage: lociview-cli run SCRIPT\n";
            return 2;
        }
        return runSessionFile(args[1], out, err);
    }
    if (command == "score") return runBatchScore({args.begin() + 1, args.end()}, out, err);
    if (command == "peaks") return runPeaks({args.begin() + 1, args.end()}, out, err);
    err << "lociview-cli: unknown command '" << command << "'\n" << kCliHelp;
    return 2;
}

}  // namespace

}  // namespace lociview::headless
