// The VST 3 editor on Windows in a host of our own: embedded in the host's
// window, idled by its own window timer, and played with real input
// (SendInput) and the keys a host passes on.
#include <gtest/gtest.h>

#include <windows.h>

#include "SpeakerDescriptor.h"
#include "Vst3TestHost.h"
#include "win32/RealInput.h"

namespace {

class Frame : public HostObject<vst3::IPlugFrame> {
public:
    vst3::tresult VST3_CALL queryInterface(const vst3::TUID iid, void** object) override {
        return answer(iid, vst3::kIPlugFrameIid, object);
    }
    vst3::tresult VST3_CALL resizeView(vst3::IPlugView*, vst3::ViewRect*) override { return vst3::kResultOk; }
};

class Vst3Win32Editor : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA hostClass{};
        hostClass.lpfnWndProc = DefWindowProcA;
        hostClass.hInstance = GetModuleHandleA(nullptr);
        hostClass.lpszClassName = "HalvernVst3Host";
        RegisterClassA(&hostClass);
        parent = CreateWindowExA(0, "HalvernVst3Host", "Halvern VST 3 host", WS_POPUP | WS_VISIBLE, 60, 60, 246, 277,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        SetForegroundWindow(parent);
        SetFocus(parent);
        ASSERT_NE(module.factory, nullptr) << HALVERN_VST3_MODULE;
        ASSERT_NE(plugin.controller, nullptr);
    }
    void TearDown() override { DestroyWindow(parent); }

    Vst3Module module{HALVERN_VST3_MODULE};
    ControlledComponent plugin{module};
    vst3::IEditController*& controller = plugin.controller;
    Frame frame;
    HWND parent = nullptr;
};

}  // namespace

TEST_F(Vst3Win32Editor, IsEmbeddedIdledAndPlayed) {
    vst3::IPlugView* view = controller->createView(vst3::kViewTypeEditor);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->isPlatformTypeSupported(vst3::kPlatformTypeHWND), vst3::kResultTrue);
    EXPECT_NE(view->isPlatformTypeSupported(vst3::kPlatformTypeX11EmbedWindowID), vst3::kResultTrue);
    view->setFrame(&frame);
    ASSERT_EQ(view->attached(parent, vst3::kPlatformTypeHWND), vst3::kResultOk);
    HWND editorWindow = GetWindow(parent, GW_CHILD);
    ASSERT_NE(editorWindow, nullptr);

    // The switch, clicked: fast, as an edit the host hears.
    POINT at{64, 143};
    ClientToScreen(editorWindow, &at);
    SetCursorPos(at.x, at.y);
    sendMouse(MOUSEEVENTF_LEFTDOWN);
    sendMouse(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(pumpUntil([&] { return plugin.handler.performed(kSpeedToggle, 1.0); }));

    // The keyboard at the host's window: the host passes Tab, the speed key,
    // on; a key the editor does not use goes back to the host.
    SetFocus(parent);
    ASSERT_TRUE(pumpUntil([&] { return view->onKeyDown(u'\t', vst3::KEY_TAB, 0) == vst3::kResultTrue; }));
    EXPECT_TRUE(plugin.handler.performed(kSpeedToggle, 0.0));
    EXPECT_NE(view->onKeyDown(u'x', 0, 0), vst3::kResultTrue);

    ASSERT_EQ(view->removed(), vst3::kResultOk);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), nullptr);
    view->setFrame(nullptr);
    view->release();
}
