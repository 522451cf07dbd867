// cull_sweep: random charts drawn culled and whole, every difference printed with the line that
// draws its chart again; or, with --time, every chart whose DRAW at size 1000 is slow.
//
//   cull_sweep [--seed S] [--count N] [--start K] [--family NAME] [--index I] [-j N]
//              [--time [--slow SECONDS]] [--sums] [--light] [--verbose]
//
// --light draws the test's charts (boxes up to 220 pixels, shorter tracks); -j N runs N
// processes, each a program of its own. --sums draws each chart once, culled, and prints a sum
// of its pixels: `sort` the SUM lines of two builds and `diff` them to see which pictures a
// change altered.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/sweep/cull_sweep.h"

extern char** environ;

using namespace nivora::sweep;

namespace {

struct Options {
    std::uint64_t seed = 1;
    long count = 1000;
    long start = 0;
    int family = -1;
    long index = -1;
    int jobs = 1;
    int shard = 0, shards = 1;
    bool time = false;
    double slow = 0.3;
    bool verbose = false;
    bool light = false;
    bool sums = false;
};

[[noreturn]] void usage(const char* why)
{
    if (why)
        std::fprintf(stderr, "cull_sweep: %s\n", why);
    std::fprintf(stderr,
                 "usage: cull_sweep [--seed S] [--count N] [--start K] [--family NAME] [--index I] [-j N]\n"
                 "                  [--time [--slow SECONDS]] [--sums] [--light] [--verbose]\nfamilies:");
    for (int f = 0; f < int(Family::count); ++f)
        std::fprintf(stderr, " %s", familyName(Family(f)));
    std::fprintf(stderr, "\n");
    std::exit(why ? 2 : 0);
}

Options parse(int argc, char** argv)
{
    Options o;
    for (int k = 1; k < argc; ++k) {
        const std::string a = argv[k];
        const auto value = [&]() -> std::string {
            if (k + 1 >= argc)
                usage(("no value after " + a).c_str());
            return argv[++k];
        };
        try {
            if (a == "--seed")
                o.seed = std::stoull(value());
            else if (a == "--count")
                o.count = std::stol(value());
            else if (a == "--start")
                o.start = std::stol(value());
            else if (a == "--index")
                o.index = std::stol(value());
            else if (a == "-j")
                o.jobs = std::max(1, std::stoi(value()));
            else if (a == "--shard") {
                o.shard = std::stoi(value());
                o.shards = std::stoi(value());
            } else if (a == "--family") {
                const std::string name = value();
                o.family = familyByName(name);
                if (o.family < 0)
                    usage(("no family " + name).c_str());
            } else if (a == "--time")
                o.time = true;
            else if (a == "--slow")
                o.slow = std::stod(value());
            else if (a == "--sums")
                o.sums = true;
            else if (a == "--light")
                o.light = true;
            else if (a == "--help")
                usage(nullptr);
            else if (a == "--verbose")
                o.verbose = true;
            else
                usage(("unknown argument " + a).c_str());
        } catch (const std::exception&) {
            usage(("a bad value for " + a).c_str());
        }
    }
    return o;
}

// Runs the shards as processes of their own, each with its own program; their lines go straight out.
int runShards(int argc, char** argv, int jobs)
{
    std::vector<pid_t> children;
    for (int k = 0; k < jobs; ++k) {
        std::vector<std::string> args(argv, argv + argc);
        for (std::size_t a = 0; a < args.size(); ++a)
            if (args[a] == "-j")
                args[a + 1] = "1";
        args.insert(args.end(), {"--shard", std::to_string(k), std::to_string(jobs)});
        std::vector<char*> raw;
        for (std::string& s : args)
            raw.push_back(s.data());
        raw.push_back(nullptr);
        pid_t pid;
        if (posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, raw.data(), environ) != 0) {
            std::perror("cull_sweep: posix_spawn");
            return 2;
        }
        children.push_back(pid);
    }
    int worst = 0;
    for (const pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 3;
        worst = std::max(worst, code);
    }
    return worst;
}

} // namespace

int main(int argc, char** argv)
{
    const Options o = parse(argc, argv);
    if (o.jobs > 1 && o.index < 0)
        return runShards(argc, argv, o.jobs);
    // A chart's lines go out together, whole, so that the shards' lines do not mix.
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    Sweeper sweeper;
    long charts = 0, differing = 0, refused = 0, slow = 0;
    double slowestDraw = 0, slowestWhole = 0;
    long slowestDrawIndex = -1, slowestWholeIndex = -1;
    const long first = o.index >= 0 ? o.index : o.start + o.shard;
    const long last = o.index >= 0 ? o.index + 1 : o.start + o.count;
    const long step = o.index >= 0 ? 1 : o.shards;
    for (long i = first; i < last; i += step) {
        Chart c = makeChart(o.seed, i, o.family, o.light);
        if (o.time)
            c.size = 1000;
        const Outcome r = sweeper.run(c, !o.time && !o.sums);
        ++charts;
        if (o.verbose || o.index >= 0)
            std::printf("chart %ld (%s): draw %.3f s whole %.3f s, view %s: %s\n", i, familyName(c.family),
                        r.drawSeconds, r.wholeSeconds, r.view.c_str(), describe(c).c_str());
        if (!r.drawn) {
            ++refused;
            if (o.verbose || o.index >= 0)
                std::printf("REFUSED %s: %s\n", reproduceCommand(c).c_str(), r.alert.c_str());
            std::fflush(stdout);
            continue;
        }
        if (o.sums)
            std::printf("SUM %ld %016llx %s\n", i, (unsigned long long)r.checksum, familyName(c.family));
        if (r.drawSeconds > slowestDraw)
            slowestDraw = r.drawSeconds, slowestDrawIndex = i;
        if (r.wholeSeconds > slowestWhole)
            slowestWhole = r.wholeSeconds, slowestWholeIndex = i;
        if (o.time && r.drawSeconds >= o.slow) {
            ++slow;
            std::printf("SLOW %.3f s  %s  | %s\n", r.drawSeconds, reproduceCommand(c).c_str(), describe(c).c_str());
            std::printf("     view drawn: %s\n", r.view.c_str());
            std::string causes;
            for (const auto& [part, without] : withoutEachPart(c)) {
                const double seconds = sweeper.run(without, false).drawSeconds;
                if (seconds < o.slow)
                    causes += std::string(causes.empty() ? "" : ", ") + part + " (" + std::to_string(seconds) + " s)";
            }
            std::printf("     fast without: %s\n", causes.empty() ? "no one part" : causes.c_str());
        }
        if (r.differing > 0) {
            ++differing;
            std::printf("DIFF %ld px (%ld only whole) at x %d-%d y %d-%d  %s  | %s\n", r.differing, r.onlyWhole, r.x0,
                        r.x1, r.y0, r.y1, reproduceCommand(c).c_str(), describe(c).c_str());
            std::printf("     view drawn: %s\n", r.view.c_str());
            std::string causes;
            for (const auto& [part, without] : withoutEachPart(c))
                if (sweeper.run(without).differing == 0)
                    causes += std::string(causes.empty() ? "" : ", ") + part;
            std::printf("     gone without: %s\n", causes.empty() ? "no one part" : causes.c_str());
        } else if (o.index >= 0) {
            std::printf("SAME draw %.3f s whole %.3f s\n", r.drawSeconds, r.wholeSeconds);
        }
        std::fflush(stdout);
    }
    std::printf("seed %llu shard %d/%d: %ld charts, %ld differ, %ld refused%s, slowest draw %.3f s (index %ld), "
                "slowest whole %.3f s (index %ld)\n",
                (unsigned long long)o.seed, o.shard, o.shards, charts, differing, refused,
                o.time ? (", " + std::to_string(slow) + " slow").c_str() : "", slowestDraw, slowestDrawIndex,
                slowestWhole, slowestWholeIndex);
    return differing > 0 ? 1 : 0;
}
