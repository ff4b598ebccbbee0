// The editor as a VST 3 view: embedded in the host's window (an X11 window
// on Linux, a HWND on Windows) at the size the host's content scale, the
// system's or the user's choice gives (the frame is asked to resize the view
// when it changes; the user cannot drag it to another), and idled on the
// host's thread: on Linux by the run loop the host's frame offers (its timer,
// and the editor's display connection's descriptor; or the host context's
// run loop), on Windows by the editor's own idle (a window timer). Keys come from the host; the editor takes those it uses.
// Hosts may make several views; one at a time holds the editor.
#pragma once

#include <atomic>

#include "Vst3Interface.h"

class Vst3Plugin;

#include "GuiEditor.h"

class Vst3View final : public vst3::IPlugView,
                       public vst3::IPlugViewContentScaleSupport,
                       private WindowHost
#if !defined(_WIN32)
    ,
                 public vst3::ITimerHandler,
                 public vst3::IEventHandler
#endif
{
public:
    explicit Vst3View(Vst3Plugin* plugin);
    Vst3View(const Vst3View&) = delete;
    Vst3View& operator=(const Vst3View&) = delete;

    vst3::tresult VST3_CALL queryInterface(const vst3::TUID iid, void** object) override;
    uint32_t VST3_CALL addRef() override;
    uint32_t VST3_CALL release() override;

    vst3::tresult VST3_CALL isPlatformTypeSupported(vst3::FIDString type) override;
    vst3::tresult VST3_CALL attached(void* parent, vst3::FIDString type) override;
    vst3::tresult VST3_CALL removed() override;
    vst3::tresult VST3_CALL onWheel(float distance) override;
    vst3::tresult VST3_CALL onKeyDown(vst3::char16 key, int16_t keyCode, int16_t modifiers) override;
    vst3::tresult VST3_CALL onKeyUp(vst3::char16 key, int16_t keyCode, int16_t modifiers) override;
    vst3::tresult VST3_CALL getSize(vst3::ViewRect* size) override;
    vst3::tresult VST3_CALL onSize(vst3::ViewRect* newSize) override;
    vst3::tresult VST3_CALL onFocus(vst3::TBool state) override;
    vst3::tresult VST3_CALL setFrame(vst3::IPlugFrame* frame) override;
    vst3::tresult VST3_CALL canResize() override;
    vst3::tresult VST3_CALL checkSizeConstraint(vst3::ViewRect* rect) override;
    vst3::tresult VST3_CALL setContentScaleFactor(float factor) override;

#if !defined(_WIN32)
    void VST3_CALL onTimer() override;
    void VST3_CALL onFDIsSet(int fd) override;
#endif

private:
    ~Vst3View();
    void stopIdle();
    bool resizeWindow(int width, int height) override;
    // The host grants a size by calling onSize, within resizeView or later.
    bool grantsSizes() const override { return true; }

    std::atomic<uint32_t> references{1};
    Vst3Plugin* plugin;
    vst3::IPlugFrame* frame = nullptr;
    void* parent = nullptr;
    bool open = false;
#if defined(_WIN32)
    bool ownIdle = false;  // the editor idles itself
#else
    vst3::IRunLoop* runLoop = nullptr;
#endif
};
