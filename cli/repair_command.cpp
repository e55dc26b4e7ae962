// zembra-cli repair: rebuild a set's missing and damaged segments from its recovery volumes.
#include <cstdio>

#include "cli/commands.h"
#include "cli/recovery_line.h"
#include "platform/console.h"
#include "recovery/set_recovery.h"
#include "platform/paths.h"

int RunRepair(const CliOptions& o) {
    IFileSystem& fs = SystemFileSystem();
    std::string first = FullWindowsPath(o.firstSegment);
    if (first.empty()) return ReportFailure(o.firstSegment + " cannot be reached");
    CSetRecovery recovery(fs);
    RecoveryLine line(o.verbosity != Verbosity::Quiet && StderrIsTerminal(), [&recovery] { return recovery.Bytes(); });
    recovery.SetProgress(&line);
    std::string error;
    bool loaded = recovery.Load(first, error);
    line.Finish();
    if (!loaded)
        return ReportFailure(error.empty() ? "no recovery volumes lie beside " + o.firstSegment : error);
    if (recovery.Whole()) {
        if (o.verbosity != Verbosity::Quiet) std::printf("%s: the set is whole; nothing to repair\n", o.firstSegment.c_str());
        return 0;
    }
    std::string damage = recovery.Damage(), where;
    std::vector<std::string> rebuilt;
    bool repaired = recovery.Repair(false, rebuilt, where, error);
    line.Finish();
    if (!repaired) return ReportFailure(damage + ": " + error);
    if (o.verbosity != Verbosity::Quiet) {
        std::printf("%s: %s\n", o.firstSegment.c_str(), damage.c_str());
        for (const std::string& n : rebuilt) std::printf("rebuilt %s\n", UserPath(where + n).c_str());
    }
    return 0;
}
