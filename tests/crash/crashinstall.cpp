// tests/crash/crashinstall.cpp - install.exe with crash points.
//
// The installer's own quiet run (the command line, the product binding, the
// pipeline), with every point at which an interruption leaves a different
// state on disk numbered as it is passed:
//
//   the pipeline's steps (the temporary file made, each copy block, the copy
//   closed, stamped, moved into place, registered, unregistered, deleted),
//   the middle of the stamp (the new fsType written, the checksums not yet),
//   and each write of Adobe Type Manager's profile, named by its key (a
//   registration or its removal is two writes there: the font's name key
//   and its companion).
//
// With FI_CRASH_AT=n the program ends itself at point n as a kill would
// (TerminateProcess, exit code 9: nothing is closed, flushed or undone);
// with 0 it runs to its end. FI_CRASH_LOG names a file that gets one line
// per point passed: its number and its kind.
#include "base/handles.h"
#include "pipeline/pipeline.h"
#include "platform/atm.h"
#include "program/entry.h"
#include "program/quiet.h"
#include "sfnt/embed.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

const UINT kKilled = 9;

int gStopAt = 0;
int gPassed = 0;
FILE *gLog = nullptr;

void point(const char *kind)
{
    ++gPassed;
    if (gLog) {
        std::fprintf(gLog, "%d %s\n", gPassed, kind);
        std::fflush(gLog);
    }
    if (gPassed == gStopAt)
        TerminateProcess(GetCurrentProcess(), kKilled);
}

const char *stepName(RunStep step)
{
    switch (step) {
    case RunStep::TempCreated: return "temp";
    case RunStep::BlockCopied: return "block";
    case RunStep::Copied: return "copied";
    case RunStep::Stamped: return "stamped";
    case RunStep::Moved: return "moved";
    case RunStep::Registered: return "registered";
    case RunStep::Unregistered: return "unregistered";
    case RunStep::Deleted: return "deleted";
    }
    return "step";
}

class Points : public RunSteps {
public:
    void reached(RunStep step) override { point(stepName(step)); }
};

// Writes the first bytes that the stamp changes (the new fsType) and no
// others: the file as a kill in the middle of the stamp leaves it.
void writeHalfStamp(const char *path, int value)
{
    std::string before;
    if (OwnedStdio f{std::fopen(path, "rb")}) {
        char block[4096];
        size_t n;
        while ((n = std::fread(block, 1, sizeof block, f.get())) > 0)
            before.append(block, n);
    }
    std::stringstream memory(before);
    if (RewriteEmbeddingType(memory, value) <= 0)
        return;
    std::string after = memory.str();
    size_t from = 0;
    while (from < before.size() && before[from] == after[from])
        ++from;
    size_t to = from;
    while (to < before.size() && before[to] != after[to])
        ++to;
    if (OwnedStdio f{std::fopen(path, "r+b")}) {
        std::fseek(f.get(), static_cast<long>(from), SEEK_SET);
        std::fwrite(after.data() + from, 1, to - from, f.get());
    }
}

// Before the stamp, a point; killed there, the copy has half a stamp.
class HalfStamp : public EmbeddingStamp {
public:
    int stamp(const char *path, int value, bool *written) const override
    {
        if (gPassed + 1 == gStopAt)
            writeHalfStamp(path, value);
        point("stamp-half");
        return stampInstalledCopy(path, value, written);
    }
};

// Each key of Adobe Type Manager's profile that is written is a point.
class PointWriter : public ProfileWriter {
public:
    bool write(const char *section, const char *key, const char *value, const char *file) const override
    {
        bool written = ProfileWriter::write(section, key, value, file);
        if (written)
            point(key && key[0] == '@' ? "atm companion" : "atm name");
        return written;
    }
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    std::vector<std::string> args;
    for (int i = 1; i < __argc; ++i)
        args.push_back(__argv[i]);
    QuietRequest request;
    CommandLineKind kind = parseCommandLine(args, &request);
    if (kind != CommandLineKind::Quiet && kind != CommandLineKind::Bad)
        return kQuietBadArguments;
    if (const char *at = std::getenv("FI_CRASH_AT"))
        gStopAt = std::atoi(at);
    if (const char *log = std::getenv("FI_CRASH_LOG"))
        gLog = std::fopen(log, "ab");
    Points points;
    PointWriter profile;
    HalfStamp stamp;
    RunHooks hooks;
    hooks.steps = &points;
    hooks.stamp = &stamp;
    hooks.profile = &profile;
    return runQuietInstaller(request, &hooks);
}
