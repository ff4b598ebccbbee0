#include "Vst3View.h"

#include <cstdint>
#include <cstring>

#include "GuiEditor.h"
#include "Vst3Plugin.h"


namespace {

// Sixty idles a second keep the turning cabinet smooth.
constexpr uint32_t kIdlePeriodMs = 16;

#if defined(_WIN32)
constexpr const char* kPlatformType = vst3::kPlatformTypeHWND;
#else
constexpr const char* kPlatformType = vst3::kPlatformTypeX11EmbedWindowID;
#endif

// The host's modifiers as the toolkit's: the Windows control key is the
// command key, the Mac's control key is control too.
int modifiersOf(int16_t modifiers) {
    return (modifiers & vst3::kShiftKey ? platform::kModifierShift : 0) |
           (modifiers & vst3::kAlternateKey ? platform::kModifierAlt : 0) |
           (modifiers & (vst3::kCommandKey | vst3::kControlKey) ? platform::kModifierControl : 0);
}

// A key as the toolkit numbers it: its character, and for the tab and the
// space their own numbers; keys the editor never uses alone are "other".
platform::KeyPress keyPressOf(vst3::char16 key, int16_t keyCode, int16_t modifiers) {
    const int held = modifiersOf(modifiers);
    if (keyCode == vst3::KEY_TAB) return {'\t', platform::kKeyTab, held};
    if (keyCode == vst3::KEY_SPACE || key == u' ') return {' ', platform::kKeySpace, held};
    if (keyCode == vst3::KEY_RETURN) return {'\r', platform::kKeyOther, held};
    if (keyCode == vst3::KEY_BACK) return {'\b', platform::kKeyOther, held};
    if (keyCode == vst3::KEY_ESCAPE) return {27, platform::kKeyOther, held};
    return {key < 0x80 ? static_cast<int>(key) : 0, key ? platform::kKeyNone : platform::kKeyOther, held};
}

}  // namespace

Vst3View::Vst3View(Vst3Plugin* plugin) : plugin(plugin) { plugin->addRef(); }

Vst3View::~Vst3View() {
    removed();
    setFrame(nullptr);
    plugin->release();
}

vst3::tresult Vst3View::queryInterface(const vst3::TUID iid, void** object) {
    if (!object) return vst3::kInvalidArgument;
    if (vst3::kFUnknownIid == iid || vst3::kIPlugViewIid == iid) {
        *object = static_cast<vst3::IPlugView*>(this);
    } else if (vst3::kIPlugViewContentScaleSupportIid == iid) {
        *object = static_cast<vst3::IPlugViewContentScaleSupport*>(this);
#if !defined(_WIN32)
    } else if (vst3::kITimerHandlerIid == iid) {
        *object = static_cast<vst3::ITimerHandler*>(this);
    } else if (vst3::kIEventHandlerIid == iid) {
        *object = static_cast<vst3::IEventHandler*>(this);
#endif
    } else {
        *object = nullptr;
        return vst3::kNoInterface;
    }
    addRef();
    return vst3::kResultOk;
}

uint32_t Vst3View::addRef() { return ++references; }

uint32_t Vst3View::release() {
    const uint32_t left = --references;
    if (left == 0) delete this;
    return left;
}

vst3::tresult Vst3View::isPlatformTypeSupported(vst3::FIDString type) {
    return type && std::strcmp(type, kPlatformType) == 0 ? vst3::kResultTrue : vst3::kResultFalse;
}

vst3::tresult Vst3View::attached(void* newParent, vst3::FIDString type) {
    if (open || !newParent || isPlatformTypeSupported(type) != vst3::kResultTrue || !plugin->claimEditor(this))
        return vst3::kResultFalse;
    GuiEditor& editor = plugin->speakerEditor();
#if defined(_WIN32)
    parent = newParent;
#else
    // On X11 the parent is the window's id, passed as the pointer's value.
    parent = newParent;
    // The frame's run loop, or else the host context's.
    if (!frame || frame->queryInterface(vst3::kIRunLoopIid.bytes, reinterpret_cast<void**>(&runLoop)) !=
                      vst3::kResultOk)
        runLoop = nullptr;
    if (!runLoop && (runLoop = plugin->contextRunLoop())) runLoop->addRef();
    if (!runLoop) {
        plugin->releaseEditor(this);
        return vst3::kResultFalse;  // nothing would idle the editor
    }
#endif
    editor.setWindowHost(this);  // the size it opens at may differ from the one the host was told
    if (!editor.open(parent)) {
        editor.setWindowHost(nullptr);
        stopIdle();
        plugin->releaseEditor(this);
        return vst3::kResultFalse;
    }
    open = true;
#if defined(_WIN32)
    ownIdle = editor.startOwnIdle(kIdlePeriodMs);
#else
    runLoop->registerTimer(this, kIdlePeriodMs);
    if (editor.eventDescriptor() >= 0) runLoop->registerEventHandler(this, editor.eventDescriptor());
#endif
    return vst3::kResultOk;
}

void Vst3View::stopIdle() {
#if defined(_WIN32)
    if (ownIdle) plugin->speakerEditor().stopOwnIdle();
    ownIdle = false;
#else
    if (runLoop) {
        runLoop->unregisterTimer(this);
        runLoop->unregisterEventHandler(this);
        runLoop->release();
    }
    runLoop = nullptr;
#endif
}

vst3::tresult Vst3View::removed() {
    stopIdle();
    if (open) {
        plugin->speakerEditor().close();
        plugin->speakerEditor().setWindowHost(nullptr);
        plugin->releaseEditor(this);
    }
    open = false;
    parent = nullptr;
    return vst3::kResultOk;
}

vst3::tresult Vst3View::onWheel(float distance) {
    return open && plugin->speakerEditor().onWheel(distance) ? vst3::kResultTrue : vst3::kResultFalse;
}

// A key the editor does not take goes back to the host.
vst3::tresult Vst3View::onKeyDown(vst3::char16 key, int16_t keyCode, int16_t modifiers) {
    if (!open) return vst3::kResultFalse;
    return plugin->speakerEditor().onKeyDown(keyPressOf(key, keyCode, modifiers)) == 1 ? vst3::kResultTrue
                                                                                       : vst3::kResultFalse;
}

vst3::tresult Vst3View::onKeyUp(vst3::char16 key, int16_t keyCode, int16_t modifiers) {
    if (!open) return vst3::kResultFalse;
    return plugin->speakerEditor().onKeyUp(keyPressOf(key, keyCode, modifiers)) == 1 ? vst3::kResultTrue
                                                                                     : vst3::kResultFalse;
}

vst3::tresult Vst3View::getSize(vst3::ViewRect* size) {
    if (!size) return vst3::kInvalidArgument;
    const Rect rect = plugin->speakerEditor().getRect();
    *size = {0, 0, rect.width(), rect.height()};
    return vst3::kResultOk;
}

// The editor chooses its size, and its window takes a new one here, when
// the host has given it; a host that makes the window larger anyway gets the
// editor at its top-left corner, the rest painted by the editor.
vst3::tresult Vst3View::onSize(vst3::ViewRect* newSize) {
    if (!newSize) return vst3::kInvalidArgument;
    const Rect wanted = plugin->speakerEditor().getRect();
    if (open && newSize->right - newSize->left >= wanted.width() && newSize->bottom - newSize->top >= wanted.height())
        plugin->speakerEditor().sizeGranted();
    return vst3::kResultOk;
}

vst3::tresult Vst3View::onFocus(vst3::TBool) { return vst3::kResultOk; }

vst3::tresult Vst3View::setFrame(vst3::IPlugFrame* newFrame) {
    if (newFrame) newFrame->addRef();
    if (frame) frame->release();
    frame = newFrame;
    return vst3::kResultOk;
}

vst3::tresult Vst3View::canResize() { return vst3::kResultFalse; }

vst3::tresult Vst3View::setContentScaleFactor(float factor) {
    return plugin->speakerEditor().setHostScale(factor) ? vst3::kResultTrue : vst3::kResultFalse;
}

// The host answers by calling onSize with the new size.
bool Vst3View::resizeWindow(int width, int height) {
    vst3::ViewRect size{0, 0, width, height};
    return frame && frame->resizeView(this, &size) == vst3::kResultTrue;
}

vst3::tresult Vst3View::checkSizeConstraint(vst3::ViewRect* rect) {
    if (!rect) return vst3::kInvalidArgument;
    return getSize(rect);
}

#if !defined(_WIN32)
void Vst3View::onTimer() {
    plugin->announceProcessorChanges();
    if (open) plugin->speakerEditor().idle();
}

void Vst3View::onFDIsSet(int) {
    if (open) plugin->speakerEditor().idle();
}
#endif
