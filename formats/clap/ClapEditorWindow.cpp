#include "ClapEditorWindow.h"

#include <cstring>

#include "EditorBase.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

// Sixty idles a second keep the turning cabinet smooth.
constexpr uint32_t kIdlePeriodMs = 16;

#if defined(_WIN32)
// A window timer's id is the editor window object it idles.
VOID CALLBACK idleOnWindowTimer(HWND, UINT, UINT_PTR id, DWORD) {
    reinterpret_cast<ClapEditorWindow*>(id)->onWindowTimer();
}
#endif

}  // namespace

// CLAP hosts pass plug-ins no keys, so the editor reads its own.
ClapEditorWindow::ClapEditorWindow(EditorBase* editor, const clap_host_t* host) : editor(editor), host(host) {
    if (editor) editor->setReadsOwnKeys(true);
}

ClapEditorWindow::~ClapEditorWindow() { destroy(); }

void ClapEditorWindow::findHostServices() {
    hostTimers = static_cast<const clap_host_timer_support_t*>(host->get_extension(host, CLAP_EXT_TIMER_SUPPORT));
    hostDescriptors =
        static_cast<const clap_host_posix_fd_support_t*>(host->get_extension(host, CLAP_EXT_POSIX_FD_SUPPORT));
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

// Embedded only; on X11 only with the host's timer, since nothing else would
// ever idle the editor there.
bool ClapEditorWindow::isApiSupported(const char* api, bool floating) const {
    if (!editor || floating || !api || std::strcmp(api, windowApi()) != 0) return false;
#if defined(_WIN32)
    return true;
#else
    return hostTimers != nullptr;
#endif
}

bool ClapEditorWindow::create(const char* api, bool floating) {
    if (created || !isApiSupported(api, floating)) return false;
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
    ERect* rect = nullptr;
    if (!created || !width || !height || !editor->getRect(&rect) || !rect) return false;
    *width = static_cast<uint32_t>(rect->right - rect->left);
    *height = static_cast<uint32_t>(rect->bottom - rect->top);
    return true;
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
    if (idling && descriptor == watchedDescriptor) editor->idle();
}

void ClapEditorWindow::startIdle() {
    if (idling || !open) return;
    idling = true;
    if (hostTimers && !hostTimers->register_timer(host, kIdlePeriodMs, &timer)) timer = CLAP_INVALID_ID;
    const int descriptor = editor->eventDescriptor();
    if (hostDescriptors && descriptor >= 0 && hostDescriptors->register_fd(host, descriptor, CLAP_POSIX_FD_READ))
        watchedDescriptor = descriptor;
#if defined(_WIN32)
    if (timer == CLAP_INVALID_ID)
        windowTimer = SetTimer(static_cast<HWND>(parent), reinterpret_cast<UINT_PTR>(this), kIdlePeriodMs,
                               idleOnWindowTimer) != 0;
#endif
}

void ClapEditorWindow::stopIdle() {
    if (!idling) return;
    idling = false;
    if (timer != CLAP_INVALID_ID) hostTimers->unregister_timer(host, timer);
    timer = CLAP_INVALID_ID;
    if (watchedDescriptor >= 0) hostDescriptors->unregister_fd(host, watchedDescriptor);
    watchedDescriptor = -1;
#if defined(_WIN32)
    if (windowTimer) KillTimer(static_cast<HWND>(parent), reinterpret_cast<UINT_PTR>(this));
    windowTimer = false;
#endif
}

#if defined(_WIN32)
void ClapEditorWindow::onWindowTimer() {
    if (idling && windowTimer) editor->idle();
}
#endif
