// zembra-cli's help texts.
#include "cli/cli_usage.h"

namespace {

const char kOverview[] =
    "usage: zembra-cli [-q|-v] COMMAND [OPTIONS] ARGS...\n"
    "\n"
    "  split    pack files and folders into a split set of numbered segments\n"
    "  rejoin   recreate the files and folders of a set\n"
    "  list     show what a set holds\n"
    "  verify   check a whole set without writing anything\n"
    "  repair   rebuild missing or damaged segments from the set's recovery volumes\n"
    "\n"
    "zembra-cli COMMAND --help shows a command's options; zembra-cli --version its version.\n"
    "  -q, --quiet     print nothing but errors\n"
    "  -v, --verbose   print one line per entry written or restored\n"
    "Options take their value as --opt VALUE or --opt=VALUE.\n"
    "\n"
    "A set keeps the names, sizes and contents of files and the folders around them, empty\n"
    "folders included. It does not keep times, permissions, owners or links.\n"
    "\n"
    "Exit status: 0 done, 1 failed or not everything written, 2 usage error.\n";

const char kSplit[] =
    "usage: zembra-cli split [OPTIONS] --dest DIR SOURCE...\n"
    "       zembra-cli split [OPTIONS] --dest DIR --files-from FILE\n"
    "\n"
    "Packs SOURCE files and folders into DIR/BASE_1.EXE, DIR/BASE_2.SEG, ..., lists the\n"
    "contents in DIR/BASE.spj and writes DIR/BASE.sha256 (one line per segment, as\n"
    "sha256sum -c reads it). BASE_1.EXE is itself the rejoiner: run on Windows, it rebuilds\n"
    "the set.\n"
    "\n"
    "  --dest DIR          folder for the set (the last folder is made when missing)\n"
    "  --size SIZE         largest segment: bytes, or with K, M or G (K = 1000 bytes, not\n"
    "                      1024): 1440000, 700K, 1.5M, 4G. 0 or absent: autosize, 19/20 of\n"
    "                      the free space. A size larger than the set needs is cut to it.\n"
    "  --name BASE         base name of the segments (default Kestrin)\n"
    "  --files-from FILE   read the sources from FILE, one path a line (- for standard input)\n"
    "  --rejoiner FILE     use FILE as the rejoiner that heads the first segment\n"
    "  --yes               answer yes to every question (replace an existing set, autosize)\n"
    "  --no-checksums      do not write BASE.sha256\n"
    "  --hidden            take hidden items inside the sources too (on Windows; elsewhere\n"
    "                      dot files are always taken, as tar and cp take them)\n"
    "  --recovery K|P%     also write recovery volumes (PAR 2.0: BASE.par2 and\n"
    "                      BASE.volXX+YY.par2, none larger than a segment) that rebuild any K\n"
    "                      segments, or P percent of them, lost or damaged\n"
    "  -q, -v              errors only / one line per entry written\n"
    "\n"
    "A set keeps names, sizes, contents and folders; not times, permissions, owners or links.\n";

const char kRejoin[] =
    "usage: zembra-cli rejoin [--overwrite ask|all|none] [--allow-unchecked] FIRST_SEGMENT DEST\n"
    "\n"
    "Recreates the files and folders of the set whose first segment (NAME_1.EXE) is given,\n"
    "under DEST. The later segments are read from the same folder. When NAME.sha256 lies\n"
    "beside the set, every segment is checked against it before it is used, and the rejoin\n"
    "stops, naming the segment, when one does not match, has no line in it, or has lines\n"
    "that disagree. When recovery volumes lie beside the set, missing or damaged\n"
    "segments are rebuilt first (in a temporary folder when the set's folder cannot be\n"
    "written), and the rejoin says which.\n"
    "\n"
    "  --allow-unchecked  use a segment with no single line in NAME.sha256 unchecked (on\n"
    "                     a terminal you are asked instead); one that does not match\n"
    "                     is never used\n"
    "  --overwrite ask    ask before replacing an existing file (default; without a terminal\n"
    "                     existing files are kept and the exit status is 1)\n"
    "  --overwrite all    replace existing files\n"
    "  --overwrite none   keep existing files\n"
    "  -q, -v             errors only / one line per file or folder restored\n"
    "\n"
    "Files get the current time and default permissions: a set keeps no times, permissions\n"
    "or links.\n";

const char kList[] =
    "usage: zembra-cli list FIRST_SEGMENT\n"
    "\n"
    "Prints one line per entry of the set: the segment its record lies in, folder or file,\n"
    "its size in bytes and its path inside the set.\n";

const char kVerify[] =
    "usage: zembra-cli verify [--allow-unchecked] FIRST_SEGMENT\n"
    "\n"
    "Reads the whole set without writing anything: every segment present and flagged in\n"
    "turn, every record and size in order, the data ending at the last segment. When\n"
    "NAME.sha256 lies beside the set, every segment must have exactly one line in it\n"
    "(sha256sum's plain or --tag form, any folder before the name) and match it.\n"
    "When recovery volumes lie beside the set, says whether a damaged set can be rebuilt.\n"
    "Exit status 0 when the set is whole.\n"
    "\n"
    "  --allow-unchecked  go on past a segment with no single line in NAME.sha256\n";

const char kRepair[] =
    "usage: zembra-cli repair FIRST_SEGMENT\n"
    "\n"
    "Rebuilds the missing and damaged segments of the set (NAME_1.EXE included) from the\n"
    "recovery volumes beside it, NAME.par2 and NAME.vol*.par2, ours or any PAR 2.0 tool's.\n"
    "A segment is written only after it matched the volumes' checksums whole.\n"
    "Exit status 0 when the set is whole afterwards.\n";

}  // namespace

std::string Usage(CliCommand command, uint64_t minimumSize) {
    switch (command) {
        case CliCommand::Split: {
            std::string text = kSplit;
            if (minimumSize)
                text += "\nThe smallest SIZE this build accepts is " + std::to_string(minimumSize) +
                        " bytes (its rejoiner and five bytes of the set's own).\n";
            return text;
        }
        case CliCommand::Rejoin: return kRejoin;
        case CliCommand::List: return kList;
        case CliCommand::Verify: return kVerify;
        case CliCommand::Repair: return kRepair;
        default: return kOverview;
    }
}
