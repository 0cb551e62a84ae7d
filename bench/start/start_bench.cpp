// Start-up and steady-state figures of the real executable on the running X display.
//
// Each run starts the saver (default settings in a fresh hive, silent audio driver) over
// a test desktop, polls the top rows of the screen until its first frame (the banner)
// shows, and reads the page faults taken so far; after a settling pause it measures the
// CPU time used over a steady period and the peak resident memory, then ends the saver
// with SIGTERM. Prints each run and the median, minimum and maximum of every figure.
// It only reports: no figure makes it fail.
//
//   tavro_start_bench [--runs N] [--settle-ms MS] [--steady-ms MS] [--exe PATH]
//                     [-- SAVER ARGS...]
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "x_session.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Run {
    double first_frame_ms = 0;
    double faults = 0;    // minor and major page faults before the first frame
    double start_cpu_ms = 0;  // CPU time the saver used before it
    double cpu_pct = 0;   // share of one core over the steady period
    double peak_mib = 0;  // VmHWM at the end of the steady period
};

struct ProcStat {
    long minflt = 0, majflt = 0;
    long ticks = 0;  // user + system clock ticks
};

std::optional<ProcStat> ReadStat(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The command name may hold spaces: the fields start after its closing parenthesis.
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos) return std::nullopt;
    std::istringstream fields(text.substr(close + 2));
    std::vector<std::string> f;
    for (std::string s; fields >> s;) f.push_back(s);
    // Counting from the state (field 3): minflt 10, majflt 12, utime 14, stime 15.
    if (f.size() < 13) return std::nullopt;
    ProcStat st;
    st.minflt = std::stol(f[7]);
    st.majflt = std::stol(f[9]);
    st.ticks = std::stol(f[11]) + std::stol(f[12]);
    return st;
}

std::optional<double> PeakMiB(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    }
    return std::nullopt;
}

// The top rows of the screen, where the banner stands, as a full-width shot.
e2e::Shot TopRows(e2e::XSession& session, int rows) {
    e2e::Shot shot;
    Display* d = session.display();
    XImage* img = XGetImage(d, DefaultRootWindow(d), 0, 0, static_cast<unsigned>(session.width()),
                            static_cast<unsigned>(rows), AllPlanes, ZPixmap);
    if (!img) return shot;
    shot.width = session.width();
    shot.height = rows;
    shot.pixels.resize(static_cast<std::size_t>(shot.width) * rows);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < shot.width; ++x)
            shot.pixels[static_cast<std::size_t>(y) * shot.width + x] =
                static_cast<std::uint32_t>(XGetPixel(img, x, y)) & 0xFFFFFFu;
    XDestroyImage(img);
    return shot;
}

bool BannerShown(e2e::XSession& session) { return session.ShowsBanner(TopRows(session, 32)); }

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

std::optional<Run> OneRun(e2e::XSession& session, const std::string& exe,
                          const std::vector<std::string>& args, int settle_ms, int steady_ms) {
    e2e::TempDir dir;
    e2e::SaverProcess saver(dir.path());
    if (!exe.empty()) saver.SetExecutable(exe);
    const Clock::time_point start = Clock::now();
    saver.Start(args);
    Run run;
    std::optional<ProcStat> at_frame;
    while (Ms(Clock::now() - start) < 10000) {
        if (BannerShown(session)) {
            run.first_frame_ms = Ms(Clock::now() - start);
            at_frame = ReadStat(saver.pid());
            break;
        }
        if (!saver.Running()) break;
        usleep(500);
    }
    if (!at_frame) {
        std::fprintf(stderr, "no first frame within 10 s%s\n",
                     saver.Running() ? "" : " (the saver ended)");
        kill(saver.pid(), SIGTERM);
        saver.Wait(5000);
        return std::nullopt;
    }
    run.faults = static_cast<double>(at_frame->minflt + at_frame->majflt);
    run.start_cpu_ms = 1000.0 * static_cast<double>(at_frame->ticks) /
                       static_cast<double>(sysconf(_SC_CLK_TCK));
    usleep(static_cast<useconds_t>(settle_ms) * 1000);
    const std::optional<ProcStat> before = ReadStat(saver.pid());
    const Clock::time_point t0 = Clock::now();
    usleep(static_cast<useconds_t>(steady_ms) * 1000);
    const std::optional<ProcStat> after = ReadStat(saver.pid());
    const double elapsed_s = Ms(Clock::now() - t0) / 1000.0;
    const std::optional<double> peak = PeakMiB(saver.pid());
    kill(saver.pid(), SIGTERM);
    saver.Wait(5000);
    if (!before || !after || !peak) return std::nullopt;
    const double cpu_s = static_cast<double>(after->ticks - before->ticks) /
                         static_cast<double>(sysconf(_SC_CLK_TCK));
    run.cpu_pct = 100.0 * cpu_s / elapsed_s;
    run.peak_mib = *peak;
    // The next run starts from the bare desktop.
    e2e::WaitUntil([&] { return !BannerShown(session); }, 5000);
    return run;
}

void Summary(const char* name, const char* unit, const char* goal, std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    const double median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    std::printf("%-26s median %9.1f %-4s (min %9.1f, max %9.1f)   goal %s\n", name, median, unit,
                v.front(), v.back(), goal);
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 10, settle_ms = 1000, steady_ms = 5000;
    std::vector<std::string> args{"/s"};
    std::string exe;  // the executable built beside this program
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (a == "--settle-ms" && i + 1 < argc) {
            settle_ms = std::max(0, std::atoi(argv[++i]));
        } else if (a == "--steady-ms" && i + 1 < argc) {
            steady_ms = std::max(100, std::atoi(argv[++i]));
        } else if (a == "--exe" && i + 1 < argc) {
            exe = argv[++i];
        } else if (a == "--") {
            args.assign(argv + i + 1, argv + argc);
            break;
        } else {
            std::fprintf(stderr,
                         "usage: %s [--runs N] [--settle-ms MS] [--steady-ms MS] [--exe PATH] "
                         "[-- ARGS...]\n",
                         argv[0]);
            return 2;
        }
    }
    e2e::XSession session;
    if (!session.ok()) {
        std::fprintf(stderr, "no X display (set DISPLAY, e.g. run under scripts/with-xvfb.sh)\n");
        return 1;
    }
    session.ShowDesktop();
    std::printf("screen %dx%d, %d runs, steady period %d ms after %d ms\n", session.width(),
                session.height(), runs, steady_ms, settle_ms);
    std::vector<Run> done;
    for (int i = 0; i < runs; ++i) {
        const std::optional<Run> r = OneRun(session, exe, args, settle_ms, steady_ms);
        if (!r) continue;
        std::printf("run %2d: first frame %6.1f ms (cpu %4.0f ms), %6.0f faults, cpu %5.2f %%, "
                    "peak %5.1f MiB\n",
                    i + 1, r->first_frame_ms, r->start_cpu_ms, r->faults, r->cpu_pct, r->peak_mib);
        std::fflush(stdout);
        done.push_back(*r);
    }
    if (done.empty()) {
        std::fprintf(stderr, "no run completed\n");
        return 1;
    }
    const auto column = [&](double Run::*field) {
        std::vector<double> v;
        for (const Run& r : done) v.push_back(r.*field);
        return v;
    };
    Summary("start to first frame", "ms", "<= 90 ms", column(&Run::first_frame_ms));
    Summary("CPU time before it", "ms", "-", column(&Run::start_cpu_ms));
    Summary("page faults before it", "", "<= 5000", column(&Run::faults));
    Summary("steady CPU", "%", "<= 5 % of a core", column(&Run::cpu_pct));
    Summary("peak resident memory", "MiB", "<= 45 MiB", column(&Run::peak_mib));
    return 0;
}
