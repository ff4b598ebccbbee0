// The editor in a CLAP host: embedded in the host's window (X11 on Linux,
// Win32 on Windows), at the size the host's scale, the system's or the
// user's choice gives (the host is asked to resize when it changes), and idled on the main thread from the
// host's timer, and on X11 also whenever the editor's display connection has
// events, where the host watches descriptors. A host without timers gets
// the editor's own idle instead (a window timer on Windows, on X11 a timer
// descriptor the host watches); an X11 host with neither gets no editor.
#pragma once

#include <cstdint>

#include "ClapInterface.h"

#include "GuiEditor.h"

class ClapEditorWindow : private WindowHost {
public:
    ClapEditorWindow(GuiEditor* editor, const clap_host_t* host);
    ~ClapEditorWindow();
    ClapEditorWindow(const ClapEditorWindow&) = delete;
    ClapEditorWindow& operator=(const ClapEditorWindow&) = delete;

    // The host's timer and descriptor services, looked up once the host may be asked.
    void findHostServices();

    static const char* windowApi();
    bool isApiSupported(const char* api, bool floating) const;
    // Whether this host gives the editor a way to be idled once created.
    bool canBeIdled() const;
    bool create(const char* api, bool floating);
    void destroy();
    bool getSize(uint32_t* width, uint32_t* height) const;
    // The host's scale for the window API's physical pixels.
    bool setScale(double scale);
    bool setParent(const clap_window_t* window);
    bool show();
    bool hide();
    void onTimer(clap_id timer);
    void onDescriptor(int descriptor);

private:
    bool resizeWindow(int width, int height) override;
    void startIdle();
    void stopIdle();
    void startOwnIdle();

    GuiEditor* editor;
    const clap_host_t* host;
    const clap_host_timer_support_t* hostTimers = nullptr;
    const clap_host_posix_fd_support_t* hostDescriptors = nullptr;
    const clap_host_gui_t* hostGui = nullptr;
    bool created = false;
    bool open = false;
    bool idling = false;
    clap_id timer = CLAP_INVALID_ID;
    int watchedDescriptor = -1;
    int tickDescriptor = -1;  // the editor's own idle descriptor, where the host has no timers
    void* parent = nullptr;
    bool ownIdle = false;  // the editor idles itself
};
