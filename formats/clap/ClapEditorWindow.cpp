#include "ClapEditorWindow.h"

#include <cstring>

#include "GuiEditor.h"

namespace {

// Sixty idles a second keep the turning cabinet smooth.
constexpr uint32_t kIdlePeriodMs = 16;

}  // namespace

// CLAP hosts pass plug-ins no keys, so the editor reads its own.
ClapEditorWindow::ClapEditorWindow(GuiEditor* editor, const clap_host_t* host) : editor(editor), host(host) {
    if (!editor) return;
    editor->setReadsOwnKeys(true);
    editor->setWindowHost(this);
}

ClapEditorWindow::~ClapEditorWindow() { destroy(); }

void ClapEditorWindow::findHostServices() {
    hostTimers = static_cast<const clap_host_timer_support_t*>(host->get_extension(host, CLAP_EXT_TIMER_SUPPORT));
    hostDescriptors =
        static_cast<const clap_host_posix_fd_support_t*>(host->get_extension(host, CLAP_EXT_POSIX_FD_SUPPORT));
    hostGui = static_cast<const clap_host_gui_t*>(host->get_extension(host, CLAP_EXT_GUI));
    if (hostGui && !hostGui->request_resize) hostGui = nullptr;
    if (hostTimers && (!hostTimers->register_timer || !hostTimers->unregister_timer)) hostTimers = nullptr;
    if (hostDescriptors && (!hostDescriptors->register_fd || !hostDescriptors->unregister_fd))
        hostDescriptors = nullptr;
}

const char* ClapEditorWindow::windowApi() {
#if defined(_WIN32)
    return CLAP_WINDOW_API_WIN32;
#else
    return CLAP_WINDOW_API_X11;
#endif
}

// Embedded only, in the system's own windows. The answer is the same on
// every host record: hosts ask it once, on an instance of a scanner that
// offers no services, and remember it.
bool ClapEditorWindow::isApiSupported(const char* api, bool floating) const {
    return editor && !floating && api && std::strcmp(api, windowApi()) == 0;
}

// On Windows a window timer of its own can always idle the editor; on X11
// only the host's loop can, through its timer or its descriptor watch.
bool ClapEditorWindow::canBeIdled() const {
#if defined(_WIN32)
    return true;
#else
    return hostTimers || hostDescriptors;
#endif
}

bool ClapEditorWindow::create(const char* api, bool floating) {
    if (created || !isApiSupported(api, floating) || !canBeIdled()) return false;
    created = true;
    return true;
}

void ClapEditorWindow::destroy() {
    stopIdle();
    if (open) editor->close();
    open = false;
    created = false;
    parent = nullptr;
}

bool ClapEditorWindow::getSize(uint32_t* width, uint32_t* height) const {
    if (!created || !width || !height) return false;
    const Rect rect = editor->getRect();
    *width = static_cast<uint32_t>(rect.width());
    *height = static_cast<uint32_t>(rect.height());
    return true;
}

bool ClapEditorWindow::setScale(double scale) { return created && editor->setHostScale(scale); }

bool ClapEditorWindow::resizeWindow(int width, int height) {
    return hostGui && hostGui->request_resize(host, static_cast<uint32_t>(width), static_cast<uint32_t>(height));
}

bool ClapEditorWindow::setParent(const clap_window_t* window) {
    if (!created || open || !window || !window->api || std::strcmp(window->api, windowApi()) != 0) return false;
#if defined(_WIN32)
    parent = window->win32;
#else
    parent = reinterpret_cast<void*>(static_cast<uintptr_t>(window->x11));
#endif
    if (!parent || !editor->open(parent)) return false;
#if !defined(_WIN32)
    // An X11 editor that could not reach the display has no connection.
    if (editor->eventDescriptor() < 0) {
        editor->close();
        return false;
    }
#endif
    open = true;
    startIdle();
    return true;
}

// The embedded window shows and hides with the host's window around it;
// while hidden, it is not idled.
bool ClapEditorWindow::show() {
    if (!open) return false;
    startIdle();
    return true;
}

bool ClapEditorWindow::hide() {
    if (!open) return false;
    stopIdle();
    return true;
}

void ClapEditorWindow::onTimer(clap_id id) {
    if (idling && id == timer) editor->idle();
}

void ClapEditorWindow::onDescriptor(int descriptor) {
    // An idle also takes the own idle's expired ticks.
    if (idling && (descriptor == watchedDescriptor || descriptor == tickDescriptor)) editor->idle();
}

void ClapEditorWindow::startIdle() {
    if (idling || !open) return;
    idling = true;
    if (hostTimers && !hostTimers->register_timer(host, kIdlePeriodMs, &timer)) timer = CLAP_INVALID_ID;
    const int descriptor = editor->eventDescriptor();
    if (hostDescriptors && descriptor >= 0 && hostDescriptors->register_fd(host, descriptor, CLAP_POSIX_FD_READ))
        watchedDescriptor = descriptor;
    // A host without timers gets the editor's own idle, so the cabinet still
    // turns and host changes show: a window timer, or on X11 a timer
    // descriptor the host watches.
    if (timer == CLAP_INVALID_ID) startOwnIdle();
}

void ClapEditorWindow::stopIdle() {
    if (!idling) return;
    idling = false;
    if (timer != CLAP_INVALID_ID) hostTimers->unregister_timer(host, timer);
    timer = CLAP_INVALID_ID;
    if (watchedDescriptor >= 0) hostDescriptors->unregister_fd(host, watchedDescriptor);
    watchedDescriptor = -1;
    if (tickDescriptor >= 0) hostDescriptors->unregister_fd(host, tickDescriptor);
    tickDescriptor = -1;
    if (ownIdle) editor->stopOwnIdle();
    ownIdle = false;
}

void ClapEditorWindow::startOwnIdle() {
    if (!editor->startOwnIdle(kIdlePeriodMs)) return;
    ownIdle = true;
    const int ticks = editor->ownIdleDescriptor();
    if (ticks < 0) return;  // the window system's own timer idles the editor
    if (hostDescriptors && hostDescriptors->register_fd(host, ticks, CLAP_POSIX_FD_READ)) {
        tickDescriptor = ticks;
        return;
    }
    editor->stopOwnIdle();
    ownIdle = false;
}
