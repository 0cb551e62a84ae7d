// The headless host's windows, stacking, clock and scripted input.
#include "hosts/headless/headless_host.h"

#include <algorithm>
#include <stdexcept>

namespace hosts {

HeadlessHost::HeadlessHost(int screen_width, int screen_height, std::uint64_t start_ms)
    : width_(std::max(1, screen_width)),
      height_(std::max(1, screen_height)),
      now_(start_ms),
      desktop_(width_, height_, 0),
      overlay_(static_cast<std::size_t>(width_) * height_, 0),
      overlay_mask_(static_cast<std::size_t>(width_) * height_, 0) {}

HeadlessHost::~HeadlessHost() = default;

// --- lookup -------------------------------------------------------------------------

HeadlessHost::Window* HeadlessHost::Any(HostWindowId id) {
    auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : it->second.get();
}
const HeadlessHost::Window* HeadlessHost::Any(HostWindowId id) const {
    auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : it->second.get();
}
HeadlessHost::Window* HeadlessHost::Live(HostWindowId id) {
    Window* w = Any(id);
    return w && !w->gone ? w : nullptr;
}
const HeadlessHost::Window* HeadlessHost::Live(HostWindowId id) const {
    const Window* w = Any(id);
    return w && !w->gone ? w : nullptr;
}

// --- stacking -------------------------------------------------------------------------

void HeadlessHost::Unlink(Window& w) {
    std::vector<HostWindowId>* list = &top_order_;
    if (w.parent != 0) {
        Window* p = Any(w.parent);
        if (!p) return;
        list = &p->children;
    }
    list->erase(std::remove(list->begin(), list->end(), w.id), list->end());
}

void HeadlessHost::StackTopLevel(Window& w) {
    top_order_.erase(std::remove(top_order_.begin(), top_order_.end(), w.id), top_order_.end());
    auto pos = top_order_.begin();
    if (!w.topmost) {
        // Normal windows stay below every topmost one.
        while (pos != top_order_.end() && Any(*pos) && Any(*pos)->topmost) ++pos;
    }
    top_order_.insert(pos, w.id);
}

void HeadlessHost::Resize(Window& w, int width, int height) {
    w.width = std::max(0, width);
    w.height = std::max(0, height);
    const std::size_t n = static_cast<std::size_t>(w.width) * w.height;
    // The buffer is replaced, as a real host's would be: its contents are not kept.
    w.pixels.assign(n, 0);
    w.shown.assign(n, 0);
    ++w.buffer_count;
}

// --- windows ------------------------------------------------------------------------

HostWindowId HeadlessHost::CreateWindow(const os::HostWindowSpec& spec) {
    auto w = std::make_unique<Window>();
    w->id = next_id_++;
    w->kind = spec.kind;
    w->x = spec.x;
    w->y = spec.y;
    w->title = spec.title;
    Resize(*w, spec.width, spec.height);
    Window& ref = *w;
    windows_[ref.id] = std::move(w);
    StackTopLevel(ref);
    return ref.id;
}

HostWindowId HeadlessHost::AddForeignWindow(const std::string& title, const HostRect& rect,
                                            std::uint32_t fill) {
    os::HostWindowSpec spec;
    spec.x = rect.left;
    spec.y = rect.top;
    spec.width = rect.width();
    spec.height = rect.height();
    spec.title = title;
    const HostWindowId id = CreateWindow(spec);
    Window& w = *Any(id);
    w.ours = false;
    w.visible = true;
    std::fill(w.shown.begin(), w.shown.end(), fill);
    return id;
}

void HeadlessHost::Forget(HostWindowId id) {
    Window* w = Any(id);
    if (!w) return;
    const std::vector<HostWindowId> kids = w->children;
    for (HostWindowId kid : kids) Forget(kid);
    if (!w->gone) Unlink(*w);
    if (grabbed_ == id) grabbed_ = 0;
    if (focus_ == id) focus_ = 0;
    if (foreground_ == id) foreground_ = 0;
    windows_.erase(id);
}

void HeadlessHost::DestroyWindow(HostWindowId id) {
    const Window* w = Any(id);
    if (w && w->ours) Forget(id);
}

void HeadlessHost::DestroyForeignWindow(HostWindowId id) {
    Window* w = Live(id);
    if (!w || w->ours) return;
    // Our windows inside it die with it; their pixels stay readable until our side
    // destroys them, as the window system copies them out when it hears of it.
    std::vector<HostWindowId> stack = w->children;
    while (!stack.empty()) {
        Window* kid = Any(stack.back());
        stack.pop_back();
        if (!kid || kid->gone) continue;
        stack.insert(stack.end(), kid->children.begin(), kid->children.end());
        kid->children.clear();
        kid->gone = true;
        kid->visible = false;
        kid->parent = 0;
        if (grabbed_ == kid->id) grabbed_ = 0;
        if (kid->ours) {
            HostEvent ev;
            ev.type = HostEvent::Type::Destroyed;
            ev.window = kid->id;
            Push(ev);
        }
    }
    w->children.clear();
    Forget(id);
}

std::uint32_t* HeadlessHost::WindowPixels(HostWindowId id, int* stride) {
    Window* w = Any(id);
    if (!w || !w->ours || w->pixels.empty()) return nullptr;
    if (stride) *stride = w->width;
    return w->pixels.data();
}

void HeadlessHost::MoveResizeWindow(HostWindowId id, int x, int y, int width, int height) {
    Window* w = Live(id);
    if (!w) return;
    w->x = x;
    w->y = y;
    if (width != w->width || height != w->height) Resize(*w, width, height);
}

void HeadlessHost::ShowWindow(HostWindowId id, bool visible) {
    Window* w = Live(id);
    if (!w) return;
    w->visible = visible;
    if (!visible && grabbed_ == id) grabbed_ = 0;  // a hidden window loses its grab
    if (visible && w->parent == 0) {
        StackTopLevel(*w);  // a window shown comes to the top of its band
        foreground_ = id;
    }
}

void HeadlessHost::SetTitle(HostWindowId id, const std::string& title) {
    if (Window* w = Live(id)) w->title = title;
}

void HeadlessHost::SetTopmost(HostWindowId id) {
    Window* w = Live(id);
    if (!w) return;
    ++w->topmost_calls;
    w->topmost = true;
    if (w->parent == 0) StackTopLevel(*w);
}

void HeadlessHost::HideFromOutside(HostWindowId id) {
    Window* w = Live(id);
    if (!w || !w->ours || !w->visible) return;
    ShowWindow(id, false);
    TellFromOutside(id, HostEvent::Type::Unmapped);
}

void HeadlessHost::ReparentFromOutside(HostWindowId id, HostWindowId new_parent, int x, int y) {
    Window* w = Live(id);
    const Window* parent = Live(new_parent);
    if (!w || !w->ours || !parent || parent->ours) return;
    const bool refuse = refuse_reparent_;
    refuse_reparent_ = false;  // what we refuse to do, another program still can
    Reparent(id, new_parent);
    refuse_reparent_ = refuse;
    w->x = x;
    w->y = y;
    TellFromOutside(id, HostEvent::Type::Reparented);
}

void HeadlessHost::MoveFromOutside(HostWindowId id, int x, int y) {
    Window* w = Live(id);
    if (!w || !w->ours) return;
    w->x = x;
    w->y = y;
    TellFromOutside(id, HostEvent::Type::Moved);
}

void HeadlessHost::TellFromOutside(HostWindowId id, HostEvent::Type change) {
    HostEvent ev;
    ev.type = change;
    ev.window = id;
    Push(ev);
}

bool HeadlessHost::Reparent(HostWindowId id, HostWindowId new_parent) {
    Window* w = Live(id);
    if (!w || !w->ours || refuse_reparent_) return false;
    if (new_parent != 0) {
        if (!Live(new_parent)) return false;
        for (HostWindowId a = new_parent; a != 0; a = Any(a) ? Any(a)->parent : 0)
            if (a == id) return false;  // not into itself or its own child
    }
    Unlink(*w);
    w->parent = new_parent;
    if (new_parent == 0) {
        StackTopLevel(*w);
    } else {
        auto& kids = Any(new_parent)->children;
        kids.insert(kids.begin(), id);
        if (grabbed_ == id) grabbed_ = 0;
    }
    return true;
}

void HeadlessHost::SetEllipticShape(HostWindowId id, const HostRect& rect) {
    if (Window* w = Live(id)) w->shape = rect;
}

void HeadlessHost::SetIcon(HostWindowId id, const std::vector<os::IconImage>& images) {
    if (Window* w = Live(id)) w->icon = images;
}

std::vector<HostWindowId> HeadlessHost::TopLevelWindows() { return top_order_; }

std::optional<std::string> HeadlessHost::WindowTitle(HostWindowId id) {
    const Window* w = Live(id);
    if (!w) return std::nullopt;
    return w->title;
}

bool HeadlessHost::WindowExists(HostWindowId id) { return Live(id) != nullptr; }

std::optional<HostRect> HeadlessHost::WindowRect(HostWindowId id) {
    const Window* w = Live(id);
    if (!w) return std::nullopt;
    return ScreenRectOf(*w);
}

HostWindowId HeadlessHost::ForegroundWindow() { return Live(foreground_) ? foreground_ : 0; }

void HeadlessHost::SetCursorVisible(HostWindowId id, bool visible) {
    if (Window* w = Live(id)) w->cursor_visible = visible;
}

bool HeadlessHost::GrabInput(HostWindowId id) {
    const Window* w = Live(id);
    if (!w || !w->visible || refuse_grab_) return false;
    if (grabbed_ == id) return true;  // still held: nothing to take
    grabbed_ = id;
    ++grab_count_;
    return true;
}

void HeadlessHost::ReleaseInput() { grabbed_ = 0; }

void HeadlessHost::SetFocus(HostWindowId id) {
    if (Live(id)) focus_ = id;
}

// --- counters -----------------------------------------------------------------------

int HeadlessHost::PresentCount(HostWindowId id) const {
    const Window* w = Any(id);
    return w ? w->present_count : 0;
}
int HeadlessHost::BufferCount(HostWindowId id) const {
    const Window* w = Any(id);
    return w ? w->buffer_count : 0;
}
std::vector<HostRect> HeadlessHost::LastPresentRects(HostWindowId id) const {
    const Window* w = Any(id);
    return w ? w->last_present : std::vector<HostRect>{};
}
bool HeadlessHost::CursorVisible(HostWindowId id) const {
    const Window* w = Any(id);
    return w ? w->cursor_visible : false;
}
int HeadlessHost::SetTopmostCalls(HostWindowId id) const {
    const Window* w = Any(id);
    return w ? w->topmost_calls : 0;
}
std::vector<os::IconImage> HeadlessHost::LastIcon(HostWindowId id) const {
    const Window* w = Any(id);
    return w ? w->icon : std::vector<os::IconImage>{};
}
bool HeadlessHost::IsShown(HostWindowId id) const {
    const Window* w = Live(id);
    return w && w->visible;
}
HostWindowId HeadlessHost::ParentOf(HostWindowId id) const {
    const Window* w = Live(id);
    return w ? w->parent : 0;
}
HostRect HeadlessHost::ShapeOf(HostWindowId id) const {
    const Window* w = Live(id);
    return w ? w->shape : HostRect{};
}

// --- clock and scripted events ------------------------------------------------------

void HeadlessHost::Insert(Scripted s) {
    s.seq = next_seq_++;
    auto pos = std::upper_bound(script_.begin(), script_.end(), s,
                                [](const Scripted& a, const Scripted& b) {
                                    return a.when != b.when ? a.when < b.when : a.seq < b.seq;
                                });
    script_.insert(pos, std::move(s));
}

void HeadlessHost::Push(const HostEvent& ev) { At(now_, ev); }

void HeadlessHost::At(std::uint64_t ms, const HostEvent& ev) {
    Scripted s;
    s.when = ms;
    s.event = ev;
    Insert(std::move(s));
}

void HeadlessHost::Schedule(std::uint64_t ms, std::function<void()> action) {
    Scripted s;
    s.when = ms;
    s.action = std::move(action);
    Insert(std::move(s));
}

namespace {

// An event of `type` for `window`, its other fields zero.
HostEvent EventFor(HostEvent::Type type, HostWindowId window) {
    HostEvent ev;
    ev.type = type;
    ev.window = window;
    return ev;
}

}  // namespace

HostEvent HeadlessHost::KeyEvent(HostWindowId window, unsigned vk, std::uint32_t ch) {
    HostEvent ev = EventFor(HostEvent::Type::KeyDown, window);
    ev.key = vk;
    ev.ch = ch;
    return ev;
}

HostEvent HeadlessHost::MotionEvent(HostWindowId window, int x, int y) {
    HostEvent ev = EventFor(HostEvent::Type::Motion, window);
    ev.x = x;
    ev.y = y;
    return ev;
}

void HeadlessHost::PushKey(HostWindowId window, unsigned vk, std::uint32_t ch, unsigned shift) {
    HostEvent down = KeyEvent(window, vk, ch);
    down.shift = shift;
    Push(down);
    HostEvent up = down;
    up.type = HostEvent::Type::KeyUp;
    up.ch = 0;
    Push(up);
}

void HeadlessHost::PushClick(HostWindowId window, int x, int y, int button) {
    HostEvent ev = EventFor(HostEvent::Type::ButtonDown, window);
    ev.x = x;
    ev.y = y;
    ev.button = button;
    Push(ev);
    ev.type = HostEvent::Type::ButtonUp;
    Push(ev);
}

void HeadlessHost::PushMotion(HostWindowId window, int x, int y, unsigned buttons) {
    HostEvent ev = MotionEvent(window, x, y);
    ev.buttons = buttons;
    Push(ev);
}

void HeadlessHost::PushClose(HostWindowId window) {
    Push(EventFor(HostEvent::Type::CloseRequest, window));
}

bool HeadlessHost::HitsShape(const HostEvent& ev) const {
    const bool pointer = ev.type == HostEvent::Type::ButtonDown ||
                         ev.type == HostEvent::Type::ButtonUp ||
                         ev.type == HostEvent::Type::Motion;
    const Window* w = Live(ev.window);
    if (!pointer || !w) return true;
    const HostRect r = ScreenRectOf(*w);
    return InsideShapes(*w, r.left + ev.x, r.top + ev.y);
}

bool HeadlessHost::NextEvent(HostEvent* ev, int timeout_ms) {
    const std::uint64_t deadline = now_ + static_cast<std::uint64_t>(std::max(0, timeout_ms));
    for (;;) {
        if (!script_.empty() && script_.front().when <= now_) {
            Scripted s = std::move(script_.front());
            script_.erase(script_.begin());
            if (s.action) {
                s.action();
                // A wait ends when something happened, so the loop looks at its state again.
                if (timeout_ms != 0) return false;
                continue;
            }
            // A shaped window takes pointer input only inside its shape.
            if (!HitsShape(s.event)) continue;
            *ev = s.event;
            return true;
        }
        if (timeout_ms == 0) return false;
        if (timeout_ms < 0) {
            if (script_.empty()) throw std::runtime_error("headless host would wait forever");
            now_ = script_.front().when;
            continue;
        }
        if (!script_.empty() && script_.front().when <= deadline) {
            now_ = script_.front().when;
            continue;
        }
        now_ = std::max(now_, deadline);
        return false;
    }
}

}  // namespace hosts
