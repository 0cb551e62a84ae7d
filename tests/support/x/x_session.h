// What the end-to-end tests need of the X display and of the saver process: a desktop to
// show, screenshots, XTest input, and the executable started with a private settings hive.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/temp_dir.h"

typedef struct _XDisplay Display;

namespace e2e {

struct Shot {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    // Pixels (on a grid of `step`) that differ between two shots of the same size.
    int CountDifferent(const Shot& other, int step = 1) const;
    bool SavePng(const std::string& path) const;  // through ImageMagick's convert
};

class XSession {
public:
    XSession();
    ~XSession();
    bool ok() const { return display_ != nullptr; }
    Display* display() { return display_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // A full-screen window of this test painted with DesktopPixel, standing for the desktop.
    void ShowDesktop();
    static std::uint32_t DesktopPixel(int x, int y);
    // A plain top-level window of this test; the server repaints its background itself.
    unsigned long CreateWindow(int x, int y, int w, int h, std::uint32_t colour,
                               const std::string& title);
    void DestroyWindow(unsigned long id);

    Shot Screenshot();
    Shot WindowShot(unsigned long id);
    // Screenshots (of the screen, or of one window) until one satisfies `ok`; nothing when
    // none did within ms.
    std::optional<Shot> WaitForScreen(const std::function<bool(const Shot&)>& ok, int ms);
    std::optional<Shot> WaitForWindowShot(unsigned long id,
                                          const std::function<bool(const Shot&)>& ok, int ms);
    // The saver's banner stands at the top middle of this shot (its first frame is shown).
    bool ShowsBanner(const Shot& shot) const;
    // The frame of a saver with no planes: `shot`'s banner on the desktop, everything else
    // as the desktop is. Nothing when the shot shows no banner yet.
    std::optional<Shot> PlainFrame(const Shot& shot) const;
    // Titles of the top-level windows, topmost first.
    std::vector<std::string> TopLevelTitles();
    // Waits up to ms for a top-level window with this title to be mapped.
    unsigned long WaitForWindow(const std::string& title, int ms);
    // Waits up to ms until no top-level window with this title is mapped.
    bool WaitForNoWindow(const std::string& title, int ms);
    // Where a window stands on the screen and its size (root coordinates), or nullopt.
    struct Placement {
        int x = 0, y = 0, width = 0, height = 0;
    };
    std::optional<Placement> WindowPlacement(unsigned long id);

    void Key(const char* keysym_name);
    void Type(const std::string& text);
    void MovePointer(int x, int y);
    void Click(int x, int y);
    void Sync();
    // Sends the window a message its program ignores. The program merges a run of queued
    // pointer moves into the last one; a message between two moves keeps them apart.
    void Separate(unsigned long window);

private:
    Display* display_ = nullptr;
    int width_ = 0, height_ = 0;
    unsigned long desktop_ = 0;
};

// The saver executable started with a hive and instance lock of its own.
class SaverProcess {
public:
    explicit SaverProcess(std::string hive_dir) : dir_(std::move(hive_dir)) {}
    ~SaverProcess();
    // Runs this executable instead of the one built (e.g. a copy with other files beside it).
    void SetExecutable(std::string path) { exe_ = std::move(path); }
    void Start(const std::vector<std::string>& args,
               const std::map<std::string, std::string>& extra_env = {});
    // The exit code, or nullopt when it did not end within ms.
    std::optional<int> Wait(int ms);
    bool Running();
    const std::string& Stderr();
    pid_t pid() const { return pid_; }

private:
    std::string dir_;
    std::string exe_ = TAVRO_EXE;
    pid_t pid_ = -1;
    std::optional<int> code_;
    std::string stderr_path_;
    std::string stderr_;
};

using TempDir = tavro_test::TempDir;

// The registry key the executable keeps its settings under, as seen from outside it.
inline constexpr const char* kSettingsKey = "Software\\Kolmi Ardev\\Tavro Screen Saver";

// Writes a settings hive with these values as texts, in the registry's file format, as
// dir/hive.txt.
void WriteHive(const std::string& dir, const std::map<std::string, std::string>& values);

// Polls `done` every 10 ms until it holds (true) or ms have passed (false).
bool WaitUntil(const std::function<bool()>& done, int ms);

// The pause between two polls; tests wait for what they check, never for a fixed time.
void SleepMs(int ms);

}  // namespace e2e
